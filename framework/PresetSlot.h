#pragma once

#include "StateChunk.h"

// Size of a preset name field, terminator included.
constexpr int kPresetNameSize = 256;

// One program: whether it holds a state, its name and that state.
struct PresetSlot {
  bool initialized = false;
  char name[kPresetNameSize] = "empty";
  StateChunk state;

  // Copies a name, cut to 255 bytes so the terminator always fits.
  void SetName(const char* text);
};

#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One declared channel configuration of the I/O string ("2-2").
struct IOConfig {
  int32_t inputs = 0;
  int32_t outputs = 0;
};

// A host input channel. The processing hook reads the input-pointer array
// entry of this pin: the host's array, or this pin's scratch buffer (float
// hosts, disconnected pins).
struct InputPin {
  bool connected = false;
  std::vector<double> scratch; // block-size long, zero-filled when resized
  std::string label;           // replaces the default pin name when not empty
};

// A host output channel; floatDest is the host float array that the float
// copy-back writes (null until attached).
struct OutputPin {
  bool connected = false;
  float* floatDest = nullptr;
  std::vector<double> scratch;
  std::string label;
};

// A short MIDI message, offset in frames into the current block.
struct MidiMessage {
  int32_t offset = 0;
  uint8_t status = 0;
  uint8_t data1 = 0;
  uint8_t data2 = 0;
};

// A system-exclusive message; data is not owned and lives for one call.
struct SysExMessage {
  int32_t offset = 0;
  int32_t size = 0;
  const uint8_t* data = nullptr;
};

// Transport state as a binding reads it from its host.
struct TimeInfo {
  double tempo = 0.0;
  double samplePos = 0.0;
  double ppqPos = 0.0;
  double lastBar = 0.0;
  double cycleStart = 0.0;
  double cycleEnd = 0.0;
  int32_t numerator = 0;
  int32_t denominator = 0;
  bool transportIsRunning = false;
  bool transportLoopEnabled = false;
};

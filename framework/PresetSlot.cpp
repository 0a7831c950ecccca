#include "PresetSlot.h"

#include "FixedText.h"

void PresetSlot::SetName(const char* text) {
  CopyFixedText(name, text);
}

#pragma once

#include "lv2/core/lv2.h"
#include "lv2/ui/ui.h"
#include "lv2/urid/urid.h"

#include <cstdint>

// What the UI reads from the features a host passes to its instantiate.
// Required: ui:parent (the window the editor opens in) and urid:map; the
// resize and touch features are optional and simply not used when absent.
class LV2UIFeatures {
public:
  explicit LV2UIFeatures(const LV2_Feature* const* features);

  // Both required features are there.
  bool Complete() const { return mParent && mMap; }
  // The host's window for the editor (an X11 window id), or null.
  void* Parent() const { return mParent; }
  const LV2_URID_Map* Map() const { return mMap; }
  // Tells the host the editor's size; nothing without ui:resize.
  void Resize(int width, int height) const;
  // Starts or ends a gesture on a port; nothing without ui:touch.
  void Touch(uint32_t port, bool grabbed) const;

private:
  void* mParent = nullptr;
  const LV2_URID_Map* mMap = nullptr;
  const LV2UI_Resize* mResize = nullptr;
  const LV2UI_Touch* mTouch = nullptr;
};

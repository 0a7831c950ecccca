#include "LV2UIFeatures.h"

#include <cstring>

LV2UIFeatures::LV2UIFeatures(const LV2_Feature* const* features) {
  for (const LV2_Feature* const* f = features; f && *f; ++f) {
    const LV2_Feature* feature = *f;
    if (!feature->URI) continue;
    if (!std::strcmp(feature->URI, LV2_UI__parent))
      mParent = feature->data;
    else if (!std::strcmp(feature->URI, LV2_URID__map))
      mMap = static_cast<const LV2_URID_Map*>(feature->data);
    else if (!std::strcmp(feature->URI, LV2_UI__resize))
      mResize = static_cast<const LV2UI_Resize*>(feature->data);
    else if (!std::strcmp(feature->URI, LV2_UI__touch))
      mTouch = static_cast<const LV2UI_Touch*>(feature->data);
  }
  // A feature without its function is none.
  if (mMap && !mMap->map) mMap = nullptr;
  if (mResize && !mResize->ui_resize) mResize = nullptr;
  if (mTouch && !mTouch->touch) mTouch = nullptr;
}

void LV2UIFeatures::Resize(int width, int height) const {
  if (mResize) mResize->ui_resize(mResize->handle, width, height);
}

void LV2UIFeatures::Touch(uint32_t port, bool grabbed) const {
  if (mTouch) mTouch->touch(mTouch->handle, port, grabbed);
}

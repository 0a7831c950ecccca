#include "LV2Features.h"

#include "lv2/atom/atom.h"
#include "lv2/buf-size/buf-size.h"
#include "lv2/options/options.h"

#include <cstring>

LV2Features::LV2Features(const LV2_Feature* const* features) {
  const void* options = nullptr;
  for (const LV2_Feature* const* f = features; f && *f; ++f) {
    const LV2_Feature* feature = *f;
    if (!feature->URI) continue;
    if (!std::strcmp(feature->URI, LV2_URID__map))
      mMap = static_cast<const LV2_URID_Map*>(feature->data);
    else if (!std::strcmp(feature->URI, LV2_OPTIONS__options))
      options = feature->data;
  }
  // A map without its function is no map.
  if (mMap && !mMap->map) mMap = nullptr;
  if (options && mMap) ReadOptions(options);
}

LV2_URID LV2Features::MapUri(const char* uri) const {
  return mMap ? mMap->map(mMap->handle, uri) : 0;
}

void LV2Features::ReadOptions(const void* options) {
  const LV2_URID intType = MapUri(LV2_ATOM__Int);
  const LV2_URID maxKey = MapUri(LV2_BUF_SIZE__maxBlockLength);
  const LV2_URID nominalKey = MapUri(LV2_BUF_SIZE__nominalBlockLength);
  int maxLength = 0;
  int nominalLength = 0;
  for (auto* o = static_cast<const LV2_Options_Option*>(options); o->key || o->value; ++o) {
    if (o->context != LV2_OPTIONS_INSTANCE || o->type != intType || o->size != sizeof(int32_t) ||
        !o->value)
      continue;
    int32_t length = 0;
    std::memcpy(&length, o->value, sizeof length);
    if (length < 1) continue;
    if (o->key == maxKey) maxLength = length;
    if (o->key == nominalKey) nominalLength = length;
  }
  mMaxBlockLength = maxLength > 0 ? maxLength : nominalLength;
}

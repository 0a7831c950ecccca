#pragma once

#include "lv2/core/lv2.h"
#include "lv2/urid/urid.h"

#include <cstdint>

// What the plug-in reads from the features a host passes at instantiation.
// Only urid:map is required; everything else is optional and has a default.
class LV2Features {
public:
  // Reads the host's feature list (null or unterminated by the host's
  // mistake is its own business; a null list is an empty one).
  explicit LV2Features(const LV2_Feature* const* features);

  // The host's URI map, or null when it gave none (the plug-in then refuses
  // to instantiate).
  const LV2_URID_Map* Map() const { return mMap; }
  // The URID of uri, or 0 without a map.
  LV2_URID MapUri(const char* uri) const;
  // The largest block the host announced through options (bufsz:maxBlockLength,
  // else bufsz:nominalBlockLength), or 0 when it announced none usable.
  int MaxBlockLength() const { return mMaxBlockLength; }

private:
  void ReadOptions(const void* options);

  const LV2_URID_Map* mMap = nullptr;
  int mMaxBlockLength = 0;
};

#pragma once

#include "LICE_IBitmap.h"

// The process-wide cache of decoded images, keyed by resource id and shared
// by every editor of the module. Entries are only ever added; the rasters live
// until the module unloads. One lock guards the list, held for lookup and
// insertion only, never while an image is decoded.
class IImageCache {
public:
  // The raster cached for the id, or none.
  static LICE_IBitmap* Find(int resourceId);
  // Hands raster (not null) to the cache and returns the raster the cache
  // keeps for the id: raster itself, or, when another thread cached the same
  // id while this one was decoding, the earlier raster (raster is then
  // deleted, so no id ever has two).
  static LICE_IBitmap* Add(int resourceId, LICE_IBitmap* raster);
  static int Size();
};

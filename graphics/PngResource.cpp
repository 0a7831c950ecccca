#include "PngResource.h"

#include "ImageResourceName.h"
#include "LICE_Png.h"

#if defined(TOLVEN_HAVE_MODULE_RESOURCES)
#include "ModuleResource.h"
#endif

namespace {

#if !defined(TOLVEN_HAVE_MODULE_RESOURCES)
// Built without embedded images: every lookup misses, so every image is an
// image without raster that draws nothing.
bool NoResources(int, const char*, const unsigned char**, size_t*) {
  return false;
}
#endif

} // namespace

ResourceFinder ModuleResourceFinder() {
#if defined(TOLVEN_HAVE_MODULE_RESOURCES)
  return &FindModuleResource;
#else
  return &NoResources;
#endif
}

LICE_IBitmap* LoadPngResource(ResourceFinder finder, int resourceId, const char* name) {
  if (!IsPngResourceName(name) || !finder) return nullptr;
  const unsigned char* data = nullptr;
  size_t size = 0;
  if (!finder(resourceId, "PNG", &data, &size) || !data || size <= 7) return nullptr;
  return LICE_DecodePngMemory(data, size);
}

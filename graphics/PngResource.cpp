#include "PngResource.h"

#include "LICE_Png.h"

#include <cctype>
#include <cstring>

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

bool HasPngExtension(const char* name) {
  if (!name) return false;
  const char* dot = std::strrchr(name, '.');
  if (!dot) return false;
  const char* ext = dot + 1;
  static const char kPng[] = "png";
  for (int i = 0; i < 3; ++i)
    if (std::tolower(static_cast<unsigned char>(ext[i])) != kPng[i]) return false;
  return ext[3] == '\0';
}

} // namespace

ResourceFinder ModuleResourceFinder() {
#if defined(TOLVEN_HAVE_MODULE_RESOURCES)
  return &FindModuleResource;
#else
  return &NoResources;
#endif
}

LICE_IBitmap* LoadPngResource(ResourceFinder finder, int resourceId, const char* name) {
  if (!HasPngExtension(name) || !finder) return nullptr;
  const unsigned char* data = nullptr;
  size_t size = 0;
  if (!finder(resourceId, "PNG", &data, &size) || !data || size <= 7) return nullptr;
  return LICE_DecodePngMemory(data, size);
}

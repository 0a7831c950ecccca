#include "LICE_ImageLoader.h"

namespace {
// Constant-initialised, so registrations from other files' start-up code can
// never run before it exists.
LICE_ImageLoader* gHead = nullptr;
} // namespace

LICE_ImageLoader* LICE_ImageLoaders() {
  return gHead;
}

void LICE_RegisterImageLoader(LICE_ImageLoader* loader) {
  if (!loader) return;
  loader->next = gHead;
  gHead = loader;
}

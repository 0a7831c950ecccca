#pragma once

#include <cstddef>

class LICE_IBitmap;

// Finds the bytes of a module resource by id and type (as
// FindModuleResource does); false when there is none.
using ResourceFinder = bool (*)(int resourceId, const char* type, const unsigned char** data,
                                size_t* size);

// The module's embedded images (a finder that finds nothing in a build
// without them).
ResourceFinder ModuleResourceFinder();

// Only names ending in ".png" (any case) are loaded: the "PNG" resource with
// that id, decoded. None when it is missing, too short or undecodable.
LICE_IBitmap* LoadPngResource(ResourceFinder finder, int resourceId, const char* name);

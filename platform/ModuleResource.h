#pragma once

#include <cstddef>

// Finds a resource embedded in the module that contains this code: the
// editor's PNG images, by numeric id and type name ("PNG"). On success data
// points at the resource's bytes, which stay valid as long as the module is
// loaded, and size is their count. Returns false (data none, size 0) for an
// unknown id or type, an id outside 1..65535, a missing type name or a missing
// output pointer. Type names compare without regard to case, as Windows does.
//
// Windows: the module's resources (compiled from plugin/resources/TOLVEN.rc),
// in the module whose handle ModuleHandle holds, else the module containing
// this function. Elsewhere: a table of the same bytes generated at build time.
bool FindModuleResource(int id, const char* type, const unsigned char** data, size_t* size);

#ifndef _WIN32
// One embedded resource; the build generates the table from TOLVEN.rc.
struct ModuleResourceEntry {
  int id;
  const char* type;
  const unsigned char* data;
  size_t size;
};
extern const ModuleResourceEntry kModuleResourceTable[];
extern const size_t kModuleResourceCount;
#endif

#include "ModuleResource.h"

#include <cstdint>

#ifdef _WIN32
#include "ModuleHandle.h"

#include <windows.h>
#endif

namespace {

// Pointers this small are Win32 integer resource names, not strings; they are
// refused everywhere rather than read.
bool IsNamePointer(const char* p) {
  return (uintptr_t)p > 0xFFFF;
}

#ifndef _WIN32
bool SameTypeName(const char* a, const char* b) {
  for (;; ++a, ++b) {
    char ca = *a, cb = *b;
    if (ca >= 'a' && ca <= 'z') ca = (char)(ca - 'a' + 'A');
    if (cb >= 'a' && cb <= 'z') cb = (char)(cb - 'a' + 'A');
    if (ca != cb) return false;
    if (!ca) return true;
  }
}
#endif

} // namespace

bool FindModuleResource(int id, const char* type, const unsigned char** data, size_t* size) {
  if (data) *data = nullptr;
  if (size) *size = 0;
  // An id above 0xFFFF would be taken by the Win32 lookup for a string
  // pointer; ids are 16-bit there, so the same range applies everywhere.
  if (!data || !size || !IsNamePointer(type) || !*type || id < 1 || id > 0xFFFF) return false;

#ifdef _WIN32
  HMODULE module = (HMODULE)ModuleHandle::Get();
  if (!module && !GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                         GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                     (LPCSTR)(void*)&FindModuleResource, &module))
    return false;
  HRSRC info = FindResourceA(module, MAKEINTRESOURCEA(id), type);
  if (!info) return false;
  const DWORD bytes = SizeofResource(module, info);
  HGLOBAL loaded = LoadResource(module, info);
  const void* p = loaded ? LockResource(loaded) : nullptr;
  if (!p || bytes == 0) return false;
  *data = (const unsigned char*)p;
  *size = (size_t)bytes;
  return true;
#else
  for (size_t i = 0; i < kModuleResourceCount; ++i) {
    const ModuleResourceEntry& e = kModuleResourceTable[i];
    if (e.id == id && e.data && e.size > 0 && SameTypeName(e.type, type)) {
      *data = e.data;
      *size = e.size;
      return true;
    }
  }
  return false;
#endif
}

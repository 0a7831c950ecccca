#include "DynamicLibrary.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

DynamicLibrary::~DynamicLibrary() {
  Close();
}

bool DynamicLibrary::Open(const std::string& path) {
  Close();
  mError.clear();
#ifdef _WIN32
  HMODULE module = LoadLibraryA(path.c_str());
  if (!module) {
    mError = "cannot load " + path + " (error " + std::to_string(GetLastError()) + ")";
    return false;
  }
  mHandle = reinterpret_cast<void*>(module);
#else
  // RTLD_LOCAL: several modules export the same entry names and must not
  // collide.
  mHandle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!mHandle) {
    const char* reason = dlerror();
    mError = reason ? reason : ("cannot load " + path);
    return false;
  }
#endif
  return true;
}

void DynamicLibrary::Close() {
  if (!mHandle) return;
#ifdef _WIN32
  FreeLibrary(reinterpret_cast<HMODULE>(mHandle));
#else
  dlclose(mHandle);
#endif
  mHandle = nullptr;
}

void* DynamicLibrary::FindSymbol(const char* name) const {
  if (!mHandle || !name) return nullptr;
#ifdef _WIN32
  return reinterpret_cast<void*>(GetProcAddress(reinterpret_cast<HMODULE>(mHandle), name));
#else
  return dlsym(mHandle, name);
#endif
}

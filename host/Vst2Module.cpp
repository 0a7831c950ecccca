#include "Vst2Module.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

Vst2Module::~Vst2Module() {
  Unload();
}

bool Vst2Module::Load(const std::string& path) {
  Unload();
  mPath = path;
  mError.clear();
#ifdef _WIN32
  HMODULE module = LoadLibraryA(path.c_str());
  if (!module) {
    mError = "cannot load " + path + " (error " + std::to_string(GetLastError()) + ")";
    return false;
  }
  mHandle = reinterpret_cast<void*>(module);
#else
  // RTLD_LOCAL: two modules exporting the same entry names must not collide.
  mHandle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!mHandle) {
    const char* reason = dlerror();
    mError = reason ? reason : ("cannot load " + path);
    return false;
  }
#endif
  return true;
}

void Vst2Module::Unload() {
  if (!mHandle) return;
#ifdef _WIN32
  FreeLibrary(reinterpret_cast<HMODULE>(mHandle));
#else
  dlclose(mHandle);
#endif
  mHandle = nullptr;
}

VstPluginMainProc Vst2Module::FindEntry(const char* name) const {
  if (!mHandle || !name) return nullptr;
#ifdef _WIN32
  FARPROC proc = GetProcAddress(reinterpret_cast<HMODULE>(mHandle), name);
  return reinterpret_cast<VstPluginMainProc>(reinterpret_cast<void*>(proc));
#else
  return reinterpret_cast<VstPluginMainProc>(dlsym(mHandle, name));
#endif
}

VstPluginMainProc Vst2Module::EntryPoint() const {
  VstPluginMainProc entry = FindEntry("VSTPluginMain");
  return entry ? entry : FindEntry("main");
}

// The module's entry points: VSTPluginMain and its older name main, which
// create one plug-in instance per call, and on Windows the DLL entry that
// records the module handle. These two functions are all the module exports.
#include "IPlugVST.h"
#include "ModuleHandle.h"
#include "TOLVEN.h"

#include <new>

#ifdef _WIN32
#include <windows.h>
#define VST_EXPORT __declspec(dllexport)
#else
#define VST_EXPORT __attribute__((visibility("default")))
#endif

namespace {
AEffect* CreateInstance(audioMasterCallback hostCallback) {
  ScopedLock guard(IPlugVST::InstantiationLock());
  IPlugInstanceInfo info;
  info.hostCallback = hostCallback;
  TOLVEN* plug = nullptr;
  try {
    plug = new TOLVEN(info);
  } catch (...) {
    return nullptr; // the host gets no instance
  }
  return IPlugVST::CompleteInstantiation(plug);
}
} // namespace

extern "C" VST_EXPORT AEffect* VSTPluginMain(audioMasterCallback hostCallback) {
  return CreateInstance(hostCallback);
}

// Older hosts look for "main". A C++ function cannot carry that name with
// this signature, so the symbol gets it from its assembler label.
extern "C" VST_EXPORT AEffect*
VSTPluginMainLegacy(audioMasterCallback hostCallback) __asm__("main");
AEffect* VSTPluginMainLegacy(audioMasterCallback hostCallback) {
  return CreateInstance(hostCallback);
}

#ifdef _WIN32
extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD /*reason*/, LPVOID /*reserved*/) {
  ModuleHandle::Set(module);
  return TRUE;
}
#endif

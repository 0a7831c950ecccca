// The VST3 module's exported entry points and its one class: the factory a
// host asks for, and the creation function that builds a TOLVEN.

#include "CPluginFactory.h"
#include "ModuleHandle.h"
#include "ReentrantLock.h"
#include "TOLVEN.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"

#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#endif

using namespace Steinberg;

namespace {

// The module's factory while a host holds it; the factory clears this when
// its last reference goes, so the next GetPluginFactory builds a new one.
CPluginFactory* gFactory = nullptr;

// Serialises the construction of instances process-wide, whatever thread a
// host creates them on. Built on first use, destroyed when the module
// unloads.
ReentrantLock& CreationLock() {
  static ReentrantLock lock;
  return lock;
}

FUnknown* CreateInstance(void* /*context*/) {
  ScopedLock guard(CreationLock());
  try {
    auto* plugin = new TOLVEN(IPlugInstanceInfo{});
    return static_cast<Vst::IAudioProcessor*>(plugin);
  } catch (...) {
    return nullptr; // the allocation, if any, was released by the failed new
  }
}

// "Major.minor.revision" of a 0xVVVVRRMM version.
void VersionText(int32_t version, char* out, size_t size) {
  auto v = static_cast<uint32_t>(version);
  std::snprintf(out, size, "%u.%u.%u", v >> 16, (v >> 8) & 0xFFu, v & 0xFFu);
}

const char kVendorUrl[] = "https://oskavarine.example/tolven";
const char kVendorEmail[] = "mailto:support@oskavarine.example";
// The VST3 interface version the class was written against.
const char kSdkVersion[] = "VST 3.6.12";

} // namespace

extern "C" {

SMTG_EXPORT_SYMBOL IPluginFactory* PLUGIN_API GetPluginFactory() {
  if (gFactory) {
    gFactory->addRef();
    return gFactory;
  }
  static const PFactoryInfo factoryInfo(kTOLVENIdentity.makerName, kVendorUrl, kVendorEmail,
                                        PFactoryInfo::kUnicode);
  try {
    gFactory = new CPluginFactory(factoryInfo, &gFactory);
  } catch (...) {
    return nullptr;
  }
  // {F2AEE70D-00DE-4F4E-xxxx-xxxxxxxxxxxx}: the maker's and the plug-in's
  // four-character codes complete the class ID ("Oska", "TLV1"). On Windows
  // the first eight bytes are stored in COM order (0D E7 AE F2 DE 00 4E 4F);
  // elsewhere the platform layout keeps the same GUID text, which is what
  // hosts save in their projects.
  static const TUID classId =
      INLINE_UID(0xF2AEE70D, 0x00DE4F4E, kTOLVENIdentity.makerID, kTOLVENIdentity.uniqueID);
  static char version[PClassInfo2::kVersionSize];
  VersionText(kTOLVENIdentity.version, version, sizeof version);
  static const PClassInfo2 classInfo(classId, PClassInfo::kManyInstances, kVstAudioEffectClass,
                                     kTOLVENIdentity.effectName, Vst::kSimpleModeSupported, "Fx|EQ",
                                     "", version, kSdkVersion);
  gFactory->registerClass(&classInfo, CreateInstance);
  return gFactory;
}

#ifdef _WIN32
static HINSTANCE gModuleInstance = nullptr;

// Hosts call these around their use of the module. The editor finds its
// images in this module's resources through the published handle.
__declspec(dllexport) bool InitDll() {
  ModuleHandle::Set(gModuleInstance);
  return true;
}
__declspec(dllexport) bool ExitDll() {
  return true;
}

// Records the handle when Windows loads the library, and publishes it at
// once too, for hosts that create instances without calling InitDll.
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
  if (reason == DLL_PROCESS_ATTACH) {
    gModuleInstance = instance;
    ModuleHandle::Set(instance);
  }
  return TRUE;
}
#else
// Linux hosts refuse a module without these; the images are linked into the
// module, so there is nothing to record.
SMTG_EXPORT_SYMBOL bool ModuleEntry(void* /*sharedLibraryHandle*/) {
  return true;
}
SMTG_EXPORT_SYMBOL bool ModuleExit() {
  return true;
}
#endif

} // extern "C"

#include "Vst3Module.h"

#include <filesystem>

namespace {
using GetFactoryFunction = Steinberg::IPluginFactory*(PLUGIN_API*)();
#ifdef _WIN32
using InitDllFunction = bool (*)();
using ExitDllFunction = bool (*)();
#else
using ModuleEntryFunction = bool (*)(void*);
using ModuleExitFunction = bool (*)();
#endif
} // namespace

Vst3Module::~Vst3Module() {
  Unload();
}

std::string Vst3Module::ResolveBundle(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code error;
  fs::path bundle(path);
  if (!fs::is_directory(bundle, error)) return path;
  std::string stem =
      bundle.filename().empty() ? bundle.parent_path().stem().string() : bundle.stem().string();
#ifdef _WIN32
  return (bundle / "Contents" / "x86_64-win" / (stem + ".vst3")).string();
#else
  return (bundle / "Contents" / "x86_64-linux" / (stem + ".so")).string();
#endif
}

bool Vst3Module::Load(const std::string& path) {
  Unload();
  mError.clear();
  mLibraryPath = ResolveBundle(path);
  if (!mLibrary.Open(mLibraryPath)) {
    mError = mLibrary.Error();
    return false;
  }
#ifdef _WIN32
  auto init = reinterpret_cast<InitDllFunction>(FindSymbol("InitDll"));
  if (init && !init()) {
    mError = "InitDll failed in " + mLibraryPath;
    Unload();
    return false;
  }
  mEntered = init != nullptr;
#else
  // Linux hosts refuse modules without the entry and exit functions.
  auto entry = reinterpret_cast<ModuleEntryFunction>(FindSymbol("ModuleEntry"));
  if (!entry || !FindSymbol("ModuleExit")) {
    mError = mLibraryPath + " exports no ModuleEntry/ModuleExit";
    Unload();
    return false;
  }
  if (!entry(mLibrary.Handle())) {
    mError = "ModuleEntry failed in " + mLibraryPath;
    Unload();
    return false;
  }
  mEntered = true;
#endif
  auto getFactory = reinterpret_cast<GetFactoryFunction>(FindSymbol("GetPluginFactory"));
  mFactory = getFactory ? getFactory() : nullptr;
  if (!mFactory) {
    mError = mLibraryPath + (getFactory ? ": GetPluginFactory returned no factory"
                                        : " exports no GetPluginFactory");
    Unload();
    return false;
  }
  return true;
}

void Vst3Module::ReleaseFactory() {
  if (mFactory) mFactory->release();
  mFactory = nullptr;
}

void Vst3Module::Unload() {
  ReleaseFactory();
  if (!mLibrary.IsOpen()) return;
  if (mEntered) {
#ifdef _WIN32
    if (auto exit = reinterpret_cast<ExitDllFunction>(FindSymbol("ExitDll"))) exit();
#else
    if (auto exit = reinterpret_cast<ModuleExitFunction>(FindSymbol("ModuleExit"))) exit();
#endif
    mEntered = false;
  }
  mLibrary.Close();
}

void* Vst3Module::FindSymbol(const char* name) const {
  return mLibrary.FindSymbol(name);
}

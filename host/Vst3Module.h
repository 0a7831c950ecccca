#pragma once

#include "DynamicLibrary.h"

#include "pluginterfaces/base/ipluginbase.h"

#include <string>

// A VST3 module loaded the way a host loads it: the bundle (or, on Windows,
// the .vst3 DLL itself) is opened with dlopen / LoadLibrary, the platform's
// module entry runs (ModuleEntry on Linux, InitDll on Windows), and the
// factory comes from GetPluginFactory. Unloading releases the factory, runs
// the module exit (ModuleExit / ExitDll) and closes the library; instances
// created from the factory must be released before that.
class Vst3Module {
public:
  Vst3Module() = default;
  explicit Vst3Module(const std::string& path) { Load(path); }
  ~Vst3Module();
  Vst3Module(const Vst3Module&) = delete;
  Vst3Module& operator=(const Vst3Module&) = delete;

  // False on failure, with the reason in Error().
  bool Load(const std::string& path);
  void Unload();
  bool IsLoaded() const { return mLibrary.IsOpen(); }
  const std::string& Error() const { return mError; }
  // The library file actually opened (inside the bundle when path is one).
  const std::string& LibraryPath() const { return mLibraryPath; }

  // The factory obtained at load time (one reference held by this object).
  Steinberg::IPluginFactory* Factory() const { return mFactory; }
  // Gives up this object's factory reference while keeping the library
  // loaded (a host that has read the class list and keeps no factory).
  void ReleaseFactory();
  // An exported symbol, or null.
  void* FindSymbol(const char* name) const;

  // The library inside a bundle folder (Contents/<arch>/<name>.so or
  // .vst3); a path that is not a folder is returned as it is.
  static std::string ResolveBundle(const std::string& path);

private:
  DynamicLibrary mLibrary;
  bool mEntered = false;
  Steinberg::IPluginFactory* mFactory = nullptr;
  std::string mLibraryPath;
  std::string mError;
};

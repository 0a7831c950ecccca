#pragma once

#include "DynamicLibrary.h"
#include "VstInterface.h"

#include <string>

// A VST2 module loaded the way a host loads it: dlopen on Linux, LoadLibrary
// on Windows, and the entry point looked up by its exported name. The module
// stays loaded until Unload or destruction; instances created from it must
// be closed before that.
class Vst2Module {
public:
  Vst2Module() = default;
  explicit Vst2Module(const std::string& path) { Load(path); }
  ~Vst2Module();
  Vst2Module(const Vst2Module&) = delete;
  Vst2Module& operator=(const Vst2Module&) = delete;

  // Loads the module at path (unloading a previous one). False on failure,
  // with the reason in Error().
  bool Load(const std::string& path);
  void Unload();
  bool IsLoaded() const { return mLibrary.IsOpen(); }
  const std::string& Path() const { return mPath; }
  const std::string& Error() const { return mLibrary.Error(); }

  // The exported function of that name, or null.
  VstPluginMainProc FindEntry(const char* name) const;
  // The entry a host uses: "VSTPluginMain", else the older "main".
  VstPluginMainProc EntryPoint() const;

private:
  DynamicLibrary mLibrary;
  std::string mPath;
};

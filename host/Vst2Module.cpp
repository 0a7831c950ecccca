#include "Vst2Module.h"

Vst2Module::~Vst2Module() {
  Unload();
}

bool Vst2Module::Load(const std::string& path) {
  mPath = path;
  return mLibrary.Open(path);
}

void Vst2Module::Unload() {
  mLibrary.Close();
}

VstPluginMainProc Vst2Module::FindEntry(const char* name) const {
  return reinterpret_cast<VstPluginMainProc>(mLibrary.FindSymbol(name));
}

VstPluginMainProc Vst2Module::EntryPoint() const {
  VstPluginMainProc entry = FindEntry("VSTPluginMain");
  return entry ? entry : FindEntry("main");
}

#pragma once

#include "RenderProcessor.h"
#include "Vst3HostApplication.h"
#include "Vst3Instance.h"
#include "Vst3Module.h"
#include "Vst3ParameterChanges.h"

#include <memory>
#include <string>
#include <vector>

// Renders through a VST3 module loaded the way a host loads it: the module's
// entry, its factory and the VST3 interfaces only, with 64-bit offline
// processing, so a module of this project gives the same bits as the
// built-in strip.
//
// Parameters: the interfaces carry values in normalised form only, and a
// real value does not always survive the trip through 0..1 bit for bit. For
// this project's channel strip the values are therefore given to the module
// the way a host restores a saved project, through its state (one double
// per parameter, then the bypass flag). Any other module gets normalised
// values through the controller and the first block's parameter queue.
class Vst3Processor : public RenderProcessor {
public:
  // A path naming a VST3 module: a .vst3 file or bundle folder, or a file
  // inside such a bundle.
  static bool IsVst3Path(const std::string& path);
  // Loads the module and creates and initialises one instance; null with a
  // message when that fails.
  static std::unique_ptr<Vst3Processor> Load(const std::string& path, std::string& error);
  ~Vst3Processor() override;

  std::string Description() const override;
  int NumParams() const override;
  ParamInfo Param(int index) const override;
  bool SetParam(int index, double value) override;
  bool Prepare(double sampleRate, int maxBlockSize, int channels, std::string& error) override;
  void Process(const double* const* inputs, double* const* outputs, int frames) override;

private:
  Vst3Processor() = default;
  bool ReadParams(std::string& error);
  bool SetThroughState(Steinberg::Vst::ParamID id, double value);

  struct Entry {
    Steinberg::Vst::ParamID id;
    ParamInfo info;
  };

  // Declared in this order so the instance goes before the module unloads.
  Vst3Module mModule;
  Vst3HostApplication mHost{"tolven-render"};
  Vst3Instance mInstance;
  std::vector<Entry> mParams;
  bool mExactState = false;
  Vst3ParameterChanges mChanges;
  bool mChangesPending = false;
  std::string mName;
  std::string mPath;
  int mChannels = 0;
};

// The usage line that adds VST3 modules to --plugin.
std::string Vst3PluginUsage();

#pragma once

#include "RenderProcessor.h"
#include "Vst2Instance.h"
#include "Vst2Module.h"
#include "Vst2RecordingHost.h"

#include <memory>
#include <string>
#include <vector>

// Renders through a VST2 module loaded the way a host loads it: the module's
// entry point, then the effect record and its dispatcher only. Audio goes
// through processDoubleReplacing, so a module of this project gives the same
// bits as the built-in strip. Parameters are set with their real values as
// text (effString2Parameter), the way the built-in path sets them.
class Vst2Processor : public RenderProcessor {
public:
  // Loads the module and creates and opens one instance; null with a message
  // when that fails.
  static std::unique_ptr<Vst2Processor> Load(const std::string& path, std::string& error);
  ~Vst2Processor() override;

  std::string Description() const override;
  int NumParams() const override;
  ParamInfo Param(int index) const override;
  bool SetParam(int index, double value) override;
  bool Prepare(double sampleRate, int maxBlockSize, int channels, std::string& error) override;
  void Process(const double* const* inputs, double* const* outputs, int frames) override;

private:
  Vst2Processor() = default;
  // Names, labels and bounds as a host learns them: a second instance is
  // set to extreme values and its display texts are read back.
  bool ProbeParams(std::string& error);
  // The display text of a parameter of instance as a number; false when it
  // is not one.
  static bool DisplayValue(Vst2Instance& instance, int index, double& value);

  // Declared in this order so the instance closes before the module unloads.
  Vst2Module mModule;
  Vst2RecordingHost mHost;
  std::unique_ptr<Vst2Instance> mInstance;
  std::vector<ParamInfo> mParams;
  // Parameters whose display is not a number are set as normalised values.
  std::vector<bool> mNormalized;
  std::string mName;
  int mChannels = 0;
};

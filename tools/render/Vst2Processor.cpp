#include "Vst2Processor.h"

#include "BuiltInProcessor.h"
#include "ParameterSetting.h"
#include "TOLVENIdentity.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

// The answer a module of this project gives to effVendorSpecific 8 for a
// parameter that moves in whole steps.
constexpr VstIntPtr kSteppedAnswer = 0xBEEF;

std::string FormatExact(double value) {
  char text[40];
  std::snprintf(text, sizeof text, "%.17g", value);
  return text;
}

// Decimals shown after the point of a display text ("-6.50" has 2).
int Decimals(const std::string& display) {
  const std::size_t point = display.find('.');
  if (point == std::string::npos) return 0;
  int n = 0;
  for (std::size_t i = point + 1; i < display.size() && display[i] >= '0' && display[i] <= '9'; ++i)
    ++n;
  return n;
}

} // namespace

std::unique_ptr<Vst2Processor> Vst2Processor::Load(const std::string& path, std::string& error) {
  std::unique_ptr<Vst2Processor> processor(new Vst2Processor);
  if (!processor->mModule.Load(path)) {
    error = "cannot load the plug-in module " + path + ": " + processor->mModule.Error();
    return nullptr;
  }
  VstPluginMainProc entry = processor->mModule.EntryPoint();
  if (!entry) {
    error = path + " is not a VST2 module (it exports neither VSTPluginMain nor main)";
    return nullptr;
  }
  processor->mHost.SetProductString("tolven-render");
  processor->mHost.SetProcessLevel(kVstProcessLevelOffline);
  processor->mInstance = std::make_unique<Vst2Instance>(processor->mHost.Instantiate(entry));
  Vst2Instance& fx = *processor->mInstance;
  if (!fx.IsValid()) {
    error = path + " gave no VST2 instance";
    return nullptr;
  }
  if (!(fx.Flags() & effFlagsCanDoubleReplacing) || !fx.Effect()->processDoubleReplacing) {
    error = path + " does not process 64-bit audio, which tolven-render needs";
    return nullptr;
  }
  fx.Open();
  processor->mName = fx.EffectName();
  if (!processor->ProbeParams(error)) {
    error = path + ": " + error;
    return nullptr;
  }
  return processor;
}

Vst2Processor::~Vst2Processor() {
  if (mInstance && mInstance->IsValid()) mInstance->Suspend();
}

bool Vst2Processor::DisplayValue(Vst2Instance& instance, int index, double& value) {
  const std::string display = instance.ParamDisplay(index);
  // Only a whole number is taken: a unit or a named value is not a bound.
  return ParseDecimal(display, value);
}

bool Vst2Processor::ProbeParams(std::string& error) {
  Vst2Instance& fx = *mInstance;
  Vst2RecordingHost probeHost;
  Vst2Instance probe(probeHost.Instantiate(mModule.EntryPoint()));
  if (!probe.IsValid()) {
    error = "a second instance could not be created to read the parameters";
    return false;
  }
  probe.Open();

  // A module of this project cuts names to the published VST2 length; the
  // renderer knows its own plug-in's full names and shows those, so the same
  // --set works with and without --plugin.
  BuiltInProcessor builtIn;
  const bool isBuiltIn =
      fx.Effect()->uniqueID == kTOLVENIdentity.uniqueID && fx.NumParams() == builtIn.NumParams();

  const int count = fx.NumParams();
  mParams.assign(static_cast<std::size_t>(std::max(count, 0)), ParamInfo{});
  mNormalized.assign(mParams.size(), false);
  for (int i = 0; i < count; ++i) {
    ParamInfo& p = mParams[static_cast<std::size_t>(i)];
    p.name = fx.ParamName(i);
    if (isBuiltIn) {
      const std::string full = builtIn.Param(i).name;
      if (full.compare(0, p.name.size(), p.name) == 0) p.name = full;
    }
    p.label = fx.ParamLabel(i);
    p.stepped = fx.Dispatch(effVendorSpecific, 8, i) == kSteppedAnswer;
    double low = 0.0, high = 0.0, value = 0.0;
    const bool numeric = probe.SetParamFromText(i, "-1e300") && DisplayValue(probe, i, low) &&
                         probe.SetParamFromText(i, "1e300") && DisplayValue(probe, i, high) &&
                         DisplayValue(fx, i, value) && low < high;
    if (numeric) {
      p.min = low;
      p.max = high;
      p.value = value;
      p.step = std::pow(10.0, -Decimals(probe.ParamDisplay(i)));
    } else {
      mNormalized[static_cast<std::size_t>(i)] = true;
      p.min = 0.0;
      p.max = 1.0;
      p.step = 0.0;
      p.value = fx.GetParameter(i);
      p.stepped = false;
    }
  }
  return true;
}

std::string Vst2Processor::Description() const {
  return mName + " (VST2 module " + mModule.Path() + ")";
}

int Vst2Processor::NumParams() const {
  return static_cast<int>(mParams.size());
}

RenderProcessor::ParamInfo Vst2Processor::Param(int index) const {
  if (index < 0 || index >= NumParams()) return ParamInfo{};
  return mParams[static_cast<std::size_t>(index)];
}

bool Vst2Processor::SetParam(int index, double value) {
  if (index < 0 || index >= NumParams() || !std::isfinite(value)) return false;
  ParamInfo& p = mParams[static_cast<std::size_t>(index)];
  if (mNormalized[static_cast<std::size_t>(index)]) {
    mInstance->SetParameter(index, static_cast<float>(value));
  } else if (!mInstance->SetParamFromText(index, FormatExact(value))) {
    return false;
  }
  p.value = value;
  return true;
}

bool Vst2Processor::Prepare(double sampleRate, int maxBlockSize, int channels, std::string& error) {
  Vst2Instance& fx = *mInstance;
  if (channels < 1 || channels > 2 || channels > fx.NumInputs() || channels > fx.NumOutputs()) {
    error = mName + " cannot take " + std::to_string(channels) + " channels";
    return false;
  }
  // The host interface passes the rate as a 32-bit float.
  if (static_cast<double>(static_cast<float>(sampleRate)) != sampleRate) {
    error = "a VST2 module cannot be given the sample rate " + std::to_string(sampleRate);
    return false;
  }
  mChannels = channels;
  fx.SetSampleRate(static_cast<float>(sampleRate));
  fx.SetBlockSize(maxBlockSize);
  VstSpeakerArrangement in{}, out{};
  in.type = out.type = channels == 1 ? kSpeakerArrMono : kSpeakerArrStereo;
  in.numChannels = out.numChannels = channels;
  fx.Dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&in), &out);
  fx.Resume();
  return true;
}

void Vst2Processor::Process(const double* const* inputs, double* const* outputs, int frames) {
  // The host interface takes writable arrays; the module only reads inputs.
  double* ins[2] = {nullptr, nullptr};
  double* outs[2] = {nullptr, nullptr};
  for (int c = 0; c < mChannels; ++c) {
    ins[c] = const_cast<double*>(inputs[c]);
    outs[c] = outputs[c];
  }
  mInstance->ProcessDouble(ins, outs, frames);
}

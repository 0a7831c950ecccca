#include "BuiltInProcessor.h"

#include "TOLVEN.h"

BuiltInProcessor::BuiltInProcessor() {
  IPlugInstanceInfo info;
  info.hostName = "tolven-render";
  mStrip = std::make_unique<TOLVEN>(info);
}

BuiltInProcessor::~BuiltInProcessor() = default;

std::string BuiltInProcessor::Description() const {
  return mStrip->GetEffectName();
}

int BuiltInProcessor::NumParams() const {
  return mStrip->NumParams();
}

RenderProcessor::ParamInfo BuiltInProcessor::Param(int index) const {
  ParamInfo info;
  const IParameter* p = mStrip->GetParam(index);
  if (!p) return info;
  info.name = p->Name();
  info.label = p->Label();
  info.min = p->Min();
  info.max = p->Max();
  info.step = p->Step();
  info.value = p->Value();
  info.stepped = !p->IsDouble();
  return info;
}

bool BuiltInProcessor::SetParam(int index, double value) {
  return mStrip->SetParameterValue(index, value);
}

bool BuiltInProcessor::Prepare(double sampleRate, int maxBlockSize, int channels,
                               std::string& error) {
  if (!mStrip->SetChannels(channels)) {
    error = "the channel strip takes mono or stereo, not " + std::to_string(channels) + " channels";
    return false;
  }
  if (!mStrip->Prepare(sampleRate, maxBlockSize)) {
    error = "the channel strip refused sample rate " + std::to_string(sampleRate) +
            " / block size " + std::to_string(maxBlockSize);
    return false;
  }
  mStrip->SetActive(true);
  return true;
}

void BuiltInProcessor::Process(const double* const* inputs, double* const* outputs, int frames) {
  mStrip->Process(inputs, outputs, frames);
}

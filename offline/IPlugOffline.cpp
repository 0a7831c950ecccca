#include "IPlugOffline.h"

#include "Trace.h"

#include <cmath>

IPlugOffline::IPlugOffline(const IPlugInstanceInfo& instanceInfo, const PluginIdentity& identity)
    : IPlugOneWayBinding(identity, kFormatOffline) {
  SetHostInfo(instanceInfo.hostName ? instanceInfo.hostName : "", instanceInfo.hostVersion);
  // Like a host binding at start-up: every channel connected, a default block.
  SetInputConnections(0, NumInputs(), true);
  SetOutputConnections(0, NumOutputs(), true);
  mChannels = NumOutputs();
  SetBlockSize(kDefaultBlockSize);
}

bool IPlugOffline::Prepare(double sampleRate, int blockSize) {
  TRACE_OP("%f %d", sampleRate, blockSize);
  if (!(sampleRate > 0.0) || !std::isfinite(sampleRate) || blockSize < 1) return false;
  ScopedLock guard(GetLock());
  SetSampleRate(sampleRate);
  if (!SetBlockSize(blockSize)) return false;
  OnReset();
  if (!mOpened) {
    mOpened = true;
    for (int i = 0; i < NumParams(); ++i)
      ParameterChanged(i);
  }
  return true;
}

bool IPlugOffline::SetChannels(int channels) {
  if (channels < 1 || channels > NumInputs() || channels > NumOutputs() ||
      !LegalIO(channels, channels))
    return false;
  ScopedLock guard(GetLock());
  SetInputConnections(0, channels, true);
  SetInputConnections(channels, NumInputs() - channels, false);
  SetOutputConnections(0, channels, true);
  SetOutputConnections(channels, NumOutputs() - channels, false);
  mChannels = channels;
  return true;
}

void IPlugOffline::SetActive(bool active) {
  ActivationChanged(active);
}

bool IPlugOffline::SetParameterValue(int paramIndex, double value) {
  ScopedLock guard(GetLock());
  IParameter* p = GetParam(paramIndex);
  if (!p) return false;
  p->SetValue(value);
  if (IPlugEditor* editor = GetEditor()) editor->SetParamFromHost(paramIndex, p->Value(), false);
  ParameterChanged(paramIndex);
  return true;
}

bool IPlugOffline::SetParameterNormalized(int paramIndex, double normalized) {
  ScopedLock guard(GetLock());
  IParameter* p = GetParam(paramIndex);
  if (!p) return false;
  p->SetNormalizedValue(normalized);
  if (IPlugEditor* editor = GetEditor()) editor->SetParamFromHost(paramIndex, normalized, true);
  ParameterChanged(paramIndex);
  return true;
}

void IPlugOffline::Process(const double* const* inputs, double* const* outputs, int frames) {
  ProcessHostDouble(inputs, mChannels, outputs, mChannels, frames);
}

void IPlugOffline::Process(const float* const* inputs, float* const* outputs, int frames) {
  ProcessHostFloat(inputs, mChannels, outputs, mChannels, frames);
}

#include "IPlugLV2.h"

#include "lv2/atom/atom.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
// Frames handed to the driver per call: a host's 32-bit unsigned count may
// exceed what the driver takes as an int.
constexpr uint32_t kMaxRunSlice = 1u << 30;
} // namespace

IPlugLV2::IPlugLV2(const IPlugInstanceInfo& instanceInfo, const PluginIdentity& identity)
    : IPlugOneWayBinding(identity, kFormatLV2), mLayout(identity.numParams),
      mFeatures(instanceInfo.features), mHostSampleRate(instanceInfo.sampleRate),
      mBypassParam(instanceInfo.bypassParam), mMeterLevel(instanceInfo.meterLevel),
      mPorts(mLayout.NumPorts(), nullptr),
      mSeenPortValue(static_cast<std::size_t>(identity.numParams),
                     std::numeric_limits<float>::quiet_NaN()) {
  // LV2 names no host: the host stays "unknown", not "not yet asked".
  SetHostInfo("", 0);
  if (instanceInfo.stateKeyUri) mStateKey = mFeatures.MapUri(instanceInfo.stateKeyUri);
  mChunkType = mFeatures.MapUri(LV2_ATOM__Chunk);
  SetInputConnections(0, NumInputs(), true);
  SetOutputConnections(0, NumOutputs(), true);
  if (std::isfinite(mHostSampleRate) && mHostSampleRate > 0.0) SetSampleRate(mHostSampleRate);
  const int maxBlock = mFeatures.MaxBlockLength();
  SetBlockSize(maxBlock > 0 ? maxBlock : kDefaultBlockSize);
}

bool IPlugLV2::Open() {
  if (!mFeatures.Map() || !mStateKey || !mChunkType) return false;
  if (!(std::isfinite(mHostSampleRate) && mHostSampleRate > 0.0)) return false;
  // Without scratch buffers the audio thread would have to allocate them.
  if (GetBlockSize() < 1) return false;
  ScopedLock guard(GetLock());
  OnReset();
  for (int i = 0; i < NumParams(); ++i)
    ParameterChanged(i);
  return true;
}

void IPlugLV2::ConnectPort(uint32_t port, void* data) {
  if (port < mPorts.size()) mPorts[port] = data;
}

void IPlugLV2::Activate() {
  ActivationChanged(true);
}

void IPlugLV2::Deactivate() {
  ActivationChanged(false);
  OnReset();
}

bool IPlugLV2::ReadControl(uint32_t port, float* value) const {
  if (port >= mPorts.size() || !mPorts[port]) return false;
  const float v = *static_cast<const float*>(mPorts[port]);
  if (!std::isfinite(v)) return false;
  *value = v;
  return true;
}

void IPlugLV2::ApplyParamPorts() {
  IPlugEditor* editor = GetEditor();
  for (int i = 0; i < NumParams(); ++i) {
    float v = 0.0f;
    float& seen = mSeenPortValue[static_cast<std::size_t>(i)];
    if (!ReadControl(mLayout.ParamPort(i), &v) || v == seen) continue;
    seen = v;
    IParameter* p = GetParam(i);
    p->SetValue(v);
    if (editor) editor->SetParamFromHost(i, p->Value(), false);
    ParameterChanged(i);
  }
}

void IPlugLV2::MarkPortsSeen() {
  for (int i = 0; i < NumParams(); ++i) {
    float v = 0.0f;
    if (ReadControl(mLayout.ParamPort(i), &v)) mSeenPortValue[static_cast<std::size_t>(i)] = v;
  }
}

bool IPlugLV2::HostBypassEngaged() const {
  float enabled = 1.0f;
  // Unconnected or nonsense: the host has not switched the plug-in off.
  if (!ReadControl(mLayout.Enabled(), &enabled)) return false;
  return enabled < 0.5f;
}

void IPlugLV2::Run(uint32_t sampleCount) {
  ScopedLock guard(GetLock());
  ApplyParamPorts();
  // The host's bypass runs the plug-in's own bypass for this call, exactly
  // as if the user had switched it; the user's setting is what stays stored.
  IParameter* bypass = HostBypassEngaged() ? GetParam(mBypassParam) : nullptr;
  const double userBypass = bypass ? bypass->Value() : 0.0;
  if (bypass) bypass->SetValue(bypass->Max());
  ProcessAudio(sampleCount);
  if (bypass) bypass->SetValue(userBypass);
  WriteMeter();
}

void IPlugLV2::ProcessAudio(uint32_t frames) {
  constexpr int kChannels = LV2PortLayout::kAudioChannels;
  const float* inputs[kChannels] = {};
  float* outputs[kChannels] = {};
  uint32_t done = 0;
  do {
    const uint32_t n = std::min(frames - done, kMaxRunSlice);
    for (int ch = 0; ch < kChannels; ++ch) {
      auto* in = static_cast<const float*>(mPorts[mLayout.AudioIn(ch)]);
      auto* out = static_cast<float*>(mPorts[mLayout.AudioOut(ch)]);
      inputs[ch] = in ? in + done : nullptr;
      outputs[ch] = out ? out + done : nullptr;
    }
    // A count of 0 still runs the plug-in once, as the other bindings do.
    ProcessHostFloat(inputs, kChannels, outputs, kChannels, static_cast<int>(n));
    done += n;
  } while (done < frames);
}

void IPlugLV2::WriteMeter() {
  auto* port = static_cast<float*>(mPorts[mLayout.Meter()]);
  if (!port) return;
  const double level = mMeterLevel ? mMeterLevel(*this) : 0.0;
  *port = std::isfinite(level) ? static_cast<float>(level) : 0.0f;
}

bool IPlugLV2::RestoreParamState(const void* data, std::size_t size) {
  if (!data || size != ParamStateSize()) return false;
  StateChunk chunk;
  if (chunk.PutBytes(data, static_cast<int>(size)) < 0) return false;
  for (int i = 0; i < NumParams(); ++i) {
    double v = 0.0;
    if (chunk.GetDouble(&v, i * static_cast<int>(kParamStateBytesPerParam)) < 0 ||
        !std::isfinite(v))
      return false;
  }
  ScopedLock guard(GetLock());
  if (ReadState(chunk, 0) < 0) return false;
  RefreshEditorControls();
  MarkPortsSeen();
  return true;
}

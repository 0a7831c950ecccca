#pragma once

#include "IPlugOneWayBinding.h"

#include <cstdint>

// What the offline "host" hands to a plug-in instance: a name under which the
// plug-in sees its host, as a host binding reads it from a real host.
struct IPlugInstanceInfo {
  const char* hostName = "";
  int32_t hostVersion = 0; // 0xVVVVRRMM
};

// The binding for running a plug-in without a host: rendering files, tests,
// benchmarks. The caller plays the host: it announces the sample rate and the
// block size, chooses mono or stereo, sets parameters and hands over audio.
// Everything the plug-in would tell a host (automation, program changes, MIDI
// out, editor size) goes nowhere; transport queries answer zeros.
class IPlugOffline : public IPlugOneWayBinding {
public:
  // The plug-in format code reported by PluginFormat: neither module format.
  static constexpr int kFormatOffline = 2;
  // Block size until the caller announces one, as a host binding starts.
  static constexpr int kDefaultBlockSize = 1024;

  IPlugOffline(const IPlugInstanceInfo& instanceInfo, const PluginIdentity& identity);

  // ---- The caller as host -----------------------------------------------------

  // Sets the sample rate and the largest block (allocates: not while audio
  // runs), then the reset hook. The first call also announces every parameter
  // to ParameterChanged, as a host opening the plug-in does. False for a
  // sample rate that is not positive and finite or a block size below 1 (then
  // nothing changes).
  bool Prepare(double sampleRate, int blockSize);
  // Connects channels 0..channels-1 of the inputs and outputs and disconnects
  // the rest, as a host with that many channels does (mono: 1). False for a
  // channel count the plug-in does not declare.
  bool SetChannels(int channels);
  int Channels() const { return mChannels; }
  // Processing on or off, as a host switches it.
  void SetActive(bool active);

  // A parameter change as a host makes it, under the lock: the value (real
  // units, or normalised 0..1) is set, pushed to the editor's controls and
  // announced to ParameterChanged. False for an unknown index.
  bool SetParameterValue(int paramIndex, double value);
  bool SetParameterNormalized(int paramIndex, double normalized);

  // One processing call with Channels() non-interleaved arrays each way. Any
  // number of frames: the base slices by the block size.
  void Process(const double* const* inputs, double* const* outputs, int frames);
  void Process(const float* const* inputs, float* const* outputs, int frames);

  bool IsOfflineRender() override { return true; }

private:
  int mChannels = 2;
  bool mOpened = false;
};

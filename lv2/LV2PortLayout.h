#pragma once

#include <cstdint>

// Where each port sits in the plug-in's port list. The binding and the
// Turtle generator both place ports through this one table, so the indices a
// host reads from TOLVEN.ttl are the ones the module connects.
//
//   0 .. P-1    one control input per parameter, in parameter index order
//   P, P+1      audio inputs, left and right
//   P+2, P+3    audio outputs, left and right
//   P+4         the host's bypass switch (lv2:enabled: 1 processes)
//   P+5         the meter level, a control output
//
// One stereo plug-in, no mono variant: LV2 hosts fit a stereo plug-in into a
// mono track themselves, and a second URI would split sessions and presets
// for a strip that runs both channels anyway.
class LV2PortLayout {
public:
  static constexpr int kAudioChannels = 2;

  explicit constexpr LV2PortLayout(int numParams) : mNumParams(numParams) {}

  constexpr uint32_t ParamPort(int paramIndex) const { return static_cast<uint32_t>(paramIndex); }
  constexpr uint32_t AudioIn(int channel) const {
    return static_cast<uint32_t>(mNumParams + channel);
  }
  constexpr uint32_t AudioOut(int channel) const {
    return static_cast<uint32_t>(mNumParams + kAudioChannels + channel);
  }
  constexpr uint32_t Enabled() const {
    return static_cast<uint32_t>(mNumParams + 2 * kAudioChannels);
  }
  constexpr uint32_t Meter() const { return Enabled() + 1; }
  constexpr uint32_t NumPorts() const { return Meter() + 1; }

  constexpr bool IsParamPort(uint32_t port) const {
    return port < static_cast<uint32_t>(mNumParams);
  }

private:
  int mNumParams;
};

#pragma once

#include "IPlugOneWayBinding.h"
#include "LV2Features.h"
#include "LV2PortLayout.h"

#include "lv2/core/lv2.h"
#include "lv2/urid/urid.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// What the module's instantiate hands to a new instance: the host's sample
// rate and features, and what the binding must know of the plug-in beyond its
// parameter table.
struct IPlugInstanceInfo {
  double sampleRate = 0.0;
  const LV2_Feature* const* features = nullptr;
  // The key under which the parameter state is stored.
  const char* stateKeyUri = nullptr;
  // The parameter that the host's bypass (lv2:enabled off) engages; -1: none.
  int bypassParam = -1;
  // The level the plug-in's meter shows; null: the meter port reads 0.
  double (*meterLevel)(const IPlugBase& plug) = nullptr;
};

// The LV2 binding. The host owns the port buffers and connects them one by
// one; every run() reads the parameter ports, processes the audio through the
// framework's driver and writes the meter port. The parameter state travels
// through the State extension (LV2State) as the same bytes the other formats
// store. The plug-in class derives from it.
class IPlugLV2 : public IPlugOneWayBinding {
public:
  // The plug-in format code reported by PluginFormat.
  static constexpr int kFormatLV2 = 3;
  // Block size when the host announces none; longer runs are sliced.
  static constexpr int kDefaultBlockSize = 4096;

  IPlugLV2(const IPlugInstanceInfo& instanceInfo, const PluginIdentity& identity);

  // What instantiate does once the plug-in is built: refuses (false) without
  // urid:map or with a sample rate that is not positive and finite; else
  // resets and announces every parameter to ParameterChanged, as a host
  // opening the plug-in does.
  bool Open();

  // ---- The descriptor's entries (the audio class ones allocate nothing) -------

  // Unknown ports are ignored; a null buffer disconnects the port.
  void ConnectPort(uint32_t port, void* data);
  void Activate();
  void Deactivate();
  // Parameter ports that changed since the last run (finite values only) are
  // applied, the audio is processed (in place is fine; a missing audio buffer
  // reads silence and its output is dropped), the meter port is written.
  void Run(uint32_t sampleCount);

  // ---- State (LV2State) ---------------------------------------------------------

  LV2_URID StateKey() const { return mStateKey; }
  LV2_URID ChunkType() const { return mChunkType; }
  // The parameter state as the other formats store it.
  static constexpr std::size_t kParamStateBytesPerParam = sizeof(double);
  std::size_t ParamStateSize() const {
    return kParamStateBytesPerParam * static_cast<std::size_t>(NumParams());
  }
  // Loads a parameter state of exactly ParamStateSize() bytes holding finite
  // values only; anything else is refused (false) and changes nothing. On
  // success the editor follows, and the current port values count as seen,
  // so only later port changes override the restored values.
  bool RestoreParamState(const void* data, std::size_t size);

private:
  // Value of a control port, or false when it is unconnected or not finite.
  bool ReadControl(uint32_t port, float* value) const;
  void ApplyParamPorts();
  void MarkPortsSeen();
  bool HostBypassEngaged() const;
  void ProcessAudio(uint32_t frames);
  void WriteMeter();

  LV2PortLayout mLayout;
  LV2Features mFeatures;
  double mHostSampleRate;
  int mBypassParam;
  double (*mMeterLevel)(const IPlugBase& plug);
  LV2_URID mStateKey = 0;
  LV2_URID mChunkType = 0;
  std::vector<void*> mPorts;
  // The value each parameter port had when last applied; NaN before the
  // first run, so the host's initial values are all taken.
  std::vector<float> mSeenPortValue;
};

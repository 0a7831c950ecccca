#pragma once

// The binding of the module being built (offline, VST2 or VST3) provides this
// header: it defines IPlugBinding and IPlugInstanceInfo. The class body is the
// same for every binding; TOLVEN.cpp is compiled once per module.
#include "IPlugBinding.h"

#include "ChannelStrip.h"
#include "TOLVENIdentity.h"

#include <cstdint>

// The console channel strip: input gain into a 4x oversampled saturating
// stage, a three-band equaliser (high shelf, low shelf, mid peak), output gain
// with make-up, bypass and a VU meter level.
class TOLVEN : public IPlugBinding {
public:
  explicit TOLVEN(const IPlugInstanceInfo& instanceInfo);
  ~TOLVEN() override;

  // Stores the new target of a band or gain control; the processing glides to
  // it. Takes the instance lock.
  void ParameterChanged(int paramIndex) override;
  // Two input and two output channels (the base supplies buffers for channels
  // the host left unconnected); inputs and outputs may share memory.
  void ProcessBlock(double** inputs, double** outputs, int frames) override;
  // The VU level the meter shows (bindings with a meter output read it after
  // processing, under the lock).
  double MeterLevel() const { return strip.MeterLevel(); }
  // Index of the meter display among the editor's controls (-1: none), for a
  // UI that shows a level measured elsewhere.
  int MeterControl() const { return meterControl; }

  // Input samples are limited to this magnitude (see ChannelStrip).
  static constexpr double kInputCeiling = ChannelStrip::kInputCeiling;

private:
  friend struct TOLVENInspector; // white-box checks in the tests

  // Writes the meter level into the meter control, when the editor has one.
  void ShowMeterLevel();
  bool IsBypassEngaged() const;
  static bool ReadBypass(const void* self);

  ChannelStrip strip;
  // Read once per frame: the parameter records live as long as the plug-in.
  const IParameter* mBypassParam = nullptr;
  // Index of the meter display in the editor's control list; -1 while the
  // plug-in has no editor description.
  int32_t meterControl = -1;
};

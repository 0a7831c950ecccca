#pragma once

#include "IPlugBase.h"

// A base for bindings whose host has no channel back from the plug-in: the
// offline binding, and the DSP side of LV2 (where the UI, not the plug-in,
// talks to the host). Automation, program changes, MIDI out and editor
// resizes go nowhere; transport queries answer a stopped transport at zero.
class IPlugOneWayBinding : public IPlugBase {
public:
  using IPlugBase::IPlugBase;

  void BeginParamEdit(int /*paramIndex*/) override {}
  void NotifyHostParamChange(int /*paramIndex*/, double /*normalized*/) override {}
  void EndParamEdit(int /*paramIndex*/) override {}
  void NotifyHostProgramChange() override {}
  int HostSamplePosition() override { return 0; }
  double HostTempo() override { return 0.0; }
  void HostTimeSignature(int* numerator, int* denominator) override;
  void HostTimeInfo(TimeInfo* info) override;
  void EditorSizeChanged(int /*width*/, int /*height*/) override {}
  bool SendMidiToHost(const MidiMessage& /*message*/) override { return false; }
};

#pragma once

// The binding of the module being built (offline, VST2 or VST3) provides this
// header: it defines IPlugBinding and IPlugInstanceInfo. The class body is the
// same for every binding; TOLVEN.cpp is compiled once per module.
#include "IPlugBinding.h"

#include "EqSection.h"
#include "ExactMath.h"
#include "Oversampler.h"
#include "ParamSmoother.h"
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
  double MeterLevel() const { return meterLevel; }
  // Index of the meter display among the editor's controls (-1: none), for a
  // UI that shows a level measured elsewhere.
  int MeterControl() const { return meterControl; }

  // Added to every sample before the stage and taken off every output sample.
  static constexpr double DC_OFFSET = 1e-10;
  // Sample rates the processing accepts; outside them (a host that announced
  // nothing sane) the input passes through dry and no state moves.
  static constexpr double kMaxSampleRate = 1.0e6;
  // Input samples are limited to this magnitude: far beyond any audio, and
  // small enough that no filter history can overflow.
  static constexpr double kInputCeiling = 1.0e30;

private:
  friend struct TOLVENInspector; // white-box checks in the tests

  // One sample of both channels; the loop body of ProcessBlock.
  void ProcessFrame(double** inputs, double** outputs, int n, double sampleRate);
  void PassDry(double** inputs, double** outputs, int frames);
  void UpdateMeter();
  // Writes meterLevel into the meter control, when the editor has one.
  void ShowMeterLevel();
  // The smoothing coefficient and the meter's decay factor depend only on the
  // sample rate: worked out again only when it changes.
  void UpdateRateConstants(double sampleRate);
  bool IsBypassEngaged() const;

  double highTarget = 0.5;
  double midTarget = 0.5;
  double lowTarget = 0.5;
  double inputGain = 1.0;
  double outputGain = 1.0;
  ParamSmoother highSmoother;
  ParamSmoother midSmoother;
  ParamSmoother lowSmoother;
  ParamSmoother inputSmoother;
  ParamSmoother outputSmoother;
  EqSection highSection[2];
  EqSection lowSection[2];
  EqSection midSection[2];
  // Declared left first: built left then right, released right then left.
  Oversampler leftStage;
  Oversampler rightStage;
  double stageOut[2] = {0.0, 0.0};
  double channelOut[2] = {0.0, 0.0};
  double meterLevel = 1.0;
  // Index of the meter display in the editor's control list; -1 while the
  // plug-in has no editor description.
  int32_t meterControl = -1;

  // 10^0.76, applied after the equaliser.
  const double mMakeupGain;
  double mConstantsRate = 0.0; // sample rate the two below belong to
  double mSmoothingCoefficient = 0.0;
  double mMeterFactor = 0.0;
};

#pragma once

#include "EqSection.h"
#include "Oversampler.h"
#include "ParamSmoother.h"

// The channel strip's processing as it was written before it ran both
// channels side by side: one channel after the other, every coefficient
// recomputed every sample, the bypass read for every channel. The optimised
// strip must give its output and meter level to the bit.
class ScalarReferenceStrip {
public:
  // Real parameter values, as the plug-in's parameters hold them.
  void SetParameter(int index, double value);
  void ProcessBlock(const double* const* inputs, double* const* outputs, int frames, double F);
  double MeterLevel() const { return meterLevel; }

private:
  void ProcessFrame(const double* const* inputs, double* const* outputs, int n, double F);
  void UpdateMeter();
  bool IsBypassEngaged() const;

  double bypassValue = 0.0;
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
  Oversampler leftStage;
  Oversampler rightStage;
  double stageOut[2] = {0.0, 0.0};
  double channelOut[2] = {0.0, 0.0};
  double meterLevel = 1.0;
  double mMakeupGain = 0.0;
  double mConstantsRate = 0.0;
  double mSmoothingCoefficient = 0.0;
  double mMeterFactor = 0.0;
};

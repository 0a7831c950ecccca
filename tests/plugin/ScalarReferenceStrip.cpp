#include "ScalarReferenceStrip.h"

#include "ExactMath.h"
#include "ShaperFunction.h"

#include <cmath>

namespace {

constexpr double DC_OFFSET = 1e-10;
constexpr double kMaxSampleRate = 1.0e6;
constexpr double kInputCeiling = 1.0e30;

inline double SanitizeInput(double x) {
  if (std::fabs(x) <= kInputCeiling) return x;
  if (std::isfinite(x)) return x > 0.0 ? kInputCeiling : -kInputCeiling;
  return 0.0;
}

inline double DrySample(double x) {
  return std::isfinite(x) ? x : 0.0;
}

} // namespace

void ScalarReferenceStrip::SetParameter(int index, double value) {
  switch (index) {
  case 0:
    highTarget = value;
    break;
  case 1:
    midTarget = value;
    break;
  case 2:
    lowTarget = value;
    break;
  case 3:
    inputGain = ExactMath::Pow10(value / 20.0);
    break;
  case 4:
    outputGain = ExactMath::Pow10(value / 20.0);
    break;
  default:
    bypassValue = value;
    break;
  }
}

bool ScalarReferenceStrip::IsBypassEngaged() const {
  double v = bypassValue;
  if (!(v >= 0.0)) v = 0.0;
  if (v > 1.0) v = 1.0;
  return static_cast<int>(v) == 1;
}

void ScalarReferenceStrip::ProcessBlock(const double* const* inputs, double* const* outputs,
                                        int frames, double F) {
  if (!(F > 0.0 && F <= kMaxSampleRate)) {
    for (int n = 0; n < frames; ++n) {
      const double l = DrySample(inputs[0][n]);
      const double r = DrySample(inputs[1][n]);
      outputs[0][n] = l - DC_OFFSET;
      outputs[1][n] = r - DC_OFFSET;
    }
    return;
  }
  mMakeupGain = ExactMath::Pow10(0.76);
  if (F != mConstantsRate) {
    mSmoothingCoefficient = ParamSmoother::CoefficientFor(F);
    mMeterFactor = ExactMath::Exp(-4.60517018599 / (F * 0.3));
    mConstantsRate = F;
  }
  const double c = mSmoothingCoefficient;
  highSmoother.SetCoefficient(c);
  lowSmoother.SetCoefficient(c);
  midSmoother.SetCoefficient(c);
  inputSmoother.SetCoefficient(c);
  outputSmoother.SetCoefficient(c);
  if (frames < 1) return;
  for (int n = 0; n < frames; ++n)
    ProcessFrame(inputs, outputs, n, F);
}

void ScalarReferenceStrip::ProcessFrame(const double* const* inputs, double* const* outputs, int n,
                                        double F) {
  const double raw[2] = {inputs[0][n], inputs[1][n]};

  double s = highSmoother.Step(highTarget);
  HighBandCoefficients(highSection[0], F, s);
  s = highSmoother.Step(highTarget);
  HighBandCoefficients(highSection[1], F, s);
  s = midSmoother.Step(1.0 - midTarget);
  MidBandCoefficients(midSection[0], F, s);
  s = midSmoother.Step(1.0 - midTarget);
  MidBandCoefficients(midSection[1], F, s);
  s = lowSmoother.Step(lowTarget);
  LowBandCoefficients(lowSection[0], F, s);
  s = lowSmoother.Step(lowTarget);
  LowBandCoefficients(lowSection[1], F, s);

  ShaperFunction shaper{inputGain, inputSmoother};
  stageOut[0] = leftStage.ProcessSample(SanitizeInput(raw[0]) + DC_OFFSET, shaper);
  stageOut[1] = rightStage.ProcessSample(SanitizeInput(raw[1]) + DC_OFFSET, shaper);

  for (int ch = 0; ch < 2; ++ch) {
    if (!IsBypassEngaged()) {
      double y = FilterSample(highSection[ch], stageOut[ch]);
      y = FilterSample(lowSection[ch], y);
      y = FilterSample(midSection[ch], y);
      const double g = outputSmoother.Step(outputGain);
      channelOut[ch] = y * g * mMakeupGain;
    } else {
      channelOut[ch] = DrySample(raw[ch]);
    }
  }
  outputs[0][n] = channelOut[0] - DC_OFFSET;
  outputs[1][n] = channelOut[1] - DC_OFFSET;
  UpdateMeter();
}

void ScalarReferenceStrip::UpdateMeter() {
  double c = std::fabs(channelOut[0] + channelOut[1]);
  if (!(c <= kInputCeiling)) c = kInputCeiling;
  const double k = mMeterFactor;
  if (c > meterLevel)
    c = c * 1.0125;
  else
    c = c * 0.9875;
  meterLevel = (meterLevel - c) * k + c;
}

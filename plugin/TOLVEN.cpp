#include "TOLVEN.h"

#include "TOLVENEditor.h"

#include "ShaperFunction.h"

#include <cmath>

namespace {

// A non-finite sample would poison the stage's histories for the rest of the
// plug-in's life (they are never cleared), so it becomes silence; absurdly
// large finite samples are limited so that no history can overflow.
inline double SanitizeInput(double x) {
  if (std::fabs(x) <= TOLVEN::kInputCeiling) return x;
  if (std::isfinite(x)) return x > 0.0 ? TOLVEN::kInputCeiling : -TOLVEN::kInputCeiling;
  return 0.0;
}

// The dry signal of the bypass: the raw input, except that a non-finite one
// is silence.
inline double DrySample(double x) {
  return std::isfinite(x) ? x : 0.0;
}

// The parameter's value limited to its bounds: the parameter model lets
// SetNormalizedValue go below the minimum, and a band control outside 0..1
// can make a section unstable for good. False for NaN (keep the old target).
bool BoundedValue(const IParameter& p, double& value) {
  double v = p.Value();
  if (std::isnan(v)) return false;
  if (v < p.Min()) v = p.Min();
  if (v > p.Max()) v = p.Max();
  value = v;
  return true;
}

} // namespace

TOLVEN::TOLVEN(const IPlugInstanceInfo& instanceInfo)
    : IPlugBinding(instanceInfo, kTOLVENIdentity), mMakeupGain(ExactMath::Pow10(0.76)) {
  // The smoothers, the six sections, leftStage then rightStage and the meter
  // level are members, built in that order before this body runs.
  struct Continuous {
    const char* name;
    double defaultValue;
    double minValue;
    double maxValue;
  };
  static const Continuous kContinuous[] = {
      {"High Gain 1", 0.5, 0.0, 1.0}, {"Mid Gain 1", 0.5, 0.0, 1.0},  {"Low Gain 1", 0.5, 0.0, 1.0},
      {"Input 1", 0.0, -24.0, 24.0},  {"Output 1", 0.0, -24.0, 24.0},
  };
  for (int i = 0; i < kBypass; ++i) {
    IParameter* p = GetParam(i);
    p->DefineDouble(kContinuous[i].name, kContinuous[i].defaultValue, kContinuous[i].minValue,
                    kContinuous[i].maxValue, 0.01, "%", "", 1.0);
    p->SetShape(1.0);
  }
  GetParam(kBypass)->DefineInteger("Bypass 1", 0, 0, 1, "");

  // The editor description (images, knobs, switch, meter display); the base
  // keeps it and pushes every parameter's value into its controls.
  AttachEditor(MakeTOLVENEditor(this, &meterControl));
  // The needle starts fully right (level 1.0) and falls once audio runs.
  ShowMeterLevel();

  FillUninitializedPresets("-", 1);
}

TOLVEN::~TOLVEN() = default;

void TOLVEN::ParameterChanged(int paramIndex) {
  ScopedLock guard(GetLock());
  const IParameter* p = GetParam(paramIndex);
  double value = 0.0;
  if (!p || !BoundedValue(*p, value)) return;
  switch (paramIndex) {
  case kHighGain:
    highTarget = value;
    break;
  case kMidGain:
    midTarget = value;
    break;
  case kLowGain:
    lowTarget = value;
    break;
  case kInputGain:
    // 10^(dB / 20), correctly rounded so both platforms get the same bits.
    inputGain = ExactMath::Pow10(value / 20.0);
    break;
  case kOutputGain:
    outputGain = ExactMath::Pow10(value / 20.0);
    break;
  default:
    break; // the bypass is read from its parameter while processing
  }
}

bool TOLVEN::IsBypassEngaged() const {
  const IParameter* p = GetParam(kBypass);
  double v = p->Value();
  if (!(v >= 0.0)) v = 0.0;
  if (v > 1.0) v = 1.0;
  return static_cast<int>(v) == 1;
}

void TOLVEN::ProcessBlock(double** inputs, double** outputs, int frames) {
  const double F = GetSampleRate();
  if (!inputs || !outputs || !inputs[0] || !inputs[1] || !outputs[0] || !outputs[1]) return;
  if (!(F > 0.0 && F <= kMaxSampleRate)) {
    PassDry(inputs, outputs, frames);
    return;
  }
  // The smoothers' coefficients for this block, in the order high, low, mid,
  // input, output.
  UpdateRateConstants(F);
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

void TOLVEN::UpdateRateConstants(double F) {
  if (F == mConstantsRate) return;
  mSmoothingCoefficient = ParamSmoother::CoefficientFor(F);
  mMeterFactor = ExactMath::Exp(-4.60517018599 / (F * 0.3));
  mConstantsRate = F;
}

void TOLVEN::ProcessFrame(double** inputs, double** outputs, int n, double F) {
  // Both inputs are read before any output is written: the buffers may be
  // the same memory.
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
      // Filtering order high, low, mid (not the order of the coefficients).
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

  if (GetEditor()) UpdateMeter();
}

void TOLVEN::UpdateMeter() {
  double c = std::fabs(channelOut[0] + channelOut[1]);
  // Two huge dry samples can sum to infinity; the needle is pinned long
  // before this, and the level must stay finite to ever come back.
  if (!(c <= kInputCeiling)) c = kInputCeiling;
  const double k = mMeterFactor; // exp(-4.60517018599 / (F * 0.3))
  if (c > meterLevel)
    c = c * 1.0125;
  else
    c = c * 0.9875;
  meterLevel = (meterLevel - c) * k + c;
  ShowMeterLevel();
}

void TOLVEN::ShowMeterLevel() {
  IPlugEditor* editor = GetEditor();
  if (editor && meterControl >= 0 && meterControl < editor->NumControls())
    editor->SetControlValueFromHost(meterControl, meterLevel);
}

void TOLVEN::PassDry(double** inputs, double** outputs, int frames) {
  for (int n = 0; n < frames; ++n) {
    const double l = DrySample(inputs[0][n]);
    const double r = DrySample(inputs[1][n]);
    outputs[0][n] = l - DC_OFFSET;
    outputs[1][n] = r - DC_OFFSET;
  }
}

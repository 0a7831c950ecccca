#include "TOLVEN.h"

#include "TOLVENEditor.h"

#include "ExactMath.h"

#include "ShaperFunction.h"

#include <cmath>

namespace {

// The parameter's value limited to its bounds. The parameter entries clamp
// already; this guards the chain itself, since a band control outside 0..1
// would make a section unstable for good. False for NaN (keep the old target).
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
    : IPlugBinding(instanceInfo, kTOLVENIdentity) {
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
  mBypassParam = GetParam(kBypass);

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
    strip.SetHighTarget(value);
    break;
  case kMidGain:
    strip.SetMidTarget(value);
    break;
  case kLowGain:
    strip.SetLowTarget(value);
    break;
  case kInputGain:
    // 10^(dB / 20), correctly rounded so both platforms get the same bits.
    strip.SetInputGain(ExactMath::Pow10(value / 20.0));
    break;
  case kOutputGain:
    strip.SetOutputGain(ExactMath::Pow10(value / 20.0));
    break;
  default:
    break; // the bypass is read from its parameter while processing
  }
}

bool TOLVEN::IsBypassEngaged() const {
  double v = mBypassParam->Value();
  if (!(v >= 0.0)) v = 0.0;
  if (v > 1.0) v = 1.0;
  return static_cast<int>(v) == 1;
}

bool TOLVEN::ReadBypass(const void* self) {
  return static_cast<const TOLVEN*>(self)->IsBypassEngaged();
}

void TOLVEN::ProcessBlock(double** inputs, double** outputs, int frames) {
  if (!inputs || !outputs || !inputs[0] || !inputs[1] || !outputs[0] || !outputs[1]) return;
  const bool withMeter = GetEditor() != nullptr;
  strip.ProcessBlock(inputs, outputs, frames, GetSampleRate(), &TOLVEN::ReadBypass, this,
                     withMeter);
  // The control only shows the latest level, so it is handed over once per
  // block; the level itself moves every sample.
  if (withMeter && frames > 0) ShowMeterLevel();
}

void TOLVEN::ShowMeterLevel() {
  IPlugEditor* editor = GetEditor();
  if (editor && meterControl >= 0 && meterControl < editor->NumControls())
    editor->SetControlValueFromHost(meterControl, strip.MeterLevel());
}

#include "ChannelStrip.h"

#include "ExactMath.h"
#include "Oversampler.h"
#include "SaturationCurve.h"

#include <cmath>
#include <limits>

namespace {

// A non-finite sample would poison the stage's histories for the rest of the
// plug-in's life (they are never cleared), so it becomes silence; absurdly
// large finite samples are limited so that no history can overflow.
inline double SanitizeInput(double x) {
  if (std::fabs(x) <= ChannelStrip::kInputCeiling) return x;
  if (std::isfinite(x)) return x > 0.0 ? ChannelStrip::kInputCeiling : -ChannelStrip::kInputCeiling;
  return 0.0;
}

// The dry signal of the bypass: the raw input, except that a non-finite one
// is silence.
inline double DrySample(double x) {
  return std::isfinite(x) ? x : 0.0;
}

// A control this close to 0 (subnormal, or zero of either sign) vanishes
// from every coefficient: each term it enters is later added to a constant
// or rate term more than 2^53 times larger (for rates of 1 Hz and up), so the
// coefficients are those of +0 to the bit. Computing them from +0 keeps the
// slow subnormal arithmetic out of the seconds a smoother takes to creep
// down to its fixed point near 0.
inline Lanes WithoutSubnormals(Lanes v, double F) {
  const Lanes tiny = _mm_cmplt_pd(_mm_andnot_pd(_mm_set1_pd(-0.0), v),
                                  _mm_set1_pd(std::numeric_limits<double>::min()));
  if (F < 1.0 || _mm_movemask_pd(tiny) == 0) return v;
  return _mm_andnot_pd(tiny, v);
}

} // namespace

ChannelStrip::ChannelStrip() : mMakeupGain(ExactMath::Pow10(0.76)) {
  up2.SetCoefficients(Oversampler::kCoefficients12);
  up4.SetCoefficients(Oversampler::kCoefficients4);
  down4.SetCoefficients(Oversampler::kCoefficients4);
  down2.SetCoefficients(Oversampler::kCoefficients12);
}

Lanes ChannelStrip::FreezingSmoother::StepPair(double target) {
  const double before = smoother.state;
  if (IsFrozen(target)) return _mm_set1_pd(before);
  const double left = smoother.Step(target);
  const double right = smoother.Step(target);
  NoteFrozen(right, left, target);
  return MakeLanes(left, right);
}

void ChannelStrip::FreezingSmoother::StepEight(double target, Lanes (&pairs)[4]) {
  if (IsFrozen(target)) {
    for (Lanes& p : pairs)
      p = _mm_set1_pd(smoother.state);
    return;
  }
  double s[8];
  for (double& v : s)
    v = smoother.Step(target);
  for (int k = 0; k < 4; ++k)
    pairs[k] = MakeLanes(s[k], s[k + 4]);
  NoteFrozen(s[7], s[6], target);
}

void ChannelStrip::FreezingSmoother::NoteFrozen(double last, double before, double target) {
  frozen = SameBits(last, before);
  frozenTarget = target;
  frozenCoefficient = smoother.coefficient;
}

void ChannelStrip::ProcessBlock(const double* const* inputs, double* const* outputs, int frames,
                                double F, BypassReader bypass, const void* context,
                                bool withMeter) {
  if (!(F > 0.0 && F <= kMaxSampleRate)) {
    PassDry(inputs, outputs, frames);
    return;
  }
  // The smoothers' coefficients for this block, in the order high, low, mid,
  // input, output.
  UpdateRateConstants(F);
  const double c = mSmoothingCoefficient;
  for (FreezingSmoother* s :
       {&highSmoother, &lowSmoother, &midSmoother, &inputSmoother, &outputSmoother})
    s->smoother.SetCoefficient(c);
  for (int n = 0; n < frames; ++n)
    ProcessFrame(inputs, outputs, n, F, bypass(context), withMeter);
}

void ChannelStrip::UpdateRateConstants(double F) {
  if (F == mConstantsRate) return;
  mSmoothingCoefficient = ParamSmoother::CoefficientFor(F);
  mMeterFactor = ExactMath::Exp(-4.60517018599 / (F * 0.3));
  mConstantsRate = F;
}

void ChannelStrip::ProcessFrame(const double* const* inputs, double* const* outputs, int n,
                                double F, bool bypassed, bool withMeter) {
  // Both inputs are read before any output is written: the buffers may be
  // the same memory.
  const double raw[2] = {inputs[0][n], inputs[1][n]};

  // Each band's smoother steps once for the left section, once for the right.
  const Lanes h = highSmoother.StepPair(highTarget);
  if (!SameBits(h, high.from) || F != high.fromRate) {
    HighBandCoefficients(high.section, F, WithoutSubnormals(h, F));
    high.from = h;
    high.fromRate = F;
  }
  const Lanes m = midSmoother.StepPair(1.0 - midTarget);
  if (!SameBits(m, mid.from) || F != mid.fromRate) {
    MidBandCoefficients(mid.section, F, WithoutSubnormals(m, F));
    mid.from = m;
    mid.fromRate = F;
  }
  const Lanes l = lowSmoother.StepPair(lowTarget);
  if (!SameBits(l, low.from) || F != low.fromRate) {
    LowBandCoefficients(low.section, F, WithoutSubnormals(l, F));
    low.from = l;
    low.fromRate = F;
  }

  stageOut = Stage(MakeLanes(SanitizeInput(raw[0]), SanitizeInput(raw[1])) + DC_OFFSET);

  if (!bypassed) {
    // Filtering order high, low, mid (not the order of the coefficients).
    Lanes y = FilterSample(high.section, stageOut);
    y = FilterSample(low.section, y);
    y = FilterSample(mid.section, y);
    channelOut = y * outputSmoother.StepPair(outputGain) * mMakeupGain;
  } else {
    channelOut = MakeLanes(DrySample(raw[0]), DrySample(raw[1]));
  }
  const Lanes out = channelOut - DC_OFFSET;
  outputs[0][n] = Lane(out, 0);
  outputs[1][n] = Lane(out, 1);

  if (withMeter) UpdateMeter();
}

Lanes ChannelStrip::Stage(Lanes in) {
  // The input-gain smoother steps once per sub-sample: the left channel's
  // four sub-samples first, then the right's.
  Lanes gain[4];
  inputSmoother.StepEight(inputGain, gain);
  Lanes w[4];
  up2.Process(in, w[0], w[2]);
  const Lanes u1 = w[2];
  up4.Process(w[0], w[0], w[1]);
  up4.Process(u1, w[2], w[3]);
  for (int k = 0; k < 4; ++k)
    w[k] = SaturationCurve::Values(gain[k] * w[k]);
  const Lanes d0 = down4.Process(w[0], w[1]);
  const Lanes d1 = down4.Process(w[2], w[3]);
  return down2.Process(d0, d1);
}

void ChannelStrip::UpdateMeter() {
  double c = std::fabs(Lane(channelOut, 0) + Lane(channelOut, 1));
  // Two huge dry samples can sum to infinity; the needle is pinned long
  // before this, and the level must stay finite to ever come back.
  if (!(c <= kInputCeiling)) c = kInputCeiling;
  const double k = mMeterFactor; // exp(-4.60517018599 / (F * 0.3))
  if (c > meterLevel)
    c = c * 1.0125;
  else
    c = c * 0.9875;
  meterLevel = (meterLevel - c) * k + c;
}

void ChannelStrip::PassDry(const double* const* inputs, double* const* outputs, int frames) {
  for (int n = 0; n < frames; ++n) {
    const double l = DrySample(inputs[0][n]);
    const double r = DrySample(inputs[1][n]);
    outputs[0][n] = l - DC_OFFSET;
    outputs[1][n] = r - DC_OFFSET;
  }
}

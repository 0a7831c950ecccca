#include "ChannelStrip.h"

#include "ExactMath.h"

#include <cmath>
#include <initializer_list>
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

ChannelStrip::ChannelStrip() : mMakeupGain(ExactMath::Pow10(0.76)) {}

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
  const bool settled = IsSettled(F);
  if (settled) {
    for (Lanes& g : inputGains)
      g = _mm_set1_pd(inputSmoother.smoother.state);
    outputGains = _mm_set1_pd(outputSmoother.smoother.state);
  }
  for (int n = 0; n < frames; ++n)
    ProcessFrame(inputs, outputs, n, F, settled, bypass(context), withMeter);
}

bool ChannelStrip::IsSettled(double F) const {
  if (!highSmoother.IsFrozen(highTarget) || !midSmoother.IsFrozen(1.0 - midTarget) ||
      !lowSmoother.IsFrozen(lowTarget) || !inputSmoother.IsFrozen(inputGain) ||
      !outputSmoother.IsFrozen(outputGain))
    return false;
  return high.BelongsTo(highSmoother.smoother.state, F) &&
         mid.BelongsTo(midSmoother.smoother.state, F) &&
         low.BelongsTo(lowSmoother.smoother.state, F);
}

void ChannelStrip::UpdateRateConstants(double F) {
  if (F == mConstantsRate) return;
  mSmoothingCoefficient = ParamSmoother::CoefficientFor(F);
  mMeterFactor = ExactMath::Exp(-4.60517018599 / (F * 0.3));
  mConstantsRate = F;
}

void ChannelStrip::ProcessFrame(const double* const* inputs, double* const* outputs, int n,
                                double F, bool settled, bool bypassed, bool withMeter) {
  // Both inputs are read before any output is written: the buffers may be
  // the same memory.
  const double raw[2] = {inputs[0][n], inputs[1][n]};

  if (!settled) UpdateBands(F);

  stageOut = Stage(MakeLanes(SanitizeInput(raw[0]), SanitizeInput(raw[1])) + DC_OFFSET, settled);

  if (!bypassed) {
    // Filtering order high, low, mid (not the order of the coefficients).
    Lanes y = FilterSample(high.section, stageOut);
    y = FilterSample(low.section, y);
    y = FilterSample(mid.section, y);
    if (!settled) outputGains = outputSmoother.StepPair(outputGain);
    channelOut = y * outputGains * mMakeupGain;
  } else {
    channelOut = MakeLanes(DrySample(raw[0]), DrySample(raw[1]));
  }
  const Lanes out = channelOut - DC_OFFSET;
  outputs[0][n] = Lane(out, 0);
  outputs[1][n] = Lane(out, 1);

  if (withMeter) UpdateMeter();
}

void ChannelStrip::UpdateBands(double F) {
  // Each band's smoother steps once for the left section, once for the right.
  high.Update(highSmoother.StepPair(highTarget), F, HighBandCoefficients<Lanes>);
  mid.Update(midSmoother.StepPair(1.0 - midTarget), F, MidBandCoefficients<Lanes>);
  low.Update(lowSmoother.StepPair(lowTarget), F, LowBandCoefficients<Lanes>);
}

// Compared after the subnormals are gone: a smoother creeping through them
// changes its bits every step but not the coefficients.
void ChannelStrip::Band::Update(Lanes v, double F, Routine routine) {
  const Lanes effective = WithoutSubnormals(v, F);
  if (SameBits(effective, from) && F == fromRate) return;
  routine(section, F, effective);
  from = effective;
  fromRate = F;
}

bool ChannelStrip::Band::BelongsTo(double state, double F) const {
  return SameBits(from, WithoutSubnormals(_mm_set1_pd(state), F)) && F == fromRate;
}

Lanes ChannelStrip::Stage(Lanes in, bool settled) {
  // The input-gain smoother steps once per sub-sample: the left channel's
  // four sub-samples first, then the right's.
  if (!settled) inputSmoother.StepEight(inputGain, inputGains);
  return stage.Process(in, inputGains);
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

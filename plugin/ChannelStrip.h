#pragma once

#include "EqSection.h"
#include "Lanes.h"
#include "ParamSmoother.h"
#include "StereoStage.h"

// The channel strip's processing, free of any host or framework type: input
// gain into a 4x oversampled saturating stage, the three equaliser sections,
// output gain with make-up, bypass and the VU meter level. Both channels run
// side by side as the two lanes of Lanes; each lane performs exactly the
// operations of a one-channel-at-a-time loop, in the same order, so the
// output is that loop's to the bit.
class ChannelStrip {
public:
  // Asked once per frame whether the bypass is engaged; context is passed
  // through unchanged.
  using BypassReader = bool (*)(const void* context);

  // Added to every sample before the stage and taken off every output sample.
  static constexpr double DC_OFFSET = 1e-10;
  // Sample rates the processing accepts; outside them (a host that announced
  // nothing sane) the input passes through dry and no state moves.
  static constexpr double kMaxSampleRate = 1.0e6;
  // Input samples are limited to this magnitude: far beyond any audio, and
  // small enough that no filter history can overflow.
  static constexpr double kInputCeiling = 1.0e30;

  ChannelStrip();

  // Targets of the smoothed controls: band values in 0..1, gains linear.
  void SetHighTarget(double v) { highTarget = v; }
  void SetMidTarget(double v) { midTarget = v; }
  void SetLowTarget(double v) { lowTarget = v; }
  void SetInputGain(double g) { inputGain = g; }
  void SetOutputGain(double g) { outputGain = g; }

  // Two input and two output channels; inputs and outputs may share memory.
  // withMeter: keep the meter level going (the plug-in has an editor).
  void ProcessBlock(const double* const* inputs, double* const* outputs, int frames,
                    double sampleRate, BypassReader bypass, const void* context, bool withMeter);

  double MeterLevel() const { return meterLevel; }

private:
  friend struct TOLVENInspector; // white-box checks in the tests

  // A one-pole smoother that knows when it has reached a fixed point: once a
  // step gives back the very bits it started from, every further step toward
  // the same target with the same coefficient does too, and is skipped.
  struct FreezingSmoother {
    ParamSmoother smoother;
    bool frozen = false;
    double frozenTarget = 0.0;
    double frozenCoefficient = 0.0;

    bool IsFrozen(double target) const {
      return frozen && SameBits(target, frozenTarget) &&
             SameBits(smoother.coefficient, frozenCoefficient);
    }
    // Two steps, the first for the left channel, the second for the right.
    Lanes StepPair(double target);
    // Eight steps (four sub-samples per channel, left first), returned as
    // (left, right) pairs for sub-sample k = 0..3.
    void StepEight(double target, Lanes (&pairs)[4]);
    void NoteFrozen(double last, double before, double target);
  };

  // The coefficients of a band's two sections and the values and rate they
  // were computed from: recomputed only when these change in any bit.
  struct Band {
    using Routine = void (*)(EqSectionOf<Lanes>&, double, Lanes);
    EqSectionOf<Lanes> section;
    Lanes from = _mm_set1_pd(0.0);
    double fromRate = 0.0;

    // Recomputes the coefficients for the smoothed values v unless they
    // already belong to them.
    void Update(Lanes v, double F, Routine routine);
    // Whether the coefficients are those of a smoothed value of state in both lanes.
    bool BelongsTo(double state, double F) const;
  };

  void UpdateRateConstants(double sampleRate);
  // Whether every smoother stands at its fixed point and every band's
  // coefficients belong to it: then a whole block runs on constant controls.
  bool IsSettled(double F) const;
  // Inline: the frame loop is the hot path, and a call per frame costs more
  // than the meter and the output stage together.
  inline void ProcessFrame(const double* const* inputs, double* const* outputs, int n, double F,
                           bool settled, bool bypassed, bool withMeter);
  // Steps the band smoothers and recomputes the coefficients that changed.
  void UpdateBands(double F);
  inline Lanes Stage(Lanes in, bool settled);
  inline void UpdateMeter();
  void PassDry(const double* const* inputs, double* const* outputs, int frames);

  double highTarget = 0.5;
  double midTarget = 0.5;
  double lowTarget = 0.5;
  double inputGain = 1.0;
  double outputGain = 1.0;
  FreezingSmoother highSmoother;
  FreezingSmoother midSmoother;
  FreezingSmoother lowSmoother;
  FreezingSmoother inputSmoother;
  FreezingSmoother outputSmoother;
  Band high;
  Band low;
  Band mid;
  StereoStage stage;
  // The input gain of each sub-sample and the output gain of the current
  // frame; constant through a settled block.
  Lanes inputGains[4] = {};
  Lanes outputGains = _mm_set1_pd(0.0);
  Lanes stageOut = _mm_set1_pd(0.0);
  Lanes channelOut = _mm_set1_pd(0.0);
  double meterLevel = 1.0;

  // 10^0.76, applied after the equaliser.
  const double mMakeupGain;
  double mConstantsRate = 0.0; // sample rate the two below belong to
  double mSmoothingCoefficient = 0.0;
  double mMeterFactor = 0.0;
};

#pragma once

#include "ExactMath.h"

// One-pole smoothing of a control value: s := c * s + (1 - c) * target per step.
// The coefficient pair is rewritten at the start of every block from the
// current sample rate; the state persists for the life of the plug-in.
struct ParamSmoother {
  double oneMinusCoefficient = 1.0;
  double coefficient = 0.0;
  double state = 0.0;

  // c = exp(-2 pi * 0.5 / F): two steps per sample period make a 1 Hz
  // one-pole, eight make a 4 Hz one.
  static double CoefficientFor(double sampleRate) {
    return ExactMath::Exp((0.5 / sampleRate) * -6.283185307179586);
  }

  void SetCoefficient(double c) {
    coefficient = c;
    oneMinusCoefficient = 1.0 - c;
  }

  void SetSampleRate(double sampleRate) { SetCoefficient(CoefficientFor(sampleRate)); }

  double Step(double target) {
    state = target * oneMinusCoefficient + coefficient * state;
    return state;
  }
};

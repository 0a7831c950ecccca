#pragma once

#include "ParamSmoother.h"
#include "SaturationCurve.h"

// The shaping callable both oversamplers run on every sub-sample: steps the
// shared input-gain smoother, applies the gain and reads the saturation curve.
// It only refers to the two members it needs, so it costs nothing to build
// per call and never allocates.
struct ShaperFunction {
  const double& inputGain;
  ParamSmoother& inputSmoother;

  double operator()(double u) const {
    const double s = inputSmoother.Step(inputGain);
    return SaturationCurve::Value(s * u);
  }
};

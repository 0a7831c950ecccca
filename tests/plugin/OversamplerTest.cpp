#include "Oversampler.h"
#include "ExactMath.h"
#include "ParamSmoother.h"
#include "SaturationCurve.h"
#include "ShaperFunction.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

constexpr double kPi = 3.141592653589793;

template <int N> double ProductOf(const double (&c)[N], int first) {
  double p = 1.0;
  for (int k = first; k < N; k += 2)
    p *= c[k];
  return p;
}

TEST(HalfbandFilters, FirstStepFromRestRunsEvenCellsOnPath0AndOddOnPath1) {
  // From rest each cell passes s * c (the histories are 0), so a unit input
  // leaves each path as the product of its own coefficients, in cell order.
  HalfbandUpsampler<12> up;
  up.SetCoefficients(Oversampler::kCoefficients12);
  double first;
  double second;
  up.Process(1.0, first, second);
  EXPECT_EQ(first, ProductOf(Oversampler::kCoefficients12, 0));
  EXPECT_EQ(second, ProductOf(Oversampler::kCoefficients12, 1));

  // The down-sampler feeds the later sample to path 0.
  HalfbandDownsampler<3> down;
  down.SetCoefficients(Oversampler::kCoefficients3);
  const double out = down.Process(2.0, 1.0);
  const double path0 = 1.0 * ProductOf(Oversampler::kCoefficients3, 0);
  const double path1 = 2.0 * ProductOf(Oversampler::kCoefficients3, 1);
  EXPECT_EQ(out, 0.5 * (path0 + path1));
}

// Level of a sine at relative frequency f (cycles per output sample) in a
// signal, by correlation over the last n samples.
double ToneLevel(const std::vector<double>& s, double f, size_t n) {
  double re = 0.0;
  double im = 0.0;
  for (size_t i = s.size() - n; i < s.size(); ++i) {
    re += s[i] * std::cos(2.0 * kPi * f * i);
    im += s[i] * std::sin(2.0 * kPi * f * i);
  }
  return 2.0 * std::hypot(re, im) / n;
}

TEST(HalfbandFilters, UpsamplerSuppressesTheImage) {
  // A tone at 0.1 of the input rate appears at 0.05 of the doubled rate; its
  // image at 0.45 must be far below it. Mistyped coefficients lose this.
  HalfbandUpsampler<12> up;
  up.SetCoefficients(Oversampler::kCoefficients12);
  std::vector<double> out;
  for (int n = 0; n < 8000; ++n) {
    double a;
    double b;
    up.Process(std::sin(2.0 * kPi * 0.1 * n), a, b);
    out.push_back(a);
    out.push_back(b);
  }
  const double wanted = ToneLevel(out, 0.05, 8000);
  const double image = ToneLevel(out, 0.45, 8000);
  EXPECT_NEAR(wanted, 1.0, 1e-3);
  EXPECT_LT(image, 1e-5);
}

TEST(HalfbandFilters, DownsamplerRejectsTheUpperHalfBand) {
  for (int which = 0; which < 4; ++which) {
    std::vector<double> out;
    HalfbandDownsampler<12> d12;
    HalfbandDownsampler<4> d4;
    HalfbandDownsampler<3> d3;
    HalfbandDownsampler<2> d2;
    d12.SetCoefficients(Oversampler::kCoefficients12);
    d4.SetCoefficients(Oversampler::kCoefficients4);
    d3.SetCoefficients(Oversampler::kCoefficients3);
    d2.SetCoefficients(Oversampler::kCoefficients2);
    // Alternating samples are the highest frequency of the higher rate.
    for (int n = 0; n < 4000; ++n) {
      double y = 0.0;
      switch (which) {
      case 0:
        y = d12.Process(1.0, -1.0);
        break;
      case 1:
        y = d4.Process(1.0, -1.0);
        break;
      case 2:
        y = d3.Process(1.0, -1.0);
        break;
      default:
        y = d2.Process(1.0, -1.0);
        break;
      }
      out.push_back(y);
    }
    EXPECT_LT(std::fabs(out.back()), 1e-9) << which;
  }
}

TEST(Oversampler, EveryFactorCallsTheShaperFactorTimesAndPassesDc) {
  for (int factor : {1, 2, 4, 8, 16}) {
    Oversampler o;
    ASSERT_TRUE(o.SetFactor(factor));
    int calls = 0;
    auto identity = [&calls](double u) {
      ++calls;
      return u;
    };
    double out = 0.0;
    for (int n = 0; n < 2000; ++n)
      out = o.ProcessSample(0.75, identity);
    EXPECT_EQ(calls, 2000 * factor) << factor;
    EXPECT_NEAR(out, 0.75, 1e-9) << factor;
  }
}

TEST(Oversampler, LowToneComesThroughWithUnityGainAtEveryFactor) {
  for (int factor : {1, 2, 4, 8, 16}) {
    Oversampler o;
    o.SetFactor(factor);
    std::vector<double> out;
    auto identity = [](double u) { return u; };
    for (int n = 0; n < 6000; ++n)
      out.push_back(o.ProcessSample(std::sin(2.0 * kPi * 0.02 * n), identity));
    EXPECT_NEAR(ToneLevel(out, 0.02, 5000), 1.0, 1e-3) << factor;
  }
}

TEST(Oversampler, ShaperSeesSubSamplesInTimeOrder) {
  // Up-sampling a slow ramp gives rising sub-samples; the shaper must see them
  // in that order.
  Oversampler o;
  std::vector<double> seen;
  auto record = [&seen](double u) {
    seen.push_back(u);
    return u;
  };
  for (int n = 0; n < 400; ++n)
    o.ProcessSample(n * 0.001, record);
  ASSERT_EQ(seen.size(), 1600u);
  for (size_t i = 800; i < seen.size(); ++i)
    EXPECT_GT(seen[i], seen[i - 1]) << i;
}

TEST(Oversampler, SetFactorClearsOnlyOnChange) {
  Oversampler o;
  EXPECT_EQ(o.Factor(), 4); // as the channel strip runs it
  auto identity = [](double u) { return u; };
  o.ProcessSample(1.0, identity);
  ASSERT_NE(o.Up2().Paths().x[0], 0.0);
  EXPECT_TRUE(o.SetFactor(4));
  EXPECT_NE(o.Up2().Paths().x[0], 0.0);
  EXPECT_TRUE(o.SetFactor(8));
  EXPECT_EQ(o.Up2().Paths().x[0], 0.0);
  EXPECT_EQ(o.Up2().Paths().y[0], 0.0);
  // Unsupported factors are refused and change nothing.
  o.ProcessSample(1.0, identity);
  EXPECT_FALSE(o.SetFactor(3));
  EXPECT_FALSE(o.SetFactor(0));
  EXPECT_FALSE(o.SetFactor(32));
  EXPECT_EQ(o.Factor(), 8);
  EXPECT_NE(o.Up2().Paths().x[0], 0.0);
  o.ClearState();
  EXPECT_EQ(o.Up2().Paths().x[0], 0.0);
  EXPECT_EQ(o.Down8().Paths().y[2], 0.0);
}

TEST(Oversampler, DcThroughFactor4SettlesAtTheCurveValue) {
  for (double level : {1e-3, 0.1, 0.5, 1.0, 3.0}) {
    Oversampler o;
    ParamSmoother smoother;
    smoother.SetSampleRate(48000.0);
    smoother.state = 1.0; // settled at the gain
    const double gain = 1.0;
    ShaperFunction shaper{gain, smoother};
    double out = 0.0;
    for (int n = 0; n < 48000; ++n)
      out = o.ProcessSample(level, shaper);
    EXPECT_NEAR(out, SaturationCurve::Value(level), 1e-9 * (1.0 + level)) << level;
  }
}

TEST(ShaperFunction, StepsTheSharedSmootherOncePerCall) {
  ParamSmoother smoother;
  smoother.SetSampleRate(48000.0);
  double gain = 2.0;
  ShaperFunction shaper{gain, smoother};
  const double c = smoother.coefficient;
  const double first = shaper(0.5);
  const double s1 = gain * (1.0 - c);
  EXPECT_EQ(smoother.state, s1);
  EXPECT_EQ(first, SaturationCurve::Value(s1 * 0.5));
  // The gain is read through the reference at every call.
  gain = 4.0;
  shaper(0.5);
  EXPECT_EQ(smoother.state, 4.0 * (1.0 - c) + c * s1);
}

TEST(ParamSmoother, TwoStepsPerSampleActAsA1HzOnePole) {
  ParamSmoother s;
  EXPECT_EQ(s.oneMinusCoefficient, 1.0);
  EXPECT_EQ(s.coefficient, 0.0);
  EXPECT_EQ(s.state, 0.0);
  s.SetSampleRate(48000.0);
  EXPECT_EQ(s.coefficient, ExactMath::Exp((0.5 / 48000.0) * -6.283185307179586));
  EXPECT_EQ(s.oneMinusCoefficient, 1.0 - s.coefficient);
  for (int n = 0; n < 48000; ++n) {
    s.Step(1.0);
    s.Step(1.0);
  }
  // After one second of a 1 Hz one-pole: 1 - e^(-2 pi).
  EXPECT_NEAR(s.state, 1.0 - std::exp(-2.0 * kPi), 1e-9);
  // A new sample rate changes only the coefficients.
  const double state = s.state;
  s.SetSampleRate(96000.0);
  EXPECT_EQ(s.state, state);
}

} // namespace

#include "EqSection.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>

namespace {

using Routine = void (*)(EqSection&, double, double);
constexpr double kPi = 3.141592653589793;

// Frequency response of the section's coefficients at frequency hz, from the
// transfer function (b0 + b1 z^-1 + b2 z^-2) / (a0 + a1 z^-1 + a2 z^-2).
std::complex<double> Response(const EqSection& s, double hz, double sampleRate) {
  const std::complex<double> z1 = std::polar(1.0, -2.0 * kPi * hz / sampleRate);
  const std::complex<double> z2 = z1 * z1;
  return (s.b0 + s.b1 * z1 + s.b2 * z2) / (s.a0 + s.a1 * z1 + s.a2 * z2);
}

EqSection Make(Routine routine, double sampleRate, double v) {
  EqSection s;
  routine(s, sampleRate, v);
  return s;
}

double Db(double gain) {
  return 20.0 * std::log10(gain);
}

class EqAtRate : public ::testing::TestWithParam<double> {};

TEST_P(EqAtRate, EveryBandIsFlatAndInvertingAtMidSetting) {
  const double rate = GetParam();
  for (Routine r : {&HighBandCoefficients<double>, &MidBandCoefficients<double>,
                    &LowBandCoefficients<double>}) {
    const EqSection s = Make(r, rate, 0.5);
    for (double hz : {0.0, 20.0, 200.0, 1000.0, 1590.0, 5000.0, 15000.0, rate / 2.0}) {
      const std::complex<double> h = Response(s, hz, rate);
      EXPECT_NEAR(std::abs(h), 0.99998, 2e-6) << hz;
      // Phase 180 degrees: the real part carries the whole gain, negative.
      EXPECT_NEAR(h.real(), -0.99998, 2e-6) << hz;
    }
  }
}

TEST_P(EqAtRate, HighBandDcAndNyquistGains) {
  const double rate = GetParam();
  for (double v : {0.0, 0.25, 0.5, 0.75, 1.0})
    EXPECT_NEAR(Response(Make(HighBandCoefficients, rate, v), 0.0, rate).real(), -0.999980, 1e-6)
        << v;
  const double cut = Response(Make(HighBandCoefficients, rate, 0.0), rate / 2, rate).real();
  const double boost = Response(Make(HighBandCoefficients, rate, 1.0), rate / 2, rate).real();
  EXPECT_NEAR(cut, -0.155096, 1e-6);
  EXPECT_NEAR(boost, -6.447074, 1e-6);
  EXPECT_NEAR(Db(-cut), -16.19, 0.01);
  EXPECT_NEAR(Db(-boost), 16.19, 0.01);
}

TEST_P(EqAtRate, LowBandDcGainsAndTrebleLeftAlone) {
  const double rate = GetParam();
  const double cut = Response(Make(LowBandCoefficients, rate, 0.0), 0.0, rate).real();
  const double boost = Response(Make(LowBandCoefficients, rate, 1.0), 0.0, rate).real();
  EXPECT_NEAR(cut, -0.116540, 1e-6);
  EXPECT_NEAR(boost, -8.579823, 1e-6);
  EXPECT_NEAR(Db(-cut), -18.67, 0.01);
  EXPECT_NEAR(Db(-boost), 18.67, 0.01);
  // At the ends and the middle of the range the shelf leaves 10 kHz alone.
  for (double v : {0.0, 0.5, 1.0}) {
    const double g = std::abs(Response(Make(LowBandCoefficients, rate, v), 10000.0, rate));
    EXPECT_LT(std::fabs(Db(g)), 0.07) << v;
  }
}

TEST_P(EqAtRate, MidBandPeaksNear1590HzAndPassesTheEnds) {
  const double rate = GetParam();
  for (double v : {0.0, 0.5, 1.0}) {
    const EqSection s = Make(MidBandCoefficients, rate, v);
    EXPECT_NEAR(Response(s, 0.0, rate).real(), -0.999980, 1e-6) << v;
    EXPECT_NEAR(Response(s, rate / 2, rate).real(), -0.999980, 1e-6) << v;
  }
  // Largest boost (v = 0) and largest cut (v = 1), searched on a 1 Hz grid.
  for (double v : {0.0, 1.0}) {
    const EqSection s = Make(MidBandCoefficients, rate, v);
    double extremeDb = 0.0;
    double extremeHz = 0.0;
    for (double hz = 200.0; hz <= 8000.0; hz += 1.0) {
      const double db = Db(std::abs(Response(s, hz, rate)));
      if ((v == 0.0 && db > extremeDb) || (v == 1.0 && db < extremeDb)) {
        extremeDb = db;
        extremeHz = hz;
      }
    }
    EXPECT_NEAR(extremeDb, v == 0.0 ? 19.41 : -19.41, 0.01) << v;
    EXPECT_NEAR(extremeHz, 1590.0, 15.0) << v;
  }
}

TEST_P(EqAtRate, DenominatorStaysPositiveAcrossTheControlRange) {
  const double rate = GetParam();
  for (Routine r : {&HighBandCoefficients<double>, &MidBandCoefficients<double>,
                    &LowBandCoefficients<double>}) {
    for (int i = 0; i <= 100; ++i) {
      const EqSection s = Make(r, rate, i / 100.0);
      EXPECT_GT(s.a0, 0.0);
      // Poles inside the unit circle: the section is stable for every setting.
      const double p = s.a2 / s.a0;
      const double q = s.a1 / s.a0;
      EXPECT_LT(std::fabs(p), 1.0);
      EXPECT_LT(std::fabs(q), 1.0 + p);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(SampleRates, EqAtRate, ::testing::Values(44100.0, 48000.0, 96000.0));

TEST(EqSection, BilinearStructureOfEveryBand) {
  // b2 mirrors b0 in the sign of its F term: b0 + b2 = 2 (P F^2 + R), and
  // b1 = 2 R - 2 P F^2, so b0 + b2 + b1 = 4 R is independent of F. The same
  // holds for the denominator. A mistyped constant or sign breaks it.
  for (Routine r : {&HighBandCoefficients<double>, &MidBandCoefficients<double>,
                    &LowBandCoefficients<double>}) {
    for (double v : {0.0, 0.3, 0.5, 0.9, 1.0}) {
      const EqSection s1 = Make(r, 44100.0, v);
      const EqSection s2 = Make(r, 96000.0, v);
      EXPECT_NEAR(s1.b0 + s1.b1 + s1.b2, s2.b0 + s2.b1 + s2.b2, 1e-12) << v;
      EXPECT_NEAR(s1.a0 + s1.a1 + s1.a2, s2.a0 + s2.a1 + s2.a2, 1e-12) << v;
      // a0 - a1 + a2 = 4 P F^2 grows with F^2 (the bass shelf's P vanishes at
      // v = 0 and v = 1, so only the inner settings say anything there).
      if (v == 0.0 || v == 1.0) continue;
      const double ratio = (s2.a0 - s2.a1 + s2.a2) / (s1.a0 - s1.a1 + s1.a2);
      EXPECT_NEAR(ratio, (96000.0 * 96000.0) / (44100.0 * 44100.0), 1e-6) << v;
    }
  }
}

TEST(EqSection, ImpulseResponseStartsAtB0OverA0AndSumsToTheDcGain) {
  for (Routine r : {&HighBandCoefficients<double>, &MidBandCoefficients<double>,
                    &LowBandCoefficients<double>}) {
    EqSection s = Make(r, 48000.0, 0.5);
    const double first = FilterSample(s, 1.0);
    EXPECT_EQ(first, s.b0 / s.a0);
    double sum = first;
    for (int n = 1; n < 200000; ++n)
      sum += FilterSample(s, 0.0);
    EXPECT_NEAR(sum, -0.99998, 1e-6);
  }
}

TEST(EqSection, FilterSampleSumsInItsFixedOrder) {
  // Values chosen so that each other order of the five terms rounds
  // differently: b1 x1 first, then b0 in, b2 x2, -a1 y1, -a2 y2, then / a0.
  EqSection s;
  s.b0 = 1.0;
  s.b1 = 1.0;
  s.b2 = 1.0;
  s.a0 = 3.0;
  s.a1 = 1.0;
  s.a2 = 1.0;
  s.x1 = 1e17;
  s.x2 = -1e17;
  s.y1 = 1.0;
  s.y2 = 3.0;
  const double in = 1.0;
  // (1e17 + 1) rounds to 1e17, so the input is lost; then - 1e17 gives 0,
  // then - 1 - 3 gives -4, / 3.
  const double expected = -4.0 / 3.0;
  // Adding the input after the cancellation would have given -1 instead.
  EXPECT_EQ(FilterSample(s, in), expected);
}

} // namespace

#include "ExactMath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

// Checks y against a long double reference: y must be the double nearest to
// the true value. The reference carries 11 more bits than a double, so it
// decides the rounding except within a few of its own ulps of a midpoint;
// those (rare) arguments are skipped rather than misjudged.
void ExpectCorrectlyRounded(double y, long double reference, double x) {
  const double below = std::nextafter(y, -std::numeric_limits<double>::infinity());
  const double above = std::nextafter(y, std::numeric_limits<double>::infinity());
  const long double lowMid = (static_cast<long double>(below) + y) / 2;
  const long double highMid = (static_cast<long double>(above) + y) / 2;
  const long double margin = std::fabs(reference) * 4 * std::numeric_limits<long double>::epsilon();
  if (std::fabs(reference - lowMid) < margin || std::fabs(reference - highMid) < margin) return;
  EXPECT_GT(reference, lowMid) << x;
  EXPECT_LT(reference, highMid) << x;
}

TEST(ExactMath, ExactCases) {
  EXPECT_EQ(ExactMath::Exp(0.0), 1.0);
  EXPECT_EQ(ExactMath::Pow10(0.0), 1.0);
  EXPECT_EQ(ExactMath::Pow10(-0.0), 1.0);
  for (int k = 1; k <= 22; ++k)
    EXPECT_EQ(ExactMath::Pow10(k), std::pow(10.0, k)) << k;
  EXPECT_EQ(ExactMath::Pow10(-1.0), 0.1);
  EXPECT_EQ(ExactMath::Pow10(-2.0), 0.01);
  EXPECT_EQ(ExactMath::Pow10(-5.0), 1e-5);
  EXPECT_EQ(ExactMath::Exp(1.0), 2.718281828459045);
  EXPECT_EQ(ExactMath::Exp(-1.0), 0.36787944117144233);
  EXPECT_EQ(ExactMath::Exp(0.6931471805599453), 2.0);
}

TEST(ExactMath, ValuesTheStripUses) {
  EXPECT_NEAR(ExactMath::Pow10(0.76), 5.7543994, 1e-7);
  EXPECT_NEAR(ExactMath::Pow10(-24.0 / 20.0), 0.0630957, 1e-7);
  EXPECT_NEAR(ExactMath::Pow10(24.0 / 20.0), 15.848932, 1e-6);
  EXPECT_NEAR(ExactMath::Exp(-4.60517018599 / 14400.0), 0.999680248, 1e-9);
}

TEST(ExactMath, EveryGainSettingIsCorrectlyRounded) {
  // Every value the two dB parameters can take in steps of 0.01, plus the
  // make-up gain.
  ExpectCorrectlyRounded(ExactMath::Pow10(0.76), std::pow(10.0L, 0.76L), 0.76);
  for (int i = -2400; i <= 2400; ++i) {
    const double x = (i / 100.0) / 20.0;
    ExpectCorrectlyRounded(ExactMath::Pow10(x), std::pow(10.0L, static_cast<long double>(x)), x);
  }
}

TEST(ExactMath, GainSettingsWhereLibrariesMisround) {
  // dB settings whose 10^(dB / 20) lies within 0.002 ulp of a rounding
  // midpoint; the expected doubles were rounded from 60-digit decimal
  // arithmetic. Platform math libraries get some of these wrong, and not the
  // same ones, which is why the strip does not use them.
  const struct {
    double dB;
    double gain;
  } cases[] = {
      {-13.57, 0.20965247802919584}, {-12.82, 0.228559880337543}, {-11.95, 0.2526387710131897},
      {2.64, 1.3551894123510362},    {4.43, 1.6653288277850236},  {6.19, 2.039388659608614},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ExactMath::Pow10(c.dB / 20.0), c.gain) << c.dB;
}

TEST(ExactMath, ExponentialIsCorrectlyRoundedOverItsRange) {
  for (int i = -7000; i <= 7000; ++i) {
    const double x = i * 0.1013;
    ExpectCorrectlyRounded(ExactMath::Exp(x), std::exp(static_cast<long double>(x)), x);
  }
  // The smoothing and meter factors at the usual sample rates.
  for (double rate : {8000.0, 22050.0, 44100.0, 48000.0, 88200.0, 96000.0, 192000.0, 768000.0}) {
    const double a = (0.5 / rate) * -6.283185307179586;
    const double b = -4.60517018599 / (rate * 0.3);
    ExpectCorrectlyRounded(ExactMath::Exp(a), std::exp(static_cast<long double>(a)), a);
    ExpectCorrectlyRounded(ExactMath::Exp(b), std::exp(static_cast<long double>(b)), b);
  }
}

TEST(ExactMath, Limits) {
  EXPECT_TRUE(std::isnan(ExactMath::Exp(std::numeric_limits<double>::quiet_NaN())));
  EXPECT_TRUE(std::isnan(ExactMath::Pow10(std::numeric_limits<double>::quiet_NaN())));
  EXPECT_EQ(ExactMath::Exp(1000.0), std::numeric_limits<double>::infinity());
  EXPECT_EQ(ExactMath::Exp(std::numeric_limits<double>::infinity()),
            std::numeric_limits<double>::infinity());
  EXPECT_EQ(ExactMath::Exp(-1000.0), 0.0);
  EXPECT_EQ(ExactMath::Exp(-std::numeric_limits<double>::infinity()), 0.0);
  EXPECT_EQ(ExactMath::Pow10(400.0), std::numeric_limits<double>::infinity());
  EXPECT_EQ(ExactMath::Pow10(-400.0), 0.0);
  EXPECT_NEAR(ExactMath::Exp(709.0) / std::exp(709.0), 1.0, 1e-15);
  EXPECT_NEAR(ExactMath::Exp(-708.0) / std::exp(-708.0), 1.0, 1e-15);
  EXPECT_GT(ExactMath::Exp(-740.0), 0.0); // subnormal, not flushed
}

} // namespace

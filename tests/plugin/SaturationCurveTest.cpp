#include "SaturationCurve.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

namespace {

TEST(SaturationCurve, HeaderConstants) {
  std::uint32_t bits;
  const float scale = SaturationCurve::kScale;
  std::memcpy(&bits, &scale, sizeof bits);
  EXPECT_EQ(bits, 0x430E249Cu);
  EXPECT_EQ(SaturationCurve::kOffset, 0.0f);
  EXPECT_EQ(SaturationCurve::kCount, 200);
}

TEST(SaturationCurve, TableRisesAlmostLinearly) {
  const float* e = SaturationCurve::kEntries;
  EXPECT_EQ(e[0], 0.0f);
  EXPECT_EQ(e[1], 0.00415424164f);
  EXPECT_EQ(e[143], 0.599212289f);
  EXPECT_EQ(e[199], 0.833311439f);
  // Steps of about 0.0041876, alternately a little more and a little less: a
  // dropped, doubled or swapped entry shows up as a step far off that.
  for (int i = 1; i < SaturationCurve::kCount; ++i) {
    const double step = static_cast<double>(e[i]) - e[i - 1];
    EXPECT_GT(step, 0.00405) << i;
    EXPECT_LT(step, 0.00435) << i;
  }
  EXPECT_NEAR((static_cast<double>(e[199]) - e[0]) / 199.0, 0.0041876, 1e-6);
}

struct CurvePoint {
  double v;
  double expected;
};

TEST(SaturationCurve, ListedValues) {
  const CurvePoint points[] = {
      {1e-10, -1.96832e-11}, {0.001, -0.000196767}, {0.1, -0.0192204}, {0.5, -0.0852074},
      {1.0, -0.149083},      {-1.0, 0.149083},      {3.0, -0.298057},  {10.0, -0.458351},
      {100.0, -0.578303},    {1e6, -0.595622},
  };
  for (const CurvePoint& p : points) {
    const double got = SaturationCurve::Value(p.v);
    // The listed values carry six significant digits.
    EXPECT_NEAR(got, p.expected, std::fabs(p.expected) * 5e-6) << p.v;
  }
}

TEST(SaturationCurve, OddInvertingAndBounded) {
  for (double v = 1e-6; v < 1e9; v *= 1.7) {
    const double up = SaturationCurve::Value(v);
    EXPECT_LT(up, 0.0) << v;
    EXPECT_EQ(SaturationCurve::Value(-v), -up) << v;
    EXPECT_LT(std::fabs(up), 0.5957) << v;
  }
  // Small-signal slope: entry 1 * scale / 3.
  const double slope = SaturationCurve::Value(1e-9) / 1e-9;
  EXPECT_NEAR(slope, -0.19683, 1e-5);
  EXPECT_NEAR(slope, -0.00415424164f * 142.14300537109375 / 3.0, 1e-9);
}

TEST(SaturationCurve, InterpolatesBetweenWidenedEntries) {
  // v = 3 gives r = 0.5 and p = 71.071502685546875: halfway between entries
  // 71 and 72 by t = p - 71.
  const double p = 0.5 * static_cast<double>(SaturationCurve::kScale);
  const double t = p - 71.0;
  const double expected = static_cast<double>(SaturationCurve::kEntries[71]) * (1.0 - t) +
                          static_cast<double>(SaturationCurve::kEntries[72]) * t;
  EXPECT_EQ(SaturationCurve::Value(3.0), -expected);
  EXPECT_NEAR(p, 71.0715, 1e-4);
}

TEST(SaturationCurve, NonFiniteInputsGiveNoNaN) {
  EXPECT_EQ(SaturationCurve::Value(std::numeric_limits<double>::quiet_NaN()), 0.0);
  // inf / (inf + 3) is NaN as well: read as below the table, so 0.
  EXPECT_EQ(SaturationCurve::Value(std::numeric_limits<double>::infinity()), 0.0);
  EXPECT_EQ(SaturationCurve::Value(-std::numeric_limits<double>::infinity()), 0.0);
  // The largest finite input saturates instead.
  EXPECT_NEAR(SaturationCurve::Value(std::numeric_limits<double>::max()), -0.5957, 1e-3);
  EXPECT_EQ(SaturationCurve::Value(0.0), 0.0);
}

// The two-lane lookup against the scalar one, bit for bit: values over the
// whole exponent range of both signs, table cell edges and every special.
TEST(SaturationCurve, TwoLaneValuesMatchTheScalarOnes) {
  std::vector<double> v = {0.0,
                           -0.0,
                           std::numeric_limits<double>::denorm_min(),
                           -std::numeric_limits<double>::min(),
                           std::numeric_limits<double>::max(),
                           -std::numeric_limits<double>::max(),
                           std::numeric_limits<double>::infinity(),
                           -std::numeric_limits<double>::infinity(),
                           std::numeric_limits<double>::quiet_NaN(),
                           -std::numeric_limits<double>::quiet_NaN(),
                           1e300,
                           3.0};
  // Where p crosses a table cell: r = i / scale, v = 3r / (1 - r).
  for (int i = 0; i < SaturationCurve::kCount; ++i) {
    const double r = i / static_cast<double>(SaturationCurve::kScale);
    if (r < 1.0) v.push_back(std::nextafter(3.0 * r / (1.0 - r), 0.0));
  }
  uint64_t x = 88172645463325252ull;
  for (int i = 0; i < 20000; ++i) {
    x ^= x << 13;
    x ^= x >> 7;
    x ^= x << 17;
    double d;
    std::memcpy(&d, &x, sizeof d);
    v.push_back(d); // any bit pattern
    v.push_back(std::ldexp(static_cast<double>(x >> 11) * 0x1p-53, -static_cast<int>(x % 60)));
  }
  for (size_t i = 0; i + 1 < v.size(); ++i) {
    const Lanes got = SaturationCurve::Values(MakeLanes(v[i], v[i + 1]));
    const double want[2] = {SaturationCurve::Value(v[i]), SaturationCurve::Value(v[i + 1])};
    for (int lane = 0; lane < 2; ++lane) {
      const double g = Lane(got, lane);
      ASSERT_EQ(std::memcmp(&g, &want[lane], sizeof g), 0) << v[i + lane] << " " << g;
    }
  }
}

} // namespace

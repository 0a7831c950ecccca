#pragma once

#include "ScalarReferenceStrip.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

// What the module-boundary tests feed a built module and the scalar
// reference alike: a stereo signal with hostile values in it, and parameter
// changes at block starts given as normalised values.
namespace reference_schedule {

struct Change {
  int block;
  int param;
  double normalized;
};

inline const std::vector<Change>& Changes() {
  static const std::vector<Change> changes = {{3, 0, 0.75}, {6, 3, 0.75},  {10, 5, 1.0},
                                              {12, 5, 0.0}, {15, 1, 0.25}, {20, 4, 0.25}};
  return changes;
}

// The real value a normalised one gives (every parameter is linear).
inline double RealValue(int param, double normalized) {
  if (param == 3 || param == 4) return -24.0 + normalized * 48.0;
  return normalized;
}

// Noise with NaN, infinities, huge values, subnormals and signed zeros among
// it; `doubles` adds values no float can hold.
inline std::vector<std::vector<double>> Signal(int frames, bool doubles) {
  std::vector<std::vector<double>> s(2, std::vector<double>(static_cast<size_t>(frames)));
  unsigned x = 9;
  for (int n = 0; n < frames; ++n) {
    x = x * 1664525u + 1013904223u;
    const float v = static_cast<float>(0.7 * (static_cast<double>(x >> 8) / 8388608.0 - 1.0));
    s[0][static_cast<size_t>(n)] = v;
    s[1][static_cast<size_t>(n)] = -0.5f * v;
  }
  const double kFloatHostile[] = {
      std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
      -std::numeric_limits<double>::infinity(), std::numeric_limits<float>::max(),
      std::numeric_limits<float>::denorm_min(), -0.0};
  const double kDoubleHostile[] = {1e300, -1e300, std::numeric_limits<double>::denorm_min(),
                                   1e-300};
  // Spread over the signal whatever its length (at least 16 frames).
  const int step = frames / 12;
  int at = step / 2;
  for (double h : kFloatHostile) {
    s[0][static_cast<size_t>(at)] = h;
    s[1][static_cast<size_t>(at + 3)] = h;
    at += step;
  }
  if (doubles) {
    for (double h : kDoubleHostile) {
      s[0][static_cast<size_t>(at)] = h;
      s[1][static_cast<size_t>(at + 1)] = h;
      at += step / 2;
    }
  }
  return s;
}

// The reference's output for the signal in blocks of `block` frames.
inline std::vector<std::vector<double>> Reference(const std::vector<std::vector<double>>& in,
                                                  int block, double rate) {
  ScalarReferenceStrip ref;
  const int frames = static_cast<int>(in[0].size());
  std::vector<std::vector<double>> out(2, std::vector<double>(in[0].size()));
  for (int pos = 0, b = 0; pos < frames; pos += block, ++b) {
    for (const Change& c : Changes())
      if (c.block == b) ref.SetParameter(c.param, RealValue(c.param, c.normalized));
    const int n = std::min(block, frames - pos);
    const double* i[2] = {in[0].data() + pos, in[1].data() + pos};
    double* o[2] = {out[0].data() + pos, out[1].data() + pos};
    ref.ProcessBlock(i, o, n, rate);
  }
  return out;
}

// Index of the first sample whose bits differ, or -1.
template <typename T> long FirstDifference(const std::vector<T>& a, const std::vector<T>& b) {
  if (a.size() != b.size()) return 0;
  for (size_t n = 0; n < a.size(); ++n)
    if (std::memcmp(&a[n], &b[n], sizeof(T)) != 0) return static_cast<long>(n);
  return -1;
}

// Renders the signal through render(in, out) with samples of type T (a
// module's 32- or 64-bit entry; the input is exact in either) and expects
// the reference's samples, rounded once to T.
template <typename T, typename Render>
void ExpectReferenceSamples(int block, double rate, Render render) {
  const auto in = Signal(30 * block, sizeof(T) == sizeof(double));
  const auto want = Reference(in, block, rate);
  std::vector<std::vector<T>> inT(2);
  std::vector<std::vector<T>> out(2, std::vector<T>(in[0].size()));
  for (int c = 0; c < 2; ++c)
    inT[c].assign(in[c].begin(), in[c].end());
  render(inT, out);
  for (int c = 0; c < 2; ++c) {
    const std::vector<T> wantT(want[c].begin(), want[c].end());
    EXPECT_EQ(FirstDifference(out[c], wantT), -1) << "channel " << c;
  }
}

} // namespace reference_schedule

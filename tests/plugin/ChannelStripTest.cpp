// The optimised channel strip against the scalar reference it replaced: the
// same output samples and meter level to the bit, for noise, sweeps and
// hostile input, parameter changes while the smoothers move and after they
// have frozen, bypass toggles, mono and stereo, four sample rates and block
// sizes from 1 to 4096, through the plug-in's ProcessBlock, on the SSE2 and
// (where the CPU has it) the AVX stage.
#include "ScalarReferenceStrip.h"
#include "StereoStage.h"
#include "TOLVEN.h"
#include "TOLVENInspector.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace {

using Signal = std::vector<double>;

struct Change {
  long frame; // applied before the block containing this frame
  int param;
  double value;
};

// Noise, then a sine sweep, with hostile values sprinkled in.
Signal TestSignal(long frames, double rate, unsigned seed, bool hostile) {
  Signal s(static_cast<size_t>(frames));
  unsigned x = seed * 2654435761u + 1u;
  double phase = 0.0;
  for (long n = 0; n < frames; ++n) {
    double v;
    if (n < frames / 2) {
      x = x * 1664525u + 1013904223u;
      v = 0.8 * (static_cast<double>(x >> 8) / 8388608.0 - 1.0);
    } else {
      const double hz = 20.0 * std::pow(1000.0, static_cast<double>(n - frames / 2) / (frames / 2));
      phase += 2.0 * 3.141592653589793 * hz / rate;
      v = 0.5 * std::sin(phase);
    }
    s[static_cast<size_t>(n)] = v;
  }
  if (hostile) {
    const double kHostile[] = {std::numeric_limits<double>::quiet_NaN(),
                               std::numeric_limits<double>::infinity(),
                               -std::numeric_limits<double>::infinity(),
                               1e300,
                               -1e300,
                               std::numeric_limits<double>::max(),
                               std::numeric_limits<double>::denorm_min(),
                               -std::numeric_limits<double>::denorm_min(),
                               2.2e-308,
                               -0.0,
                               0.0};
    long at = 101 + seed;
    for (int round = 0; at < frames; ++round) {
      for (double h : kHostile) {
        if (at >= frames) break;
        s[static_cast<size_t>(at)] = h;
        at += 7 + round;
      }
      at += frames / 9;
    }
  }
  return s;
}

// Runs both strips over the signals in calls of `block` frames, applying the
// changes, and compares every output sample and the meter level after every
// call.
void CompareOnPath(double rate, int block, long frames, const std::vector<Change>& changes,
                   bool hostile, bool mono) {
  SCOPED_TRACE(testing::Message() << "rate " << rate << " block " << block
                                  << (mono ? " mono" : " stereo"));
  IPlugInstanceInfo info;
  TOLVEN strip(info);
  ASSERT_TRUE(strip.Prepare(rate, block));
  if (mono) {
    ASSERT_TRUE(strip.SetChannels(1));
  }
  ScalarReferenceStrip ref;
  const Signal inL = TestSignal(frames, rate, 1, hostile);
  // A disconnected second input is silence.
  const Signal inR = mono ? Signal(inL.size(), 0.0) : TestSignal(frames, rate, 2, hostile);
  Signal outL(inL.size()), outR(inL.size()), refL(inL.size()), refR(inL.size());
  size_t next = 0;
  for (long pos = 0; pos < frames; pos += block) {
    const int n = static_cast<int>(std::min<long>(block, frames - pos));
    for (; next < changes.size() && changes[next].frame < pos + n; ++next) {
      ASSERT_TRUE(strip.SetParameterValue(changes[next].param, changes[next].value));
      ref.SetParameter(changes[next].param, changes[next].value);
    }
    const double* in[2] = {inL.data() + pos, inR.data() + pos};
    double* out[2] = {outL.data() + pos, outR.data() + pos};
    double* refOut[2] = {refL.data() + pos, refR.data() + pos};
    strip.Process(in, out, n);
    ref.ProcessBlock(in, refOut, n, rate);
    const double level = TOLVENInspector::MeterLevel(strip);
    const double refLevel = ref.MeterLevel();
    ASSERT_EQ(std::memcmp(&level, &refLevel, sizeof level), 0)
        << "meter after frame " << pos + n << ": " << level << " vs " << refLevel;
  }
  for (size_t n = 0; n < inL.size(); ++n) {
    ASSERT_EQ(std::memcmp(&outL[n], &refL[n], sizeof(double)), 0)
        << "left " << n << ": " << outL[n] << " vs " << refL[n];
    if (mono) continue;
    ASSERT_EQ(std::memcmp(&outR[n], &refR[n], sizeof(double)), 0)
        << "right " << n << ": " << outR[n] << " vs " << refR[n];
  }
}

// The comparison on every stage path the CPU has (SSE2 always, AVX mostly).
void Compare(double rate, int block, long frames, const std::vector<Change>& changes,
             bool hostile = true, bool mono = false) {
  const StereoStage::Path chosen = StereoStage::SelectedPath();
  for (StereoStage::Path path : {StereoStage::Path::kSse2, StereoStage::Path::kAvx}) {
    if (!StereoStage::SelectPath(path)) continue;
    SCOPED_TRACE(path == StereoStage::Path::kAvx ? "AVX" : "SSE2");
    CompareOnPath(rate, block, frames, changes, hostile, mono);
  }
  StereoStage::SelectPath(chosen);
}

// Changes while everything moves, bypass toggles among them.
std::vector<Change> MovingChanges(long frames) {
  const long f = frames / 12;
  return {{0, kHighGain, 0.85},       {0, kMidGain, 0.2},          {0, kLowGain, 0.05},
          {f, kInputGain, 18.0},      {2 * f, kOutputGain, -7.5},  {3 * f, kBypass, 1.0},
          {3 * f + 5, kBypass, 0.0},  {4 * f, kMidGain, 0.95},     {5 * f, kBypass, 1.0},
          {6 * f, kHighGain, 0.1},    {7 * f, kBypass, 0.0},       {8 * f, kLowGain, 1.0},
          {9 * f, kInputGain, -24.0}, {10 * f, kOutputGain, 24.0}, {11 * f, kHighGain, 0.5}};
}

class ChannelStripAtRateAndBlock : public testing::TestWithParam<std::tuple<double, int>> {};

TEST_P(ChannelStripAtRateAndBlock, MatchesTheScalarReferenceWhileMoving) {
  const double rate = std::get<0>(GetParam());
  const int block = std::get<1>(GetParam());
  const long frames = 48000;
  Compare(rate, block, frames, MovingChanges(frames));
  Compare(rate, block, frames / 4, MovingChanges(frames / 4), true, true);
}

INSTANTIATE_TEST_SUITE_P(RatesAndBlocks, ChannelStripAtRateAndBlock,
                         testing::Combine(testing::Values(44100.0, 48000.0, 96000.0, 192000.0),
                                          testing::Values(1, 37, 512, 4096)));

// The smoothers reach their fixed points (about 7 s), the coefficients stop
// being recomputed, then every control moves again from the frozen state and
// settles once more; the bypass toggles while frozen.
TEST(ChannelStrip, MatchesTheScalarReferenceAcrossFreezesAndThaws) {
  for (double rate : {44100.0, 48000.0}) {
    const long s = static_cast<long>(rate);
    Compare(rate, 512, 22 * s,
            {{9 * s, kBypass, 1.0},
             {9 * s + 700, kBypass, 0.0},
             {10 * s, kHighGain, 0.7},
             {10 * s, kInputGain, 6.0},
             {11 * s, kOutputGain, -3.0},
             {11 * s, kMidGain, 0.3},
             {11 * s, kLowGain, 0.6},
             {21 * s, kBypass, 1.0}},
            false);
  }
}

// Bands set to exactly 0 (the mid band's control is 1 - value) after they
// have settled at 0.5: the smoothers fall through the subnormal range to a
// fixed point near 0. At 1 kHz they leave the normal range about 112,600
// frames after the change and freeze about 4,900 frames later (two minutes
// and more of audio at 48 kHz).
TEST(ChannelStrip, MatchesTheScalarReferenceThroughTheSubnormalCreep) {
  Compare(1000.0, 256, 150000,
          {{20000, kHighGain, 0.0}, {20000, kMidGain, 1.0}, {20000, kLowGain, 0.0}}, false);
  Compare(48000.0, 512, 48000, {{0, kHighGain, 0.0}, {0, kMidGain, 1.0}, {0, kLowGain, 0.0}});
}

// A rate the strip does not run at passes the input through dry.
TEST(ChannelStrip, MatchesTheScalarReferenceAtAnUnusableRate) {
  Compare(2.0e6, 512, 4096, {});
}

// Why the strip may compute the coefficients of a subnormal or zero control
// from +0: to the bit they are the same, at every rate from 1 Hz up.
TEST(ChannelStrip, SubnormalControlsGiveTheCoefficientsOfZero) {
  using Routine = void (*)(EqSection&, double, double);
  std::vector<double> tiny = {-0.0, std::numeric_limits<double>::denorm_min(),
                              std::numeric_limits<double>::min() * (1.0 - 0x1p-52)};
  unsigned x = 5;
  for (int i = 0; i < 200; ++i) {
    x = x * 1664525u + 1013904223u;
    tiny.push_back(std::numeric_limits<double>::min() * (x / 4294967296.0));
  }
  const size_t positive = tiny.size();
  for (size_t i = 0; i < positive; ++i)
    tiny.push_back(-tiny[i]);
  for (Routine r : {&HighBandCoefficients<double>, &MidBandCoefficients<double>,
                    &LowBandCoefficients<double>}) {
    for (double rate : {1.0, 8000.0, 44100.0, 48000.0, 96000.0, 192000.0, 1.0e6}) {
      EqSection zero;
      r(zero, rate, 0.0);
      for (double v : tiny) {
        EqSection s;
        r(s, rate, v);
        const double got[] = {s.a0, s.a1, s.a2, s.b0, s.b1, s.b2};
        const double want[] = {zero.a0, zero.a1, zero.a2, zero.b0, zero.b1, zero.b2};
        ASSERT_EQ(std::memcmp(got, want, sizeof got), 0) << "rate " << rate << " v " << v;
      }
    }
  }
}

} // namespace

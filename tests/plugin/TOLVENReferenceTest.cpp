// The processing loop against a plain model written from the documented order
// of operations with the DSP building blocks: any change of order (which
// smoother steps when, which band filters first, when the offset is added,
// how bypass reads its parameter) shows up as a bit difference.
#include "TOLVEN.h"

#include "EqSection.h"
#include "ExactMath.h"
#include "Oversampler.h"
#include "ParamSmoother.h"
#include "ShaperFunction.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

namespace {

struct ReferenceStrip {
  double high = 0.5, mid = 0.5, low = 0.5, inGain = 1.0, outGain = 1.0;
  double bypass = 0.0;
  ParamSmoother hs, ms, ls, is, os;
  EqSection hSec[2], lSec[2], mSec[2];
  Oversampler stage[2];

  void Block(const double* const* in, double* const* out, int frames, double F) {
    for (ParamSmoother* s : {&hs, &ls, &ms, &is, &os}) {
      s->coefficient = ExactMath::Exp((0.5 / F) * (-6.283185307179586));
      s->oneMinusCoefficient = 1.0 - s->coefficient;
    }
    const double m = ExactMath::Pow10(0.76);
    for (int n = 0; n < frames; ++n) {
      hs.state = hs.coefficient * hs.state + hs.oneMinusCoefficient * high;
      HighBandCoefficients(hSec[0], F, hs.state);
      hs.state = hs.coefficient * hs.state + hs.oneMinusCoefficient * high;
      HighBandCoefficients(hSec[1], F, hs.state);
      ms.state = ms.coefficient * ms.state + ms.oneMinusCoefficient * (1.0 - mid);
      MidBandCoefficients(mSec[0], F, ms.state);
      ms.state = ms.coefficient * ms.state + ms.oneMinusCoefficient * (1.0 - mid);
      MidBandCoefficients(mSec[1], F, ms.state);
      ls.state = ls.coefficient * ls.state + ls.oneMinusCoefficient * low;
      LowBandCoefficients(lSec[0], F, ls.state);
      ls.state = ls.coefficient * ls.state + ls.oneMinusCoefficient * low;
      LowBandCoefficients(lSec[1], F, ls.state);
      auto shaper = [this](double u) {
        is.state = inGain * is.oneMinusCoefficient + is.coefficient * is.state;
        return SaturationCurve::Value(is.state * u);
      };
      double stageOut[2];
      stageOut[0] = stage[0].ProcessSample(in[0][n] + 1e-10, shaper);
      stageOut[1] = stage[1].ProcessSample(in[1][n] + 1e-10, shaper);
      double channelOut[2];
      for (int ch = 0; ch < 2; ++ch) {
        const int b = static_cast<int>(bypass);
        if (b == 0) {
          double y = FilterSample(hSec[ch], stageOut[ch]);
          y = FilterSample(lSec[ch], y);
          y = FilterSample(mSec[ch], y);
          os.state = outGain * os.oneMinusCoefficient + os.coefficient * os.state;
          channelOut[ch] = y * os.state * m;
        } else {
          channelOut[ch] = in[ch][n];
        }
      }
      out[0][n] = channelOut[0] - 1e-10;
      out[1][n] = channelOut[1] - 1e-10;
    }
  }
};

std::vector<double> Noise(size_t frames, double amplitude, unsigned seed) {
  std::vector<double> s(frames);
  unsigned x = seed * 2654435761u + 1u;
  for (size_t n = 0; n < frames; ++n) {
    x = x * 1664525u + 1013904223u;
    s[n] = amplitude * (static_cast<double>(x >> 8) / 8388608.0 - 1.0);
  }
  return s;
}

struct Change {
  int block;
  int param;
  double value;
};

void CompareWithReference(double rate, int blockFrames, const std::vector<Change>& changes) {
  IPlugInstanceInfo info;
  TOLVEN strip(info);
  ASSERT_TRUE(strip.Prepare(rate, blockFrames));
  ReferenceStrip ref;
  const std::vector<double> inL = Noise(40 * blockFrames, 1.5, 21);
  const std::vector<double> inR = Noise(40 * blockFrames, 0.2, 22);
  std::vector<double> outL(inL.size());
  std::vector<double> outR(inL.size());
  std::vector<double> refL(inL.size());
  std::vector<double> refR(inL.size());
  for (int block = 0; block < 40; ++block) {
    for (const Change& c : changes) {
      if (c.block != block) continue;
      strip.SetParameterValue(c.param, c.value);
      switch (c.param) {
      case kHighGain:
        ref.high = c.value;
        break;
      case kMidGain:
        ref.mid = c.value;
        break;
      case kLowGain:
        ref.low = c.value;
        break;
      case kInputGain:
        ref.inGain = ExactMath::Pow10(c.value / 20.0);
        break;
      case kOutputGain:
        ref.outGain = ExactMath::Pow10(c.value / 20.0);
        break;
      default:
        ref.bypass = c.value;
        break;
      }
    }
    const size_t at = static_cast<size_t>(block) * blockFrames;
    const double* in[2] = {inL.data() + at, inR.data() + at};
    double* out[2] = {outL.data() + at, outR.data() + at};
    double* refOut[2] = {refL.data() + at, refR.data() + at};
    strip.Process(in, out, blockFrames);
    ref.Block(in, refOut, blockFrames, rate);
  }
  for (size_t n = 0; n < inL.size(); ++n) {
    ASSERT_EQ(std::memcmp(&outL[n], &refL[n], sizeof(double)), 0)
        << n << " " << outL[n] << " " << refL[n];
    ASSERT_EQ(std::memcmp(&outR[n], &refR[n], sizeof(double)), 0)
        << n << " " << outR[n] << " " << refR[n];
  }
}

TEST(TOLVENReference, DefaultsAt48k) {
  CompareWithReference(48000.0, 256, {});
}

TEST(TOLVENReference, EveryControlMovedWhileRunningAt44k1) {
  CompareWithReference(44100.0, 128,
                       {{0, kHighGain, 0.85},
                        {0, kMidGain, 0.2},
                        {0, kLowGain, 0.05},
                        {3, kInputGain, 18.0},
                        {5, kOutputGain, -7.5},
                        {10, kMidGain, 0.95},
                        {12, kBypass, 1.0},
                        {20, kBypass, 0.0},
                        {22, kHighGain, 0.1},
                        {30, kLowGain, 1.0},
                        {31, kInputGain, -20.0}});
}

TEST(TOLVENReference, HotInputAt96k) {
  CompareWithReference(96000.0, 512, {{0, kInputGain, 24.0}, {0, kOutputGain, 24.0}});
}

} // namespace

#include "TestPlug.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

// State that carries from sample to sample, so any lost, repeated or
// misplaced frame changes every later output.
class FilterPlug : public TestPlug {
public:
  FilterPlug() {
    SetInputConnections(0, 2, true);
    SetOutputConnections(0, 2, true);
  }
  void ProcessBlock(double** inputs, double** outputs, int frames) override {
    calls.push_back(frames);
    for (int s = 0; s < frames; ++s, ++counter) {
      for (int c = 0; c < 2; ++c) {
        state[c] = 0.5 * state[c] + inputs[c][s] * (c + 1) + 0.001 * counter;
        outputs[c][s] = state[c];
      }
    }
  }
  std::vector<int> calls;
  double state[2] = {0.0, 0.0};
  long counter = 0;
};

using Channels = std::vector<Values>;

Channels Signal(int frames, bool asFloat = false) {
  Channels signal(2, Values(static_cast<std::size_t>(frames)));
  for (int s = 0; s < frames; ++s) {
    signal[0][s] = std::sin(0.01 * s);
    signal[1][s] = 0.25 - 0.001 * s;
    if (asFloat) {
      signal[0][s] = static_cast<float>(signal[0][s]);
      signal[1][s] = static_cast<float>(signal[1][s]);
    }
  }
  return signal;
}

// The same plug-in fed the whole signal as one block.
Channels Reference(Channels signal) {
  FilterPlug plug;
  double* channels[] = {signal[0].data(), signal[1].data()};
  plug.ProcessBlock(channels, channels, static_cast<int>(signal[0].size()));
  return signal;
}

std::vector<float> ToFloat(const Values& v) {
  return {v.begin(), v.end()};
}

} // namespace

TEST(ProcessingDriver, DoubleCallsAreSlicedByTheBlockSize) {
  const int frames = 1000;
  const Channels in = Signal(frames), expected = Reference(in);
  FilterPlug plug;
  ASSERT_TRUE(plug.SetBlockSize(64));
  Channels out(2, Values(frames, -1.0)); // exactly frames long
  const double* inputs[] = {in[0].data(), in[1].data()};
  double* outputs[] = {out[0].data(), out[1].data()};
  plug.ProcessHostDouble(inputs, 2, outputs, 2, frames);
  EXPECT_EQ(out, expected);
  EXPECT_EQ(plug.calls.size(), 16u);
  EXPECT_EQ(std::accumulate(plug.calls.begin(), plug.calls.end(), 0), frames);
  EXPECT_EQ(*std::max_element(plug.calls.begin(), plug.calls.end()), 64);

  // In place, with the block size never announced: the fallback slices.
  FilterPlug fresh;
  Channels inPlace = Signal(10000);
  double* channels[] = {inPlace[0].data(), inPlace[1].data()};
  fresh.ProcessHostDouble(channels, 2, channels, 2, 10000);
  EXPECT_EQ(fresh.GetBlockSize(), IPlugBase::kFallbackBlockSize);
  EXPECT_EQ(inPlace, Reference(Signal(10000)));
}

TEST(ProcessingDriver, FloatCallsReplaceOrAccumulateInSlices) {
  const int frames = 777;
  const Channels in = Signal(frames, true), expected = Reference(in);
  const std::vector<float> inL = ToFloat(in[0]), inR = ToFloat(in[1]);
  const float* inputs[] = {inL.data(), inR.data()};

  FilterPlug replacing;
  ASSERT_TRUE(replacing.SetBlockSize(100));
  std::vector<float> outL(frames, 5.0f), outR(frames, 5.0f);
  float* outputs[] = {outL.data(), outR.data()};
  replacing.ProcessHostFloat(inputs, 2, outputs, 2, frames);
  EXPECT_EQ(outL, ToFloat(expected[0]));
  EXPECT_EQ(outR, ToFloat(expected[1]));
  EXPECT_EQ(replacing.calls.size(), 8u);

  FilterPlug accumulating;
  ASSERT_TRUE(accumulating.SetBlockSize(100));
  std::vector<float> acc(frames, 1.0f);
  float* accumulated[] = {outL.data(), acc.data()};
  accumulating.ProcessHostFloat(inputs, 2, accumulated, 2, frames, true);
  for (int s = 0; s < frames; ++s)
    ASSERT_EQ(acc[s], 1.0f + static_cast<float>(expected[1][s])) << s;

  FilterPlug inPlace; // host arrays that are both input and output
  ASSERT_TRUE(inPlace.SetBlockSize(32));
  std::vector<float> l = inL, r = inR;
  float* channels[] = {l.data(), r.data()};
  inPlace.ProcessHostFloat(channels, 2, channels, 2, frames);
  EXPECT_EQ(l, ToFloat(expected[0]));
  EXPECT_EQ(r, ToFloat(expected[1]));
}

TEST(ProcessingDriver, ZeroFramesBypassAndMissingArrays) {
  FilterPlug plug;
  ASSERT_TRUE(plug.SetBlockSize(40));
  double one[1] = {7.0};
  double* ones[] = {one, one};
  plug.ProcessHostDouble(ones, 2, ones, 2, 0);
  plug.ProcessHostDouble(ones, 2, ones, 2, -3);
  EXPECT_EQ(plug.calls, (std::vector<int>{0, 0})); // runs once, touches no audio
  EXPECT_EQ(one[0], 7.0);

  const Channels in = Signal(100);
  Channels out(2, Values(100));
  const double* inputs[] = {in[0].data(), in[1].data()};
  double* outputs[] = {out[0].data(), out[1].data()};
  plug.SetBypassed(true);
  plug.ProcessHostDouble(inputs, 2, outputs, 2, 100);
  EXPECT_EQ(out, in);
  EXPECT_EQ(plug.calls.size(), 2u);
  plug.SetBypassed(false);

  // One host input for two connected pins, no output arrays: the second pin
  // reads silence and nothing is written anywhere.
  plug.ProcessHostFloat(nullptr, 0, nullptr, 2, 100);
  EXPECT_EQ(plug.calls, (std::vector<int>{0, 0, 40, 40, 20}));
  EXPECT_EQ(plug.state[0], plug.state[1]); // both driven by the ramp alone
  std::vector<float> ramp(100, 1.0f), dest(100, 0.0f);
  const float* oneInput[] = {ramp.data()};
  float* oneOutput[] = {dest.data()};
  plug.SetInputConnections(1, 1, false);
  plug.ProcessHostFloat(oneInput, 1, oneOutput, 1, 100);
  EXPECT_GT(dest[99], 2.0); // pin 0 got the host array
}

#include "BenchScenario.h"

#include "TOLVENIdentity.h"

namespace {

// Seconds of audio that bring the strip into each scenario's state.
constexpr double kSettleSeconds = 6.0; // the smoothers freeze after 4.4 s
// A smoother falling from 0.5 towards 0 leaves the normal range 111.9 s after
// the change at 48 kHz and creeps through subnormals until it freezes at
// 116.2 s.
constexpr double kSubnormalSeconds = 112.0;
constexpr double kLoudSeconds = 5.0;

} // namespace

BenchScenario::BenchScenario(Scenario scenario, int block)
    : mScenario(scenario), mBlock(block), mLeft(block), mRight(block), mOutLeft(block),
      mOutRight(block) {
  IPlugInstanceInfo info;
  info.hostName = "tolven-bench";
  mStrip = std::make_unique<TOLVEN>(info);
  mStrip->Prepare(kRate, block);
  double seconds = kSettleSeconds;
  if (scenario == Scenario::kSubnormalBands) {
    // The smoothers start at 0: they have to settle at 0.5 first to have
    // somewhere to fall from.
    Fill(0.25, 1);
    const long settle = static_cast<long>(kSettleSeconds * kRate);
    for (long done = 0; done < settle; done += block)
      RunBlock();
    mStrip->SetParameterValue(kHighGain, 0.0);
    mStrip->SetParameterValue(kMidGain, 1.0);
    mStrip->SetParameterValue(kLowGain, 0.0);
    seconds = kSubnormalSeconds;
  }
  if (scenario == Scenario::kSilenceAfterLoud) {
    mStrip->SetParameterValue(kInputGain, 24.0);
    Fill(1.0, 7);
    const long loud = static_cast<long>(kLoudSeconds * kRate);
    for (long done = 0; done < loud; done += block)
      RunBlock();
    Fill(0.0, 0);
    return;
  }
  Fill(0.25, 1);
  const long frames = static_cast<long>(seconds * kRate);
  for (long done = 0; done < frames; done += block)
    RunBlock();
  if (scenario == Scenario::kQuiet) Fill(1e-9, 3);
}

void BenchScenario::Fill(double amplitude, unsigned seed) {
  unsigned x = seed;
  for (int n = 0; n < mBlock; ++n) {
    x = x * 1664525u + 1013904223u;
    mLeft[n] = amplitude * (static_cast<double>(x >> 8) / 8388608.0 - 1.0);
    mRight[n] = -0.5 * mLeft[n];
  }
}

void BenchScenario::RunBlock() {
  if (mScenario == Scenario::kMoving) {
    // Every control swings between two settings from block to block.
    const bool odd = (mBlocksRun & 1) != 0;
    mStrip->SetParameterValue(kHighGain, odd ? 0.3 : 0.7);
    mStrip->SetParameterValue(kMidGain, odd ? 0.6 : 0.4);
    mStrip->SetParameterValue(kLowGain, odd ? 0.2 : 0.8);
    mStrip->SetParameterValue(kInputGain, odd ? 6.0 : -6.0);
    mStrip->SetParameterValue(kOutputGain, odd ? -3.0 : 3.0);
  }
  double* in[2] = {mLeft.data(), mRight.data()};
  double* out[2] = {mOutLeft.data(), mOutRight.data()};
  mStrip->ProcessBlock(in, out, mBlock);
  ++mBlocksRun;
}

#pragma once

#include "TOLVEN.h"

#include <memory>
#include <vector>

// The situations the channel strip is measured in, shared by the benchmark
// and the instruction counter so that both measure the same thing.
enum class Scenario {
  kSettled,          // default settings, every smoother at its fixed point
  kMoving,           // a parameter change every block: every smoother moving
  kSubnormalBands,   // bands at exactly 0 (mid at 1): smoothers creeping through subnormals
  kSilenceAfterLoud, // silence after five seconds of hot noise
  kQuiet,            // noise around -180 dB, below the strip's own offset
};

// One instance at 48 kHz, brought into the scenario's state, with its own
// input and output blocks.
class BenchScenario {
public:
  static constexpr double kRate = 48000.0;

  BenchScenario(Scenario scenario, int block);

  // One block through ProcessBlock (with the scenario's parameter changes).
  void RunBlock();
  const double* Output() const { return mOutLeft.data(); }

private:
  void Fill(double amplitude, unsigned seed);

  Scenario mScenario;
  int mBlock;
  std::unique_ptr<TOLVEN> mStrip;
  std::vector<double> mLeft;
  std::vector<double> mRight;
  std::vector<double> mOutLeft;
  std::vector<double> mOutRight;
  long mBlocksRun = 0;
};

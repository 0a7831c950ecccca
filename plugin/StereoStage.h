#pragma once

#include "Lanes.h"
#include "StereoHalfband.h"

// The saturating stage of both channels at four times the rate: up by 2
// twice, the curve on every sub-sample, down by 2 twice. Two implementations
// of the same operations: SSE2 with the channels as two lanes, and AVX with
// the two allpass paths of every filter step side by side as well (four
// lanes). Both give the same bits; the faster one the CPU has is chosen once.
class StereoStage {
public:
  StereoStage();

  // One input frame; gains[k] is the input gain of sub-sample k per channel.
  Lanes Process(Lanes in, const Lanes (&gains)[4]) { return sProcess(*this, in, gains); }

  enum class Path { kSse2, kAvx };
  // For tests: runs every stage on the given path; false (and no change) when
  // the CPU lacks it.
  static bool SelectPath(Path path);
  static Path SelectedPath();

  StereoHalfband<12> up2;
  StereoHalfband<4> up4;
  StereoHalfband<4> down4;
  StereoHalfband<12> down2;

private:
  using ProcessFunction = Lanes (*)(StereoStage&, Lanes, const Lanes (&)[4]);
  static Lanes ProcessSse2(StereoStage& s, Lanes in, const Lanes (&gains)[4]);
  static Lanes ProcessAvx(StereoStage& s, Lanes in, const Lanes (&gains)[4]);
  static ProcessFunction sProcess;
};

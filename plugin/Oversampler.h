#pragma once

#include "HalfbandDownsampler.h"
#include "HalfbandUpsampler.h"

// Runs a shaping function at 1, 2, 4, 8 or 16 times the host rate: each input
// sample is up-sampled through a chain of polyphase half-band filters, shaped
// sub-sample by sub-sample, and brought back down through the mirror chain.
// Nothing is allocated: all intermediate samples live in fixed scratch arrays.
class Oversampler {
public:
  // Built at factor 1 with every coefficient set loaded, then switched to 4
  // (the factor the channel strip runs) with a cleared state.
  Oversampler();

  // Switches to one of 1, 2, 4, 8, 16 and clears the state when the factor
  // changes. Any other factor is refused (returns false, nothing changes).
  bool SetFactor(int factor);
  int Factor() const { return mFactor; }

  // Zeroes every filter history and the scratch storage.
  void ClearState();

  // One host-rate sample in, one out. shaper(double) -> double is called once
  // per sub-sample, in time order; it is taken by reference, never copied or
  // stored, so a lambda or small function object costs no allocation.
  template <typename Shaper> double ProcessSample(double in, Shaper&& shaper);

  // Read access for tests and diagnostics.
  const HalfbandUpsampler<12>& Up2() const { return mUp2; }
  const HalfbandUpsampler<4>& Up4() const { return mUp4; }
  const HalfbandUpsampler<3>& Up8() const { return mUp8; }
  const HalfbandUpsampler<2>& Up16() const { return mUp16; }
  const HalfbandDownsampler<12>& Down2() const { return mDown2; }
  const HalfbandDownsampler<4>& Down4() const { return mDown4; }
  const HalfbandDownsampler<3>& Down8() const { return mDown8; }
  const HalfbandDownsampler<2>& Down16() const { return mDown16; }

  static const double kCoefficients12[12];
  static const double kCoefficients4[4];
  static const double kCoefficients3[3];
  static const double kCoefficients2[2];

private:
  int mFactor = 1;
  HalfbandUpsampler<12> mUp2;
  HalfbandDownsampler<12> mDown2;
  HalfbandUpsampler<4> mUp4;
  HalfbandDownsampler<4> mDown4;
  HalfbandUpsampler<3> mUp8;
  HalfbandDownsampler<3> mDown8;
  HalfbandUpsampler<2> mUp16;
  HalfbandDownsampler<2> mDown16;
  // Sub-samples of one input sample on the way up (2, 4, 8, 16) and down (8, 4, 2).
  double mUpScratch2[2];
  double mUpScratch4[4];
  double mUpScratch8[8];
  double mUpScratch16[16];
  double mDownScratch8[8];
  double mDownScratch4[4];
  double mDownScratch2[2];
};

template <typename Shaper> double Oversampler::ProcessSample(double in, Shaper&& shaper) {
  if (mFactor == 1) return shaper(in);

  mUp2.Process(in, mUpScratch2[0], mUpScratch2[1]);
  double* top = mUpScratch2;
  if (mFactor >= 4) {
    mUp4.ProcessBlock(mUpScratch2, mUpScratch4, 2);
    top = mUpScratch4;
  }
  if (mFactor >= 8) {
    mUp8.ProcessBlock(mUpScratch4, mUpScratch8, 4);
    top = mUpScratch8;
  }
  if (mFactor >= 16) {
    mUp16.ProcessBlock(mUpScratch8, mUpScratch16, 8);
    top = mUpScratch16;
  }

  for (int k = 0; k < mFactor; ++k)
    top[k] = shaper(top[k]);

  if (mFactor >= 16) {
    mDown16.ProcessBlock(mUpScratch16, mDownScratch8, 8);
    top = mDownScratch8;
  }
  if (mFactor >= 8) {
    mDown8.ProcessBlock(top, mDownScratch4, 4);
    top = mDownScratch4;
  }
  if (mFactor >= 4) {
    mDown4.ProcessBlock(top, mDownScratch2, 2);
    top = mDownScratch2;
  }
  return mDown2.Process(top[0], top[1]);
}

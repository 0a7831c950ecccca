#include "Oversampler.h"

#include <algorithm>
#include <iterator>

// Polyphase half-band allpass coefficients; the same set serves the up- and
// the down-sampler of a step.
const double Oversampler::kCoefficients12[12] = {
    0.036681502163648017, 0.13654762463195794, 0.27463175937945444, 0.4231386174365671,
    0.5610986978791953,   0.6775400499741618,  0.769741833863227,   0.8398896248496389,
    0.892260818003879,    0.9315419599631839,  0.9620945483780842,  0.9878163707328959};
const double Oversampler::kCoefficients4[4] = {0.04189399199765617, 0.168903482439952,
                                               0.39056077292116603, 0.7438957482684793};
const double Oversampler::kCoefficients3[3] = {0.05574868081130205, 0.24305119574153072,
                                               0.646699131192682};
const double Oversampler::kCoefficients2[2] = {0.10717745346023573, 0.5309143535450456};

Oversampler::Oversampler() {
  mUp2.SetCoefficients(kCoefficients12);
  mDown2.SetCoefficients(kCoefficients12);
  mUp4.SetCoefficients(kCoefficients4);
  mDown4.SetCoefficients(kCoefficients4);
  mUp8.SetCoefficients(kCoefficients3);
  mDown8.SetCoefficients(kCoefficients3);
  mUp16.SetCoefficients(kCoefficients2);
  mDown16.SetCoefficients(kCoefficients2);
  ClearState();
  SetFactor(4);
  ClearState();
}

bool Oversampler::SetFactor(int factor) {
  if (factor != 1 && factor != 2 && factor != 4 && factor != 8 && factor != 16) return false;
  if (factor != mFactor) {
    mFactor = factor;
    ClearState();
  }
  return true;
}

void Oversampler::ClearState() {
  mUp2.Clear();
  mDown2.Clear();
  mUp4.Clear();
  mDown4.Clear();
  mUp8.Clear();
  mDown8.Clear();
  mUp16.Clear();
  mDown16.Clear();
  std::fill(std::begin(mUpScratch2), std::end(mUpScratch2), 0.0);
  std::fill(std::begin(mUpScratch4), std::end(mUpScratch4), 0.0);
  std::fill(std::begin(mUpScratch8), std::end(mUpScratch8), 0.0);
  std::fill(std::begin(mUpScratch16), std::end(mUpScratch16), 0.0);
  std::fill(std::begin(mDownScratch8), std::end(mDownScratch8), 0.0);
  std::fill(std::begin(mDownScratch4), std::end(mDownScratch4), 0.0);
  std::fill(std::begin(mDownScratch2), std::end(mDownScratch2), 0.0);
}

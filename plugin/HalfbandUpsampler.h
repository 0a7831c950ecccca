#pragma once

#include "HalfbandAllpass.h"

// Doubles the sample rate: every input sample gives two outputs, path 0's
// result first.
template <int N, typename T = double> class HalfbandUpsampler {
public:
  void SetCoefficients(const double (&coefficients)[N]) { mPaths.SetCoefficients(coefficients); }
  void Clear() { mPaths.Clear(); }

  void Process(T in, T& first, T& second) { mPaths.PairStep(in, in, first, second); }

  // A block of count inputs gives 2 * count outputs, in time order.
  void ProcessBlock(const T* in, T* out, int count) {
    for (int n = 0; n < count; ++n)
      Process(in[n], out[2 * n], out[2 * n + 1]);
  }

  const HalfbandAllpass<N, T>& Paths() const { return mPaths; }

private:
  HalfbandAllpass<N, T> mPaths;
};

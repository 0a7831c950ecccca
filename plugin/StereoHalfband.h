#pragma once

#include "Lanes.h"

// The polyphase half-band allpass pair of HalfbandAllpass for both channels
// at once, with a smaller state: the previous input of cell k >= 2 is the
// previous output of cell k - 2, so only the two paths' own previous inputs
// and every cell's previous output are kept. Same cells, same operations,
// same order as HalfbandAllpass, lane by lane.
template <int N> struct StereoHalfband {
  static_assert(N >= 2 && N % 2 == 0, "one cell per path and step");

  Lanes c[N] = {};     // cell coefficients, the same in both lanes
  Lanes input[2] = {}; // previous inputs of paths 0 and 1
  Lanes y[N] = {};     // previous cell outputs

  void SetCoefficients(const double (&coefficients)[N]) {
    for (int k = 0; k < N; ++k)
      c[k] = _mm_set1_pd(coefficients[k]);
  }

  // The previous input of cell k, as HalfbandAllpass keeps it in x[k].
  Lanes PreviousInput(int k) const { return k < 2 ? input[k] : y[k - 2]; }

  // s0 through the even cells, s1 through the odd ones, cells in increasing k.
  void PairStep(Lanes s0, Lanes s1, Lanes& out0, Lanes& out1) {
    Lanes before0 = input[0];
    Lanes before1 = input[1];
    input[0] = s0;
    input[1] = s1;
    for (int k = 0; k < N; k += 2) {
      s0 = Cell(k, s0, before0);
      s1 = Cell(k + 1, s1, before1);
    }
    out0 = s0;
    out1 = s1;
  }

  // Doubling the rate: path 0's result first.
  void Up(Lanes in, Lanes& first, Lanes& second) { PairStep(in, in, first, second); }
  // Halving it: path 0 takes the later sample, the output is the paths' mean.
  Lanes Down(Lanes earlier, Lanes later) {
    Lanes r0;
    Lanes r1;
    PairStep(later, earlier, r0, r1);
    return 0.5 * (r0 + r1);
  }

private:
  // before: the cell's previous input on entry, its previous output on return
  // (the previous input of cell k + 2).
  Lanes Cell(int k, Lanes s, Lanes& before) {
    const Lanes old = y[k];
    const Lanes t = (s - old) * c[k] + before;
    y[k] = t;
    before = old;
    return t;
  }
};

#pragma once

#include "Lanes.h"

// One second-order section of the equaliser (direct form I). The coefficients
// are rewritten by one of the band routines below and are used as computed:
// a0 is not folded into the others, FilterSample divides by it. T is double
// for one channel or Lanes for both channels side by side; every lane goes
// through exactly the operations of the scalar code.
template <typename T> struct EqSectionOf {
  T x{};  // latest input
  T y{};  // latest output
  T x1{}; // previous inputs, x1 the most recent
  T x2{};
  T y1{}; // previous outputs, y1 the most recent
  T y2{};
  T a0{}; // denominator (a0 normalises)
  T a1{};
  T a2{};
  T b0{}; // numerator
  T b1{};
  T b2{};
};
using EqSection = EqSectionOf<double>;

// The expressions below are evaluated exactly as grouped (C++ evaluates a * b * c
// as (a * b) * c and a - b + c as (a - b) + c); the build forbids contracting
// them into fused multiply-adds, so every platform computes the same bits.

// Coefficients of the treble shelf for sample rate F (Hz) and control v in
// 0..1 (0 full cut, 0.5 flat, 1 full boost). Bilinear transform of the
// analogue network, written out as polynomials in the sample rate; the
// grouping of every expression is part of the result, so keep it as it is.
template <typename T> void HighBandCoefficients(EqSectionOf<T>& s, double F, T v) {
  const double F2 = F * F;
  const T d = (6.81147611116674e-10 * v * F2 - 9.90879243374448e-10 * F2) * v;
  const double e = 5.68570106117114e-11 * F;
  s.b0 = d - (e + 2.42315123226797e-6) * F - 0.00351832443758613;
  s.b2 = (2.42315123226797e-6 - e) * F + d - 0.00351832443758613;
  s.b1 = (1.9817584867489e-9 * F2 - 1.36229522223335e-9 * v * F2) * v + 1.13714021223423e-10 * F2 -
         0.00703664887517225;
  const double f = 3.66592877326021e-10 * F;
  const T g = (3.71429601811122e-10 * F2 - 6.81161234068896e-10 * v * F2) * v;
  s.a0 = (f + 2.42319969529262e-6) * F + g + 0.00351839480407488;
  s.a2 = (f - 2.42319969529262e-6) * F + g + 0.00351839480407488;
  s.a1 = (1.36232246813779e-9 * v * F2 - 7.42859203622244e-10 * F2) * v -
         7.33185754652041e-10 * F2 + 0.00703678960814975;
}

// Bass shelf; same sense as the treble shelf.
template <typename T> void LowBandCoefficients(EqSectionOf<T>& s, double F, T v) {
  const double F2 = F * F;
  const double c = 1.51266630140008e-9 * F;
  const double d = c + 2.59551527350734e-6;
  const double e = 1.95160659076062e-6 * F;
  s.b0 = (d * (F * v) - d * F - 0.00610985940345774) * v - e - 0.000805981453222081;
  s.b2 = ((2.59551527350734e-6 - c) * F + F * v * (c - 2.59551527350734e-6) - 0.00610985940345774) *
             v +
         e - 0.000805981453222081;
  s.b1 = (3.02533260280015e-9 * F2 - 3.02533260280015e-9 * v * F2 - 0.0122197188069155) * v -
         0.00161196290644416;
  const double f = 1.5126965547261e-9 * F;
  const double g = (f + 2.59556718381281e-6) * F;
  const double h = 1.95164562289243e-6 * F;
  s.a0 = (g - (g + 1.41877908666465e-22) * v - 0.00610985940345774) * v + h + 0.00691591807490292;
  const double r = 3.02539310945221e-9 * F2;
  s.a1 = ((r - 2.83755817332929e-22) * v - r - 0.0122197188069155) * v + 0.0138318361498058;
  s.a2 = (((2.59556718381281e-6 - f) * F - 1.41877908666465e-22) * v +
          (f - 2.59556718381281e-6) * F - 0.00610985940345774) *
             v -
         h + 0.00691591807490292;
}

// Presence peak near 1.6 kHz; v = 0 is full boost, 1 full cut.
template <typename T> void MidBandCoefficients(EqSectionOf<T>& s, double F, T v) {
  const double F2 = F * F;
  const T c = (3.44046521814832e-6 * v * F + 4.54141408795579e-6 * F) * v;
  const double d = 3.09641869633349e-10 * F;
  s.b0 = c - (d + 8.93802946586081e-6) * F - 0.00781923913215528;
  s.b2 = (8.93802946586081e-6 - d) * F - c - 0.00781923913215528;
  s.b1 = Splat<T>(6.19283739266698e-10 * F2 - 0.0156384782643106);
  s.a1 = Splat<T>(0.0156387910338759 - 6.19296124941484e-10 * F2);
  const double e = 1.14224133335568e-5 * F;
  const T f = 3.44053402745269e-6 * v * F;
  const double g = 3.09648062470742e-10 * F;
  s.a0 = (e - f) * v + (g + 9.56249101552956e-7) * F + 0.00781939551693793;
  s.a2 = (f - e) * v + (g - 9.56249101552956e-7) * F + 0.00781939551693793;
}

// Runs one sample through the section and shifts its history.
template <typename T> T FilterSample(EqSectionOf<T>& s, T in) {
  const T y = ((((s.b1 * s.x1 + s.b0 * in) + s.b2 * s.x2) - s.a1 * s.y1) - s.a2 * s.y2) / s.a0;
  s.x2 = s.x1;
  s.x1 = in;
  s.x = in;
  s.y2 = s.y1;
  s.y1 = y;
  s.y = y;
  return y;
}

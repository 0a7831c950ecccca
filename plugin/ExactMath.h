#pragma once

// Exponential and power of ten, correctly rounded in practice (computed in
// double-double arithmetic from IEEE additions and multiplications only, so
// the last bit is the same on every compiler and C library). The channel
// strip's gains and smoothing factors come from these: the platform math
// libraries disagree in the last bit for some arguments, and the Windows and
// Linux modules must produce the same audio bits.
class ExactMath {
public:
  // e^x. NaN gives NaN; above about 709.78 infinity; below about -745.13 zero.
  static double Exp(double x);
  // 10^x, the same way.
  static double Pow10(double x);
};

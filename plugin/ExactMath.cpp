#include "ExactMath.h"

#include <cmath>
#include <limits>

namespace {

// A value as the unevaluated sum hi + lo with |lo| <= ulp(hi) / 2.
struct DD {
  double hi;
  double lo;
};

// Error-free transformations (valid because the build never contracts a
// multiply and an add into one instruction).
inline DD TwoSum(double a, double b) {
  const double s = a + b;
  const double bb = s - a;
  return {s, (a - (s - bb)) + (b - bb)};
}

inline DD QuickTwoSum(double a, double b) {
  const double s = a + b;
  return {s, b - (s - a)};
}

inline void Split(double a, double& hi, double& lo) {
  const double t = 134217729.0 * a; // 2^27 + 1
  hi = t - (t - a);
  lo = a - hi;
}

inline DD TwoProd(double a, double b) {
  const double p = a * b;
  double ah;
  double al;
  double bh;
  double bl;
  Split(a, ah, al);
  Split(b, bh, bl);
  return {p, ((ah * bh - p) + ah * bl + al * bh) + al * bl};
}

inline DD Add(DD a, DD b) {
  DD s = TwoSum(a.hi, b.hi);
  const DD t = TwoSum(a.lo, b.lo);
  s.lo += t.hi;
  s = QuickTwoSum(s.hi, s.lo);
  s.lo += t.lo;
  return QuickTwoSum(s.hi, s.lo);
}

inline DD Mul(DD a, DD b) {
  DD p = TwoProd(a.hi, b.hi);
  p.lo += a.hi * b.lo + a.lo * b.hi;
  return QuickTwoSum(p.hi, p.lo);
}

inline DD MulD(DD a, double b) {
  DD p = TwoProd(a.hi, b);
  p.lo += a.lo * b;
  return QuickTwoSum(p.hi, p.lo);
}

inline DD DivD(DD a, double b) {
  const double q1 = a.hi / b;
  DD r = Add(a, MulD({-q1, 0.0}, b));
  const double q2 = r.hi / b;
  r = Add(r, MulD({-q2, 0.0}, b));
  const double q3 = r.hi / b;
  return Add(QuickTwoSum(q1, q2), {q3, 0.0});
}

constexpr DD kLn2 = {0.6931471805599453, 2.3190468138462996e-17};
constexpr DD kLn10 = {2.302585092994046, -2.1707562233822494e-16};

// e^x for a double-double x, rounded to double.
double ExpDD(DD x) {
  if (std::isnan(x.hi)) return x.hi;
  if (x.hi > 709.8) return std::numeric_limits<double>::infinity();
  if (x.hi < -745.2) return 0.0;
  // x = k ln2 + r with |r| <= ln2 / 2, then r / 512 so that a short series
  // is exact to double-double precision.
  const double k = std::floor(x.hi / kLn2.hi + 0.5);
  DD r = Add(x, MulD({-kLn2.hi, -kLn2.lo}, k));
  r = {r.hi * (1.0 / 512.0), r.lo * (1.0 / 512.0)};
  // expm1(r) by its Taylor series; the terms fall below 1e-36 by the 12th.
  DD term = r;
  DD sum = r;
  for (int n = 2; n <= 12; ++n) {
    term = DivD(Mul(term, r), static_cast<double>(n));
    sum = Add(sum, term);
  }
  // expm1(2r) = expm1(r) * (expm1(r) + 2), nine times for the factor 512;
  // working on expm1 keeps the precision that squaring exp(r) would lose.
  for (int i = 0; i < 9; ++i)
    sum = Mul(sum, Add(sum, {2.0, 0.0}));
  const DD e = Add({1.0, 0.0}, sum);
  // Scale by 2^k; hi + lo rounds the double-double to the nearest double.
  const int ki = static_cast<int>(k);
  if (ki < -1000) {
    // Keep the final rounding out of the subnormal range as long as possible.
    return std::ldexp(std::ldexp(e.hi, ki + 600) + std::ldexp(e.lo, ki + 600), -600);
  }
  return std::ldexp(e.hi, ki) + std::ldexp(e.lo, ki);
}

} // namespace

double ExactMath::Exp(double x) {
  return ExpDD({x, 0.0});
}

double ExactMath::Pow10(double x) {
  if (std::isnan(x)) return x;
  if (x > 309.0) return std::numeric_limits<double>::infinity();
  if (x < -324.0) return 0.0;
  DD y = TwoProd(x, kLn10.hi);
  y.lo += x * kLn10.lo;
  return ExpDD(QuickTwoSum(y.hi, y.lo));
}

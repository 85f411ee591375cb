// Arithmetic that notices the faults the original numeric layer stopped on:
// a division by zero (0/0 included), the square root of a negative number,
// the logarithm of a non-positive number, an overflow or any other
// non-finite result, and a value that does not read as a number. A fault is
// sticky: once set, later operations return 0 and the caller checks fault()
// where the original would have stopped. Internal to the statistics library.
#pragma once

#include <cmath>

#include "util/value.h"

namespace korund::stats::internal {

class CheckedMath {
 public:
  bool fault() const { return fault_; }

  double Add(double a, double b) { return Finite(a + b); }
  double Sub(double a, double b) { return Finite(a - b); }
  double Mul(double a, double b) { return Finite(a * b); }
  double Div(double a, double b) {
    if (b == 0.0) return Fail();
    return Finite(a / b);
  }
  double Sqrt(double a) {
    if (!(a >= 0.0)) return Fail();
    return Finite(std::sqrt(a));
  }
  double Log(double a) {
    if (!(a > 0.0)) return Fail();
    return Finite(std::log(a));
  }
  double Exp(double a) { return Finite(std::exp(a)); }
  double Pow(double a, double b) { return Finite(std::pow(a, b)); }

  // A value in arithmetic: a number, a numeric text, or 0 for an empty value
  // (as the original's arithmetic read an empty variant); any other text is
  // a fault.
  double Number(const Value& v) {
    const auto x = ToNumber(v);
    if (!x) return Fail();
    return Finite(*x);
  }

  // Checks a result computed outside this class (a library routine).
  double Finite(double r) {
    if (fault_ || !std::isfinite(r)) return Fail();
    return r;
  }

 private:
  double Fail() {
    fault_ = true;
    return 0.0;
  }

  bool fault_ = false;
};

}  // namespace korund::stats::internal

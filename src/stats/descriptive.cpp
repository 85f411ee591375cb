#include "stats/descriptive.h"

#include <cmath>
#include <stdexcept>

namespace korund::stats {

namespace {

// Element i as a double; a value that does not read as a number is the
// caller's fault, as it was a run-time error for the original.
double ElementNumber(const ValueArray& data, int32_t i) {
  const auto x = ToNumber(data.at(static_cast<size_t>(i)));
  if (!x) throw std::invalid_argument("statistics: value is not a number");
  return *x;
}

// A count stored in element 0, rounded to the nearest integer (ties to even)
// as the original's conversion did.
int32_t CountFromElementZero(const ValueArray& data) {
  const double c = std::nearbyint(ElementNumber(data, 0));
  if (!(c >= INT32_MIN && c <= INT32_MAX)) throw std::out_of_range("statistics: bad count");
  return static_cast<int32_t>(c);
}

}  // namespace

MeanSD statMeanSD(const ValueArray& data, int32_t n) {
  MeanSD r;
  if (n < 0) n = CountFromElementZero(data);
  if (n <= 0) return r;

  double sum = ElementNumber(data, 1);
  for (int32_t i = 2; i <= n; ++i) sum += ElementNumber(data, i);
  const double m = sum / n;
  r.mean = m;

  // Two passes: the squares are taken about the mean, not as sum(x^2) - n*mean^2.
  double ss = 0.0;
  for (int32_t i = 1; i <= n; ++i) {
    const double d = ElementNumber(data, i) - m;
    ss += d * d;
  }
  if (n < 2) return r;
  const double sd = std::sqrt(ss / (n - 1));
  r.std_dev = sd;
  r.std_err = sd / std::sqrt(static_cast<double>(n));
  return r;
}

Description statDescribe(const ValueArray& data, int32_t n) {
  if (n < 0) throw std::invalid_argument("statDescribe: negative count");
  Description d;
  d.count = n;
  d.values = statMeanSD(data, n);

  ValueArray logs(static_cast<size_t>(n) + 1);
  const double ln10 = std::log(10.0);  // computed, unlike the constant in Log10
  for (int32_t i = 1; i <= n; ++i) {
    const double x = ElementNumber(data, i);
    if (x <= 0) {
      d.logs = Result<MeanSD>::Fail(Failure::kNotPositive);
      return d;
    }
    logs[static_cast<size_t>(i)] = Value(std::log(x) / ln10);
  }
  d.logs = statMeanSD(logs, n);
  return d;
}

double Log10(double x) { return std::log(x) / 2.30258509299405; }

}  // namespace korund::stats

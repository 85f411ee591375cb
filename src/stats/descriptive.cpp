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

void EnsureRows(ValueArray& results, Labels& names, size_t rows) {
  if (results.size() < rows + 1) results.resize(rows + 1);
  if (names.size() < rows + 1) names.resize(rows + 1);
}

}  // namespace

void statMeanSD(const ValueArray& data, int32_t n, Value& mean, Value& std_dev, Value& std_err) {
  mean = Value(0);
  std_dev = Value(0);
  std_err = Value(0);
  if (n < 0) n = CountFromElementZero(data);
  if (n <= 0) return;

  double sum = ElementNumber(data, 1);
  for (int32_t i = 2; i <= n; ++i) sum += ElementNumber(data, i);
  const double m = sum / n;
  mean = Value(m);

  // Two passes: the squares are taken about the mean, not as sum(x^2) - n*mean^2.
  double ss = 0.0;
  for (int32_t i = 1; i <= n; ++i) {
    const double d = ElementNumber(data, i) - m;
    ss += d * d;
  }
  if (n < 2) return;
  const double sd = std::sqrt(ss / (n - 1));
  std_dev = Value(sd);
  std_err = Value(sd / std::sqrt(static_cast<double>(n)));
}

void statDescribe(const ValueArray& data, int32_t n, ValueArray& results, Labels& names,
                  int16_t& count) {
  if (n < 0) throw std::invalid_argument("statDescribe: negative count");
  EnsureRows(results, names, 7);
  results[1] = Value(static_cast<double>(n));
  names[1] = "Count";
  statMeanSD(data, n, results[2], results[3], results[4]);
  names[2] = "Mean";
  names[3] = "StdDev";
  names[4] = "StdErr";

  ValueArray logs(static_cast<size_t>(n) + 1);
  names[5] = "LMean";
  names[6] = "LStdDev";
  names[7] = "LStdErr";
  count = 7;
  const double ln10 = std::log(10.0);  // computed, unlike the constant in Log10
  for (int32_t i = 1; i <= n; ++i) {
    const double x = ElementNumber(data, i);
    if (x <= 0) {
      results[5] = Value("<=0");
      results[6] = Value("<=0");
      results[7] = Value("<=0");
      return;
    }
    logs[static_cast<size_t>(i)] = Value(std::log(x) / ln10);
  }
  statMeanSD(logs, n, results[5], results[6], results[7]);
}

double Log10(double x) { return std::log(x) / 2.30258509299405; }

}  // namespace korund::stats

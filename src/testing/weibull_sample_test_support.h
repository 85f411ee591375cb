// Weibull samples with known parameters and their maximum-likelihood fit,
// for the tests of the statistics built on that fit.
#pragma once

#include <algorithm>
#include <random>
#include <vector>

#include "stats/weibull_mle.h"

namespace korund::stats {

// n strengths drawn from Weibull(m, so), ascending.
inline std::vector<double> WeibullSample(std::mt19937& rng, int n, double m, double so) {
  std::weibull_distribution<double> w(m, so);
  std::vector<double> x(static_cast<size_t>(n));
  for (double& v : x) v = w(rng);
  std::sort(x.begin(), x.end());
  return x;
}

// The raw maximum-likelihood modulus and scale, as the analysis writes them.
struct RawFit {
  double m = 0;
  double so = 0;
};

inline RawFit FitRaw(const std::vector<double>& x) {
  ValueArray data{Value(static_cast<double>(x.size()))};
  for (double v : x) data.emplace_back(v);
  const Result<WeibullMLE> r = statWeibMLE(data, static_cast<int32_t>(x.size()), 95);
  return r.ok() ? RawFit{r->mle, r->so} : RawFit{};
}

}  // namespace korund::stats

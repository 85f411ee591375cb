#include "stats/linreg.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

namespace korund::stats {
namespace {

constexpr double kDash = -1e300;  // stands for the text "--"

// The fit of elements 1..n (element 0 unread; n from x) in the order m, delm, c, delc, b,
// delb, xbar, resid, correlation, xsos, mse, n; a missing figure reads as kDash.
std::vector<double> LinReg(const ValueArray& x, const ValueArray& y, const ValueArray& e,
                           bool weighted) {
  const auto n = static_cast<int32_t>(x.size() - 1);
  const Result<LinRegFit> r = statLinReg(x, y, e, weighted, n);
  if (!r.ok()) {
    EXPECT_EQ(r.failure(), Failure::kNoFit);
    return std::vector<double>(12, kDash);
  }
  const auto& err = r->errors;
  EXPECT_EQ(err.has_value(), n > 2);
  auto opt = [&err](double LinRegFit::Errors::*field) { return err ? (*err).*field : kDash; };
  return {r->m,    opt(&LinRegFit::Errors::delm), r->c,    opt(&LinRegFit::Errors::delc),
          r->b,    opt(&LinRegFit::Errors::delb), r->xbar, r->resid,
          r->correlation, r->xsos, opt(&LinRegFit::Errors::mse), static_cast<double>(r->n)};
}

auto Near(const std::vector<double>& want, double tolerance = 5e-7) {
  return ::testing::Pointwise(::testing::DoubleNear(tolerance), want);
}

TEST(LinReg, WorkedExamples) {
  const ValueArray x{0, 1, 2, 3}, y{0, 1, 3, 2}, ones(4, 1);
  const std::vector<double> plain{0.5, 0.866025, 1, 1.870829, 2, 0.707107, 2, 1.5, 0.5, 2, 1.5, 3};
  EXPECT_THAT(LinReg(x, {0, 3, 5, 7}, ones, false), Near({2, 0, 1, 0, 5, 0, 2, 0, 1, 2, 0, 3}));
  EXPECT_THAT(LinReg(x, y, ones, false), Near(plain));
  EXPECT_THAT(LinReg(x, y, {0, 0.5, 1, 2}, true),
              Near({1.181818, 0.833196, -0.090909, 1.164204, 1.428571, 0.455842, 1.285714,
                    0.623377, 0.817303, 3.530612, 0.623377, 3}));
  // A zero or empty uncertainty makes the fit unweighted; numeric texts read as numbers.
  EXPECT_THAT(LinReg(x, y, {0, 0.5, 0, 2}, true), Near(plain));
  EXPECT_THAT(LinReg(x, y, {0, 0.5, Value(), 2}, true), Near(plain));
  EXPECT_THAT(LinReg({0, "1", 2, 3}, {0, 1, "3", 2}, {0, "a", "b", "c"}, false), Near(plain));
  EXPECT_THAT(LinReg({0, 1, 3}, {0, 2, 8}, ones, false),
              Near({3, kDash, -1, kDash, 5, kDash, 2, 0, 1, 2, kDash, 2}));
}

TEST(LinReg, FailuresLeaveEveryRowDashed) {
  const ValueArray ones(4, 1), x{0, 1, 2, 3}, y{0, 1, 2, 4}, equal{0, 0.01, 0.01, 0.01};
  const std::vector<double> dashes(12, kDash);
  EXPECT_EQ(LinReg({0, 1}, {0, 2}, ones, false), dashes);
  EXPECT_EQ(LinReg(equal, y, ones, false), dashes);  // sums that do not cancel exactly
  EXPECT_EQ(LinReg(x, equal, ones, false), dashes);
  EXPECT_EQ(LinReg({0, 1, "GPA", 3}, y, ones, false), dashes);
  EXPECT_EQ(LinReg({0, 1e200, 2e200, 3e200}, y, ones, false), dashes);  // x^2 overflows
}

TEST(LinReg, AgreesWithTextbookFormulasOnRandomData) {
  std::mt19937 rng(12345);
  std::uniform_real_distribution<double> u(-5, 5), ue(0.2, 3);
  for (int trial = 0; trial < 50; ++trial) {
    const int n = 3 + trial % 40;
    std::vector<long double> x, y, w;
    ValueArray xv{0}, yv{0}, ev{0};
    long double sw = 0, mx = 0, my = 0, sxx = 0, syy = 0, sxy = 0, xsos = 0, rss = 0;
    for (int i = 0; i < n; ++i) {
      const double xi = u(rng), yi = 0.7 * xi - 2 + u(rng) / 3, ei = ue(rng);
      xv.emplace_back(xi), yv.emplace_back(yi), ev.emplace_back(ei);
      x.push_back(xi), y.push_back(yi), w.push_back(trial % 2 ? 1 / (1.0L * ei * ei) : 1);
      sw += w[i], mx += w[i] * xi, my += w[i] * yi;
    }
    mx /= sw, my /= sw;
    for (int i = 0; i < n; ++i) {
      const long double dx = x[i] - mx, dy = y[i] - my;
      sxx += w[i] * dx * dx, syy += w[i] * dy * dy, sxy += w[i] * dx * dy, xsos += dx * dx;
    }
    const long double m = sxy / sxx, c = my - m * mx;
    for (int i = 0; i < n; ++i) rss += w[i] * std::pow(y[i] - m * x[i] - c, 2);
    const long double s2 = rss / (n - 2), resid = n * rss / sw;
    const std::vector<long double> want = {
        m, std::sqrt(s2 / sxx), c, std::sqrt(s2 / sw + s2 * mx * mx / sxx), my, std::sqrt(s2 / sw),
        mx, resid, sxy / std::sqrt(sxx * syy), xsos, resid / (n - 2), 1.0L * n};
    EXPECT_THAT(LinReg(xv, yv, ev, trial % 2), Near({want.begin(), want.end()}, 1e-9)) << trial;
  }
}

// Plain numbers give the same figures, to the bit, and the same failures
// as the same numbers held in values, weighted or not.
TEST(LinReg, PlainNumbersFitAsValuesDo) {
  std::mt19937_64 rng(42);
  const double specials[] = {0.0, -0.0, std::nan(""), 1e308, std::numeric_limits<double>::infinity()};
  for (int trial = 0; trial < 2000; ++trial) {
    const int n = 1 + static_cast<int>(rng() % 12);
    std::vector<double> x(n + 1), y(n + 1), e(n + 1);
    ValueArray vx(n + 1), vy(n + 1), ve(n + 1);
    for (int i = 1; i <= n; ++i) {
      x[i] = static_cast<double>(rng() % 1000) / 7 - 50;
      y[i] = 2.5 * x[i] + static_cast<double>(rng() % 100) / 13;
      e[i] = 0.5 + static_cast<double>(rng() % 10) / 3;
      if (trial % 5 == 0 && rng() % 4 == 0) {
        double& target = rng() % 3 == 0 ? x[i] : (rng() % 2 ? y[i] : e[i]);
        target = specials[rng() % std::size(specials)];
      }
      vx[i] = x[i];
      vy[i] = y[i];
      ve[i] = e[i];
    }
    const bool weighted = trial % 2 == 0;
    const Result<LinRegFit> a = statLinReg(vx, vy, ve, weighted, n);
    const Result<LinRegFit> b = statLinReg(x, y, e, weighted, n);
    ASSERT_EQ(a.ok(), b.ok()) << trial;
    if (!a.ok()) continue;
    for (double LinRegFit::*f : {&LinRegFit::m, &LinRegFit::c, &LinRegFit::b, &LinRegFit::xbar,
                                 &LinRegFit::resid, &LinRegFit::correlation, &LinRegFit::xsos}) {
      ASSERT_EQ(std::bit_cast<uint64_t>((*a).*f), std::bit_cast<uint64_t>((*b).*f)) << trial;
    }
    ASSERT_EQ(a->errors.has_value(), b->errors.has_value());
    if (a->errors) {
      ASSERT_EQ(std::bit_cast<uint64_t>(a->errors->delm), std::bit_cast<uint64_t>(b->errors->delm));
      ASSERT_EQ(std::bit_cast<uint64_t>(a->errors->mse), std::bit_cast<uint64_t>(b->errors->mse));
    }
  }
}

}  // namespace
}  // namespace korund::stats

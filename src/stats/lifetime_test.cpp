#include "stats/lifetime.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace korund::stats {
namespace {

constexpr double kHour = 3600;

// A 0.7 GPa proof test of 1 s on 100 km, n = 20, m = 2, 0.5 breaks per km.
ProofTestDesign Design(double b) { return {20, 2, 0.5, 100, 0.7, 1, b}; }

// The allowed stress for B = 0 exactly as the closed form reads.
double ClosedForm(const ProofTestDesign& d, double f, double ts) {
  const double inner =
      std::pow(1 + std::log(1 / (1 - f)) / (d.breaks_per_km * d.length_km), (d.n - 2) / d.m);
  return d.proof_stress * std::pow(d.proof_time / ts * (inner - 1), 1 / d.n);
}

TEST(Lifetime, AllowedStressIsTheClosedFormAndTheSolverTendsToItAsBVanishes) {
  struct Case {
    ProofTestDesign design;
    double f, ts;
  };
  const Case cases[] = {
      {Design(0), 1e-3, 25 * kSecondsPerYear},
      {Design(0), 0.1, kHour},
      {{25, 0.8, 0.01, 3, 1.4, 0.5, 0}, 1e-5, 40 * kSecondsPerYear},
      {{15, 3, 2, 1, 0.35, 2, 0}, 0.5, kSecondsPerYear},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "n " << c.design.n << " F " << c.f << " ts " << c.ts);
    const double closed = ClosedForm(c.design, c.f, c.ts);
    const Result<double> exact = AllowedServiceStress(c.design, c.f, c.ts);
    ASSERT_TRUE(exact.ok()) << exact.message();
    EXPECT_NEAR(*exact, closed, 1e-12 * closed);
    // The root of the general equation approaches it in proportion to B.
    double last_gap = 1;
    for (double b : {1e-9, 1e-11, 1e-13}) {
      ProofTestDesign d = c.design;
      d.b = b * d.proof_stress * d.proof_stress;
      const Result<double> s = AllowedServiceStress(d, c.f, c.ts);
      ASSERT_TRUE(s.ok()) << s.message();
      const double gap = std::abs(*s / closed - 1);
      EXPECT_LT(gap, last_gap / 30) << "B " << d.b;
      last_gap = gap;
    }
    EXPECT_LT(last_gap, 1e-9);
  }
}

TEST(Lifetime, FailureProbabilityAtTheAllowedStressIsTheTarget) {
  for (double b : {0.0, 0.002, 0.05, 0.5}) {
    for (double f : {1e-6, 1e-3, 0.1, 0.9}) {
      for (double ts : {kHour, kSecondsPerYear, 25 * kSecondsPerYear}) {
        SCOPED_TRACE(testing::Message() << "B " << b << " F " << f << " ts " << ts);
        const ProofTestDesign d = Design(b);
        const Result<double> s = AllowedServiceStress(d, f, ts);
        ASSERT_TRUE(s.ok()) << s.message();
        const Result<double> back = ServiceFailureProbability(d, *s, ts);
        ASSERT_TRUE(back.ok()) << back.message();
        // With B > 0 a small F rests on the small difference between the
        // growth in service and the strength a survivor gives up when the
        // stress drops, which no double arithmetic keeps to 1e-12 of F.
        EXPECT_NEAR(*back, f, b == 0 ? 1e-12 * f : 1e-12);
      }
    }
  }
}

// A flaw of inert strength s under the proof test and then the service
// stress, each segment held for its time: s^(n-2) - (1/B) int sigma^n dt
// integrated in steps, the flaw breaking as soon as it no longer exceeds
// the stress (on loading, or at the end of a step).
enum class Fate { kProofBreak, kServiceBreak, kSurvives };
Fate FlawFate(const ProofTestDesign& d, double service_stress, double ts, double s) {
  struct Segment {
    double stress, time;
  };
  const Segment history[] = {{d.proof_stress, d.proof_time}, {service_stress, ts}};
  double y = std::pow(s, d.n - 2);
  for (int k = 0; k < 2; ++k) {
    const Segment& seg = history[k];
    const Fate broken = k == 0 ? Fate::kProofBreak : Fate::kServiceBreak;
    const double threshold = std::pow(seg.stress, d.n - 2);
    if (y <= threshold) return broken;
    constexpr int kSteps = 16;
    const double dt = seg.time / kSteps;
    for (int i = 0; i < kSteps; ++i) {
      y -= std::pow(seg.stress, d.n) * dt / d.b;
      if (y <= threshold) return broken;
    }
  }
  return Fate::kSurvives;
}

// The share of fibres of length L that break in service: each fibre holds a
// Poisson number of low-strength flaws, Weibull with modulus m and scaled so
// that Np L of them break in the proof test on average; flaws broken in the
// proof test are cut out.
double SimulatedFailureShare(const ProofTestDesign& d, double service_stress, double ts,
                             int fibres, std::mt19937_64& rng) {
  // The weakest inert strength that passes the proof test, and a strength
  // above which no flaw breaks in service, both found by the integration.
  auto first_above = [&](auto passes) {
    double lo = 0, hi = 100 * d.proof_stress;
    for (int i = 0; i < 200; ++i) {
      const double mid = (lo + hi) / 2;
      (passes(mid) ? hi : lo) = mid;
    }
    return hi;
  };
  const double weakest_survivor =
      first_above([&](double s) { return FlawFate(d, service_stress, ts, s) != Fate::kProofBreak; });
  const double strongest_failure =
      first_above([&](double s) { return FlawFate(d, service_stress, ts, s) == Fate::kSurvives; });
  // Only flaws near and above the weakest survivor can break in service;
  // the weaker ones, which all break in the proof test, are not drawn.
  const double s_min = 0.98 * weakest_survivor, s_max = 1.05 * strongest_failure;
  const double mean_flaws = d.breaks_per_km * d.length_km *
                            (std::pow(s_max / weakest_survivor, d.m) -
                             std::pow(s_min / weakest_survivor, d.m));
  std::poisson_distribution<int> count(mean_flaws);
  std::uniform_real_distribution<double> u(std::pow(s_min, d.m), std::pow(s_max, d.m));
  int failed = 0;
  for (int i = 0; i < fibres; ++i) {
    const int flaws = count(rng);
    bool breaks = false;
    for (int k = 0; k < flaws; ++k) {
      const double s = std::pow(u(rng), 1 / d.m);
      breaks = breaks || FlawFate(d, service_stress, ts, s) == Fate::kServiceBreak;
    }
    failed += breaks;
  }
  return static_cast<double>(failed) / fibres;
}

TEST(Lifetime, MonteCarloOfFlawsThroughProofAndServiceAgreesWithTheModel) {
  struct Case {
    ProofTestDesign design;
    double f, ts;
  };
  const Case cases[] = {
      {{20, 2, 0.5, 1, 0.7, 1, 0.05}, 0.2, 25 * kSecondsPerYear},
      {{15, 1, 2, 0.5, 0.5, 10, 0.5}, 0.4, kHour},
      // Many breaks per length: the strength given up on unloading matters.
      {{15, 1, 50, 1, 0.5, 1, 0.5}, 0.3, kSecondsPerYear},
  };
  std::mt19937_64 rng(25);
  constexpr int kFibres = 100000;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "n " << c.design.n << " B " << c.design.b);
    const Result<double> stress = AllowedServiceStress(c.design, c.f, c.ts);
    ASSERT_TRUE(stress.ok()) << stress.message();
    const double share = SimulatedFailureShare(c.design, *stress, c.ts, kFibres, rng);
    EXPECT_NEAR(share, c.f, 4 * std::sqrt(c.f * (1 - c.f) / kFibres));
  }
}

TEST(Lifetime, RefusesInputsOutsideTheModel) {
  struct Case {
    ProofTestDesign design;
    double f, stress, ts;
    const char* named;
  };
  const double nan = std::nan("");
  const double year = kSecondsPerYear;
  const Case cases[] = {
      {{2, 2, 0.5, 1, 0.7, 1, 0}, 0.01, 0.2, year, "fatigue parameter n"},
      {{nan, 2, 0.5, 1, 0.7, 1, 0}, 0.01, 0.2, year, "fatigue parameter n"},
      {{20, 0, 0.5, 1, 0.7, 1, 0}, 0.01, 0.2, year, "Weibull modulus m"},
      {{20, 2, 0, 1, 0.7, 1, 0}, 0.01, 0.2, year, "breaks per km"},
      {{20, 2, 0.5, -1, 0.7, 1, 0}, 0.01, 0.2, year, "service length"},
      {{20, 2, 0.5, 1, 0, 1, 0}, 0.01, 0.2, year, "proof stress"},
      {{20, 2, 0.5, 1, 0.7, 0, 0}, 0.01, 0.2, year, "proof-test time"},
      {{20, 2, 0.5, 1, 0.7, 1, -0.1}, 0.01, 0.2, year, "B must"},
      {Design(0), 0, -0.1, year, "failure probability.*/.*service stress"},
      {Design(0), 1, nan, year, "failure probability.*/.*service stress"},
      {Design(0), 0.01, 0.2, 0, "service time"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.named);
    const Result<double> s = AllowedServiceStress(c.design, c.f, c.ts);
    const Result<double> f = ServiceFailureProbability(c.design, c.stress, c.ts);
    ASSERT_FALSE(s.ok());
    ASSERT_FALSE(f.ok());
    EXPECT_EQ(s.failure(), Failure::kOutOfDomain);
    EXPECT_EQ(f.failure(), Failure::kOutOfDomain);
    EXPECT_THAT(s.message() + " / " + f.message(), testing::ContainsRegex(c.named));
  }
  // No stress at all, or one the proof test already screened for, breaks nothing.
  EXPECT_EQ(*ServiceFailureProbability(Design(0.05), 0, year), 0);
  EXPECT_EQ(*ServiceFailureProbability(Design(0.5), 0.01, 1), 0);
}

}  // namespace
}  // namespace korund::stats

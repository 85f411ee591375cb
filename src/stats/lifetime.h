// The lifetime of a proof-tested fibre under power-law crack growth: the
// failure probability over a service time at a constant service stress, and
// the service stress allowed for a target failure probability.
#pragma once

#include <string>

#include "stats/result.h"

namespace korund::stats {

// A year of service is 365.25 days.
inline constexpr double kSecondsPerYear = 365.25 * 86400;

// The proof test and the fibre it screens. Stresses in GPa, times in
// seconds, B in GPa²·s.
struct ProofTestDesign {
  double n = 0;              // fatigue parameter, above 2
  double m = 0;              // Weibull modulus of the proof-test breaks, above 0
  double breaks_per_km = 0;  // Np, above 0
  double length_km = 0;      // service length L, above 0
  double proof_stress = 0;   // sigma_p, above 0
  double proof_time = 0;     // t_p, above 0
  double b = 0;              // crack-growth constant B, 0 or above
};

// "" when every input of the design is a finite number in its range, else
// the first one that is not, as a sentence ("the fatigue parameter n must be
// above 2").
std::string CheckDesign(const ProofTestDesign& design);

// The probability that a length L of fibre that passed the proof test breaks
// within service_time seconds at the constant service_stress (GPa):
// 1 - exp(-Np L (r^(m/(n-2)) - 1)) with r = max(Ts/Tp, 1). Fails
// (kOutOfDomain) for an invalid design, a service stress that is negative
// and a service time that is not positive.
Result<double> ServiceFailureProbability(const ProofTestDesign& design, double service_stress,
                                         double service_time);

// The constant service stress (GPa) at which a length L fails within
// service_time seconds with probability failure_probability (0 < F < 1).
// Fails (kOutOfDomain) for inputs out of range, (kNoFit) when the stress is
// beyond the range of double arithmetic.
Result<double> AllowedServiceStress(const ProofTestDesign& design, double failure_probability,
                                    double service_time);

}  // namespace korund::stats

// lifetime/: the proof-test lifetime design, korund's fourth analysis. It
// reads no measurements: its inputs are typed into its options dialog
// (lifetime_options.h), n possibly read from an analysed fatigue worksheet.
// The driver (this file) checks them, computes the allowed service stress
// with the power-law model of stats/lifetime.h and writes a worksheet
// "Lifetime K" (results table, graph curves, the inputs) and a report.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "stats/lifetime.h"
#include "worksheet/run_context.h"

namespace korund::lifetime {

// The dialog's entries, as typed.
struct LifetimeEntries {
  bool n_from_worksheet = false;
  std::string n;
  std::string fatigue_worksheet;
  std::string set = "1";
  std::string m, breaks_per_km, length_km;
  bool proof_by_strain = false;
  std::string proof;  // the stress in GPa, or the strain in % when by strain
  std::string modulus = "72";
  std::string proof_time = "1";
  std::string b = "0";
  std::string f;
  bool service_stress_given = false;
  std::string service_stress;
  std::string years = "1,5,10,20,25,30,40";
};

// The entries checked and read.
struct LifetimeInputs {
  stats::ProofTestDesign design;
  std::optional<double> n_lower, n_upper;  // the IEC bounds of a read n
  std::string fatigue_worksheet;           // "" for a typed n
  int set = 1;
  bool proof_by_strain = false;
  double proof_strain = 0;  // percent
  double modulus = 72;      // GPa
  std::optional<double> f;
  std::optional<double> service_stress;
  std::vector<double> years;
};

// The most service times one analysis takes.
inline constexpr size_t kMaxServiceTimes = 100;

// Reads and checks the entries, n from its fatigue worksheet when asked.
// nullopt after a "BAD VALUE" box naming the first bad entry and its range.
std::optional<LifetimeInputs> ReadEntries(RunContext& ctx, const LifetimeEntries& entries);

// The entries a worksheet's inputs record holds (after a run of this
// analysis on it); fields it lacks keep their defaults.
LifetimeEntries EntriesFromRecord(worksheet::Sheet& sheet);

// Computes and writes the results: into the sheet's worksheet when
// `rewrite` (a rerun on a lifetime worksheet), else into a new worksheet
// "Lifetime K" (the next free K); adds the report and sets FinishMessage.
void RunLifetimeMacro(RunContext& ctx, const LifetimeInputs& in, bool rewrite);

// The line for stdout: "allowed service stress 0.207 GPa (29.6 % of proof)
// for F = 0.001 over 25 years" (and the failure probability at a given
// service stress), for the design life of 25 years when it is one of the
// service times, else the longest.
std::string SummaryLine(const LifetimeInputs& in);

}  // namespace korund::lifetime

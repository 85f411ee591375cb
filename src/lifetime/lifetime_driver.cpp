#include "lifetime/lifetime_driver.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "dialogs/check_range.h"
#include "ui/terminate.h"
#include "util/text.h"
#include "util/worksheet_layout.h"

namespace korund::lifetime {

namespace {

using R = layout::LifetimeRecord;
using F = layout::FatigueRecord;
using namespace layout::lifetime;

constexpr double kDesignLifeYears = 25;

void Bad(RunContext& ctx, const std::string& text) {
  ctx.ui.MsgBox("Bad " + text, ui::kMbIconStop | ui::kMbOk, "BAD VALUE");
}

// The entry as a number that `ok` accepts, else the box "Bad <field>: it
// must be <range>".
template <typename Accept>
std::optional<double> Read(RunContext& ctx, const std::string& entry, const std::string& field,
                           const std::string& range, Accept ok) {
  const std::optional<double> x = ParseNumber(entry);
  if (x && ok(*x)) return x;
  Bad(ctx, field + ": it must be " + range);
  return std::nullopt;
}

bool Above0(double x) { return x > 0; }
bool AtLeast0(double x) { return x >= 0; }

// "1,5, 10" -> {1, 5, 10}; empty when an item is not a number above 0 or
// there are none or too many.
std::vector<double> ReadYears(const std::string& text) {
  std::vector<double> years;
  size_t from = 0;
  for (;;) {
    const size_t comma = text.find(',', from);
    const std::optional<double> y = ParseNumber(text.substr(from, comma - from));
    if (!y || !(*y > 0) || years.size() == kMaxServiceTimes) return {};
    years.push_back(*y);
    if (comma == std::string::npos) return years;
    from = comma + 1;
  }
}

// n and its IEC bounds from set `set` of an analysed fatigue worksheet.
bool ReadFatigueN(RunContext& ctx, const std::string& name, int set, LifetimeInputs& in) {
  worksheet::Sheet& sheet = ctx.sheet;
  Value kind;
  const bool found = !name.empty() && sheet.GetCellOf(name, F::kColumn, F::kKindRow, kind);
  if (!found || !kind.IsNumber() ||
      (kind.Number() != kFitDynamic && kind.Number() != kFitStatic)) {
    Bad(ctx, "fatigue worksheet: \"" + name +
                 "\" is not an analysed dynamic or static fatigue worksheet of this notebook");
    return false;
  }
  const std::string param = kind.Number() == kFitDynamic ? "nd" : "ns";
  auto cell = [&](int32_t row) {
    Value v;
    sheet.GetCellOf(name, layout::fatigue::SetColumn(set, layout::fatigue::kColValues), row, v);
    return v.IsNumber() ? std::optional<double>(v.Number()) : std::nullopt;
  };
  const std::string where = "set " + std::to_string(set) + " of \"" + name + "\"";
  const std::optional<double> n = cell(layout::fatigue::kRowParam);
  if (!n) {
    Bad(ctx, "data set: " + where + " holds no " + param +
                 "; it must be a set the fatigue analysis fitted");
    return false;
  }
  if (!(*n > 2)) {
    Bad(ctx, "fatigue parameter n: " + where + " gives " + param + " = " + FormatNumber(*n) +
                 "; it must be above 2");
    return false;
  }
  in.design.n = *n;
  in.n_lower = cell(layout::fatigue::kRowIecLower);
  in.n_upper = cell(layout::fatigue::kRowIecUpper);
  if (!in.n_lower || !in.n_upper) in.n_lower = in.n_upper = std::nullopt;
  in.fatigue_worksheet = name;
  return true;
}

// Three significant digits: 0.20712 -> "0.207", 29.61 -> "29.6".
std::string Sig3(double x) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.3g", x);
  return FormatNumber(std::strtod(buffer, nullptr));
}

Value Cell(const stats::Result<double>& r) { return r.ok() ? Value(*r) : Value("--"); }

stats::Result<double> AllowedAt(const LifetimeInputs& in, double n, double years) {
  stats::ProofTestDesign d = in.design;
  d.n = n;
  return stats::AllowedServiceStress(d, *in.f, years * stats::kSecondsPerYear);
}

std::string NextFreeName(worksheet::Sheet& sheet) {
  for (int k = 1;; ++k) {
    const std::string name = kWorksheetStem + std::to_string(k);
    if (!sheet.HasItem(name)) return name;
  }
}

std::string YearsText(const std::vector<double>& years) {
  std::string text;
  for (double y : years) text += (text.empty() ? "" : ",") + FormatNumber(y);
  return text;
}

void WriteRecord(worksheet::Sheet& sheet, const LifetimeInputs& in) {
  const auto& d = in.design;
  auto put = [&sheet](int32_t row, const char* label, const Value& v) {
    sheet.spPutCell(Value(label), R::kLabelColumn, row);
    sheet.spPutCell(v, R::kColumn, row);
  };
  auto optional = [](const std::optional<double>& x) { return x ? Value(*x) : Value(""); };
  sheet.spPutTitle(Value("inputs"), R::kLabelColumn);
  sheet.spPutTitle(Value("values"), R::kColumn);
  put(R::kKindRow, "analysis", Value(static_cast<double>(R::kLifetimeKind)));
  put(R::kVersionRow, "version", Value("\"" + std::string(kVersion) + "\""));
  put(R::kNFromWorksheetRow, "n from worksheet",
      Value(in.fatigue_worksheet.empty() ? 0.0 : -1.0));
  put(R::kNRow, "n", Value(d.n));
  put(R::kNLowerRow, "n lower", optional(in.n_lower));
  put(R::kNUpperRow, "n upper", optional(in.n_upper));
  put(R::kFatigueWorksheetRow, "fatigue worksheet", Value(in.fatigue_worksheet));
  put(R::kSetRow, "data set", Value(static_cast<double>(in.set)));
  put(R::kMRow, "m", Value(d.m));
  put(R::kBreaksRow, "breaks per km", Value(d.breaks_per_km));
  put(R::kLengthRow, "length (km)", Value(d.length_km));
  put(R::kProofByStrainRow, "proof by strain", Value(in.proof_by_strain ? -1.0 : 0.0));
  put(R::kProofStressRow, "proof stress (GPa)", Value(d.proof_stress));
  put(R::kProofStrainRow, "proof strain (%)",
      in.proof_by_strain ? Value(in.proof_strain) : Value(""));
  put(R::kModulusRow, "modulus (GPa)", Value(in.modulus));
  put(R::kProofTimeRow, "proof time (s)", Value(d.proof_time));
  put(R::kBRow, "B (GPa2 s)", Value(d.b));
  put(R::kFRow, "F", optional(in.f));
  put(R::kServiceStressGivenRow, "service stress given", Value(in.service_stress ? -1.0 : 0.0));
  put(R::kServiceStressRow, "service stress (GPa)", optional(in.service_stress));
  put(R::kYearsRow, "service years", Value(YearsText(in.years)));
}

// The results table; returns it as report lines (tab-separated).
std::vector<std::string> WriteTable(worksheet::Sheet& sheet, const LifetimeInputs& in) {
  const bool bounds = in.f && in.n_lower;
  std::vector<int32_t> columns = {kColYears};
  if (in.f) columns.insert(columns.end(), {kColAllowed, kColRatio});
  if (in.service_stress) columns.push_back(kColServiceF);
  if (bounds) columns.insert(columns.end(), {kColAllowedLower, kColAllowedUpper});

  std::vector<std::string> lines(1);
  for (int32_t c : columns) {
    sheet.spPutTitle(Value(kTableTitles[c]), c);
    lines[0] += (c == kColYears ? "" : "\t") + std::string(kTableTitles[c]);
  }
  int32_t row = 1;
  for (double y : in.years) {
    std::vector<Value> cells(kTableColumns + 1);
    cells[kColYears] = Value(y);
    if (in.f) {
      const stats::Result<double> allowed = AllowedAt(in, in.design.n, y);
      cells[kColAllowed] = Cell(allowed);
      cells[kColRatio] = allowed.ok() ? Value(*allowed / in.design.proof_stress) : Value("--");
    }
    if (in.service_stress) {
      cells[kColServiceF] = Cell(stats::ServiceFailureProbability(
          in.design, *in.service_stress, y * stats::kSecondsPerYear));
    }
    if (bounds) {
      cells[kColAllowedLower] = Cell(AllowedAt(in, *in.n_lower, y));
      cells[kColAllowedUpper] = Cell(AllowedAt(in, *in.n_upper, y));
    }
    std::string line;
    for (int32_t c : columns) {
      sheet.spPutCell(cells[c], c, row);
      line += (c == kColYears ? "" : "\t") + ToText(cells[c]);
    }
    lines.push_back(line);
    ++row;
  }
  return lines;
}

void WriteCurves(worksheet::Sheet& sheet, const LifetimeInputs& in) {
  if (!in.f) return;
  sheet.spPutTitle(Value("curve years"), kColCurveYears);
  sheet.spPutTitle(Value("curve stress"), kColCurveAllowed);
  if (in.n_lower) {
    sheet.spPutTitle(Value("curve n lower"), kColCurveLower);
    sheet.spPutTitle(Value("curve n upper"), kColCurveUpper);
  }
  const double first = std::log(3600 / stats::kSecondsPerYear);  // one hour
  const double step = (std::log(kCurveLastYears) - first) / (kCurvePoints - 1);
  for (int32_t i = 0; i < kCurvePoints; ++i) {
    const double y = std::exp(first + step * i);
    sheet.spPutCell(Value(y), kColCurveYears, i + 1);
    sheet.spPutCell(Cell(AllowedAt(in, in.design.n, y)), kColCurveAllowed, i + 1);
    if (in.n_lower) {
      sheet.spPutCell(Cell(AllowedAt(in, *in.n_lower, y)), kColCurveLower, i + 1);
      sheet.spPutCell(Cell(AllowedAt(in, *in.n_upper, y)), kColCurveUpper, i + 1);
    }
  }
}

std::vector<std::string> InputLines(const LifetimeInputs& in) {
  const auto& d = in.design;
  std::vector<std::string> lines = {"LIFETIME ANALYSIS (power-law theory, proof-tested fibre)"};
  std::string n = "Fatigue parameter n = " + FormatNumber(d.n);
  if (!in.fatigue_worksheet.empty()) {
    n += ", set " + std::to_string(in.set) + " of worksheet \"" + in.fatigue_worksheet + "\"";
  }
  if (in.n_lower) {
    n += " (IEC bounds " + FormatNumber(*in.n_lower) + " to " + FormatNumber(*in.n_upper) + ")";
  }
  lines.push_back(n);
  lines.push_back("Weibull modulus m of the proof-test breaks = " + FormatNumber(d.m));
  lines.push_back("Proof-test breaks per km Np = " + FormatNumber(d.breaks_per_km));
  lines.push_back("Service length L = " + FormatNumber(d.length_km) + " km");
  std::string proof = "Proof stress = " + FormatNumber(d.proof_stress) + " GPa";
  if (in.proof_by_strain) {
    proof += " (strain " + FormatNumber(in.proof_strain) + " % at a modulus of " +
             FormatNumber(in.modulus) + " GPa)";
  }
  lines.push_back(proof + " for " + FormatNumber(d.proof_time) + " s");
  lines.push_back("B = " + FormatNumber(d.b) + " GPa2 s");
  if (in.f) lines.push_back("Target failure probability F = " + FormatNumber(*in.f));
  if (in.service_stress) {
    lines.push_back("Service stress = " + FormatNumber(*in.service_stress) + " GPa");
  }
  lines.emplace_back();
  return lines;
}

std::string Joined(const std::vector<std::string>& lines, const std::string& separator) {
  std::string text;
  for (size_t i = 0; i < lines.size(); ++i) text += (i > 0 ? separator : "") + lines[i];
  return text;
}

}  // namespace

std::optional<LifetimeInputs> ReadEntries(RunContext& ctx, const LifetimeEntries& e) {
  LifetimeInputs in;
  auto& d = in.design;
  if (e.n_from_worksheet) {
    Value set(e.set);
    double number = 0;
    if (!CheckRange(ctx.ui, set, 1, layout::fatigue::kSets, number) ||
        number != std::floor(number)) {
      Bad(ctx, "data set number: it must be in the range 1 to 6");
      return std::nullopt;
    }
    in.set = static_cast<int>(number);
    if (!ReadFatigueN(ctx, TrimSet(e.fatigue_worksheet, " "), in.set, in)) return std::nullopt;
  } else {
    auto n = Read(ctx, e.n, "fatigue parameter n", "a number above 2", [](double x) { return x > 2; });
    if (!n) return std::nullopt;
    d.n = *n;
  }
  auto m = Read(ctx, e.m, "Weibull modulus m", "a number above 0", Above0);
  if (!m) return std::nullopt;
  auto breaks = Read(ctx, e.breaks_per_km, "proof-test breaks per km", "a number above 0", Above0);
  if (!breaks) return std::nullopt;
  auto length = Read(ctx, e.length_km, "service length", "a number of km above 0", Above0);
  if (!length) return std::nullopt;
  d.m = *m;
  d.breaks_per_km = *breaks;
  d.length_km = *length;

  in.proof_by_strain = e.proof_by_strain;
  if (e.proof_by_strain) {
    auto strain = Read(ctx, e.proof, "proof strain", "a percentage above 0", Above0);
    if (!strain) return std::nullopt;
    auto modulus = Read(ctx, e.modulus, "Young's modulus", "a number of GPa above 0", Above0);
    if (!modulus) return std::nullopt;
    in.proof_strain = *strain;
    in.modulus = *modulus;
    d.proof_stress = *modulus * *strain / 100;  // linear elastic
  } else {
    auto stress = Read(ctx, e.proof, "proof stress", "a number of GPa above 0", Above0);
    if (!stress) return std::nullopt;
    d.proof_stress = *stress;
    if (auto modulus = ParseNumber(e.modulus); modulus && *modulus > 0) in.modulus = *modulus;
  }
  auto time = Read(ctx, e.proof_time, "proof-test time", "a number of seconds above 0", Above0);
  if (!time) return std::nullopt;
  auto b = Read(ctx, e.b, "B", "a number of GPa2 s, 0 or above", AtLeast0);
  if (!b) return std::nullopt;
  d.proof_time = *time;
  d.b = *b;

  // F may be left out when a service stress is given.
  if (!(e.service_stress_given && TrimSet(e.f, " ").empty())) {
    in.f = Read(ctx, e.f, "failure probability F", "a number above 0 and below 1",
                [](double x) { return x > 0 && x < 1; });
    if (!in.f) return std::nullopt;
  }
  if (e.service_stress_given) {
    in.service_stress =
        Read(ctx, e.service_stress, "service stress", "a number of GPa, 0 or above", AtLeast0);
    if (!in.service_stress) return std::nullopt;
  }
  in.years = ReadYears(e.years);
  if (in.years.empty()) {
    Bad(ctx, "service times: they must be years above 0, separated by commas (at most " +
                 std::to_string(kMaxServiceTimes) + ")");
    return std::nullopt;
  }
  return in;
}

LifetimeEntries EntriesFromRecord(worksheet::Sheet& sheet) {
  LifetimeEntries e;
  auto text = [&sheet](int32_t row) { return ToText(sheet.spGetCell(R::kColumn, row)); };
  auto flag = [&sheet](int32_t row) { return sheet.spGetCell(R::kColumn, row).IsTrue(); };
  e.n_from_worksheet = flag(R::kNFromWorksheetRow);
  e.n = text(R::kNRow);
  e.fatigue_worksheet = text(R::kFatigueWorksheetRow);
  if (!text(R::kSetRow).empty()) e.set = text(R::kSetRow);
  e.m = text(R::kMRow);
  e.breaks_per_km = text(R::kBreaksRow);
  e.length_km = text(R::kLengthRow);
  e.proof_by_strain = flag(R::kProofByStrainRow);
  e.proof = text(e.proof_by_strain ? R::kProofStrainRow : R::kProofStressRow);
  if (!text(R::kModulusRow).empty()) e.modulus = text(R::kModulusRow);
  if (!text(R::kProofTimeRow).empty()) e.proof_time = text(R::kProofTimeRow);
  if (!text(R::kBRow).empty()) e.b = text(R::kBRow);
  e.f = text(R::kFRow);
  e.service_stress_given = flag(R::kServiceStressGivenRow);
  e.service_stress = text(R::kServiceStressRow);
  if (!text(R::kYearsRow).empty()) e.years = text(R::kYearsRow);
  return e;
}

void RunLifetimeMacro(RunContext& ctx, const LifetimeInputs& in, bool rewrite) {
  worksheet::Sheet& sheet = ctx.sheet;
  if (!rewrite) {
    const std::string name = NextFreeName(sheet);
    if (sheet.spAddWorksheet(name)) {
      ui::TerminateProgram(ctx.ui, "Unable to add the worksheet \"" + name + "\".");
    }
  }
  const int32_t rows = std::max<int32_t>(kMinRows, static_cast<int32_t>(in.years.size()));
  sheet.spLoadSheet(kMinColumns, rows);
  // A rerun replaces everything an earlier run wrote, titles included.
  for (int32_t c = 1; c <= kMinColumns; ++c) sheet.spClearCols(c, 1, true, "");
  WriteRecord(sheet, in);
  const std::vector<std::string> table = WriteTable(sheet, in);
  WriteCurves(sheet, in);
  ctx.ui.Progress().set_value(100);

  const std::string summary = SummaryLine(in);
  if (sheet.spAddReport("")) {
    ctx.ui.MsgBox("Unable to create a report section.", ui::kMbIconExclamation | ui::kMbOk,
                  "FAILED TO ADD REPORT");
  } else {
    std::vector<std::string> lines = InputLines(in);
    lines.insert(lines.end(), table.begin(), table.end());
    lines.emplace_back();
    lines.push_back(summary);
    sheet.SetReportText(Joined(lines, "\r\n") + "\r\n");
  }
  ctx.settings.FinishMessage = "Lifetime analysis complete:\t\r\n\r\n" + summary;
}

std::string SummaryLine(const LifetimeInputs& in) {
  const auto design_life = std::find(in.years.begin(), in.years.end(), kDesignLifeYears);
  const double years =
      design_life != in.years.end() ? kDesignLifeYears
                                    : *std::max_element(in.years.begin(), in.years.end());
  const std::string over =
      " over " + FormatNumber(years) + (years == 1 ? " year" : " years");
  std::vector<std::string> lines;
  if (in.f) {
    const stats::Result<double> allowed = AllowedAt(in, in.design.n, years);
    lines.push_back(allowed.ok() ? "allowed service stress " + Sig3(*allowed) + " GPa (" +
                                       Sig3(100 * *allowed / in.design.proof_stress) +
                                       " % of proof) for F = " + FormatNumber(*in.f) + over
                                 : "no allowed service stress for F = " + FormatNumber(*in.f) +
                                       over + ": " + allowed.message());
  }
  if (in.service_stress) {
    const stats::Result<double> f = stats::ServiceFailureProbability(
        in.design, *in.service_stress, years * stats::kSecondsPerYear);
    lines.push_back("F = " + (f.ok() ? Sig3(*f) : std::string("--")) + " at service stress " +
                    FormatNumber(*in.service_stress) + " GPa" + over);
  }
  return Joined(lines, "\r\n");
}

}  // namespace korund::lifetime

// The lifetime analysis from its dialog to the worksheet and report it
// writes: what OK refuses, what a run writes, and where n comes from.
#include <gtest/gtest.h>

#include "lifetime/lifetime_guard.h"
#include "lifetime/lifetime_options.h"
#include "testing/test_notebook.h"
#include "util/worksheet_layout.h"

namespace korund::lifetime {
namespace {

namespace L = layout::lifetime;
using R = layout::LifetimeRecord;

class LifetimeTest : public ::testing::Test, public TestNotebook {
 protected:
  LifetimeTest() { settings.FitType = kFitLifetime; }
  // Entries every test starts from; each check changes one of them.
  static LifetimeEntries Valid() {
    LifetimeEntries e;
    e.n = "20";
    e.m = "2";
    e.breaks_per_km = "0.5";
    e.length_km = "100";
    e.proof = "0.7";
    e.f = "0.001";
    e.years = "1,25";
    return e;
  }
  // Attaches, runs the guard with the dialog answered by `script`, and
  // writes the sheet back: the outcome as Outcome gives it.
  std::string Run(const std::string& worksheet,
                  std::function<void(frmLifetimeOptions&)> script) {
    ui.form_script = [&](ui::FormModel& form) {
      auto& f = dynamic_cast<frmLifetimeOptions&>(form);
      script(f);
      if (!f.Closed()) f.Press("cmdOK");
    };
    return Outcome([&] {
      ASSERT_FALSE(sheet.spOpenWorksheet(host, worksheet));
      CheckLifetimeWorksheet(ctx);
      sheet.spSaveSheet();
    });
  }
  static void Enter(frmLifetimeOptions& f, const LifetimeEntries& e) {
    f.SelectOption(e.n_from_worksheet ? "optN(1)" : "optN(0)");
    f.SelectOption(e.proof_by_strain ? "optProof(1)" : "optProof(0)");
    f.SetChecked("chkServiceStress", e.service_stress_given);
    for (auto [box, text] : {std::pair{"txtN", e.n}, {"txtWorksheet", e.fatigue_worksheet},
                             {"txtSet", e.set}, {"txtM", e.m}, {"txtBreaks", e.breaks_per_km},
                             {"txtLength", e.length_km}, {"txtProof", e.proof},
                             {"txtModulus", e.modulus}, {"txtProofTime", e.proof_time},
                             {"txtB", e.b}, {"txtF", e.f}, {"txtServiceStress", e.service_stress},
                             {"txtYears", e.years}}) {
      f.SetText(box, text);
    }
  }
  Value At(const std::string& worksheet, int32_t column, int32_t row) {
    const notebook::Item* item = host.notebook.Find(worksheet);
    return item == nullptr ? Value() : item->worksheet()->Cell(column, row);
  }
  // Data 1 as an analysed fatigue worksheet whose set 2 gives nd and its
  // IEC bounds.
  void FatigueSheet(double kind, Value nd, Value lower, Value upper) {
    using F = layout::FatigueRecord;
    namespace f = layout::fatigue;
    Cell(F::kColumn, F::kKindRow, Value(kind));
    Cell(f::SetColumn(2, f::kColValues), f::kRowParam, nd);
    Cell(f::SetColumn(2, f::kColValues), f::kRowIecLower, lower);
    Cell(f::SetColumn(2, f::kColValues), f::kRowIecUpper, upper);
  }
};

TEST_F(LifetimeTest, OkRefusesEachBadEntryNamingItsRangeAndWritesNothing) {
  FatigueSheet(kFitDynamic, Value("--"), Value(""), Value(""));
  using Change = std::function<void(LifetimeEntries&)>;
  const std::pair<Change, std::string> cases[] = {
      {[](auto& e) { e.n = "2"; }, "fatigue parameter n: it must be a number above 2"},
      {[](auto& e) { e.n = "abc"; }, "fatigue parameter n: it must be a number above 2"},
      {[](auto& e) { e.m = "0"; }, "Weibull modulus m: it must be a number above 0"},
      {[](auto& e) { e.breaks_per_km = ""; },
       "proof-test breaks per km: it must be a number above 0"},
      {[](auto& e) { e.length_km = "-5"; }, "service length: it must be a number of km above 0"},
      {[](auto& e) { e.proof = "0"; }, "proof stress: it must be a number of GPa above 0"},
      {[](auto& e) { e.proof_by_strain = true, e.proof = "x"; },
       "proof strain: it must be a percentage above 0"},
      {[](auto& e) { e.proof_by_strain = true, e.modulus = "0"; },
       "Young's modulus: it must be a number of GPa above 0"},
      {[](auto& e) { e.proof_time = "0"; },
       "proof-test time: it must be a number of seconds above 0"},
      {[](auto& e) { e.b = "-1"; }, "B: it must be a number of GPa2 s, 0 or above"},
      {[](auto& e) { e.f = "1"; }, "failure probability F: it must be a number above 0 and below 1"},
      {[](auto& e) { e.f = ""; }, "failure probability F: it must be a number above 0 and below 1"},
      {[](auto& e) { e.service_stress_given = true, e.service_stress = "-0.1"; },
       "service stress: it must be a number of GPa, 0 or above"},
      {[](auto& e) { e.years = "1,,5"; },
       "service times: they must be years above 0, separated by commas (at most 100)"},
      {[](auto& e) { e.years = "0"; },
       "service times: they must be years above 0, separated by commas (at most 100)"},
      {[](auto& e) { e.n_from_worksheet = true, e.set = "7"; },
       "data set number: it must be in the range 1 to 6"},
      {[](auto& e) { e.n_from_worksheet = true, e.fatigue_worksheet = "Nothing"; },
       "fatigue worksheet: \"Nothing\" is not an analysed dynamic or static fatigue worksheet "
       "of this notebook"},
      {[](auto& e) { e.n_from_worksheet = true, e.fatigue_worksheet = "Data 1", e.set = "2"; },
       "data set: set 2 of \"Data 1\" holds no nd; it must be a set the fatigue analysis fitted"},
  };
  const size_t items = host.notebook.size();
  for (const auto& [change, expected] : cases) {
    SCOPED_TRACE(expected);
    ui.shown.clear();
    LifetimeEntries e = Valid();
    change(e);
    bool stayed_open = false;
    EXPECT_EQ("stopped", Run("", [&](frmLifetimeOptions& f) {
                Enter(f, e);
                f.Press("cmdOK");
                stayed_open = !f.Closed();
                f.Press("cmdCancel");
              }));
    EXPECT_TRUE(stayed_open);
    ASSERT_FALSE(ui.shown.empty());
    EXPECT_EQ("BAD VALUE", ui.shown.back().title);
    EXPECT_EQ("Bad " + expected, ui.shown.back().text);
    EXPECT_EQ(items, host.notebook.size());
  }
}

TEST_F(LifetimeTest, RunWritesANewWorksheetAndReportAndARerunStartsFromItsInputs) {
  LifetimeEntries e = Valid();
  e.service_stress_given = true;
  e.service_stress = "0.2";
  ASSERT_EQ("", Run("", [&](frmLifetimeOptions& f) { Enter(f, e); }));
  // Data 1, then the new worksheet and its report, in the section.
  std::vector<std::string> names;
  for (size_t i = 0; i < host.notebook.size(); ++i) names.push_back(host.notebook.item(i).name());
  EXPECT_EQ((std::vector<std::string>{"Section 1", "Data 1", "Lifetime 1", "Report 1"}), names);

  const stats::ProofTestDesign d{20, 2, 0.5, 100, 0.7, 1, 0};
  const double years[] = {1, 25};
  for (int row = 1; row <= 2; ++row) {
    const double ts = years[row - 1] * stats::kSecondsPerYear;
    const double allowed = *stats::AllowedServiceStress(d, 0.001, ts);
    EXPECT_EQ(Value(years[row - 1]), At("Lifetime 1", L::kColYears, row));
    EXPECT_EQ(Value(allowed), At("Lifetime 1", L::kColAllowed, row));
    EXPECT_EQ(Value(allowed / 0.7), At("Lifetime 1", L::kColRatio, row));
    EXPECT_EQ(Value(*stats::ServiceFailureProbability(d, 0.2, ts)),
              At("Lifetime 1", L::kColServiceF, row));
  }
  // No bounds without a fatigue worksheet: their columns stay empty.
  EXPECT_TRUE(At("Lifetime 1", L::kColAllowedLower, 1).IsEmpty());
  const notebook::Worksheet& w = *host.notebook.Find("Lifetime 1")->worksheet();
  EXPECT_EQ("F at service stress", w.FindColumn(L::kColServiceF)->title.value_or(""));
  EXPECT_EQ("", w.FindColumn(L::kColAllowedUpper)->title.value_or(""));

  const std::string summary = SummaryLine(*ReadEntries(ctx, e));
  EXPECT_EQ("Lifetime analysis complete:\t\r\n\r\n" + summary, settings.FinishMessage);
  const std::string& report = host.notebook.Find("Report 1")->text();
  EXPECT_NE(std::string::npos, report.find("Service time (years)\tAllowed stress (GPa)\t"
                                           "Allowed / proof\tF at service stress\r\n1\t"));
  EXPECT_NE(std::string::npos, report.find(summary));

  // A rerun on the new worksheet opens with what it stored and rewrites it.
  LifetimeEntries shown;
  ui.shown.clear();
  ASSERT_EQ("", Run("Lifetime 1", [&](frmLifetimeOptions& f) {
              shown = f.entries();
              f.SetText("txtYears", "40");
            }));
  EXPECT_EQ(e.n, shown.n);
  EXPECT_EQ(e.proof, shown.proof);
  EXPECT_EQ(e.f, shown.f);
  EXPECT_TRUE(shown.service_stress_given);
  EXPECT_EQ(e.service_stress, shown.service_stress);
  EXPECT_EQ(e.years, shown.years);
  EXPECT_EQ(nullptr, host.notebook.Find("Lifetime 2"));
  EXPECT_EQ(Value(40.0), At("Lifetime 1", L::kColYears, 1));
  EXPECT_TRUE(At("Lifetime 1", L::kColYears, 2).IsEmpty());
  EXPECT_EQ(Value("40"), At("Lifetime 1", R::kColumn, R::kYearsRow));
}

TEST_F(LifetimeTest, NAndItsBoundsComeFromTheCurrentFatigueWorksheet) {
  FatigueSheet(kFitStatic, Value(21.5), Value(19.0), Value(24.0));
  LifetimeEntries shown;
  ASSERT_EQ("", Run("", [&](frmLifetimeOptions& f) {
              shown = f.entries();
              LifetimeEntries e = Valid();
              e.n_from_worksheet = true;
              e.fatigue_worksheet = shown.fatigue_worksheet;
              e.set = shown.set;
              Enter(f, e);
            }));
  EXPECT_TRUE(shown.n_from_worksheet);
  EXPECT_EQ("Data 1", shown.fatigue_worksheet);
  EXPECT_EQ("2", shown.set);  // the first fitted set
  const double ts = stats::kSecondsPerYear;
  for (auto [column, n] : {std::pair{L::kColAllowed, 21.5}, {L::kColAllowedLower, 19.0},
                           {L::kColAllowedUpper, 24.0}}) {
    const stats::ProofTestDesign d{n, 2, 0.5, 100, 0.7, 1, 0};
    EXPECT_EQ(Value(*stats::AllowedServiceStress(d, 0.001, ts)), At("Lifetime 1", column, 1));
  }
  EXPECT_EQ(Value(21.5), At("Lifetime 1", R::kColumn, R::kNRow));
  EXPECT_EQ(Value("Data 1"), At("Lifetime 1", R::kColumn, R::kFatigueWorksheetRow));
}

}  // namespace
}  // namespace korund::lifetime

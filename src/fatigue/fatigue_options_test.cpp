// The dynamic options dialog: what OK refuses or resets, and what it says.

#include <initializer_list>
#include <tuple>

#include "fatigue/df_options.h"
#include "fatigue/sf_options.h"
#include "testing/fatigue_test_support.h"
#include "util/terminate.h"

namespace korund::fatigue {
namespace {

using OptionsTest = FatigueTest;

TEST_F(OptionsTest, OkRefusesBadEntriesOrResetsThem) {
  Load();
  const std::string factor = AppTitle() + ": The factor for grouping similar rates must be ";
  const std::string reset = "ran\n" + factor + "between 1 and 100. It has been reset to 1\n";
  const std::string set = "BAD VALUE: Bad data set number: it must be in the range 1 to 6\n";
  const std::string chars = AppTitle() +
                            ": Invalid character in ignore trigger characters.\r"
                            "Do not use numbers or other non-printable characters.\n";
  // Text box, entry, and "ran" if OK ran the analysis followed by the boxes shown.
  const std::tuple<std::string, std::string, std::string> cases[] = {
      {"txtRateFactor", "abc", factor + "a number\n"},
      {"txtRateFactor", "0.5", reset},
      {"txtRateFactor", "150", reset},
      {"txtSetToCopy", "7", "ran\n" + AppTitle() + ": Value out of range 1 to 6\n" + set},
      {"txtSetToCopy", "", "ran\n" + set},
      {"txtIgnore", "#1", chars},  // checked even with the rule off
      {"txtIgnore", "a b", chars},
      {"txtIgnore", "\xC3\xA9", chars}};
  for (const auto& [box, text, expected] : cases) {
    ui.shown.clear();
    frmDFoptions form(ctx);
    form.SetText(box, text);
    form.Press("cmdOK");
    EXPECT_EQ(expected, (form.Closed() ? "ran\n" : "") + ui.Boxes()) << text;
  }
  EXPECT_EQ(1.0, settings.RateFactor);  // reset, as the box says
}

TEST_F(OptionsTest, OkStoresWhatTheBoxesShowAndCancelStops) {
  Load();
  settings.MakeReport = true;
  frmDFoptions form(ctx);
  form.SetChecked("chkIgnore", true);
  form.SetText("txtIgnore", "  #!  ");
  form.SetText("txtSetToCopy", "2.6");  // rounded when the focus leaves the box
  form.SetChecked("chkReport", true);
  form.Press("cmdOK");
  EXPECT_TRUE(form.Closed());
  EXPECT_EQ("#!", settings.IgnoreChars);
  EXPECT_EQ(3, settings.SetToCopy);
  EXPECT_FALSE(settings.MakeReport);  // the report box is never used
  frmDFoptions other(ctx);
  EXPECT_EQ("stopped", Outcome([&] { other.Press("cmdCancel"); }));
}

// While the analysis runs (and the model stays so once it has run), the
// progress area stands where the experiment type was and nothing can be
// changed.
TEST_F(OptionsTest, NothingCanBeChangedWhileTheAnalysisRuns) {
  Load();
  frmDFoptions dynamic(ctx);
  frmSFoptions static_form(ctx);
  for (ui::FormModel* form : std::initializer_list<ui::FormModel*>{&dynamic, &static_form}) {
    SCOPED_TRACE(form->Caption());
    Outcome([&] { form->Press("cmdOK"); });
    bool progress = false;
    for (const ui::FormControl& c : form->Controls()) {
      SCOPED_TRACE(c.name);
      EXPECT_NE(c.kind, ui::FormControl::Kind::kOption);
      EXPECT_TRUE(c.kind == ui::FormControl::Kind::kLabel || !c.enabled);
      progress = progress || c.name == "lblpBar";
    }
    EXPECT_TRUE(progress);
  }
}

}  // namespace
}  // namespace korund::fatigue

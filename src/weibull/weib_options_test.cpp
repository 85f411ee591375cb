#include "weibull/weib_options.h"

#include "testing/weibull_test_support.h"

namespace korund::weibull {
namespace {

using OptionsTest = WeibullTest;

TEST_F(OptionsTest, CancelStopsTheReportIsNotImplementedAndOkRunsOnce) {
  Load();
  WeibOptionsForm cancelled(ctx), form(ctx);
  EXPECT_EQ("stopped", Outcome([&] { cancelled.Press("cmdCancel"); }));
  form.SetChecked("chkReport", true);
  EXPECT_EQ(std::vector<std::string>{"OPTION NOT IMPLEMENTED"}, ui.Titles());
  for (const ui::FormControl& c : form.Controls()) EXPECT_FALSE(c.name == "chkReport" && c.checked);
  form.SelectOption("optFopt(1)");
  form.SetChecked("chkLock", true);
  form.Press("cmdOK");
  EXPECT_EQ("-1|1", Text(56, 3) + "|" + Text(56, 4));
  for (const ui::FormControl& c : form.Controls()) {  // as while it ran
    EXPECT_NE(c.kind, ui::FormControl::Kind::kOption);
    EXPECT_TRUE(c.kind == ui::FormControl::Kind::kLabel || !c.enabled) << c.name;
  }
  const size_t steps = ui.progress.history.size();
  for (const char* button : {"cmdOK", "cmdCancel", "cmdHelp"}) form.Press(button);
  EXPECT_EQ(steps, ui.progress.history.size());
  EXPECT_TRUE(ui.help_topics.empty());
}

}  // namespace
}  // namespace korund::weibull

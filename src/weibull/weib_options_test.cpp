#include "weibull/weib_options.h"

#include <map>
#include <stdexcept>
#include <string>

#include "util/terminate.h"
#include "weibull/weibull_test_support.h"

namespace korund::weibull {
namespace {

class OptionsTest : public WeibullTest {
 protected:
  OptionsTest() {
    settings.WorksheetName = "Data 1";
    settings.SectionName = "Section 1";
    Column(1, {"raw", 3.0, 3.3, 3.1});
    Load();
  }
  std::map<std::string, ui::FormControl> Controls() {
    std::map<std::string, ui::FormControl> out;
    for (const ui::FormControl& c : form.Controls()) out[c.name] = c;
    return out;
  }
  WeibOptionsForm form{ctx};
};

TEST_F(OptionsTest, ControlsCarryTheirCaptionsAndTheRankFunction) {
  auto c = Controls();
  EXPECT_EQ("WEIBULL ANALYSIS OPTIONS  -  version 2.00", form.Caption());
  EXPECT_EQ("Worksheet \"Data 1\"\rSection  \"Section 1\"", c["lblCaption"].caption);
  EXPECT_EQ(
      "Data to be analyzed should be placed in columns 1 through 10. \rInformation anywhere "
      "else in the worksheet might be overwritten.",
      c["lblWeib"].caption);
  EXPECT_EQ("F ( i ) =  (i - \xC2\xBD) / N  (FOTP-28, ITM-13, IEC 60793-1-33)",
            c["optFopt(1)"].caption);
  EXPECT_EQ("F( i ) = i / (N + 1)", c["optFopt(0)"].caption);
  EXPECT_EQ("optFopt", c["optFopt(0)"].group);
  EXPECT_TRUE(c["optFopt(0)"].checked);  // FOpt starts at 0 in a fresh run
  EXPECT_EQ("Lock worksheet after completing the analysis", c["chkLock"].caption);
  EXPECT_EQ("&Ok", c["cmdOK"].caption);
  EXPECT_EQ("&Cancel", c["cmdCancel"].caption);

  form.SelectOption("optFopt(1)");
  EXPECT_EQ(1, settings.FOpt);
  EXPECT_TRUE(Controls()["optFopt(1)"].checked);
  form.SetChecked("optFopt(0)", true);
  EXPECT_EQ(0, settings.FOpt);
  EXPECT_THROW(form.SelectOption("optFopt(2)"), std::invalid_argument);
  EXPECT_THROW(form.Press("cmdApply"), std::invalid_argument);
}

TEST_F(OptionsTest, ReportBoxExplainsAndStaysClear) {
  form.SetChecked("chkReport", true);
  ASSERT_EQ(1u, ui.shown.size());
  EXPECT_EQ("OPTION NOT IMPLEMENTED", ui.shown[0].title);
  EXPECT_EQ(0u, ui.shown[0].text.find("This option is not yet implemented.\r\r"));
  EXPECT_FALSE(Controls()["chkReport"].checked);
}

TEST_F(OptionsTest, OkRunsOnceAndStoresTheLock) {
  form.Press("cmdHelp");
  EXPECT_EQ(std::vector<int>{1047}, ui.help_topics);
  form.SetChecked("chkLock", true);
  form.Press("cmdOK");
  EXPECT_TRUE(form.Closed());
  EXPECT_TRUE(settings.LockWorksheet);
  EXPECT_EQ(-1, Num(56, 3));
  const size_t steps = ui.progress.history.size();
  settings.FinishMessage.clear();
  form.Press("cmdOK");
  form.Press("cmdCancel");
  form.Press("cmdHelp");
  EXPECT_EQ(steps, ui.progress.history.size());
  EXPECT_EQ("", settings.FinishMessage);
  EXPECT_EQ(1u, ui.help_topics.size());
}

TEST_F(OptionsTest, CancelEndsTheRunWithoutWriting) {
  try {
    form.Press("cmdCancel");
    FAIL() << "Cancel returned";
  } catch (const TerminateProgramError& e) {
    EXPECT_EQ(ExitReason::kStopped, e.reason());
  }
  EXPECT_TRUE(ui.shown.empty());
  EXPECT_EQ("", Text(56, 2));
}

}  // namespace
}  // namespace korund::weibull

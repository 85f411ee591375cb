// The analyses' options dialogs through the Qt back end, on the offscreen
// platform: what the real models make each dialog draw and refuse. (Whole
// runs through Qt against batch runs: studio/analysis_run_test.cpp.)
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

#include "fatigue/df_options.h"
#include "gui/form_dialog.h"
#include "testing/qt_test_support.h"
#include "testing/test_notebook.h"
#include "util/terminate.h"
#include "weibull/weib_options.h"

namespace korund {
namespace {

using gui::Click;
using gui::Find;
using gui::FormDialog;
using gui::Show;
using gui::TypeOver;

class QtOptionsTest : public ::testing::Test, public TestNotebook {
 protected:
  void SetUp() override {
    gui::TestApp();
    ASSERT_FALSE(sheet.spOpenWorksheet(host, ""));
    sheet.spLoadSheet(184, 25);
  }
};

TEST_F(QtOptionsTest, WeibullDialogDrawsTheRestoredRankFunction) {
  settings.FOpt = 0;
  weibull::WeibOptionsForm form(ctx);
  FormDialog d(form, nullptr);
  Show(d);
  EXPECT_TRUE(Find<QRadioButton>(d, "optFopt(0)")->isChecked());
  EXPECT_FALSE(Find<QRadioButton>(d, "optFopt(1)")->isChecked());
  EXPECT_FALSE(Find<QCheckBox>(d, "chkLock")->isChecked());
}

TEST_F(QtOptionsTest, DynamicDialogDrawsTheRestoredOptionsAndTheSetsSpinBox) {
  settings.GroupRates = false;
  settings.RateFactor = 1.2;
  settings.CopyData = true;
  settings.SetToCopy = 3;
  settings.FatigueMode = FatigueMode::kFaceplateVelocity;
  fatigue::frmDFoptions form(ctx);
  FormDialog d(form, nullptr);
  Show(d);
  EXPECT_TRUE(Find<QRadioButton>(d, "optMode(1)")->isChecked());
  EXPECT_EQ("1.2", Find<QLineEdit>(d, "txtRateFactor")->text());
  EXPECT_FALSE(Find<QLineEdit>(d, "txtRateFactor")->isEnabled());
  auto* set = Find<QSpinBox>(d, "txtSetToCopy");
  EXPECT_EQ(3, set->value());
  EXPECT_EQ(1, set->minimum());
  EXPECT_EQ(6, set->maximum());
  EXPECT_TRUE(set->isEnabled());
  Click(Find<QCheckBox>(d, "chkCopyData"));
  EXPECT_FALSE(set->isEnabled());  // the model disables it with its check box
}

// The refusals themselves: fatigue_options_test.cpp (model) and form_dialog_test.cpp (window).
TEST_F(QtOptionsTest, DynamicDialogKeepsTheTypedSetInTheSpinBoxsRange) {
  fatigue::frmDFoptions form(ctx);
  FormDialog d(form, nullptr);
  Show(d);
  Click(Find<QCheckBox>(d, "chkCopyData"));
  auto* set = Find<QSpinBox>(d, "txtSetToCopy");
  TypeOver(set, "7");  // beyond the arrows' range: refused
  QTest::keyClicks(set, "4");
  Click(Find<QPushButton>(d, "cmdOK"));
  EXPECT_TRUE(form.Closed());  // the run went on
  EXPECT_EQ(4, settings.SetToCopy);
  EXPECT_FALSE(d.isVisible());
}

}  // namespace
}  // namespace korund

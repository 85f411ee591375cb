// The analyses' options dialogs and whole runs through the Qt back end, on
// the offscreen platform: what each dialog shows, what it refuses, and that
// a run driven through real widgets writes the same cells as a batch run.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <functional>
#include <sstream>

#include "fatigue/df_options.h"
#include "fatigue/fatigue_guard.h"
#include "fatigue/sf_options.h"
#include "gui/form_dialog.h"
#include "gui/qt_ui.h"
#include "gui/test_app.h"
#include "testing/memory_host.h"
#include "shell/run_sequence.h"
#include "ui/batch_ui.h"
#include "util/terminate.h"
#include "weibull/weib_options.h"
#include "weibull/weibull_guard.h"
#include "testing/test_notebook.h"

namespace korund {
namespace {

using gui::FormDialog;

template <typename W>
W* Find(FormDialog& d, const std::string& name) {
  auto* w = qobject_cast<W*>(d.Widget(name));
  EXPECT_NE(nullptr, w) << name;
  return w;
}

// Shows the dialog as the active window, so that focus changes happen.
void Show(FormDialog& d) {
  d.show();
  QApplication::setActiveWindow(&d);
}

// Clicks a button's indicator (the middle of a full-width row is no hit).
void Click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(6, w->height() / 2)); }

class QtOptionsTest : public ::testing::Test, public TestNotebook {
 protected:
  void SetUp() override {
    gui::TestApp();
    settings.WorksheetName = "Data 1";
    settings.SectionName = "Section 1";
    ASSERT_FALSE(sheet.spOpenWorksheet(host, ""));
    sheet.spLoadSheet(184, 25);
  }
};

TEST_F(QtOptionsTest, WeibullDialogShowsItsCaptionsAndTheRestoredRankFunction) {
  settings.FOpt = 0;
  weibull::WeibOptionsForm form(ctx);
  FormDialog d(form, nullptr);
  Show(d);
  EXPECT_EQ("WEIBULL ANALYSIS OPTIONS  -  version 2.00", d.windowTitle());
  EXPECT_EQ("Worksheet \"Data 1\"\nSection  \"Section 1\"", Find<QLabel>(d, "lblCaption")->text());
  EXPECT_EQ("Rank function:", Find<QGroupBox>(d, "frmMode")->title());
  EXPECT_EQ(QString::fromUtf8("F ( i ) =  (i - \u00bd) / N  (FOTP-28, ITM-13, IEC 60793-1-33)"),
            Find<QRadioButton>(d, "optFopt(1)")->text());
  EXPECT_TRUE(Find<QRadioButton>(d, "optFopt(0)")->isChecked());
  EXPECT_FALSE(Find<QRadioButton>(d, "optFopt(1)")->isChecked());
  EXPECT_FALSE(Find<QCheckBox>(d, "chkLock")->isChecked());
  EXPECT_EQ("&Ok", Find<QPushButton>(d, "cmdOK")->text());
  EXPECT_TRUE(Find<QPushButton>(d, "cmdOK")->isDefault());
  EXPECT_EQ("&Cancel", Find<QPushButton>(d, "cmdCancel")->text());
  // Ticking the report box says it is not available and leaves it clear.
  Click(Find<QCheckBox>(d, "chkReport"));
  EXPECT_EQ(std::vector<std::string>{"OPTION NOT IMPLEMENTED"}, ui.Titles());
  EXPECT_FALSE(Find<QCheckBox>(d, "chkReport")->isChecked());
}

TEST_F(QtOptionsTest, DynamicDialogShowsCaptionsTooltipsAndTheSpinBox) {
  settings.GroupRates = false;
  settings.RateFactor = 1.2;
  settings.CopyData = true;
  settings.SetToCopy = 3;
  settings.FatigueMode = 1;
  fatigue::frmDFoptions form(ctx);
  FormDialog d(form, nullptr);
  Show(d);
  EXPECT_EQ("DYNAMIC FATIGUE ANALYSIS  -  version 2.00", d.windowTitle());
  EXPECT_EQ("Select experiment type:", Find<QGroupBox>(d, "frmMode")->title());
  EXPECT_TRUE(Find<QRadioButton>(d, "optMode(1)")->isChecked());
  EXPECT_EQ("Group similar rates within a factor of ", Find<QCheckBox>(d, "chkGroupRates")->text());
  EXPECT_EQ("1.2", Find<QLineEdit>(d, "txtRateFactor")->text());
  EXPECT_FALSE(Find<QLineEdit>(d, "txtRateFactor")->isEnabled());
  EXPECT_EQ(
      "Copy selected data set to clipboard in a format suitable for pasting into the Weibull "
      "analysis worksheet",
      Find<QCheckBox>(d, "chkCopyData")->toolTip());
  EXPECT_EQ("Create a report of the dynamic fatigue analysis",
            Find<QCheckBox>(d, "chkReport")->toolTip());
  auto* set = Find<QSpinBox>(d, "txtSetToCopy");
  EXPECT_EQ(3, set->value());
  EXPECT_EQ(1, set->minimum());
  EXPECT_EQ(6, set->maximum());
  EXPECT_TRUE(set->isEnabled());
  Click(Find<QCheckBox>(d, "chkCopyData"));
  EXPECT_FALSE(set->isEnabled());  // the model disables it with its check box
}

TEST_F(QtOptionsTest, StaticDialogShowsItsCaptionsAndTooltip) {
  fatigue::frmSFoptions form(ctx);
  FormDialog d(form, nullptr);
  Show(d);
  EXPECT_EQ("STATIC FATIGUE OPTIONS  -  version 2.00", d.windowTitle());
  EXPECT_EQ("Create a report of the static fatigue analysis",
            Find<QCheckBox>(d, "chkReport")->toolTip());
  EXPECT_EQ("Lock worksheet after completing the analysis", Find<QCheckBox>(d, "chkLock")->text());
  EXPECT_EQ("", Find<QCheckBox>(d, "chkLock")->toolTip());
}

TEST_F(QtOptionsTest, DynamicDialogRefusesABadRateFactorAndKeepsTheSetInRange) {
  fatigue::frmDFoptions form(ctx);
  FormDialog d(form, nullptr);
  Show(d);
  Click(Find<QCheckBox>(d, "chkGroupRates"));
  auto* factor = Find<QLineEdit>(d, "txtRateFactor");
  ASSERT_TRUE(factor->isEnabled());
  factor->setFocus();
  factor->selectAll();
  QTest::keyClicks(factor, "abc");
  QTest::keyClick(factor, Qt::Key_Return);  // OK, the default button
  EXPECT_EQ(std::vector<std::string>{AppTitle()}, ui.Titles());
  EXPECT_EQ("The factor for grouping similar rates must be a number", ui.shown.back().text);
  EXPECT_TRUE(d.isVisible());
  EXPECT_FALSE(form.Closed());

  Click(Find<QCheckBox>(d, "chkCopyData"));
  auto* set = Find<QSpinBox>(d, "txtSetToCopy");
  set->setFocus();
  set->selectAll();
  QTest::keyClicks(set, "7");  // beyond the arrows' range: refused
  QTest::keyClicks(set, "4");
  factor->setFocus();
  factor->selectAll();
  QTest::keyClicks(factor, "150");
  Click(Find<QPushButton>(d, "cmdOK"));
  EXPECT_EQ(
      "The factor for grouping similar rates must be between 1 and 100. It has been reset to 1",
      ui.shown.back().text);
  EXPECT_TRUE(form.Closed());  // the run went on
  EXPECT_EQ(1.0, settings.RateFactor);
  EXPECT_EQ(4, settings.SetToCopy);
  EXPECT_FALSE(d.isVisible());
}

// Whole runs: the same notebook analysed once by the batch back end and once
// through the Qt back end, whose options dialog and boxes a hook answers by
// clicking their default buttons.
struct NoStore : shell::SettingsStore {
  bool SaveSetting(const std::string&, const std::string&, const std::string&,
                   const std::string&) override {
    return true;
  }
};

class QtRunTest : public ::testing::Test {
 protected:
  void SetUp() override { gui::TestApp(); }

  // Runs `word` on a notebook filled by `fill`; returns every cell and
  // title of the worksheet as text, and the status.
  std::string Run(const std::string& word, const std::function<void(host::MemoryTable&)>& fill,
                  ui::Ui& ui, int* status) {
    host::MemoryHost host;
    host.notebook.AddSection("Section 1");
    notebook::Item& sheet = host.notebook.AddWorksheet("Data 1");
    fill(host.Table(sheet));
    shell::RunInputs inputs{word, "/opt/korund/korund", 2, 0};
    shell::Guards guards;
    guards.weibull = weibull::CheckWeibullWorksheet;
    guards.fatigue = fatigue::CheckFatigueWorksheet;
    NoStore store;
    try {
      *status = shell::RunKorund(inputs, ui, host, store, guards);
    } catch (const TerminateProgramError& e) {
      *status = static_cast<int>(e.reason());
    }
    std::ostringstream cells;
    for (const auto& [column, c] : sheet.worksheet()->columns()) {
      cells << column << " [" << c.title.value_or("") << "]";
      for (const Value& v : c.cells) cells << " " << ToText(v);
      cells << "\n";
    }
    return cells.str();
  }

  void Compare(const std::string& word, const std::function<void(host::MemoryTable&)>& fill) {
    std::ostringstream out, err;
    ui::BatchUi batch({}, out, err);
    int batch_status = -1, qt_status = -1;
    const std::string expected = Run(word, fill, batch, &batch_status);
    ASSERT_EQ(0, batch_status) << err.str();
    ASSERT_GT(std::count(expected.begin(), expected.end(), '\n'), 20) << expected;

    gui::QtUi qt;
    std::vector<std::string> shown;
    qt.SetShownHook([&shown](QWidget& w) {
      shown.push_back(w.windowTitle().toStdString());
      if (auto* box = qobject_cast<QMessageBox*>(&w)) {
        box->defaultButton() != nullptr ? box->defaultButton()->click()
                                        : box->button(QMessageBox::Ok)->click();
      } else if (auto* form = dynamic_cast<FormDialog*>(&w)) {
        QTest::keyClick(form, Qt::Key_Return);
      } else {
        w.close();
      }
    });
    const std::string got = Run(word, fill, qt, &qt_status);
    EXPECT_EQ(0, qt_status);
    EXPECT_EQ(expected, got);
    ASSERT_EQ(2u, shown.size());  // the options dialog, then FINISHED
    EXPECT_EQ("FINISHED", shown[1]);
  }
};

TEST_F(QtRunTest, WeibullRunWritesWhatABatchRunWrites) {
  Compare("weibull", [](host::MemoryTable& t) {
    const Value strengths[] = {Value("set A"), Value(3.1),    Value(3.4),   Value(2.9),
                               Value("MPA"),   Value(3300.0), Value(3600.0)};
    for (int row = 0; row < 7; ++row) t.Set(0, row, strengths[row]);
    t.Set(1, 0, Value("set B"));
    for (int row = 1; row < 6; ++row) t.Set(1, row, Value(4.0 + 0.1 * row));
  });
}

TEST_F(QtRunTest, DynamicRunWritesWhatABatchRunWrites) {
  Compare("dynamic", [](host::MemoryTable& t) {
    int row = 0;
    for (double rate : {0.01, 0.1, 1.0, 10.0}) {
      for (int k = 0; k < 3; ++k, ++row) {
        t.Set(0, row, Value("s" + std::to_string(k)));
        t.Set(1, row, Value(5 * std::pow(rate, 0.05) * (1 + 0.01 * (k - 1))));
        t.Set(2, row, Value(rate));
      }
    }
  });
}

}  // namespace
}  // namespace korund

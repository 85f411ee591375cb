// The options dialog window over a form model: what it draws, and that every
// change and press reaches the model and the model's answer is drawn again.
#include "gui/form_dialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

#include "testing/qt_test_support.h"
#include "testing/fake_form.h"
#include "testing/scripted_ui.h"
#include "util/terminate.h"

namespace korund::gui {
namespace {

class FormDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TestApp();
    form.Get("txtSetToCopy").spin_min = 1;
    form.Get("txtSetToCopy").spin_max = 6;
    form.Get("chkLock").tooltip = "Lock it";
  }
  // Types into a line edit and moves the focus on, as a user would.
  void Type(FormDialog& d, const std::string& name, const QString& text) {
    TypeOver(Find<QLineEdit>(d, name), text);
    Find<QCheckBox>(d, "chkLock")->setFocus();
  }

  ui::ScriptedUi ui;
  ui::FakeForm form{ui};
};

TEST_F(FormDialogTest, DrawsEveryControlOfTheModel) {
  FormDialog d(form, nullptr);
  Show(d);
  EXPECT_EQ("TEST OPTIONS  -  version 2.00", d.windowTitle());
  EXPECT_EQ("Worksheet \"Data 1\"\nSection  \"S\"", Find<QLabel>(d, "lblCaption")->text());
  EXPECT_TRUE(Find<QRadioButton>(d, "optMode(0)")->isChecked());
  EXPECT_EQ("&Velocity", Find<QRadioButton>(d, "optMode(1)")->text());
  EXPECT_FALSE(Find<QLineEdit>(d, "txtRateFactor")->isEnabled());
  EXPECT_EQ("1.2", Find<QLineEdit>(d, "txtRateFactor")->text());
  auto* spin = Find<QSpinBox>(d, "txtSetToCopy");
  EXPECT_EQ(2, spin->value());
  EXPECT_EQ(1, spin->minimum());
  EXPECT_EQ(6, spin->maximum());
  EXPECT_EQ("Lock it", Find<QCheckBox>(d, "chkLock")->toolTip());
  EXPECT_TRUE(Find<QPushButton>(d, "cmdOK")->isDefault());
  EXPECT_FALSE(Find<QPushButton>(d, "cmdCancel")->isDefault());
  EXPECT_EQ("&Help", Find<QPushButton>(d, "cmdHelp")->text());
  // Tab follows the model's order.
  const char* order[] = {"optMode(0)",  "optMode(1)",   "chkGroupRates", "txtRateFactor",
                         "chkCopyData", "txtSetToCopy", "chkLock",       "chkReport",
                         "cmdOK",       "cmdCancel",    "cmdHelp"};
  for (size_t i = 1; i < std::size(order); ++i) {
    QWidget* next = d.Widget(order[i - 1])->nextInFocusChain();
    // A spin box's own line edit sits between it and the next control.
    while (next != nullptr && next->parentWidget() == d.Widget(order[i - 1])) {
      next = next->nextInFocusChain();
    }
    EXPECT_EQ(d.Widget(order[i]), next) << order[i - 1];
  }
}

TEST_F(FormDialogTest, ChangesGoToTheModelAndItsAnswersAndResetsAreDrawn) {
  FormDialog d(form, nullptr);
  Show(d);
  Click(Find<QCheckBox>(d, "chkGroupRates"));
  EXPECT_TRUE(form.Get("chkGroupRates").checked);
  EXPECT_TRUE(Find<QLineEdit>(d, "txtRateFactor")->isEnabled());  // enabled by the model
  Click(Find<QRadioButton>(d, "optMode(1)"));
  EXPECT_TRUE(form.Get("optMode(1)").checked);
  EXPECT_FALSE(form.Get("optMode(0)").checked);
  Type(d, "txtRateFactor", "2.5");
  EXPECT_EQ("2.5", form.Get("txtRateFactor").text);
  EXPECT_TRUE(ui.shown.empty());  // no box: every value was taken
  form.SetText("txtSetToCopy", "9");    // refused: the model shows "1" again
  Click(Find<QCheckBox>(d, "chkLock"));  // any call redraws the form
  EXPECT_EQ(1, Find<QSpinBox>(d, "txtSetToCopy")->value());
  Click(Find<QCheckBox>(d, "chkReport"));  // refused, with a box: the click is undone
  EXPECT_FALSE(Find<QCheckBox>(d, "chkReport")->isChecked());
}

TEST_F(FormDialogTest, OkSendsTextStillBeingEditedAndStaysOpenOnRefusal) {
  FormDialog d(form, nullptr);
  Show(d);
  Click(Find<QCheckBox>(d, "chkGroupRates"));
  auto* line = Find<QLineEdit>(d, "txtRateFactor");
  TypeOver(line, "abc");
  QTest::keyClick(line, Qt::Key_Return);  // the default button, focus still in the box
  EXPECT_EQ("abc", form.Get("txtRateFactor").text);
  EXPECT_EQ((std::vector<std::string>{"cmdOK"}), form.presses);
  EXPECT_EQ("The factor for grouping similar rates must be a number", ui.shown.back().text);
  EXPECT_TRUE(d.isVisible());
  Type(d, "txtRateFactor", "3");
  Click(Find<QPushButton>(d, "cmdOK"));
  EXPECT_TRUE(form.Closed());
  EXPECT_FALSE(d.isVisible());
  EXPECT_NO_THROW(d.RethrowIfFailed());
}

TEST_F(FormDialogTest, CancelAndEscapeCloseAndPassTheStopOn) {
  for (int way : {0, 1, 2}) {
    SCOPED_TRACE(way);
    ui::FakeForm fresh(ui);
    FormDialog d(fresh, nullptr);
    Show(d);
    if (way == 0) {
      QTest::keyClick(&d, Qt::Key_Escape);
    } else if (way == 1) {
      Click(Find<QPushButton>(d, "cmdCancel"));
    } else {  // Enter on the focused Cancel presses Cancel, not Ok
      Find<QPushButton>(d, "cmdCancel")->setFocus();
      QTest::keyClick(Find<QPushButton>(d, "cmdCancel"), Qt::Key_Return);
      EXPECT_TRUE(fresh.presses == std::vector<std::string>{"cmdCancel"});
    }
    EXPECT_FALSE(d.isVisible());
    EXPECT_THROW(d.RethrowIfFailed(), TerminateProgramError);
  }
}

TEST_F(FormDialogTest, HelpButtonAndF1OpenTheFormsTopic) {
  std::vector<int> help;
  FormDialog d(form, [&help](int topic) { help.push_back(topic); });
  Show(d);
  Click(Find<QPushButton>(d, "cmdHelp"));  // through the model
  QTest::keyClick(&d, Qt::Key_F1);
  EXPECT_EQ(std::vector<int>{1018}, ui.help_topics);
  EXPECT_EQ(std::vector<int>{1018}, help);
}

// A model that shows its progress frame while it runs, like the real ones.
class RunningForm : public ui::FakeForm {
 public:
  using FakeForm::FakeForm;
  std::vector<ui::FormControl> Controls() const override {
    auto controls = FakeForm::Controls();
    if (running) {
      ui::FormControl bar;
      bar.name = "lblpBar";
      bar.caption = "Please wait..";
      controls.insert(controls.begin() + 1, bar);
    }
    return controls;
  }
  bool running = false;
};

TEST_F(FormDialogTest, ProgressFrameAppearsWhenTheModelShowsIt) {
  RunningForm running(ui);
  FormDialog d(running, nullptr);
  Show(d);
  EXPECT_EQ(nullptr, d.progress_bar());
  running.running = true;
  d.ShowProgress(40);
  ASSERT_NE(nullptr, d.progress_bar());
  // On screen at once: during the run only the bar's own repaints happen.
  EXPECT_TRUE(d.progress_bar()->isVisible());
  EXPECT_GE(d.height(), d.progress_bar()->geometry().bottom());
  EXPECT_EQ(40, d.progress_bar()->value());
  EXPECT_EQ("Please wait..", Find<QLabel>(d, "lblpBar")->text());
  d.ShowProgress(250);
  EXPECT_EQ(100, d.progress_bar()->value());
  // The rebuilt form still works.
  Click(Find<QCheckBox>(d, "chkLock"));
  EXPECT_TRUE(running.Get("chkLock").checked);
}

}  // namespace
}  // namespace korund::gui

// The Qt back end as the analyses use it: standard boxes, the message
// dialog, options dialogs with their progress bar, clipboard and help.
#include "gui/qt_ui.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>
#include <cstdlib>
#include <optional>
#include <string>

#include "gui/form_dialog.h"
#include "gui/help_viewer.h"
#include "gui/message_dialog_widget.h"
#include "testing/qt_test_support.h"
#include "testing/fake_form.h"
#include "testing/scripted_ui.h"
#include "testing/test_files.h"
#include "ui/help_topics.h"
#include "util/run_settings.h"
#include "util/terminate.h"

namespace korund::gui {
namespace {

class QtUiTest : public ::testing::Test {
 protected:
  void SetUp() override { TestApp(); }
  QtUi ui;
};

TEST_F(QtUiTest, StandardBoxHasTheIconButtonsAndTitleTheFlagsAskAndEscapeCancels) {
  struct Case {
    int flags;
    std::string title;
    QMessageBox::Icon icon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton press;
    int result;
  };
  const Case cases[] = {
      {16, "ERROR", QMessageBox::Critical, QMessageBox::Ok, QMessageBox::Ok, ui::kIdOk},
      {32, "Q", QMessageBox::Question, QMessageBox::Ok, QMessageBox::Ok, ui::kIdOk},
      {48, "", QMessageBox::Warning, QMessageBox::Ok, QMessageBox::Ok, ui::kIdOk},
      {64, "FINISHED", QMessageBox::Information, QMessageBox::Ok, QMessageBox::Ok, ui::kIdOk},
      {0, "PLAIN", QMessageBox::NoIcon, QMessageBox::Ok, QMessageBox::Ok, ui::kIdOk},
      {16 | 5, "NO WORKSHEET", QMessageBox::Critical, QMessageBox::Retry | QMessageBox::Cancel,
       QMessageBox::Retry, ui::kIdRetry},
      {16 | 5, "NO WORKSHEET", QMessageBox::Critical, QMessageBox::Retry | QMessageBox::Cancel,
       QMessageBox::Cancel, ui::kIdCancel}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.flags);
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QString title, text;
    ui.SetShownHook([&](QWidget& w) {
      auto& box = dynamic_cast<QMessageBox&>(w);
      icon = box.icon();
      buttons = box.standardButtons();
      title = box.windowTitle();
      text = box.text();
      box.button(c.press)->click();
    });
    EXPECT_EQ(c.result, ui.MsgBox("one\rtwo", c.flags, c.title));
    EXPECT_EQ(c.icon, icon);
    EXPECT_EQ(c.buttons, buttons);
    EXPECT_EQ(c.title.empty() ? AppTitle() : c.title, title.toStdString());
    EXPECT_EQ("one\ntwo", text);
  }
  // Escape closes a Retry/Cancel box: Cancel. What happened in this
  // program's terms is the detail of the next box only.
  QStringList details;
  ui.SetShownHook([&](QWidget& w) {
    details << dynamic_cast<QMessageBox&>(w).detailedText();
    QTest::keyClick(&w, Qt::Key_Escape);
  });
  ui.SetBoxDetail("nb.json: no such file");
  EXPECT_EQ(ui::kIdCancel, ui.MsgBox("x", ui::kMbRetryCancel, "NO WORKSHEET"));
  EXPECT_EQ(ui::kIdCancel, ui.MsgBox("x", ui::kMbRetryCancel, "NO WORKSHEET"));
  EXPECT_EQ(QStringList({"nb.json: no such file", ""}), details);
}

TEST_F(QtUiTest, MessageDialogReturnsThePressedButton) {
  ui::MessageDialogView v = ui::TestDialog("T", {"&Stop", "&Continue"});
  v.button_lefts = {100, 1460, 2820, 4180};  // the widget places each of the four
  ui.SetShownHook([](QWidget& w) { dynamic_cast<MessageDialogWidget&>(w).button(2)->click(); });
  EXPECT_EQ(2, ui.ShowMessageDialog(v));
  ui.SetShownHook([](QWidget& w) { w.close(); });
  EXPECT_EQ(0, ui.ShowMessageDialog(v));
}

TEST_F(QtUiTest, CancelLeavesRunFormAfterTheDialogClosed) {
  ui::FakeForm form(ui);
  QPointer<QWidget> dialog;
  ui.SetShownHook([&](QWidget& w) {
    dialog = &w;
    dynamic_cast<QPushButton*>(dynamic_cast<FormDialog&>(w).Widget("cmdCancel"))->click();
  });
  EXPECT_THROW(ui.RunForm(form), TerminateProgramError);
  EXPECT_TRUE(dialog.isNull());  // gone before the stop passed on
}

TEST_F(QtUiTest, HelpShowsTheTopicAndNeverAnEmptyWindowAndTheClipboardTakesText) {
  for (int topic : {1047, 1018, 1032, -5}) {
    SCOPED_TRACE(topic);
    ui.ShowHelp(topic);
    auto* viewer = dynamic_cast<HelpViewer*>(ui.help_viewer());
    ASSERT_NE(nullptr, viewer);
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_FALSE(viewer->browser()->toPlainText().trimmed().isEmpty());
    EXPECT_EQ(std::string(ui::FindHelpTopic(topic).title), viewer->windowTitle().toStdString());
  }
  ui.Clipboard("a\tb\r\n");
  EXPECT_EQ("a\tb\r\n", QGuiApplication::clipboard()->text());
  ui.ClearClipboard();
  EXPECT_EQ("", QGuiApplication::clipboard()->text());
}

// Sets (or with nullptr unsets) an environment variable for one scope.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    value != nullptr ? setenv(name, value, 1) : unsetenv(name);
  }
  ~ScopedEnv() { old_ ? setenv(name_, old_->c_str(), 1) : unsetenv(name_); }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(DisplayTest, OnlyADisplayThatIsThereMakesQtTheDefault) {
  host::testing::TempDir runtime;
  host::testing::WriteFile(runtime.File("wayland-7"), "");
  ScopedEnv xdg("XDG_RUNTIME_DIR", runtime.File("").c_str());
  struct Case {
    const char* display;
    const char* wayland;
    bool named, reachable;
  };
  const Case cases[] = {{nullptr, nullptr, false, false},
                        {"", "", false, false},
                        {":98765", nullptr, true, false},  // no such local server
                        {"unix:98765.0", nullptr, true, false},
                        {"far.example:0", nullptr, true, true},  // remote: on trust
                        {nullptr, "wayland-7", true, true},
                        {nullptr, "wayland-8", true, false},
                        {":98765", "wayland-7", true, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.display ? c.display : "-") + " " + (c.wayland ? c.wayland : "-"));
    ScopedEnv display("DISPLAY", c.display);
    ScopedEnv wayland("WAYLAND_DISPLAY", c.wayland);
    EXPECT_EQ(c.named, DisplayAvailable());
    EXPECT_EQ(c.reachable, DisplayReachable());
  }
}

}  // namespace
}  // namespace korund::gui

#include "dialogs/message_dialog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/scripted_ui.h"
#include "util/run_settings.h"

namespace korund::dialogs {
namespace {

// A back end whose window is closed without a button.
class ClosingUi : public ui::ScriptedUi {
 public:
  int ShowMessageDialog(const ui::MessageDialogView&) override { return 0; }
};

class MessageDialogTest : public ::testing::Test {
 protected:
  ui::MessageDialogView Lay(const std::string& c1, const std::string& c2, const std::string& c3,
                            bool stretch = false, int32_t icons = 0, int16_t def = 1,
                            float scale = 1.0f, const std::string& text = "Go on?") {
    return dialog_.Layout(text, c1, c2, c3, "", stretch, icons, "T", def, scale);
  }
  ui::ScriptedUi ui_;
  MessageDialog dialog_{ui_};
};

TEST_F(MessageDialogTest, FixedButtonsAreCentredAndAnswerTheirAccessKeys) {
  auto v = Lay("&Stop", "&Continue", "");
  EXPECT_EQ(v.width, 5745);
  EXPECT_EQ(v.button_lefts, (std::vector<int>{1562, 2922, 4282, 5642}));
  EXPECT_EQ(v.visible, (std::vector<bool>{true, true, false, false}));
  EXPECT_EQ(v.access_key('C'), 2);  // either case
  EXPECT_EQ(v.access_key('c'), 2);
  EXPECT_EQ(v.access_key('x'), 0);
  EXPECT_EQ(v.access_key('\xC3'), 0);
  // Every button is tried: the later one wins a shared letter.
  v = Lay("&Stop", "&Skip", "E&xit program");
  EXPECT_EQ(v.access_key('s'), 2);
  EXPECT_EQ(v.access_key('X'), 3);
}

TEST_F(MessageDialogTest, ButtonCountAndDefaultButton) {
  // An empty caption2 gives one button for the layout, yet button 3 shows.
  auto v = Lay("&OK", "", "X", false, 0, 3);
  EXPECT_EQ(v.visible, (std::vector<bool>{true, false, true, false}));
  EXPECT_EQ(v.button_lefts[0], (5745 - 1260) / 2);
  EXPECT_EQ(v.default_button, 1);
  EXPECT_EQ(Lay("a", "b", "", false, 0, 3).default_button, 1);
  EXPECT_EQ(Lay("a", "b", "", false, 0, 2).default_button, 2);
}

TEST_F(MessageDialogTest, StretchedButtonsShareTheWidth) {
  auto v = Lay("a", "b", "", true);
  EXPECT_EQ(v.button_width, 2622);  // (5745 - 100 - 400) \ 2
  EXPECT_EQ(v.button_lefts[1], 2922);
  v = Lay("a", "b", "c", true);
  EXPECT_EQ(v.button_width, 1715);
  EXPECT_EQ(v.button_lefts[2], 3830);
}

TEST_F(MessageDialogTest, ScaleWidensTheWindowRoundingHalvesToEven) {
  EXPECT_EQ(Lay("a", "", "", false, 0, 1, 1.2f).width, 6894);
  EXPECT_EQ(Lay("a", "", "", false, 0, 1, 0.5f).width, 2872);  // 2872.5
  EXPECT_EQ(Lay("a", "", "", false, 0, 1, 1.5f).width, 8618);  // 8617.5
  // A scale that cannot make a window falls back to the normal width.
  EXPECT_EQ(Lay("a", "", "", false, 0, 1, -1.0f).width, 5745);
  EXPECT_EQ(Lay("a", "", "", false, 0, 1, 1e30f).width, 5745);
}

TEST_F(MessageDialogTest, TextSitsBesideThePictureAndButtonsUnderBoth) {
  auto v = Lay("a", "", "", false, 48);
  EXPECT_EQ(v.text_left, 1015);
  EXPECT_EQ(v.text_width, 4530);
  EXPECT_EQ(v.button_top, 1015);  // the picture (615) is taller than one line
  EXPECT_EQ(v.height, 1015 + 345 + 600);
  v = Lay("a", "", "", false, 0);
  EXPECT_EQ(v.text_left, 200);
  EXPECT_EQ(v.button_top, 595);
  // Five lines are taller than the picture: the buttons move down with them.
  v = Lay("a", "", "", false, 16, 1, 1.0f, "1\r2\r3\r4\r5");
  EXPECT_EQ(v.button_top, 975 + 400);
}

TEST(WrappedTextHeight, BreaksAtLineEndsAndWrapsAtTheWidth) {
  EXPECT_EQ(WrappedTextHeight("", 900), 195);
  EXPECT_EQ(WrappedTextHeight("a\r\nb", 900), 390);
  // 900 twips hold ten characters.
  EXPECT_EQ(WrappedTextHeight("aaaa bbbbb", 900), 195);
  EXPECT_EQ(WrappedTextHeight("aaaaa bbbbb", 900), 390);
  EXPECT_EQ(WrappedTextHeight(std::string(25, 'x'), 900), 3 * 195);
  EXPECT_EQ(WrappedTextHeight("ééééééééé é", 900), 2 * 195);  // characters, not bytes
  EXPECT_EQ(WrappedTextHeight("abc", -500), 3 * 195);
}

TEST_F(MessageDialogTest, GoShowsTheDialogAndReturnsThePressedButton) {
  ui_.Answer("WARNING", "&Continue");
  EXPECT_EQ(dialog_.Go("Row 1?", "&Stop", "&Continue", "", "", false, 48, "WARNING", 1, 1.0f), 2);
  ASSERT_EQ(ui_.shown.size(), 1u);
  EXPECT_EQ(ui_.shown[0].flags, 48);
  EXPECT_EQ(ui_.shown[0].buttons, (std::vector<std::string>{"&Stop", "&Continue"}));
  // Unanswered: the default button; no title: the application title.
  EXPECT_EQ(dialog_.Go("x", "&Stop", "&Continue", "", "", false, 0, "", 2, 1.0f), 2);
  EXPECT_EQ(ui_.shown[1].title, AppTitle());

  ClosingUi closing;
  MessageDialog closed(closing);
  EXPECT_EQ(closed.Go("x", "&Stop", "&Continue", "", "", false, 0, "", 1, 1.0f), 0);
}

TEST_F(MessageDialogTest, InvalidIconBitsAreReportedThenNoIconIsShown) {
  dialog_.Go("x", "OK", "", "", "", false, 80, "Q", 1, 1.0f);
  ASSERT_EQ(ui_.shown.size(), 2u);
  EXPECT_EQ(ui_.shown[0].text, "Invalid Icons bit in MyMsgBox.Go: 80 (remnant 80)");
  EXPECT_EQ(ui_.shown[0].flags, 0);
  EXPECT_EQ(ui_.shown[0].title, AppTitle());
  EXPECT_EQ(ui_.shown[1].flags, 0);
  dialog_.Go("x", "OK", "", "", "", false, 240, "Q", 1, 1.0f);
  EXPECT_EQ(ui_.shown[2].text, "Invalid Icons bit in MyMsgBox.Go: 240 (remnant 112)");
  // Bits other than 16, 32 and 64 are ignored.
  ui_.shown.clear();
  dialog_.Go("x", "OK", "", "", "", false, 17, "Q", 1, 1.0f);
  dialog_.Go("x", "OK", "", "", "", false, 4096 + 48, "Q", 1, 1.0f);
  ASSERT_EQ(ui_.shown.size(), 2u);
  EXPECT_EQ(ui_.shown[0].flags, 16);
  EXPECT_EQ(ui_.shown[1].flags, 48);
}

}  // namespace
}  // namespace korund::dialogs

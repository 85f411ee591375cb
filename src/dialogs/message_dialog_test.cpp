#include "dialogs/message_dialog.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "testing/scripted_ui.h"
#include "util/run_settings.h"

namespace korund::dialogs {
namespace {

ui::MessageDialogView Lay(const std::string& c1, const std::string& c2, const std::string& c3,
                          bool stretch = false, int32_t icons = 0, int16_t def = 1,
                          float scale = 1.0f, const std::string& text = "Go on?") {
  ui::ScriptedUi ui;
  return MessageDialog(ui).Layout({.text = text,
                                   .buttons = {c1, c2, c3},
                                   .stretch = stretch,
                                   .icon = icons,
                                   .title = "T",
                                   .default_button = def,
                                   .scale = scale});
}

TEST(MessageDialogLayout, ButtonsCentredOrStretchedAnswerTheirAccessKeys) {
  auto v = Lay("&Stop", "&Continue", "");
  EXPECT_EQ(v.width, 5745);
  EXPECT_EQ(v.button_lefts, (std::vector<int>{1562, 2922, 4282, 5642}));
  EXPECT_EQ(v.visible, (std::vector<bool>{true, true, false, false}));
  EXPECT_EQ(v.access_key('C'), 2);
  EXPECT_EQ(v.access_key('c'), 2);
  EXPECT_EQ(v.access_key('\xC3'), 0);
  EXPECT_EQ(Lay("&Stop", "&Skip", "").access_key('s'), 2);  // the later button wins
  // An empty caption2 gives one button for the layout, yet button 3 shows.
  v = Lay("&OK", "", "X", false, 0, 3);
  EXPECT_EQ(v.visible, (std::vector<bool>{true, false, true, false}));
  EXPECT_EQ(v.button_lefts[0], (5745 - 1260) / 2);
  EXPECT_EQ(v.default_button, 1);  // 3 is beyond the one button
  EXPECT_EQ(Lay("a", "b", "", false, 0, 2).default_button, 2);
  v = Lay("a", "b", "c", true);
  EXPECT_EQ(v.button_width, 1715);  // (5745 - 2 * 100 - 400) \ 3
  EXPECT_EQ(v.button_lefts[2], 3830);
}

TEST(MessageDialogLayout, WidthRoundsHalfToEvenAndButtonsSitUnderTextAndPicture) {
  // 0.5 and 1.5 give 2872.5 and 8617.5; a scale that cannot make a window counts as 1.
  const std::pair<float, int> widths[] = {{0.5f, 2872}, {1.5f, 8618}, {-1.0f, 5745}, {1e30f, 5745}};
  for (auto [scale, width] : widths) EXPECT_EQ(Lay("a", "", "", false, 0, 1, scale).width, width);
  const auto v = Lay("a", "", "", false, 48);
  EXPECT_EQ(v.text_left, 1015);
  EXPECT_EQ(v.button_top, 1015);  // the picture (615) is taller than one line
  EXPECT_EQ(v.height, 1015 + 345 + 600);
  EXPECT_EQ(Lay("a", "", "", false, 16, 1, 1.0f, "1\r2\r3\r4\r5").button_top, 5 * 195 + 400);
  // 900 twips hold ten characters (not bytes); CR LF is one break; a long word is cut.
  EXPECT_EQ(WrappedTextHeight("aaaa bbbbb\r\nb", 900), 2 * 195);
  EXPECT_EQ(WrappedTextHeight("aaaaa bbbbb ééééééééé é", 900), 4 * 195);
  EXPECT_EQ(WrappedTextHeight(std::string(25, 'x'), 900), 3 * 195);
}

TEST(MessageDialog, GoReturnsThePressedButtonAndReportsInvalidIcons) {
  ui::ScriptedUi ui;
  MessageDialog dialog(ui);
  ui.Answer("WARNING", "&Continue");
  const std::array<std::string, 4> stop_continue{"&Stop", "&Continue"};
  EXPECT_EQ(dialog.Go({.text = "Row 1?", .buttons = stop_continue, .icon = 48, .title = "WARNING"}),
            2);
  EXPECT_EQ(dialog.Go({.text = "x", .buttons = stop_continue, .default_button = 2}), 2);
  EXPECT_EQ(ui.shown[1].title, AppTitle());
  dialog.Go({.text = "x", .buttons = {"OK"}, .icon = 80, .title = "Q"});
  dialog.Go({.text = "x", .buttons = {"OK"}, .icon = 240, .title = "Q"});
  // Bits outside the icon bits are ignored.
  dialog.Go({.text = "x", .buttons = {"OK"}, .icon = 4096 + 17, .title = "Q"});
  ASSERT_EQ(ui.shown.size(), 7u);
  EXPECT_EQ(ui.shown[2].text, "Invalid Icons bit in MyMsgBox.Go: 80 (remnant 80)");
  EXPECT_EQ(ui.shown[2].title, AppTitle());
  EXPECT_EQ(ui.shown[4].text, "Invalid Icons bit in MyMsgBox.Go: 240 (remnant 112)");
  for (int i : {2, 3, 5}) EXPECT_EQ(ui.shown[i].flags, 0) << i;  // no icon after the report
  EXPECT_EQ(ui.shown[6].flags, 16);
}

}  // namespace
}  // namespace korund::dialogs

// The message dialog window: where its parts sit, and which keys press what.
#include "gui/message_dialog_widget.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <vector>

#include "testing/qt_test_support.h"
#include "testing/scripted_ui.h"

namespace korund::gui {
namespace {

// The laid-out view of a two-button question ("&Stop", "&Continue") with
// the exclamation icon in a window 5745 twips wide.
ui::MessageDialogView StopContinue() {
  ui::MessageDialogView v = ui::TestDialog("CHECK THIS WORKSHEET", {"&Stop", "&Continue"}, 2);
  v.text = "Short text.";
  v.icon = ui::kMbIconExclamation;
  v.width = 5745;
  v.text_left = 1015;
  v.text_top = 200;
  v.text_width = 4530;
  v.text_height = 390;  // room for the line in any font
  v.button_top = 1015;
  v.button_lefts = {1562, 2922, 4282, 5642};
  v.button_width = 1260;
  v.height = 1015 + 345 + 200 + 400;
  v.access_key = [](char c) { return c == 's' || c == 'S' ? 1 : c == 'c' || c == 'C' ? 2 : 0; };
  return v;
}

class MessageDialogWidgetTest : public ::testing::Test {
 protected:
  void SetUp() override { TestApp(); }
  // A twips length in the dialog's pixels.
  int Px(const QWidget& w, int twips) { return TwipsToPixels(twips, w.logicalDpiX()); }
};

TEST_F(MessageDialogWidgetTest, PartsSitWhereTheTwipsLayoutPutsThemOrBelowALongerText) {
  ui::MessageDialogView v = StopContinue();
  MessageDialogWidget d(v, nullptr);
  d.show();
  EXPECT_EQ(QSize(Px(d, 5745), Px(d, 1015 + 345 + 200)), d.size());
  EXPECT_EQ(QRect(Px(d, 200), Px(d, 200), Px(d, 615), Px(d, 615)), d.icon_label()->geometry());
  EXPECT_EQ(QRect(Px(d, 1015), Px(d, 200), Px(d, 4530), Px(d, 390)), d.text_label()->geometry());
  for (int k = 1; k <= 2; ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(QRect(Px(d, v.button_lefts[k - 1]), Px(d, 1015), Px(d, 1260), Px(d, 345)),
              d.button(k)->geometry());
    EXPECT_TRUE(d.button(k)->isVisible());
  }
  EXPECT_FALSE(d.button(3)->isVisible());
  EXPECT_FALSE(d.button(4)->isVisible());
  EXPECT_EQ("&Continue", d.button(2)->text());
  EXPECT_TRUE(d.button(2)->isDefault());
  EXPECT_EQ("CHECK THIS WORKSHEET", d.windowTitle());
  EXPECT_FALSE(d.icon_label()->pixmap().isNull());

  v.icon = 0;  // the layout then starts the text at the margin
  v.text_left = 200;
  MessageDialogWidget plain(v, nullptr);
  EXPECT_EQ(nullptr, plain.icon_label());
  EXPECT_EQ(Px(d, 200), plain.text_label()->x());

  // A text longer than the estimate moves the buttons down.
  v = StopContinue();
  v.text = std::string(40, 'x') + "\r" + std::string(40, 'y') + "\r\rlast line";
  v.text_height = 195;  // the estimate: one line
  MessageDialogWidget tall(v, nullptr);
  tall.show();
  const QRect text = tall.text_label()->geometry();
  EXPECT_GT(text.height(), 3 * Px(tall, 195));
  EXPECT_GE(tall.button(1)->y(), text.bottom());
  EXPECT_GE(tall.height(), tall.button(1)->geometry().bottom());
  EXPECT_EQ(tall.button(1)->y(), tall.button(2)->y());
}

TEST_F(MessageDialogWidgetTest, KeysPressButtonsAndOpenHelp) {
  struct Case {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int pressed;
  };
  const Case cases[] = {{Qt::Key_C, Qt::NoModifier, 2},
                        {Qt::Key_C, Qt::ShiftModifier, 2},
                        {Qt::Key_S, Qt::NoModifier, 1},
                        {Qt::Key_Return, Qt::NoModifier, 2},  // the default button
                        {Qt::Key_Escape, Qt::NoModifier, 0},  // closed without a button
                        {Qt::Key_X, Qt::NoModifier, -1}};     // nothing: stays open
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pressed);
    std::vector<int> help;
    MessageDialogWidget d(StopContinue(), [&help](int topic) { help.push_back(topic); });
    d.show();
    QApplication::setActiveWindow(&d);
    QTest::keyClick(&d, c.key, c.modifiers);
    if (c.pressed < 0) {
      EXPECT_TRUE(d.isVisible());
      QTest::keyClick(&d, Qt::Key_F1);
      EXPECT_EQ(std::vector<int>{1047}, help);
    } else {
      EXPECT_FALSE(d.isVisible());
      EXPECT_EQ(c.pressed, d.pressed());
    }
  }
}

}  // namespace
}  // namespace korund::gui

// For the Qt tests: the one QApplication of the test program, and a user's
// hands on an options dialog.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <string>

#include "gui/form_dialog.h"

namespace korund::gui {

// Made on first use, so that listing the tests needs no platform.
inline QApplication& TestApp() {
  static int argc = 1;
  static char name[] = "korund-tests";
  static char* argv[] = {name, nullptr};
  // Never destroyed: widgets of failed tests may outlive the test body.
  static QApplication* app = [] {
    auto* a = new QApplication(argc, argv);
    // Recent files of the tests stay out of the user's settings.
    QApplication::setOrganizationName("korund-tests");
    return a;
  }();
  return *app;
}

// The dialog's widget of that object name and type; fails the test if none.
template <typename W>
W* Find(FormDialog& d, const std::string& name) {
  auto* w = qobject_cast<W*>(d.Widget(name));
  EXPECT_NE(nullptr, w) << name;
  return w;
}

// Shows the dialog as the active window, so that focus changes happen.
inline void Show(FormDialog& d) {
  d.show();
  QApplication::setActiveWindow(&d);
}

// Clicks a button's indicator (the middle of a full-width row is no hit).
inline void Click(QWidget* w) {
  QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(6, w->height() / 2));
}

// Gives a text or spin box the focus and types over what it holds.
template <typename Box>
void TypeOver(Box* box, const QString& text) {
  box->setFocus();
  box->selectAll();
  QTest::keyClicks(box, text);
}

}  // namespace korund::gui

// For the Qt tests: the one QApplication of the test program, made on first
// use so that listing the tests needs no platform.
#pragma once

#include <QApplication>

namespace korund::gui {

inline QApplication& TestApp() {
  static int argc = 1;
  static char name[] = "korund-tests";
  static char* argv[] = {name, nullptr};
  // Never destroyed: widgets of failed tests may outlive the test body.
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

}  // namespace korund::gui

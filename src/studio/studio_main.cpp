// korund-studio [NOTEBOOK]: the desktop notebook window.
// korund-studio --screenshot FILE NOTEBOOK: renders the window with that
// notebook to a PNG and ends. Without a display both draw offscreen.
#include <QApplication>
#include <QCommandLineParser>
#include <QPixmap>
#include <cstdio>

#include "gui/display.h"
#include "gui/qt_ui.h"
#include "studio/graph_pane.h"
#include "studio/main_window.h"
#include "util/run_settings.h"

int main(int argc, char** argv) {
  const bool offscreen = korund::gui::ChooseOffscreenWithoutDisplay();
  QApplication app(argc, argv);
  QApplication::setOrganizationName("Quellmark");
  QApplication::setApplicationName("korund-studio");
  QApplication::setApplicationVersion(korund::kVersion);

  QCommandLineParser parser;
  parser.setApplicationDescription("KORUND Studio: notebooks and their analyses on the desktop");
  parser.addHelpOption();
  parser.addVersionOption();
  QCommandLineOption screenshot("screenshot", "Render the window to FILE (PNG) and exit.", "FILE");
  parser.addOption(screenshot);
  parser.addPositionalArgument("NOTEBOOK", "The notebook file to open.");
  parser.process(app);
  const QStringList files = parser.positionalArguments();

  korund::gui::QtUi ui;
  korund::studio::MainWindow window(ui);
  if (parser.isSet(screenshot)) {
    if (files.isEmpty()) {
      std::fprintf(stderr, "korund-studio: --screenshot needs a NOTEBOOK\n");
      return 2;
    }
    // No boxes in a screenshot run: a failure is printed instead.
    bool failed = false;
    window.SetAsker([&failed](const QString&, const QString& text, QMessageBox::StandardButtons,
                              QMessageBox::StandardButton) {
      std::fprintf(stderr, "korund-studio: %s\n", text.toLocal8Bit().constData());
      failed = true;
      return QMessageBox::Cancel;
    });
    if (!window.OpenFile(files.front()) || failed) return 1;
    window.resize(1280, 760);
    window.show();
    window.graph()->Redraw();  // now, not after the pane's short delay
    QApplication::processEvents();
    if (!window.grab().save(parser.value(screenshot), "PNG")) {
      std::fprintf(stderr, "korund-studio: cannot write %s\n",
                   parser.value(screenshot).toLocal8Bit().constData());
      return 1;
    }
    return 0;
  }
  if (offscreen) {
    std::fprintf(stderr,
                 "korund-studio: no display (DISPLAY and WAYLAND_DISPLAY name none that is "
                 "there); the window is drawn offscreen and cannot be seen\n");
  }
  if (!files.isEmpty()) window.OpenFile(files.front());
  window.show();
  return app.exec();
}

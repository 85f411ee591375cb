// Built as the korund-qt.so module; see qt_module.h.
#include "shell/qt_module.h"

#include "gui/plot_export.h"
#include "gui/qt_ui.h"

namespace korund::shell {
namespace {

// The application is made before the back end and goes after it.
struct ApplicationHolder {
  ApplicationHolder(int& argc, char** argv) : app(argc, argv) {}
  gui::QtApplication app;
};

class QtBackEnd : private ApplicationHolder, public gui::QtUi {
 public:
  QtBackEnd(int& argc, char** argv, const ui::FormOverrides& overrides)
      : ApplicationHolder(argc, argv), gui::QtUi(overrides) {}
};

std::unique_ptr<ui::Ui> MakeUi(int& argc, char** argv, const ui::FormOverrides& overrides) {
  return std::make_unique<QtBackEnd>(argc, argv, overrides);
}

bool RenderPlot(const plot::PlotDescription& plot, gui::ImageFormat format,
                const gui::ImageSize& size, std::string* bytes, std::string* error) {
  gui::RenderSession session;
  return gui::RenderPlot(plot, format, size, bytes, error);
}

const QtModule kModule{MakeUi, RenderPlot};

}  // namespace
}  // namespace korund::shell

extern "C" __attribute__((visibility("default"))) const korund::shell::QtModule* korund_qt_module() {
  return &korund::shell::kModule;
}

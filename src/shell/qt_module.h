// The part of korund that needs Qt: the Qt back end and graph rendering.
// It is a module beside the program, loaded only by a run that asks for a
// dialog window or a graph, so that every other run starts without loading
// and relocating the Qt libraries (most of a small run's start-up time).
#pragma once

#include <memory>
#include <string>

#include "gui/image_format.h"
#include "plot/plot_description.h"
#include "ui/form_overrides.h"
#include "ui/ui.h"

namespace korund::shell {

struct QtModule {
  // The Qt back end together with the Qt application it needs; argc must
  // outlive it.
  std::unique_ptr<ui::Ui> (*make_ui)(int& argc, char** argv, const ui::FormOverrides& overrides);
  // A graph as image bytes, with a Qt application made for the purpose.
  bool (*render_plot)(const plot::PlotDescription& plot, gui::ImageFormat format,
                      const gui::ImageSize& size, std::string* bytes, std::string* error);
};

// The module's file name, looked for beside the program (the build tree),
// then in the installed tree's module folder relative to the program.
inline constexpr const char* kQtModuleFile = "korund-qt.so";

// Loads the module once; nullptr with *error when it cannot be loaded.
const QtModule* LoadQtModule(std::string* error);

}  // namespace korund::shell

// The module's one exported symbol.
extern "C" const korund::shell::QtModule* korund_qt_module();

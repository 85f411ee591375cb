#include "shell/run_plot.h"

#include "gui/plot_file.h"
#include "shell/qt_module.h"

namespace korund::shell {

bool WriteRunPlot(const Invocation& inv, const std::string& worksheet, std::ostream& err) {
  // Qt is loaded only for an image: the description needs none.
  auto render = [](const plot::PlotDescription& plot, gui::ImageFormat format,
                   const gui::ImageSize& size, std::string* bytes, std::string* error) {
    const QtModule* module = LoadQtModule(error);
    return module != nullptr && module->render_plot(plot, format, size, bytes, error);
  };
  gui::GraphFile graph{inv.notebook, worksheet, inv.plot, {}, nullptr};
  graph.options = [&](const notebook::Worksheet& sheet, plot::PlotOptions* options, std::string*) {
    options->kind = plot::DetectPlotKind(sheet);
    options->bands = inv.plot_bands;
    options->confidence = inv.plot_confidence / 100;
    options->title = inv.plot_title;
    return true;
  };
  gui::WrittenGraph written;
  std::string error;
  if (!gui::WriteGraphFile(graph, render, "korund", err, &written, &error)) {
    err << "korund: the graph was not written: " << error << "\n";
    return false;
  }
  return true;
}

}  // namespace korund::shell

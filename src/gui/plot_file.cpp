#include "gui/plot_file.h"

#include "host/atomic_file.h"
#include "host/notebook_store.h"
#include "notebook/analysis_stamp.h"
#include "notebook/notebook_file.h"
#include "plot/plot_json.h"

namespace korund::gui {

bool WriteGraphFile(const GraphFile& graph, const PlotRenderer& render, const std::string& program,
                    std::ostream& err, WrittenGraph* written, std::string* error) {
  const bool json = IsPlotJsonPath(graph.out);
  const std::optional<ImageFormat> format = ImageFormatForPath(graph.out);
  if (!json && !format) {
    *error = graph.out + ": the file name must end in " + kGraphFileEndings;
    return false;
  }
  notebook::Notebook doc;
  if (!notebook::LoadNotebookFile(graph.notebook, &doc, nullptr, error)) return false;
  notebook::Item* item = notebook::ChooseWorksheet(doc, graph.worksheet, graph.notebook, error);
  if (item == nullptr) return false;
  const notebook::Worksheet& sheet = *item->worksheet();
  plot::PlotOptions options;
  if (graph.options && !graph.options(sheet, &options, error)) return false;
  plot::PlotDescription plot;
  if (!plot::BuildPlot(*item, options, &plot, error)) {
    *error = graph.notebook + ", worksheet \"" + item->name() + "\": " + *error;
    return false;
  }
  // Drawn as stored, but not passed off as current.
  const std::string stale = notebook::StaleResultsNote(*item);
  if (!stale.empty()) {
    plot.stale = true;
    err << program << ": " << stale << '\n';
  }
  if (plot.dropped_points > 0) {
    err << program << ": note: " << plot.dropped_points
        << (plot.dropped_points == 1 ? " value that is" : " values that are")
        << " not positive left out of the log axes\n";
  }
  std::string bytes;
  if (json) {
    bytes = plot::PlotJson(plot);
  } else if (!render(plot, *format, graph.size, &bytes, error)) {
    return false;
  }
  if (!host::RefuseNotebookAsOutput(graph.out, graph.notebook, error)) return false;
  if (!host::WriteFileAtomically(graph.out, bytes, error)) return false;
  written->kind = plot.kind;
  written->worksheet = item->name();
  return true;
}

}  // namespace korund::gui

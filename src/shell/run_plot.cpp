#include "shell/run_plot.h"

#include "gui/image_format.h"
#include "host/atomic_file.h"
#include "notebook/notebook.h"
#include "notebook/notebook_file.h"
#include "plot/plot_builder.h"
#include "shell/qt_module.h"

namespace korund::shell {

bool WriteRunPlot(const std::string& notebook_path, const std::string& worksheet,
                  const std::string& plot_path, std::ostream& err) {
  std::string error;
  auto fail = [&] {
    err << "korund: the graph was not written: " << error << "\n";
    return false;
  };
  const std::optional<gui::ImageFormat> format = gui::ImageFormatForPath(plot_path);
  if (!format) {
    error = plot_path + " must end in .png, .svg or .pdf";
    return fail();
  }
  notebook::Notebook doc;
  if (!notebook::LoadNotebookFile(notebook_path, &doc, nullptr, &error)) return fail();
  notebook::Item* item = notebook::ChooseWorksheet(doc, worksheet, notebook_path, &error);
  if (item == nullptr) return fail();
  plot::PlotDescription plot;
  if (!plot::BuildPlot(*item->worksheet(), {}, &plot, &error)) return fail();
  if (plot.dropped_points > 0) {
    err << "korund: note: " << plot.dropped_points
        << " values that are not positive were left out of the graph's log axes\n";
  }
  const QtModule* module = LoadQtModule(&error);
  if (module == nullptr) return fail();
  std::string bytes;
  if (!module->render_plot(plot, *format, &bytes, &error)) return fail();
  if (!host::WriteFileAtomically(plot_path, bytes, &error)) return fail();
  return true;
}

}  // namespace korund::shell

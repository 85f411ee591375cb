// The graph korund writes after a completed run when --plot asks for one.
#pragma once

#include <ostream>
#include <string>

namespace korund::shell {

// Draws the analysed worksheet of the notebook file (the named one, or the
// current one for "") into plot_path through gui::WriteGraphFile, as
// korund-notebook plot does; a Weibull graph with its confidence bands at
// `confidence` percent, or without them. The run's status does not change: the notebook
// is already written back, so a failure is only reported on err. Returns
// whether the file was written.
bool WriteRunPlot(const std::string& notebook_path, const std::string& worksheet,
                  const std::string& plot_path, bool bands, double confidence, std::ostream& err);

}  // namespace korund::shell

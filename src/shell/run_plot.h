// The graph korund writes after a completed run when --plot asks for one.
#pragma once

#include <ostream>

#include "shell/command_line.h"

namespace korund::shell {

// Draws the worksheet the run wrote its results to (`worksheet`: the
// analysed one, or the new worksheet of a lifetime run; "" the current one)
// of inv.notebook into inv.plot through gui::WriteGraphFile, as korund-notebook
// plot does: a Weibull graph with its confidence bands at
// inv.plot_confidence percent, or without them; titled inv.plot_title, or
// with the worksheet's name. The run's status does not change: the notebook
// is already written back, so a failure is only reported on err. Returns
// whether the file was written.
bool WriteRunPlot(const Invocation& inv, const std::string& worksheet, std::ostream& err);

}  // namespace korund::shell

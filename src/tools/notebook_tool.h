// tools/: korund-notebook, the host side on the command line. It creates,
// fills, shows and exports notebook files through the notebook model and
// takes the same lock and atomic write-back as korund; it never changes what
// an analysis computes. Subcommands: new, import, show, export, list, select,
// plot, results (see --help).
#pragma once

#include <ostream>

namespace korund::tools {

// Runs one command line (argv[0] is the program name). Output goes to out,
// messages to err. Returns the exit status: 0 done, 1 failed (the notebook
// is unchanged), 2 a usage error.
int RunNotebookTool(int argc, const char* const argv[], std::ostream& out, std::ostream& err);

}  // namespace korund::tools

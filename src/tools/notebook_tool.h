// korund-notebook: creates, fills, shows and exports notebook files.
// Subcommands: new, import, show, export, list, select, results (see --help).
#pragma once

#include <ostream>

namespace korund::tools {

// Runs one command line (argv[0] is the program name). Output goes to out,
// messages to err. Returns the exit status: 0 done, 1 failed (the notebook
// is unchanged), 2 a usage error.
int RunNotebookTool(int argc, const char* const argv[], std::ostream& out, std::ostream& err);

}  // namespace korund::tools

// Test support for the process tests: the built programs run in a folder of
// the test's own, and the notebooks and transcripts they read and write.
#pragma once

#include <string>
#include <vector>

#include "testing/json_support.h"

namespace korund::testing {

// A built program (KORUND_TEST_BINARY_DIR/bin/NAME, quoted for the shell);
// "" when the variable is unset (outside ctest).
std::string BuiltProgram(const std::string& name);

// What a run left: its exit status (124 when it hung and was killed, -1
// when it did not exit) and its standard output and error.
struct ProcessRun {
  int status = -1;
  std::string out, err;
};

// Runs the shell words `command` in `dir`, which is also the home and
// holds the settings (dir/config); no display, no KORUND_NOTEBOOK, standard
// input /dev/null, at most 60 s. Standard output and error go to
// dir/out.txt and dir/err.txt.
ProcessRun RunIn(const std::string& dir, const std::string& command);

// Notebook text: the top members `extra_top` (ending in a comma), a
// section, worksheet "Data 1" (current) with the members `columns` of its
// columns object, and the items `extra_items` after it.
std::string NotebookText(const std::string& columns, const std::string& extra_items = "",
                         const std::string& extra_top = "");

// The cell of `sheet` (a worksheet item) at 1-based column and row; a null
// view when there is none.
Json CellOf(const Json& sheet, int column, int row);

// The boxes of a transcript file's text, one a line.
std::vector<Json> TranscriptBoxes(const std::string& text);

}  // namespace korund::testing

#include "testing/process_run.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace korund::testing {
namespace {

std::string ReadAll(const std::string& path) {
  std::stringstream s;
  s << std::ifstream(path, std::ios::binary).rdbuf();
  return s.str();
}

}  // namespace

std::string BuiltProgram(const std::string& name) {
  const char* dir = std::getenv("KORUND_TEST_BINARY_DIR");
  return dir == nullptr ? "" : "'" + std::string(dir) + "/bin/" + name + "'";
}

ProcessRun RunIn(const std::string& dir, const std::string& command) {
  const std::string line = "cd '" + dir +
                           "' && env -u KORUND_NOTEBOOK -u DISPLAY -u WAYLAND_DISPLAY "
                           "HOME=\"$PWD\" XDG_CONFIG_HOME=\"$PWD/config\" timeout 60 " +
                           command + " </dev/null >out.txt 2>err.txt";
  const int raw = std::system(line.c_str());
  ProcessRun run;
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  run.out = ReadAll(dir + "/out.txt");
  run.err = ReadAll(dir + "/err.txt");
  return run;
}

std::string NotebookText(const std::string& columns, const std::string& extra_items,
                         const std::string& extra_top) {
  return R"({"format": "korund-notebook", "version": 1, "current": "Data 1", )" + extra_top +
         R"("items": [{"type": "section", "name": "Section 1"},
    {"type": "worksheet", "name": "Data 1", "columns": {)" +
         columns + "}}" + (extra_items.empty() ? "" : ", " + extra_items) + "]}";
}

Json CellOf(const Json& sheet, int column, int row) {
  return sheet["columns"][std::to_string(column)]["cells"][static_cast<size_t>(row - 1)];
}

std::vector<Json> TranscriptBoxes(const std::string& text) {
  std::vector<Json> boxes;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) boxes.push_back(Json::Parse(line));
  return boxes;
}

}  // namespace korund::testing

// The layer table of DESIGN.md as a test: every #include "…" in src/ must
// name a folder that the including file's folder may use. Test programs may
// also use the test-support library; the test-support library may use
// everything. Third-party headers stay out of the public headers of folders
// that do not own them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace korund {
namespace {

namespace fs = std::filesystem;

// Folder -> the folders its files may include (besides itself).
const std::map<std::string, std::set<std::string>>& Allowed() {
  static const std::map<std::string, std::set<std::string>> table = [] {
    const std::set<std::string> analyses = {"dialogs", "worksheet", "stats", "ui", "util"};
    std::map<std::string, std::set<std::string>> t = {
        {"util", {}},
        {"ui", {"util"}},
        {"notebook", {"util"}},
        {"host", {"notebook", "util"}},
        {"stats", {"util"}},
        {"worksheet", {"host", "dialogs", "ui", "util"}},
        {"dialogs", {"ui", "util"}},
        {"plot", {"notebook", "stats", "util"}},
        {"weibull", analyses},
        {"fatigue", analyses},
        {"lifetime", analyses},
        {"gui", {"plot", "host", "notebook", "ui", "util"}},
        {"tools", {"gui", "plot", "host", "notebook", "stats", "ui", "util"}},
    };
    // The studio and the shell stand above everything but each other and
    // the tool.
    std::set<std::string> below_gui = {"gui"};
    for (const auto& [folder, uses] : t) {
      if (folder != "tools") below_gui.insert(folder);
    }
    t["shell"] = below_gui;
    std::set<std::string> all = below_gui;
    all.insert("tools");
    t["studio"] = all;
    return t;
  }();
  return table;
}

bool IsTestFile(const fs::path& file) {
  const std::string name = file.filename().string();
  return name.find("_test.") != std::string::npos || name.find("test_support") != std::string::npos;
}

struct Violation {
  std::string file;
  std::string include;
};

std::vector<Violation> Check(const fs::path& src) {
  static const std::regex quoted(R"re(^\s*#\s*include\s+"([^"]+)")re");
  static const std::regex angled(R"(^\s*#\s*include\s+<([^>]+)>)");
  // Generated into the build folder, outside every layer.
  static const std::set<std::string> generated = {"korund_version.h", "help_pages.h"};
  std::vector<Violation> found;
  for (const auto& entry : fs::recursive_directory_iterator(src)) {
    if (!entry.is_regular_file()) continue;
    const fs::path& file = entry.path();
    const std::string ext = file.extension().string();
    if (ext != ".h" && ext != ".cpp") continue;
    const fs::path relative = fs::relative(file, src);
    const std::string folder = relative.begin()->string();
    if (relative.begin() == relative.end() || folder == relative.string()) continue;
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
      std::smatch m;
      if (std::regex_search(line, m, quoted)) {
        const std::string include = m[1];
        const size_t slash = include.find('/');
        if (slash == std::string::npos) {
          if (generated.count(include) == 0) found.push_back({relative.string(), include});
          continue;
        }
        const std::string target = include.substr(0, slash);
        if (target == folder || folder == "testing") continue;
        if (target == "testing" && IsTestFile(file)) continue;
        auto row = Allowed().find(folder);
        if (row == Allowed().end() || row->second.count(target) == 0) {
          found.push_back({relative.string(), include});
        }
      } else if (std::regex_search(line, m, angled) && ext == ".h" && folder != "testing") {
        // A public header that names a third-party library makes every
        // includer depend on it.
        const std::string include = m[1];
        const bool json = include.rfind("rapidjson/", 0) == 0;
        const bool cli = include.rfind("CLI/", 0) == 0;
        const bool qt = include.rfind("Q", 0) == 0 || include.rfind("qcustomplot", 0) == 0;
        const bool json_home = folder == "notebook" && file.filename() == "json_events.h";
        const bool qt_home = folder == "gui" || folder == "studio";
        if ((json && !json_home) || cli || (qt && !qt_home)) {
          found.push_back({relative.string(), "<" + include + ">"});
        }
      }
    }
  }
  return found;
}

TEST(LayeringTest, EveryIncludeFollowsTheLayerTable) {
  const fs::path src = fs::path(KORUND_SOURCE_DIR) / "src";
  ASSERT_TRUE(fs::is_directory(src)) << src;
  for (const auto& v : Check(src)) ADD_FAILURE() << v.file << " includes " << v.include;
}

TEST(LayeringTest, TheCheckerCatchesAnIncludeAgainstTheTable) {
  const fs::path dir = fs::temp_directory_path() / "korund-layering-test";
  fs::remove_all(dir);
  fs::create_directories(dir / "stats");
  fs::create_directories(dir / "weibull");
  std::ofstream(dir / "stats" / "bad.cpp") << "#include \"ui/ui.h\"\n#include \"stats/ok.h\"\n";
  std::ofstream(dir / "weibull" / "w_test.cpp") << "#include \"testing/memory_host.h\"\n";
  std::ofstream(dir / "weibull" / "w.cpp") << "#include \"testing/memory_host.h\"\n";
  std::ofstream(dir / "weibull" / "w.h") << "#include <rapidjson/reader.h>\n";
  auto found = Check(dir);
  fs::remove_all(dir);
  std::set<std::string> texts;
  for (const auto& v : found) texts.insert(v.file + " " + v.include);
  EXPECT_EQ((std::set<std::string>{"stats/bad.cpp ui/ui.h", "weibull/w.cpp testing/memory_host.h",
                                   "weibull/w.h <rapidjson/reader.h>"}),
            texts);
}

}  // namespace
}  // namespace korund

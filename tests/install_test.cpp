// The installed tree: cmake --install into a temporary prefix, then the
// programs run from there (korund finds its Qt module relative to itself,
// also after the tree has moved), the desktop entry is valid and a
// notebook file is recognised by its content.
#include <gtest/gtest.h>

#include <QMimeDatabase>
#include <cstdlib>
#include <filesystem>

#include "testing/process_run.h"
#include "testing/test_files.h"

namespace korund {
namespace {

namespace fs = std::filesystem;
using host::testing::ReadFile;
using host::testing::TempDir;
using host::testing::WriteFile;
using testing::RunIn;

class InstallTest : public ::testing::Test {
 protected:
  void SetUp() override {
    prefix_ = dir_.File("usr");
    const testing::ProcessRun run =
        RunIn(dir_.File("."), "'" KORUND_CMAKE "' --install '" +
                                  std::string(std::getenv("KORUND_TEST_BINARY_DIR")) +
                                  "' --prefix '" + prefix_ + "'");
    ASSERT_EQ(0, run.status) << run.out << run.err;
  }

  TempDir dir_;
  std::string prefix_;
};

TEST_F(InstallTest, TheTreeHoldsProgramsModuleDesktopEntryIconMimeTypeManPagesAndHelp) {
  const char* files[] = {"bin/korund",
                         "bin/korund-notebook",
                         "bin/korund-studio",
                         KORUND_INSTALL_MODULEDIR "/korund-qt.so",
                         "share/applications/korund-studio.desktop",
                         "share/icons/hicolor/scalable/apps/korund-studio.svg",
                         "share/mime/packages/korund-notebook.xml",
                         "share/man/man1/korund.1",
                         "share/man/man1/korund-notebook.1",
                         "share/man/man1/korund-studio.1",
                         "share/doc/korund/help/overview.txt",
                         "share/doc/korund/help/weibull.txt"};
  for (const char* file : files) EXPECT_TRUE(fs::is_regular_file(prefix_ + "/" + file)) << file;
  const testing::ProcessRun valid =
      RunIn(dir_.File("."),
            "desktop-file-validate '" + prefix_ + "/share/applications/korund-studio.desktop'");
  EXPECT_EQ(0, valid.status) << valid.out << valid.err;
  EXPECT_EQ("", valid.out + valid.err);
}

// Moved to another folder after installing, as a relocated tree or an
// unpacked package would be: the programs find what they need from there.
TEST_F(InstallTest, TheInstalledProgramsRunAndDrawFromWhereverTheTreeIs) {
  const std::string moved = dir_.File("opt");
  fs::rename(prefix_, moved);
  fs::copy_file(std::string(KORUND_EXAMPLES) + "/weibull-demo.json", dir_.File("nb.json"));
  const struct {
    std::string command;
    std::string out;      // the standard output, when it matters
    const char* picture;  // the PNG it writes, or null
  } runs[] = {
      {"'" + moved + "/bin/korund' --version", "2.00\n", nullptr},
      {"'" + moved + "/bin/korund' weibull --notebook nb.json --batch --plot graph.png", "",
       "graph.png"},
      {"'" + moved + "/bin/korund-studio' --screenshot window.png nb.json", "", "window.png"},
  };
  for (const auto& r : runs) {
    SCOPED_TRACE(r.command);
    const testing::ProcessRun run = RunIn(dir_.File("."), r.command);
    ASSERT_EQ(0, run.status) << run.err;
    if (!r.out.empty()) {
      EXPECT_EQ(r.out, run.out);
    }
    if (r.picture != nullptr) {
      EXPECT_EQ(0u, ReadFile(dir_.File(r.picture)).rfind("\x89PNG", 0));
    }
  }
}

// The content, not the name, makes a file a notebook for the desktop (a
// sub-class of JSON: shared-mime-info lets its magic win over "*.json").
TEST_F(InstallTest, ANotebookIsRecognisedByItsContent) {
  setenv("XDG_DATA_DIRS", (prefix_ + "/share:/usr/share").c_str(), 1);
  setenv("XDG_DATA_HOME", dir_.File("none").c_str(), 1);
  const std::pair<const char*, bool> files[] = {
      {R"({"format": "korund-notebook", "version": 1, "items": []})", true},
      {R"({"format":"korund-notebook","version":1,"items":[]})", true},
      {R"({"format": "other", "version": 1})", false}};
  QMimeDatabase mime;
  const QMimeType notebook = mime.mimeTypeForName("application/x-korund-notebook");
  ASSERT_TRUE(notebook.isValid());
  EXPECT_TRUE(notebook.inherits("application/json"));
  for (const auto& [text, is_notebook] : files) {
    EXPECT_EQ(is_notebook, mime.mimeTypeForData(QByteArray(text)) == notebook) << text;
  }
}

}  // namespace
}  // namespace korund

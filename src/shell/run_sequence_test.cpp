#include "shell/run_sequence.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "host/memory_host.h"
#include "ui/scripted_ui.h"
#include "util/terminate.h"

namespace korund::shell {
namespace {

using ::testing::ElementsAre;

class MemorySettingsStore : public SettingsStore {
 public:
  bool SaveSetting(const std::string& application, const std::string& section,
                   const std::string& key, const std::string& value) override {
    saved[application + "/" + section + "/" + key] = value;
    return works;
  }
  std::map<std::string, std::string> saved;
  bool works = true;
};

class HelpRecordingUi : public ui::ScriptedUi {
 public:
  void SetHelpFile(const std::string& path) override { help_file = path; }
  std::string help_file;
};

// --- ReadCommandLine --------------------------------------------------------

struct CommandCase {
  const char* line;
  bool stops;
  int fit_type;
};

TEST(ReadCommandLineTest, FirstBlankSeparatedWordInAnyCaseSelectsTheAnalysis) {
  const CommandCase cases[] = {
      {"  Weibull more words", false, kFitWeibull},
      {"dynamic", false, kFitDynamic},
      {"STATIC", false, kFitStatic},
      {"wEiBuLl", false, kFitWeibull},
      {"fatigue", true, 0},
      {"   ", true, 0},           // not empty: its first word is ""
      {"\tweibull", true, 0},     // only the blank separates words
      {"weibull2 dynamic", true, 0},
  };
  for (const CommandCase& c : cases) {
    SCOPED_TRACE(c.line);
    ui::ScriptedUi ui;
    MemorySettingsStore store;
    RunSettings settings;
    EXPECT_EQ(c.stops, ReadCommandLine(c.line, "/opt/korund/korund", store, ui, settings));
    EXPECT_EQ(c.fit_type, settings.FitType);
    EXPECT_EQ(c.stops ? 1u : 0u, ui.shown.size());
  }
}

TEST(ReadCommandLineTest, UnknownWordShowsPlugInTerminating) {
  ui::ScriptedUi ui;
  MemorySettingsStore store;
  RunSettings settings;
  EXPECT_TRUE(ReadCommandLine("fatigue", "/opt/korund/korund", store, ui, settings));
  ASSERT_EQ(1u, ui.shown.size());
  EXPECT_EQ("PLUG-IN TERMINATING", ui.shown[0].title);
  EXPECT_EQ("FitType 0 not defined in Sub ReadCommandLine", ui.shown[0].text);
  EXPECT_EQ(ui::kMbIconStop | ui::kMbOk, ui.shown[0].flags);
}

TEST(ReadCommandLineTest, EmptyCommandLineEndsSilentlyAfterRecordingAppPath) {
  ui::ScriptedUi ui;
  MemorySettingsStore store;
  RunSettings settings;
  try {
    ReadCommandLine("", "/opt/korund/korund", store, ui, settings);
    FAIL() << "expected the run to end";
  } catch (const TerminateProgramError& e) {
    EXPECT_EQ(ExitReason::kNoAnalysis, e.reason());
  }
  EXPECT_TRUE(ui.shown.empty());
  EXPECT_EQ("/opt/korund/korund", store.saved["Quellmark/SigmaPlot/AppPath"]);
}

TEST(ReadCommandLineTest, StoreThatCannotBeWrittenDoesNotStopTheRun) {
  ui::ScriptedUi ui;
  MemorySettingsStore store;
  store.works = false;
  RunSettings settings;
  EXPECT_FALSE(ReadCommandLine("static", "/opt/korund/korund", store, ui, settings));
  EXPECT_EQ(kFitStatic, settings.FitType);
}

TEST(AppPathTest, FolderAndBaseNameWithDoubledSeparatorsMadeSingle) {
  EXPECT_EQ("/usr/local/bin/korund", AppPathFor("/usr/local/bin", "korund"));
  EXPECT_EQ("/korund", AppPathFor("/", "korund"));  // the root ends in "/" already
  EXPECT_EQ("/a//k", AppPathFor("/a//", "k"));      // pairs are replaced once, left to right
  EXPECT_EQ("/opt/k/korund", AppPathOf("/opt/k/korund.exe"));
  EXPECT_EQ("/korund", AppPathOf("/korund"));
}

TEST(VersionStampTest, MinorNumberHasTwoDigits) {
  EXPECT_EQ("2.00", VersionStamp(2, 0));
  EXPECT_EQ("2.05", VersionStamp(2, 5));
  EXPECT_EQ("2.01", VersionStamp(2, 1));
  EXPECT_EQ("2.10", VersionStamp(2, 10));
}

// --- The run sequence -------------------------------------------------------

class RunSequenceTest : public ::testing::Test {
 protected:
  RunSequenceTest() {
    host.notebook.AddSection("Section 1");
    sheet = &host.notebook.AddWorksheet("Data 1");
    sheet->table->Set(0, 0, Value(3.5));
    inputs.exe_path = "/opt/korund/korund";
    inputs.version_major = 2;
    inputs.version_minor = 0;
    // A guard that does what an analysis does: load, write, summarise.
    guards.weibull = [this](RunContext& ctx) { Analyse(ctx, "weibull"); };
    guards.fatigue = [this](RunContext& ctx) { Analyse(ctx, "fatigue"); };
  }

  void Analyse(RunContext& ctx, const std::string& which) {
    guard_called = which;
    fit_type = ctx.settings.FitType;
    help_topic = ctx.msg.help_topic();
    plot_styles = static_cast<int>(ctx.settings.SymbolCodes.size());
    ctx.sheet.spLoadSheet(56, 38);
    ctx.sheet.spPutCell(Value("result"), 2, 1);
    if (cancel) throw TerminateProgramError(ExitReason::kStopped, "");
    ctx.settings.FinishMessage = "Weibull analysis complete:\rset 1";
  }

  int Run(const std::string& command_line) {
    inputs.command_line = command_line;
    return RunKorund(inputs, ui, host, store, guards);
  }

  std::string Written() { return ToText(sheet->table->Get(1, 0)); }

  host::MemoryHost host;
  host::MemoryItem* sheet = nullptr;
  HelpRecordingUi ui;
  MemorySettingsStore store;
  RunInputs inputs;
  Guards guards;
  bool cancel = false;
  std::string guard_called;
  int fit_type = -1, help_topic = -1, plot_styles = 0;
};

TEST_F(RunSequenceTest, WeibullRunsGuardWritesBackAndFinishes) {
  EXPECT_EQ(0, Run("weibull"));
  EXPECT_EQ("weibull", guard_called);
  EXPECT_EQ(kFitWeibull, fit_type);
  EXPECT_EQ(1047, help_topic);
  EXPECT_EQ(11, plot_styles);  // the style tables were ready before the guard
  EXPECT_EQ("result", Written());
  EXPECT_EQ(1, host.releases);
  EXPECT_FALSE(host.properties.at(21));
  ASSERT_EQ(1u, ui.shown.size());
  EXPECT_EQ("FINISHED", ui.shown[0].title);
  EXPECT_EQ("Weibull analysis complete:\rset 1", ui.shown[0].text);
  EXPECT_EQ(ui::kMbIconExclamation | ui::kMbOk, ui.shown[0].flags);
  EXPECT_EQ("/opt/korund/KORUND.chm", ui.help_file);
}

TEST_F(RunSequenceTest, FatigueWordsRunTheFatigueGuardWithTheirHelpTopics) {
  EXPECT_EQ(0, Run("dynamic"));
  EXPECT_EQ("fatigue", guard_called);
  EXPECT_EQ(kFitDynamic, fit_type);
  EXPECT_EQ(1018, help_topic);
  EXPECT_EQ(0, Run("Static"));
  EXPECT_EQ(kFitStatic, fit_type);
  EXPECT_EQ(1032, help_topic);
}

TEST_F(RunSequenceTest, UnknownWordEndsWithoutContactingTheHost) {
  EXPECT_EQ(2, Run("fatigue"));
  EXPECT_EQ(0, host.connects);
  EXPECT_THAT(ui.Titles(), ElementsAre("PLUG-IN TERMINATING"));
  EXPECT_EQ("", guard_called);
}

TEST_F(RunSequenceTest, UnreachableHostShowsPluginTerminating) {
  host.running = false;
  EXPECT_EQ(1, Run("weibull"));
  EXPECT_THAT(ui.Titles(), ElementsAre("NO WORKSHEET", "PLUGIN TERMINATING"));
  EXPECT_EQ("Failed to open SigmaPlot worksheet.", ui.shown[1].text);
  EXPECT_EQ(ui::kMbIconStop | ui::kMbOk, ui.shown[1].flags);
  EXPECT_EQ("", guard_called);
}

TEST_F(RunSequenceTest, CancelInTheGuardWritesNothingAndShowsNoFinished) {
  cancel = true;
  try {
    Run("weibull");
    FAIL() << "expected the run to end";
  } catch (const TerminateProgramError& e) {
    EXPECT_EQ(ExitReason::kStopped, e.reason());
  }
  EXPECT_EQ("", Written());
  EXPECT_EQ(0, host.releases);
  EXPECT_TRUE(ui.shown.empty());
}

TEST_F(RunSequenceTest, FailedWriteBackEndsTheRunWithItsText) {
  host.release_fails = true;
  try {
    Run("weibull");
    FAIL() << "expected the run to end";
  } catch (const TerminateProgramError& e) {
    EXPECT_EQ(ExitReason::kFatal, e.reason());
  }
  ASSERT_EQ(1u, ui.shown.size());
  EXPECT_EQ("ERROR\rthe notebook could not be written back\rPROGRAM TERMINATED",
            ui.shown[0].text);
}

TEST_F(RunSequenceTest, AnalysisMissingFromTheBuildIsAFatalError) {
  guards.weibull = nullptr;
  EXPECT_THROW(Run("weibull"), TerminateProgramError);
  ASSERT_EQ(1u, ui.shown.size());
  EXPECT_EQ("ERROR\rThe Weibull analysis is not part of this build.\rPROGRAM TERMINATED",
            ui.shown[0].text);
  EXPECT_EQ("", Written());
}

TEST_F(RunSequenceTest, VersionStampThatDisagreesIsAnInternalError) {
  for (int minor : {1, 10}) {
    SCOPED_TRACE(minor);
    ui.shown.clear();
    store.saved.clear();
    inputs.version_minor = minor;
    try {
      Run("weibull");
      FAIL() << "expected the run to end";
    } catch (const TerminateProgramError& e) {
      EXPECT_EQ(ExitReason::kFatal, e.reason());
    }
    ASSERT_EQ(1u, ui.shown.size());
    EXPECT_EQ("INTERNAL ERROR", ui.shown[0].title);
    EXPECT_EQ(
        "Project version and Version variable disagree on version number.\r\r"
        "Please report the contents of this error message to Quellmark.",
        ui.shown[0].text);
    EXPECT_TRUE(store.saved.empty());  // it ends before the command line is read
  }
}

// --- The settings file --------------------------------------------------------

class IniSettingsStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root = std::filesystem::temp_directory_path() /
           ("korund_settings_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
            "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(root);
  }
  void TearDown() override { std::filesystem::remove_all(root); }
  std::string Read(const std::filesystem::path& p) {
    std::ifstream in(p);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  std::filesystem::path root;
};

TEST_F(IniSettingsStoreTest, WritesAndReplacesTheKeyKeepingOtherLines) {
  IniSettingsStore store(root.string());
  const auto file = root / "Quellmark" / "SigmaPlot.ini";
  EXPECT_EQ(file.string(), store.PathFor("Quellmark", "SigmaPlot"));
  ASSERT_TRUE(store.SaveSetting("Quellmark", "SigmaPlot", "AppPath", "/a/korund"));
  EXPECT_EQ("[SigmaPlot]\nAppPath=/a/korund\n", Read(file));

  {
    std::ofstream out(file);
    out << "; kept\n[SigmaPlot]\nOther=1\nAppPath=/old\n[Later]\nAppPath=x\n";
  }
  ASSERT_TRUE(store.SaveSetting("Quellmark", "SigmaPlot", "AppPath", "/b/korund"));
  EXPECT_EQ("; kept\n[SigmaPlot]\nOther=1\nAppPath=/b/korund\n[Later]\nAppPath=x\n", Read(file));

  {
    std::ofstream out(file);
    out << "[Later]\nX=1\n";
  }
  ASSERT_TRUE(store.SaveSetting("Quellmark", "SigmaPlot", "AppPath", "/c"));
  EXPECT_EQ("[Later]\nX=1\n[SigmaPlot]\nAppPath=/c\n", Read(file));

  EXPECT_FALSE(IniSettingsStore("").SaveSetting("Quellmark", "SigmaPlot", "AppPath", "/x"));
}


}  // namespace
}  // namespace korund::shell

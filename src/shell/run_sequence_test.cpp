#include "shell/run_sequence.h"

#include <gtest/gtest.h>

#include "testing/memory_host.h"
#include "testing/scripted_ui.h"
#include "util/terminate.h"

namespace korund::shell {
namespace {

struct MemorySettingsStore : SettingsStore {
  bool SaveSetting(const std::string& application, const std::string& section,
                   const std::string& key, const std::string& value) override {
    saved += application + "/" + section + "/" + key + "=" + value;
    return false;  // a store that cannot be written must not stop the run
  }
  std::string saved;
};

// A notebook with one worksheet and guards that do what an analysis does.
struct Rig {
  Rig() {
    host.notebook.AddWorksheet("Data 1");
    inputs = {"", "/opt/korund/korund", 2, 0};
    guards.weibull = [this](RunContext& ctx) { Analyse(ctx, "weibull"); };
    guards.fatigue = [this](RunContext& ctx) { Analyse(ctx, "fatigue"); };
  }
  void Analyse(RunContext& ctx, const std::string& which) {
    guard = which + " " + std::to_string(ctx.msg.help_topic());
    ctx.settings.FinishMessage = "Weibull analysis complete:\rset 1";
  }
  // The exit status, whether the run returned it or ended by TerminateProgramError.
  int Status(const std::string& command_line) {
    inputs.command_line = command_line;
    try {
      return RunKorund(inputs, ui, host, store, guards);
    } catch (const TerminateProgramError& e) {
      return static_cast<int>(e.reason());
    }
  }

  host::MemoryHost host;
  ui::ScriptedUi ui;
  MemorySettingsStore store;
  RunInputs inputs;
  Guards guards;
  std::string guard;
};

TEST(RunSequenceTest, FirstWordSelectsTheAnalysisAndErrorsEndTheRun) {
  const std::string done = "FINISHED: Weibull analysis complete:\rset 1\n";
  const std::string unknown = "PLUG-IN TERMINATING: FitType 0 not defined in Sub ReadCommandLine\n";
  const std::string internal =
      "INTERNAL ERROR: Project version and Version variable disagree on version number.\r\r"
      "Please report the contents of this error message to Quellmark.\n";
  const std::string failed =
      "KORUND 2.00: ERROR\rthe notebook could not be written back\rPROGRAM TERMINATED\n";
  const struct {
    const char* line;
    int status;
    const char* guard;  // the guard run and its help topic
    std::string boxes;
    int version_minor = 0;
    bool release_fails = false;
  } cases[] = {
      {"  Weibull more words", 0, "weibull 1047", done},
      {"dynamic", 0, "fatigue 1018", done},
      {"STATIC", 0, "fatigue 1032", done},
      {"fatigue", 2, "", unknown},
      {"   ", 2, "", unknown},        // not empty: its first word is ""
      {"\tweibull", 2, "", unknown},  // only the blank separates words
      {"weibull2 dynamic", 2, "", unknown},
      {"", 2, "", ""},  // ends silently
      {"weibull", 1, "", internal, 1},
      {"weibull", 1, "", internal, 10},
      {"weibull", 1, "weibull 1047", failed, 0, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    Rig r;
    r.inputs.version_minor = c.version_minor;
    r.host.release_fails = c.release_fails;
    EXPECT_EQ(c.status, r.Status(c.line));
    EXPECT_EQ(c.guard, r.guard);
    EXPECT_EQ(c.boxes, r.ui.Boxes());
    EXPECT_EQ(c.version_minor ? "" : "Quellmark/SigmaPlot/AppPath=/opt/korund/korund",
              r.store.saved);  // recorded on every start, after the version check
    EXPECT_EQ(*c.guard != '\0' ? 1 : 0, r.host.releases);
  }
}

TEST(RunSequenceTest, VersionStampAndAppPathTexts) {
  EXPECT_EQ("2.00 2.05 2.10",
            VersionStamp(2, 0) + " " + VersionStamp(2, 5) + " " + VersionStamp(2, 10));
  EXPECT_EQ("/usr/local/bin/korund", AppPathFor("/usr/local/bin", "korund"));
  EXPECT_EQ("/korund", AppPathFor("/", "korund"));  // the root ends in "/" already
  EXPECT_EQ("/a//k", AppPathFor("/a//", "k"));      // pairs are replaced once, left to right
}

}  // namespace
}  // namespace korund::shell

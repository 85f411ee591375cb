#include "shell/command_line.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

namespace korund::shell {
namespace {

using ::testing::HasSubstr;

struct Parsed {
  ParsedCommandLine result;
  std::string out, err;
};

Parsed Parse(std::vector<std::string> args, const std::string& notebook_env = "") {
  args.insert(args.begin(), "korund");
  std::vector<const char*> argv;
  for (const std::string& a : args) argv.push_back(a.c_str());
  std::ostringstream out, err;
  Parsed p{ParseCommandLine(static_cast<int>(argv.size()), argv.data(), notebook_env, out, err),
           "", ""};
  p.out = out.str();
  p.err = err.str();
  return p;
}

std::string Overrides(const Invocation& inv) {
  std::string s;
  for (const ui::FormOverride& o : inv.overrides) s += o.Describe() + " ";
  return s;
}

TEST(CommandLineTest, WordsAreJoinedIntoTheProgramsCommandLine) {
  EXPECT_EQ("  Weibull more words",
            Parse({"  Weibull more words"}).result.invocation.CommandLine());
  EXPECT_EQ("Weibull more words",
            Parse({"Weibull", "more", "words"}).result.invocation.CommandLine());
  Parsed none = Parse({});
  EXPECT_TRUE(none.result.run);
  EXPECT_EQ("", none.result.invocation.CommandLine());
  // Options may stand before or after the word; --answer takes one value.
  Parsed mixed = Parse({"--answer", "BAD DATA=&Continue", "weibull", "--batch"});
  EXPECT_EQ("weibull", mixed.result.invocation.CommandLine());
  ASSERT_EQ(1u, mixed.result.invocation.answers.size());
  EXPECT_EQ("BAD DATA", mixed.result.invocation.answers[0].first);
  EXPECT_EQ("&Continue", mixed.result.invocation.answers[0].second);
  EXPECT_EQ(UiKind::kBatch, mixed.result.invocation.ui);
  EXPECT_EQ(2u, Parse({"--answer", "A=1", "weibull", "--answer", "B=x=y"})
                    .result.invocation.answers.size());
}

TEST(CommandLineTest, VersionAndHelpPrintAndStop) {
  Parsed version = Parse({"--version"});
  EXPECT_FALSE(version.result.run);
  EXPECT_EQ(0, version.result.status);
  EXPECT_EQ("2.00\n", version.out);

  Parsed help = Parse({"--help"});
  EXPECT_FALSE(help.result.run);
  EXPECT_EQ(0, help.result.status);
  for (const char* part : {"--notebook", "--rank-function", "--group-rates", "--unlock",
                           "Exit status", "the notebook is unchanged"}) {
    EXPECT_THAT(help.out, HasSubstr(part));
  }
}

TEST(CommandLineTest, NotebookComesFromTheEnvironmentUnlessGiven) {
  EXPECT_EQ("env.json", Parse({"weibull"}, "env.json").result.invocation.notebook);
  EXPECT_EQ("nb.json",
            Parse({"weibull", "--notebook", "nb.json"}, "env.json").result.invocation.notebook);
  EXPECT_EQ("", Parse({"weibull"}).result.invocation.notebook);
}

TEST(CommandLineTest, AnalysisOptionsBecomeFormOverridesChecksBeforeTexts) {
  Parsed p = Parse({"dynamic", "--mode", "velocity", "--group-rates", "1.5", "--ignore-ids", "#!",
                    "--copy-set", "3", "--no-ignore-weakest", "--lock"});
  ASSERT_TRUE(p.result.run) << p.err;
  EXPECT_EQ(
      "optMode(1)=selected chkLock=checked chkIgnoreWeakest=unchecked chkGroupRates=checked "
      "chkIgnore=checked chkCopyData=checked txtRateFactor=\"1.5\" txtIgnore=\"#!\" "
      "txtSetToCopy=\"3\" ",
      Overrides(p.result.invocation));
  EXPECT_EQ("optFopt(0)=selected ",
            Overrides(Parse({"weibull", "--rank-function", "0"}).result.invocation));
  EXPECT_EQ("chkGroupRates=unchecked chkIgnore=unchecked chkCopyData=unchecked ",
            Overrides(Parse({"dynamic", "--no-group-rates", "--no-ignore-ids", "--no-copy"})
                          .result.invocation));
}

TEST(CommandLineTest, UnreadableCommandLinesStopWithStatusOne) {
  const std::vector<std::vector<std::string>> bad = {
      {"weibull", "--rank-function", "2"},
      {"dynamic", "--mode", "fast"},
      {"dynamic", "--copy-set", "7"},
      {"dynamic", "--copy-set", "2.5"},
      {"dynamic", "--group-rates", "0.5"},
      {"dynamic", "--group-rates", "abc"},
      {"dynamic", "--copy-set", "2", "--no-copy"},
      {"weibull", "--batch", "--ui", "terminal"},
      {"weibull", "--ui", "window"},
      {"weibull", "--answer", "no equals sign"},
      {"weibull", "--bogus"},
  };
  for (const auto& args : bad) {
    SCOPED_TRACE(args[1] + " " + args[2 < args.size() ? 2 : 1]);
    Parsed p = Parse(args);
    EXPECT_FALSE(p.result.run);
    EXPECT_EQ(1, p.result.status);
    EXPECT_FALSE(p.err.empty());
  }
}

}  // namespace
}  // namespace korund::shell

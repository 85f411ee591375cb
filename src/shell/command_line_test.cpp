#include "shell/command_line.h"

#include <gtest/gtest.h>

#include <sstream>

namespace korund::shell {
namespace {

ParsedCommandLine Parse(std::vector<std::string> args, const std::string& notebook_env = "") {
  args.insert(args.begin(), "korund");
  std::vector<const char*> argv;
  for (const std::string& a : args) argv.push_back(a.c_str());
  std::ostringstream out, err;
  return ParseCommandLine(static_cast<int>(argv.size()), argv.data(), notebook_env, out, err);
}

TEST(CommandLineTest, OptionsBecomeFormOverridesChecksBeforeTexts) {
  const std::pair<std::vector<std::string>, const char*> cases[] = {
      {{"dynamic", "--mode", "velocity", "--group-rates", "1.5", "--ignore-ids", "#!",
        "--copy-set", "3", "--no-ignore-weakest", "--lock"},
       "optMode(1)=selected chkLock=checked chkIgnoreWeakest=unchecked chkGroupRates=checked "
       "chkIgnore=checked chkCopyData=checked txtRateFactor=\"1.5\" txtIgnore=\"#!\" "
       "txtSetToCopy=\"3\" "},
      {{"weibull", "--rank-function", "0"}, "optFopt(0)=selected "},
      {{"dynamic", "--no-group-rates", "--no-ignore-ids", "--no-copy"},
       "chkGroupRates=unchecked chkIgnore=unchecked chkCopyData=unchecked "},
  };
  for (const auto& [args, overrides] : cases) {
    std::string described;
    for (const auto& o : Parse(args).invocation.overrides) described += o.Describe() + " ";
    EXPECT_EQ(overrides, described);
  }
  // Options may stand between the words; --notebook wins over the environment.
  Invocation inv = Parse({"  Weibull", "--notebook", "nb.json", "more"}, "env.json").invocation;
  EXPECT_EQ("  Weibull more", inv.CommandLine());
  EXPECT_EQ("nb.json", inv.notebook);
  EXPECT_EQ("env.json", Parse({"weibull"}, "env.json").invocation.notebook);
  // The graph's bands.
  inv = Parse({"weibull", "--plot", "g.png", "--no-bands", "--confidence", "90"}).invocation;
  EXPECT_EQ(std::make_pair(false, 90.0), std::make_pair(inv.plot_bands, inv.plot_confidence));
  EXPECT_TRUE(Parse({"weibull"}).invocation.plot_bands);
}

TEST(CommandLineTest, UnreadableCommandLinesStopWithStatusOne) {
  for (const auto& args :
       std::vector<std::vector<std::string>>{{"dynamic", "--group-rates", "0.5"},
                                             {"dynamic", "--copy-set", "2", "--no-copy"},
                                             {"weibull", "--batch", "--ui", "terminal"},
                                             {"weibull", "--answer", "no equals"},
                                             {"weibull", "--confidence", "100"}}) {
    ParsedCommandLine p = Parse(args);
    EXPECT_EQ(std::make_pair(false, 1), std::make_pair(p.run, p.status)) << args[1];
  }
}

}  // namespace
}  // namespace korund::shell

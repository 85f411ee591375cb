#include "ui/help_command.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "ui/help_topics.h"

namespace korund::ui {
namespace {

using ::testing::HasSubstr;

struct HelpRun {
  explicit HelpRun(std::vector<std::string> words) : status(RunHelpCommand(words, out, err)) {}
  std::ostringstream out, err;
  int status;
};

TEST(HelpCommandTest, PrintsTheNamedTopicOrTheOverviewAsPlainText) {
  for (const auto& [words, topic] : std::vector<std::pair<std::vector<std::string>, int>>{
           {{}, 0}, {{"overview"}, 0}, {{"WEIBULL"}, 1047}, {{"dynamic"}, 1018},
           {{"Static"}, 1032}}) {
    HelpRun run(words);
    SCOPED_TRACE(words.empty() ? "(none)" : words[0]);
    EXPECT_EQ(0, run.status);
    EXPECT_EQ(HelpAsPlainText(FindHelpTopic(topic).markdown), run.out.str());
    EXPECT_EQ("", run.err.str());
  }
}

TEST(HelpCommandTest, AnUnknownTopicOrExtraWordsFailWithStatus2) {
  for (const std::vector<std::string>& words :
       std::vector<std::vector<std::string>>{{"fatigue"}, {"weibull", "dynamic"}, {""}}) {
    HelpRun run(words);
    EXPECT_EQ(2, run.status);
    EXPECT_EQ("", run.out.str());
    EXPECT_THAT(run.err.str(), HasSubstr("overview, weibull, dynamic, static"));
  }
  EXPECT_THAT(HelpRun({"fatigue"}).err.str(), HasSubstr("\"fatigue\""));
}

}  // namespace
}  // namespace korund::ui

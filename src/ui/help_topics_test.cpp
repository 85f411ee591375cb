#include "ui/help_topics.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace korund::ui {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

TEST(HelpTopicsTest, EveryTopicTheProgramOpensHasItsOwnPage) {
  for (const auto& [id, name] : std::vector<std::pair<int, std::string>>{
           {1018, "dynamic"}, {1032, "static"}, {1047, "weibull"}}) {
    SCOPED_TRACE(id);
    const HelpTopic& topic = FindHelpTopic(id);
    EXPECT_EQ(id, topic.id);
    EXPECT_EQ(name, topic.name);
    EXPECT_FALSE(topic.title.empty());
    EXPECT_GT(topic.markdown.size(), 200u);
  }
}

TEST(HelpTopicsTest, AnUnknownNumberOpensTheOverview) {
  for (int id : {0, -1, 1, 1019, 99999}) {
    EXPECT_EQ("overview", FindHelpTopic(id).name) << id;
  }
  EXPECT_EQ("overview", AllHelpTopics().front().name);
  EXPECT_FALSE(AllHelpTopics().front().markdown.empty());
}

TEST(HelpTopicsTest, NamesAreFoundInAnyCaseAndUnknownOnesAreNot) {
  EXPECT_EQ(1047, FindHelpTopicByName("Weibull")->id);
  EXPECT_EQ(1018, FindHelpTopicByName("DYNAMIC")->id);
  EXPECT_EQ(1032, FindHelpTopicByName("static")->id);
  EXPECT_EQ("overview", FindHelpTopicByName("OverView")->name);
  for (const char* name : {"", "weib", "statics", "1047"}) {
    EXPECT_EQ(nullptr, FindHelpTopicByName(name)) << name;
  }
}

TEST(HelpTopicsTest, NamesAndNumbersAreUnique) {
  const auto topics = AllHelpTopics();
  for (size_t i = 0; i < topics.size(); ++i) {
    for (size_t j = i + 1; j < topics.size(); ++j) {
      EXPECT_NE(topics[i].id, topics[j].id);
      EXPECT_NE(topics[i].name, topics[j].name);
    }
    EXPECT_EQ(&topics[i], FindHelpTopicByName(topics[i].name));
  }
}

struct PlainCase {
  const char* markdown;
  const char* text;
};

TEST(HelpAsPlainTextTest, MarkdownBecomesTerminalText) {
  const std::vector<PlainCase> cases = {
      {"# Weibull analysis\n", "Weibull analysis\n================\n"},
      {"## Results\n", "Results\n-------\n"},
      {"### **m** and So ###\n", "m and So\n--------\n"},
      {"The **modulus** *m* and `So`.\n", "The modulus m and So.\n"},
      {"a * b and snake_case and _word_\n", "a * b and snake_case and word\n"},
      {"see [the overview](overview.md) now\n", "see the overview now\n"},
      {"1 \\* 2 \\| 3\n", "1 * 2 | 3\n"},
      {"* one\n  - two\n", "- one\n  - two\n"},
      {"> quoted\n", "  quoted\n"},
      {"```\n**kept** as `is`\n```\n", "    **kept** as `is`\n"},
      {"line\r\n\r\n\r\n\r\nnext", "line\n\nnext\n"},
      {"", "\n"},
  };
  for (const PlainCase& c : cases) {
    SCOPED_TRACE(c.markdown);
    EXPECT_EQ(c.text, HelpAsPlainText(c.markdown));
  }
}

TEST(HelpAsPlainTextTest, TablesAreAlignedByCharactersNotBytes) {
  const std::string text = HelpAsPlainText(
      "| Row | Label | Meaning |\n"
      "|----:|:------|---------|\n"
      "| 1 | **N** | number |\n"
      "| 12 | R² | `fit` \\| quality |\n");
  EXPECT_EQ(
      "Row  Label  Meaning\n"
      "---  -----  -------------\n"
      "1    N      number\n"
      "12   R²     fit | quality\n",
      text);
}

TEST(HelpAsPlainTextTest, EveryPageConvertsWithoutMarkdownLeftOver) {
  for (const HelpTopic& topic : AllHelpTopics()) {
    SCOPED_TRACE(topic.name);
    const std::string text = HelpAsPlainText(topic.markdown);
    EXPECT_THAT(text, Not(HasSubstr("**")));
    EXPECT_THAT(text, Not(HasSubstr("`")));
    EXPECT_THAT(text, Not(HasSubstr("\n#")));
    EXPECT_THAT(text, Not(HasSubstr("|---")));
  }
}

}  // namespace
}  // namespace korund::ui

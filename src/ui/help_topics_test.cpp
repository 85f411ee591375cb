#include "ui/help_topics.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "util/worksheet_layout.h"

namespace korund::ui {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

TEST(HelpTopicsTest, EachTopicIsFoundByItsNumberAndByItsNameInAnyCase) {
  const struct { int id; const char* name; const char* spelled; } topics[] = {
      {1018, "dynamic", "DYNAMIC"}, {1032, "static", "static"}, {1047, "weibull", "Weibull"},
      {0, "overview", "OverView"}};
  for (const auto& t : topics) {
    SCOPED_TRACE(t.name);
    EXPECT_EQ(t.name, FindHelpTopic(t.id).name);
    ASSERT_NE(nullptr, FindHelpTopicByName(t.spelled));
    EXPECT_EQ(t.id, FindHelpTopicByName(t.spelled)->id);
    EXPECT_FALSE(FindHelpTopic(t.id).title.empty());
    EXPECT_GT(FindHelpTopic(t.id).markdown.size(), 200u);
  }
  EXPECT_EQ("overview", AllHelpTopics().front().name);
  for (int id : {-1, 1, 1019, 99999}) EXPECT_EQ("overview", FindHelpTopic(id).name) << id;
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

// Every label the analyses write beside their results, every method name and
// every column title must be explained in a table row of the analysis's page.
TEST(HelpTopicsTest, EachAnalysisPageTabulatesEveryResultLabelItWrites) {
  namespace layout = korund::layout;
  std::vector<std::string> weibull = {"LinReg", "MLE", "GR-20", "FOTP-28, ITM-13",
                                      "IEC 60793-1-33", "ASTM C1239"};
  for (const char* label : layout::weibull::kResultLabels) weibull.emplace_back(label);
  const std::vector<std::string> columns = {"V",       "...",     "W",     "X",     "count s",
                                            "use s",   "regnX s", "regnY s", "fit X", "fit Y",
                                            "fit err", "parms"};
  auto fatigue = [&](const std::string& param, const std::string& x, const std::string& y) {
    std::vector<std::string> labels = columns;
    for (int32_t row = 1; row <= layout::fatigue::kResultTableRows; ++row) {
      labels.push_back(layout::fatigue::ResultLabel(row, param));
    }
    labels.insert(labels.end(), {"sort " + x + " s", x + "- s", x + "+ s", y + " s"});
    return labels;
  };
  const std::pair<int, std::vector<std::string>> pages[] = {
      {1047, weibull}, {1018, fatigue("nd", "str", "rate")}, {1032, fatigue("ns", "ttf", "str")}};
  for (const auto& [id, labels] : pages) {
    const std::string markdown(FindHelpTopic(id).markdown);
    for (const std::string& label : labels) {
      if (label.empty()) continue;
      EXPECT_THAT(markdown, HasSubstr("| " + label + " |")) << id << ": " << label;
    }
  }
}

TEST(HelpTopicsTest, EachReaderGetsItsOwnTextAndNoMarker) {
  const std::string source =
      "common\n<!-- command line -->\nrun `korund weibull`\n<!-- studio -->\n"
      "choose Analyse\n<!-- end -->\nafter\n";
  EXPECT_EQ("common\nrun `korund weibull`\nafter\n",
            HelpForReader(source, HelpReader::kCommandLine));
  EXPECT_EQ("common\nchoose Analyse\nafter\n", HelpForReader(source, HelpReader::kStudio));
  for (const HelpTopic& topic : AllHelpTopics()) {
    SCOPED_TRACE(topic.name);
    for (std::string_view page : {topic.markdown, topic.studio_markdown}) {
      EXPECT_THAT(std::string(page), Not(HasSubstr("<!--")));
    }
    // The studio's reader starts an analysis from the menu.
    EXPECT_THAT(std::string(topic.studio_markdown), Not(HasSubstr("`korund " + std::string(topic.name))));
  }
}

TEST(HelpAsPlainTextTest, MarkdownBecomesTerminalText) {
  const std::pair<const char*, const char*> cases[] = {
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
      {"", "\n"}};
  for (const auto& [markdown, text] : cases) EXPECT_EQ(text, HelpAsPlainText(markdown)) << markdown;
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

TEST(HelpAsPlainTextTest, AWideTableWrapsItsLastColumnUnderItself) {
  const std::string meaning =
      "twice the combined change of So when the mean ordinate moves by its standard error "
      "and the slope by its own";
  const std::string text = HelpAsPlainText("| row | label | meaning |\n|---|---|---|\n" +
                                           ("| 5 | DSo | " + meaning + " |\n") +
                                           "| 6 | c | intercept |\n");
  EXPECT_EQ(
      "row  label  meaning\n"
      "---  -----  " + std::string(67, '-') + "\n"
      "5    DSo    twice the combined change of So when the mean ordinate moves by its\n"
      "            standard error and the slope by its own\n"
      "6    c      intercept\n",
      text);
}

// Every page, as the terminal shows it: no markdown left, and no line wider
// than a terminal or ending in a blank.
TEST(HelpAsPlainTextTest, EveryPageConvertsToTerminalLinesWithoutMarkdownLeftOver) {
  for (const HelpTopic& topic : AllHelpTopics()) {
    SCOPED_TRACE(topic.name);
    const std::string text = HelpAsPlainText(topic.markdown);
    for (const char* left : {"**", "`", "\n#", "|---"}) EXPECT_THAT(text, Not(HasSubstr(left)));
    size_t start = 0;
    while (start < text.size()) {
      size_t end = text.find('\n', start);
      const std::string line = text.substr(start, end - start);
      size_t columns = 0;
      for (char c : line) columns += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
      EXPECT_LE(columns, 79u) << line;
      EXPECT_FALSE(line.ends_with(" ")) << line;
      start = end + 1;
    }
  }
}

}  // namespace
}  // namespace korund::ui

// The help topics: one page per analysis and an overview, written in
// Markdown. The Qt back end renders the Markdown; the terminal and
// "korund help" print it as plain text. Topic numbers are the ones the run
// sequence gives the dialogs: 1018 dynamic fatigue, 1032 static fatigue,
// 1047 Weibull, 1060 lifetime; the overview is topic 0.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace korund::ui {

// Who reads a page: the command line's user, or the studio's, who runs the
// analyses from its Analyse menu. A page's Markdown source holds text for
// one of them between a line "<!-- command line -->" or "<!-- studio -->"
// and the line "<!-- end -->" (the second marker may follow the first
// block directly); the pages below carry only their reader's text.
enum class HelpReader { kCommandLine, kStudio };

struct HelpTopic {
  int id;
  std::string_view name;             // "overview", "weibull", "dynamic", "static"
  std::string_view title;            // a line, without Markdown
  std::string_view markdown;         // the page, for the command line
  std::string_view studio_markdown;  // the page, for the studio

  std::string_view Page(HelpReader reader) const {
    return reader == HelpReader::kStudio ? studio_markdown : markdown;
  }
};

// The topic with that number; the overview for an unknown number (never
// null, never empty).
const HelpTopic& FindHelpTopic(int id);

// By name: "overview", "weibull", "dynamic", "static" (any case); nullptr
// when unknown.
const HelpTopic* FindHelpTopicByName(std::string_view name);

// Every topic, overview first.
std::span<const HelpTopic> AllHelpTopics();

// The source's text for that reader (see HelpReader), marker lines left
// out.
std::string HelpForReader(std::string_view source, HelpReader reader);

// Markdown as plain terminal text: headings underlined, emphasis and code
// marks dropped, links reduced to their text, tables laid out in aligned
// columns, fenced code kept as it stands. Ends with a line end.
std::string HelpAsPlainText(std::string_view markdown);

}  // namespace korund::ui

#include "ui/help_topics.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <vector>

#include "ui/help_pages.h"
#include "util/text.h"

namespace korund::ui {

namespace {

constexpr int kOverviewTopic = 0;

const std::array<HelpTopic, 5>& Topics() {
  struct Source {
    int id;
    std::string_view name, title, markdown;
  };
  static const Source sources[] = {
      {kOverviewTopic, "overview", "KORUND: strength and fatigue of optical fibre",
       help_pages::kOverview},
      {1047, "weibull", "Weibull analysis", help_pages::kWeibull},
      {1018, "dynamic", "Dynamic fatigue", help_pages::kDynamic},
      {1032, "static", "Static fatigue", help_pages::kStatic},
      {1060, "lifetime", "Lifetime of proof-tested fibre", help_pages::kLifetime},
  };
  // Each reader's pages, made once and kept for the topics to point into.
  static const std::array<std::string, 5> command_line = [] {
    std::array<std::string, 5> pages;
    for (size_t i = 0; i < pages.size(); ++i) {
      pages[i] = HelpForReader(sources[i].markdown, HelpReader::kCommandLine);
    }
    return pages;
  }();
  static const std::array<std::string, 5> studio = [] {
    std::array<std::string, 5> pages;
    for (size_t i = 0; i < pages.size(); ++i) {
      pages[i] = HelpForReader(sources[i].markdown, HelpReader::kStudio);
    }
    return pages;
  }();
  static const std::array<HelpTopic, 5> topics = [] {
    std::array<HelpTopic, 5> t;
    for (size_t i = 0; i < t.size(); ++i) {
      t[i] = {sources[i].id, sources[i].name, sources[i].title, command_line[i], studio[i]};
    }
    return t;
  }();
  return topics;
}

bool SameWordAnyCase(std::string_view a, std::string_view b) {
  return LowerAscii(a) == LowerAscii(b);
}

// Columns a line takes on a terminal: one per UTF-8 character.
size_t DisplayWidth(std::string_view s) {
  size_t n = 0;
  for (char c : s) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
  }
  return n;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool IsSpaceAt(std::string_view s, size_t i) {
  return i >= s.size() || std::isspace(static_cast<unsigned char>(s[i]));
}

bool IsWordAt(std::string_view s, size_t i) {
  return i < s.size() && std::isalnum(static_cast<unsigned char>(s[i]));
}

// One line of running text without its Markdown marks. An emphasis mark is
// dropped when it touches a word on one side; a star between spaces (a
// product) and an underscore inside a word stay.
std::string Inline(std::string_view s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (c == '\\' && i + 1 < s.size() && std::ispunct(static_cast<unsigned char>(s[i + 1]))) {
      out += s[++i];
    } else if (c == '`') {
      size_t end = s.find('`', i + 1);
      if (end == std::string_view::npos) {
        out += c;
      } else {
        out += s.substr(i + 1, end - i - 1);
        i = end;
      }
    } else if (c == '[') {
      size_t close = s.find("](", i + 1);
      size_t end = close == std::string_view::npos ? close : s.find(')', close + 2);
      if (end == std::string_view::npos) {
        out += c;
      } else {
        out += Inline(s.substr(i + 1, close - i - 1));
        i = end;
      }
    } else if (c == '*' || c == '_') {
      size_t run = i;
      while (run < s.size() && s[run] == c) ++run;
      const bool opens = !IsSpaceAt(s, run);
      const bool closes = i > 0 && !IsSpaceAt(s, i - 1);
      bool mark = opens || closes;
      if (c == '_' && IsWordAt(s, run) && i > 0 && IsWordAt(s, i - 1)) mark = false;
      if (!mark) out += s.substr(i, run - i);
      i = run - 1;
    } else {
      out += c;
    }
  }
  return out;
}

bool IsTableLine(std::string_view line) {
  line = Trim(line);
  return line.size() >= 2 && line.front() == '|';
}

// The cells of "| a | b |", their marks already dropped.
std::vector<std::string> TableCells(std::string_view line) {
  line = Trim(line);
  line.remove_prefix(1);
  if (!line.empty() && line.back() == '|' && (line.size() < 2 || line[line.size() - 2] != '\\')) {
    line.remove_suffix(1);
  }
  std::vector<std::string> cells;
  size_t start = 0;
  for (size_t i = 0; i <= line.size(); ++i) {
    if (i < line.size() && line[i] == '\\') {
      ++i;
      continue;
    }
    if (i == line.size() || line[i] == '|') {
      cells.push_back(Inline(Trim(line.substr(start, i - start))));
      start = i + 1;
    }
  }
  return cells;
}

bool IsSeparatorRow(const std::vector<std::string>& cells) {
  for (const std::string& cell : cells) {
    if (cell.find_first_not_of(":-") != std::string::npos || cell.find('-') == std::string::npos) {
      return false;
    }
  }
  return true;
}

// Words of text in lines of at most width columns; a longer word stands alone.
std::vector<std::string> Wrapped(const std::string& text, size_t width) {
  std::vector<std::string> lines(1);
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(' ', start);
    if (end == std::string::npos) end = text.size();
    const std::string word = text.substr(start, end - start);
    start = end + 1;
    if (word.empty()) continue;
    std::string& last = lines.back();
    if (last.empty()) {
      last = word;
    } else if (DisplayWidth(last) + 1 + DisplayWidth(word) <= width) {
      last += " " + word;
    } else {
      lines.push_back(word);
    }
  }
  return lines;
}

// Columns separated by two blanks. When the table is wider than a terminal
// line, the last column is wrapped under itself, as long as it keeps a
// useful width.
void AppendTable(const std::vector<std::string_view>& lines, std::string* out) {
  constexpr size_t kLineWidth = 79;
  constexpr size_t kNarrowest = 24;
  std::vector<std::vector<std::string>> rows;
  std::vector<bool> rule;
  std::vector<size_t> widths;
  for (std::string_view line : lines) {
    rows.push_back(TableCells(line));
    rule.push_back(IsSeparatorRow(rows.back()));
    if (rule.back()) continue;
    if (widths.size() < rows.back().size()) widths.resize(rows.back().size(), 0);
    for (size_t k = 0; k < rows.back().size(); ++k) {
      widths[k] = std::max(widths[k], DisplayWidth(rows.back()[k]));
    }
  }
  if (widths.empty()) return;
  size_t last_start = 0;
  for (size_t k = 0; k + 1 < widths.size(); ++k) last_start += widths[k] + 2;
  if (last_start + widths.back() > kLineWidth && last_start + kNarrowest <= kLineWidth) {
    widths.back() = kLineWidth - last_start;
  }
  for (size_t r = 0; r < rows.size(); ++r) {
    std::vector<std::string> tail = {""};
    std::string line;
    for (size_t k = 0; k < widths.size(); ++k) {
      if (k > 0) line += "  ";
      if (rule[r]) {
        line += std::string(widths[k], '-');
        continue;
      }
      std::string cell = k < rows[r].size() ? rows[r][k] : "";
      if (k + 1 == widths.size() && DisplayWidth(cell) > widths[k]) {
        tail = Wrapped(cell, widths[k]);
        cell = tail.front();
      }
      line += cell + std::string(widths[k] - std::min(widths[k], DisplayWidth(cell)), ' ');
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    *out += line + "\n";
    for (size_t t = 1; t < tail.size(); ++t) *out += std::string(last_start, ' ') + tail[t] + "\n";
  }
}

// "## Title" -> level 2 and "Title"; level 0 when the line is no heading.
int HeadingLevel(std::string_view line, std::string_view* text) {
  size_t level = 0;
  while (level < line.size() && line[level] == '#') ++level;
  if (level == 0 || level > 6 || level >= line.size() || line[level] != ' ') return 0;
  std::string_view rest = Trim(line.substr(level));
  while (!rest.empty() && rest.back() == '#') rest.remove_suffix(1);
  *text = Trim(rest);
  return static_cast<int>(level);
}

}  // namespace

const HelpTopic& FindHelpTopic(int id) {
  for (const HelpTopic& topic : Topics()) {
    if (topic.id == id) return topic;
  }
  return Topics().front();
}

const HelpTopic* FindHelpTopicByName(std::string_view name) {
  for (const HelpTopic& topic : Topics()) {
    if (SameWordAnyCase(topic.name, name)) return &topic;
  }
  return nullptr;
}

std::span<const HelpTopic> AllHelpTopics() { return Topics(); }

std::string HelpForReader(std::string_view source, HelpReader reader) {
  enum class Block { kBoth, kCommandLine, kStudio } block = Block::kBoth;
  const Block mine = reader == HelpReader::kStudio ? Block::kStudio : Block::kCommandLine;
  std::string out;
  for (size_t start = 0; start < source.size();) {
    size_t end = source.find('\n', start);
    end = end == std::string_view::npos ? source.size() : end + 1;
    const std::string_view line = source.substr(start, end - start);
    start = end;
    const std::string_view marker = Trim(line.substr(0, line.find_first_of("\r\n")));
    if (marker == "<!-- command line -->") {
      block = Block::kCommandLine;
    } else if (marker == "<!-- studio -->") {
      block = Block::kStudio;
    } else if (marker == "<!-- end -->") {
      block = Block::kBoth;
    } else if (block == Block::kBoth || block == mine) {
      out += line;
    }
  }
  return out;
}

std::string HelpAsPlainText(std::string_view markdown) {
  std::vector<std::string_view> lines;
  for (size_t start = 0; start < markdown.size();) {
    size_t end = markdown.find('\n', start);
    if (end == std::string_view::npos) end = markdown.size();
    std::string_view line = markdown.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    start = end + 1;
  }
  std::string out;
  bool fenced = false;
  for (size_t i = 0; i < lines.size(); ++i) {
    std::string_view line = lines[i];
    if (Trim(line).starts_with("```")) {
      fenced = !fenced;
      continue;
    }
    if (fenced) {
      out += "    " + std::string(line) + "\n";
      continue;
    }
    if (IsTableLine(line)) {
      std::vector<std::string_view> table;
      while (i < lines.size() && IsTableLine(lines[i])) table.push_back(lines[i++]);
      --i;
      AppendTable(table, &out);
      continue;
    }
    std::string_view heading;
    if (int level = HeadingLevel(line, &heading)) {
      const std::string text = Inline(heading);
      out += text + "\n" + std::string(DisplayWidth(text), level == 1 ? '=' : '-') + "\n";
      continue;
    }
    const std::string_view body = Trim(line);
    if (body.size() >= 3 && body.find_first_not_of('-') == std::string_view::npos) {
      out += std::string(8, '-') + "\n";
      continue;
    }
    const size_t indent = line.find_first_not_of(" \t");
    std::string prefix(indent == std::string_view::npos ? 0 : indent, ' ');
    std::string_view rest = body;
    if (rest.starts_with("> ") || rest == ">") {
      prefix += "  ";
      rest.remove_prefix(rest.size() > 1 ? 2 : 1);
    } else if (rest.starts_with("* ") || rest.starts_with("- ") || rest.starts_with("+ ")) {
      prefix += "- ";
      rest.remove_prefix(2);
    }
    std::string text = prefix + Inline(rest);
    while (!text.empty() && text.back() == ' ') text.pop_back();
    // One blank line between paragraphs is enough, and none at the top.
    if (text.empty() && (out.empty() || out.ends_with("\n\n"))) continue;
    out += text + "\n";
  }
  while (out.size() >= 2 && out[out.size() - 1] == '\n' && out[out.size() - 2] == '\n') {
    out.pop_back();
  }
  if (out.empty() || out.back() != '\n') out += "\n";
  return out;
}

}  // namespace korund::ui

#include "notebook/csv.h"

#include <algorithm>

#include "notebook/notebook_file.h"
#include "util/text.h"

namespace korund::notebook {

namespace {

// Splits CSV text fed in blocks of any size into rows, byte by byte, so
// that a file is read once and never whole. State between blocks: where in
// a field the last byte left off.
class CsvSplitter {
 public:
  CsvSplitter(char separator, const CsvRowSink& on_row) : separator_(separator), on_row_(on_row) {}

  // False with *error ("line N: what") at a fault, or when on_row stopped.
  bool Feed(std::string_view text, std::string* error) {
    if (at_start_) {
      // The first three bytes say whether there is a byte-order mark.
      const size_t take = std::min(text.size(), 3 - head_.size());
      head_.append(text.substr(0, take));
      text.remove_prefix(take);
      if (head_.size() < 3) return true;
      at_start_ = false;
      if (head_ != "\xEF\xBB\xBF" && !Split(head_, error)) return false;
    }
    return Split(text, error);
  }
  // The end of the text.
  bool Finish(std::string* error);

 private:
  enum class State { kFieldStart, kUnquoted, kQuoted, kQuoteSeen, kAfterCr };

  bool Split(std::string_view text, std::string* error);
  bool EndRow();

  char separator_;
  const CsvRowSink& on_row_;
  bool at_start_ = true;
  std::string head_;  // the first bytes, until there are three
  State state_ = State::kFieldStart;
  CsvRow row_;
  std::string field_;
  int line_ = 1, row_line_ = 1, quote_line_ = 1;
};

}  // namespace

bool CsvSplitter::EndRow() {
  const bool go_on = on_row_(row_, row_line_);
  row_.clear();
  row_line_ = line_;
  return go_on;
}

bool CsvSplitter::Split(std::string_view text, std::string* error) {
  for (size_t i = 0; i < text.size(); ++i) {
    const char ch = text[i];
    switch (state_) {
      case State::kAfterCr:
        state_ = State::kFieldStart;
        if (ch == '\n') continue;  // CRLF
        [[fallthrough]];
      case State::kFieldStart:
        if (ch == '"') {
          state_ = State::kQuoted;
          quote_line_ = line_;
          continue;
        }
        state_ = State::kUnquoted;
        [[fallthrough]];
      case State::kUnquoted:
      case State::kQuoteSeen:
        if (state_ == State::kQuoteSeen && ch == '"') {
          field_ += '"';  // a doubled quote
          state_ = State::kQuoted;
          continue;
        }
        if (ch == separator_) {
          row_.push_back(std::move(field_));
          field_.clear();
          state_ = State::kFieldStart;
        } else if (ch == '\r' || ch == '\n') {
          row_.push_back(std::move(field_));
          field_.clear();
          ++line_;
          state_ = ch == '\r' ? State::kAfterCr : State::kFieldStart;
          if (!EndRow()) return false;
        } else if (state_ == State::kQuoteSeen) {
          *error = "line " + std::to_string(line_) + ": text after a closing quote";
          return false;
        } else {
          field_ += ch;
        }
        break;
      case State::kQuoted:
        if (ch == '"') {
          state_ = State::kQuoteSeen;
        } else {
          if (ch == '\n') ++line_;
          field_ += ch;
        }
        break;
    }
  }
  return true;
}

bool CsvSplitter::Finish(std::string* error) {
  if (at_start_) {
    at_start_ = false;
    if (!Split(head_, error)) return false;
  }
  switch (state_) {
    case State::kQuoted:
      *error = "line " + std::to_string(quote_line_) + ": a quoted field is not closed";
      return false;
    case State::kUnquoted:
    case State::kQuoteSeen:
      row_.push_back(std::move(field_));
      return EndRow();
    case State::kFieldStart:
      // After a separator: "a," ends in an empty field.
      if (row_.empty()) return true;
      row_.emplace_back();
      return EndRow();
    case State::kAfterCr:
      return true;
  }
  return true;
}

bool ParseCsv(std::string_view text, char separator, std::vector<CsvRow>* rows, std::string* error,
              std::vector<int>* lines) {
  rows->clear();
  if (lines != nullptr) lines->clear();
  const CsvRowSink keep = [&](CsvRow& row, int line) {
    rows->push_back(std::move(row));
    if (lines != nullptr) lines->push_back(line);
    return true;
  };
  CsvSplitter splitter(separator, keep);
  return splitter.Feed(text, error) && splitter.Finish(error);
}

bool ReadCsvRows(const std::string& path, char separator, const CsvRowSink& on_row,
                 std::string* head, std::string* error) {
  std::string problem;
  CsvSplitter splitter(separator, on_row);
  bool stopped = false;
  const auto feed = [&](std::string_view block) {
    if (head != nullptr && head->size() < kCsvHeadBytes) {
      head->append(block.substr(0, kCsvHeadBytes - head->size()));
    }
    if (splitter.Feed(block, &problem)) return true;
    stopped = problem.empty();
    return false;
  };
  if (head != nullptr) head->clear();
  if (!ReadFileBlocks(path, feed, error)) {
    if (stopped) return false;  // on_row said why
    if (!problem.empty()) *error = path + ": " + problem;
    return false;
  }
  if (splitter.Finish(&problem)) return true;
  if (!problem.empty()) *error = path + ": " + problem;
  return false;
}

std::string CsvField(std::string_view field, char separator) {
  bool quote = !field.empty() && (field.front() == ' ' || field.back() == ' ' ||
                                  field.front() == '\t' || field.back() == '\t');
  for (char ch : field) {
    if (ch == separator || ch == '"' || ch == '\r' || ch == '\n') quote = true;
  }
  if (!quote) return std::string(field);
  std::string out = "\"";
  for (char ch : field) {
    if (ch == '"') out += '"';
    out += ch;
  }
  out += '"';
  return out;
}

bool ReadCsvFile(const std::string& path, char separator, std::string* text,
                 std::vector<CsvRow>* rows, std::string* error, std::vector<int>* lines) {
  if (!ReadWholeFile(path, text, error)) return false;
  if (ParseCsv(*text, separator, rows, error, lines)) return true;
  *error = path + ": " + *error;
  return false;
}

bool ParseSeparator(const std::string& text, char* separator, std::string* error) {
  if (text == "tab" || text == "\\t") {
    *separator = '\t';
  } else if (text.size() == 1 && text[0] != '"' && text[0] != '\r' && text[0] != '\n') {
    *separator = text[0];
  } else {
    *error = "--separator wants one character (or \"tab\"), not " + QuotedExcerpt(text);
    return false;
  }
  return true;
}

int32_t WorksheetCsvRows(const Worksheet& sheet, int32_t first, int32_t last) {
  int32_t rows = 0;
  for (auto it = sheet.columns().lower_bound(first);
       it != sheet.columns().end() && it->first <= last; ++it) {
    rows = std::max(rows, sheet.UsedRows(it->first));
  }
  return rows;
}

bool WriteWorksheetCsv(const Worksheet& sheet, int32_t first, int32_t last, CsvColumns which,
                       char separator, const std::function<bool(std::string_view)>& write) {
  if (first > last) return true;
  const bool every = which == CsvColumns::kEvery;
  std::vector<const std::pair<const int32_t, Column>*> stored;
  for (auto it = sheet.columns().lower_bound(first);
       it != sheet.columns().end() && it->first <= last; ++it) {
    if (every || !it->second.cells.empty() || it->second.title) stored.push_back(&*it);
  }
  if (!every && stored.empty()) return true;
  const int32_t rows = WorksheetCsvRows(sheet, first, last);
  std::string line;
  // One line: the stored columns' fields; with every column, each after as
  // many separators as columns before it in the range.
  auto write_line = [&](auto field) {
    line.clear();
    int32_t at = first;  // the column whose field comes next
    for (size_t i = 0; i < stored.size(); ++i) {
      const int32_t number = stored[i]->first;
      line.append(every ? static_cast<size_t>(number - at) : (i > 0 ? 1 : 0), separator);
      line += CsvField(field(stored[i]->second), separator);
      at = number;
    }
    if (every) line.append(static_cast<size_t>(last - at), separator);
    line += "\r\n";
    return write(line);
  };
  if (!write_line([](const Column& c) { return c.title.value_or(""); })) return false;
  for (int32_t r = 1; r <= rows; ++r) {
    const size_t index = static_cast<size_t>(r) - 1;
    auto cell = [index](const Column& c) {
      return index < c.cells.size() ? ToText(c.cells[index]) : std::string();
    };
    if (!write_line(cell)) return false;
  }
  return true;
}

}  // namespace korund::notebook

// Writing the notebook file, and reading files from disk. Parsing is in
// notebook_parse.cpp.
//
// The writer emits the 2-space indented text directly, member by member:
// the members an object was read with come first, in their order, the
// model's own members rewritten in their place; model members the object
// did not have are appended. Kept members are written as the bytes they
// were read as, so the file grows only by what the model adds; so are the
// tokens of number cells that still hold what they were read as.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <string_view>
#include <vector>

#include "notebook/json_text.h"
#include "notebook/notebook_file.h"
#include "notebook/unknown_members.h"

namespace korund::notebook {
namespace {

std::string ErrnoText(int err) { return std::strerror(err); }

// Calls f(key, value) for each member an object was read with; key is the
// quoted key as written ("\"title\"").
template <typename F>
void ForEachMember(const UnknownMembers& members, F f) {
  if (members.empty()) return;
  for (const auto& member : members.object()->members) {
    f(std::string_view(member.key), std::string_view(member.value));
  }
}

// True while a cell holds the very number its token was read as: then the
// token is written instead of the number. An integer token was read as an
// integer, "-0" as zero; a zero with a point keeps its sign.
bool TokenHolds(std::string_view token, const Value& v) {
  double x = 0;
  return v.IsNumber() && ReadJsonDouble(token.data(), token.data() + token.size(), &x) &&
         x == v.Number() &&
         (std::signbit(x) == std::signbit(v.Number()) || token.find('.') == std::string_view::npos);
}

// How a cell is written; null for what the file stores as an empty cell.
bool CellIsNull(const Value& v) {
  return v.IsBlank() || (v.IsNumber() && !std::isfinite(v.Number()));
}

// The rows a column's "cells" are written with: trailing nulls are dropped.
size_t WrittenRows(const Column& column) {
  size_t rows = column.cells.size();
  while (rows > 0 && CellIsNull(column.cells[rows - 1])) --rows;
  return rows;
}

// A column with nothing to write (no title, label, cells or member of its
// own) is left out of the file; the writer and the comparison both ask here.
bool WrittenEmpty(const Column& column) {
  if (column.title || column.label || WrittenRows(column) > 0) return false;
  bool other = false;
  ForEachMember(column.unknown, [&](std::string_view key, std::string_view) {
    if (key != "\"title\"" && key != "\"label\"" && key != "\"cells\"") other = true;
  });
  return !other;
}

class Writer {
 public:
  // With a sink, the text is handed on in pieces as it grows and out
  // holds only the piece being made.
  Writer(const std::string& name, std::string* out, const TextSink* sink = nullptr)
      : name_(name), out_(*out), sink_(sink) {}

  bool failed() const { return !error_.empty() || sink_failed_; }
  bool sink_failed() const { return sink_failed_; }
  const std::string& error() const { return error_; }
  void Fail(const std::string& problem) {
    if (error_.empty()) error_ = name_ + ": " + problem;
  }

  // --- layout --------------------------------------------------------------

  // Opens an object or list whose members sit at indent + 2.
  void Open(char bracket, int indent) {
    out_.push_back(bracket);
    levels_.push_back({indent, true});
  }
  // Starts the next member or element.
  void Next() {
    Level& level = levels_.back();
    out_.append(level.first ? "\n" : ",\n");
    level.first = false;
    out_.append(static_cast<size_t>(level.indent + 2), ' ');
  }
  void Key(std::string_view quoted_key) {
    Next();
    out_.append(quoted_key);
    out_.append(": ");
  }
  void Close(char bracket) {
    const Level level = levels_.back();
    levels_.pop_back();
    if (!level.first) {
      out_.push_back('\n');
      out_.append(static_cast<size_t>(level.indent), ' ');
    }
    out_.push_back(bracket);
  }
  int inner() const { return levels_.back().indent + 2; }

  void String(const std::string& s, const std::string& place) {
    if (s.size() > kMaxStringBytes) {
      Fail(place + ": a text longer than " + std::to_string(kMaxStringBytes) +
           " bytes (the limit is 1 MB)");
    }
    AppendJsonString(&out_, s);
  }
  // A kept value as it was read. A large one goes to the sink as it is,
  // after the size check, instead of through a copy.
  void Kept(std::string_view text) {
    if (sink_ == nullptr || text.size() < kPieceBytes) {
      out_.append(text);
      return;
    }
    Pass(0);
    if (passed_ + static_cast<int64_t>(out_.size() + text.size()) > kMaxFileBytes) {
      return TooLarge();
    }
    if (failed()) return;
    if (!(*sink_)(text)) sink_failed_ = true;
    passed_ += static_cast<int64_t>(text.size());
  }

  void Cell(const Value& v, const std::string& place) {
    if (v.IsText()) {
      String(v.Text(), place);
      return;
    }
    char buffer[kJsonDoubleRoom];
    out_.append(buffer, static_cast<size_t>(WriteNumber(buffer, v.Number()) - buffer));
  }
  // A whole number within the doubles' exact integers is written as an
  // integer, everything else in the shortest double form.
  static char* WriteNumber(char* p, double x) {
    if (x == std::floor(x) && std::fabs(x) < 9007199254740992.0) {
      return WriteJsonInteger(p, static_cast<int64_t>(x));
    }
    return WriteJsonDouble(p, x);
  }

  // --- the notebook --------------------------------------------------------

  void WriteNotebook(const Notebook& notebook) {
    // The cells are counted before a byte is written: a notebook over the
    // limit costs no text.
    int64_t cells = 0;
    for (size_t i = 0; i < notebook.size(); ++i) {
      if (const Worksheet* sheet = notebook.item(i).worksheet()) cells += sheet->CellCount();
    }
    if (cells > kMaxCellsPerNotebook) return TooManyCells();
    Open('{', 0);
    const std::optional<std::string>& current = notebook.current();
    bool current_done = false;
    if (!notebook.unknown().empty()) {
      ForEachMember(notebook.unknown(), [&](std::string_view key, std::string_view value) {
        if (key == "\"current\"") {
          current_done = true;
          if (!current) return;  // no current worksheet: the member goes
          Key(key);
          String(*current, "\"current\"");
          return;
        }
        Key(key);
        Kept(value);
      });
    } else {
      Key("\"format\"");
      AppendJsonString(&out_, kNotebookFormat);
      Key("\"version\"");
      AppendJsonInteger(&out_, kNotebookVersion);
    }
    if (current && !current_done) {
      Key("\"current\"");
      String(*current, "\"current\"");
    }
    Key("\"items\"");
    Open('[', inner());
    for (size_t i = 0; i < notebook.size() && !failed(); ++i) WriteItem(notebook.item(i), i);
    Close(']');
    Close('}');
    out_.push_back('\n');
    if (total_cells_ > kMaxCellsPerNotebook) TooManyCells();
    CheckSize();
    Pass(0);
  }
  void TooManyCells() {
    Fail("the notebook would hold more than " + std::to_string(kMaxCellsPerNotebook) +
         " cells (the limit)");
  }

 private:
  struct Level {
    int indent;
    bool first;
  };

  // Hands the text made so far to the sink once it holds at least `least`
  // bytes. Nothing more goes out after a fault: the caller drops what the
  // sink received.
  void Pass(size_t least) {
    if (sink_ == nullptr || failed() || out_.size() < least || out_.empty()) return;
    if (!(*sink_)(out_)) sink_failed_ = true;
    passed_ += static_cast<int64_t>(out_.size());
    out_.clear();
  }

  void CheckSize() {
    if (passed_ + static_cast<int64_t>(out_.size()) > kMaxFileBytes) TooLarge();
  }
  void TooLarge() {
    Fail("the notebook would be larger than " + std::to_string(kMaxFileBytes / (1024 * 1024)) +
         " MB (the limit)");
  }

  void WriteItem(const Item& item, size_t index) {
    // Unknown items are kept as read; one without a stored object has no
    // type word to be written under, so it is not written.
    if (item.type() == ItemType::kOther && item.unknown().empty()) return;
    const std::string place = "item " + std::to_string(index + 1) + " (" +
                              QuoteForError(item.name()) + ")";
    const bool known = item.type() != ItemType::kOther;
    // An unknown item's name that was no string stays as it was.
    const bool write_name = known || !item.name().empty();
    const bool report = item.type() == ItemType::kReport;
    const Worksheet* sheet = item.worksheet();
    bool type_done = false, name_done = false, text_done = false, columns_done = false,
         analysis_done = false;

    Next();
    Open('{', inner());
    ForEachMember(item.unknown(), [&](std::string_view key, std::string_view value) {
      if (known && key == "\"type\"") {
        type_done = true;
        Key(key);
        AppendJsonString(&out_, item.type_word());
      } else if (write_name && key == "\"name\"") {
        name_done = true;
        Key(key);
        String(item.name(), place);
      } else if (report && key == "\"text\"") {
        text_done = true;
        Key(key);
        String(item.text(), place);
      } else if (sheet != nullptr && key == "\"columns\"") {
        columns_done = true;
        Key(key);
        WriteColumns(*sheet, item.name());
      } else if (sheet != nullptr && key == "\"analysis\"") {
        // In its place; a stamp cleared since the file was read is left out.
        analysis_done = true;
        if (!item.analysis().empty()) {
          Key(key);
          String(item.analysis(), place);
        }
      } else {
        Key(key);
        Kept(value);
      }
    });
    if (known && !type_done) {
      Key("\"type\"");
      AppendJsonString(&out_, item.type_word());
    }
    if (write_name && !name_done) {
      Key("\"name\"");
      String(item.name(), place);
    }
    if (report && !text_done) {
      Key("\"text\"");
      String(item.text(), place);
    }
    if (sheet != nullptr && !analysis_done && !item.analysis().empty()) {
      Key("\"analysis\"");
      String(item.analysis(), place);
    }
    if (sheet != nullptr && !columns_done) {
      Key("\"columns\"");
      WriteColumns(*sheet, item.name());
    }
    Close('}');
    CheckSize();
  }

  void WriteColumns(const Worksheet& sheet, const std::string& sheet_name) {
    Open('{', inner());
    for (const auto& [number, column] : sheet.columns()) {
      const std::string where = "worksheet " + QuoteForError(sheet_name);
      if (number < 0 || number > kMaxColumnNumber) {
        Fail(where + " has a column out of range (" + std::to_string(number) + ")");
        break;
      }
      if (static_cast<int64_t>(column.cells.size()) > kMaxRowsPerColumn) {
        Fail(where + ", column " + std::to_string(number) + " has more than " +
             std::to_string(kMaxRowsPerColumn) + " rows (the limit)");
        break;
      }
      total_cells_ += static_cast<int64_t>(column.cells.size());
      WriteColumn(column, number, where + ", column " + std::to_string(number));
      CheckSize();
      Pass(kPieceBytes);
      if (failed()) break;
    }
    Close('}');
  }

  void WriteColumn(const Column& column, int32_t number, const std::string& place) {
    const size_t rows = WrittenRows(column);
    if (WrittenEmpty(column)) return;

    Key("\"" + std::to_string(number) + "\"");
    Open('{', inner());
    bool title_done = false, label_done = false, cells_done = false;
    ForEachMember(column.unknown, [&](std::string_view key, std::string_view value) {
      if (key == "\"title\"") {
        title_done = true;
        if (!column.title) return;
        Key(key);
        String(*column.title, place);
      } else if (key == "\"label\"") {
        label_done = true;
        if (!column.label) return;
        Key(key);
        String(*column.label, place);
      } else if (key == "\"cells\"") {
        cells_done = true;
        if (rows > 0) WriteCells(column, rows, place);
      } else {
        Key(key);
        Kept(value);
      }
    });
    if (column.title && !title_done) {
      Key("\"title\"");
      String(*column.title, place);
    }
    if (column.label && !label_done) {
      Key("\"label\"");
      String(*column.label, place);
    }
    if (rows > 0 && !cells_done) WriteCells(column, rows, place);
    Close('}');
  }

  void WriteCells(const Column& column, size_t rows, const std::string& place) {
    Key("\"cells\"");
    Open('[', inner());
    // Number cells are composed in a block that is appended when full: an
    // append per cell costs more than the cell's own text.
    const std::string separator = ",\n" + std::string(static_cast<size_t>(inner()), ' ');
    constexpr size_t kBlock = 32768;
    constexpr size_t kShort = 32;
    char padded[kShort + 1] = {};
    const bool short_separator = separator.size() <= kShort;
    if (short_separator) std::memcpy(padded, separator.data(), separator.size());
    const size_t room = kBlock + std::max(separator.size(), kShort) + kJsonDoubleRoom;
    if (block_.size() < room) block_.resize(room);  // one block for all columns
    char* const begin = block_.data();
    char* p = begin;
    auto flush = [&] {
      out_.append(begin, static_cast<size_t>(p - begin));
      p = begin;
      Pass(kPieceBytes);
    };
    // The next row (0-based) that has a token, past the end when none has.
    const CellTokens& tokens = column.tokens;
    size_t token = 0;
    auto token_row = [&] {
      return token < tokens.size() ? static_cast<size_t>(tokens.row(token)) - 1 : rows;
    };
    size_t next_token = token_row();
    for (size_t r = 0; r < rows; ++r) {
      const Value& v = column.cells[r];
      const size_t skip = r == 0 ? 1 : 0;  // the first cell has no comma
      if (short_separator) {
        std::memcpy(p, padded + skip, kShort);  // a fixed size: no call
      } else {
        std::memcpy(p, separator.data() + skip, separator.size() - skip);
      }
      p += separator.size() - skip;
      if (r == next_token) {
        const std::string_view text = tokens.token(token++);
        next_token = token_row();
        if (TokenHolds(text, v)) {
          flush();
          out_.append(text);
          continue;
        }
      }
      if (v.IsNumber() && std::isfinite(v.Number())) {
        p = WriteNumber(p, v.Number());
        if (p - begin >= static_cast<std::ptrdiff_t>(kBlock)) flush();
        continue;
      }
      flush();
      if (CellIsNull(v)) {
        out_.append("null");
      } else {
        Cell(v, place);
      }
    }
    flush();
    levels_.back().first = rows == 0;
    Close(']');
  }

  // The size of the pieces handed to a sink.
  static constexpr size_t kPieceBytes = 1 << 20;

  const std::string& name_;
  std::string& out_;
  const TextSink* sink_ = nullptr;
  bool sink_failed_ = false;
  int64_t passed_ = 0;  // bytes handed to the sink
  std::vector<Level> levels_;
  std::vector<char> block_;  // where WriteCells composes number cells
  int64_t total_cells_ = 0;
  std::string error_;
};

}  // namespace

bool SerializeNotebook(const Notebook& notebook, const std::string& name, std::string* text,
                       std::string* error) {
  std::string out;
  // Room for the usual cell (an indented full-precision number) at once:
  // growing a text of megabytes by doubling copies it over and over.
  int64_t cells = 0;
  for (size_t i = 0; i < notebook.size(); ++i) {
    if (const Worksheet* sheet = notebook.item(i).worksheet()) cells += sheet->CellCount();
  }
  if (cells <= kMaxCellsPerNotebook) out.reserve(static_cast<size_t>(cells) * 32 + 4096);
  Writer writer(name, &out);
  writer.WriteNotebook(notebook);
  if (writer.failed()) {
    *error = writer.error();
    return false;
  }
  *text = std::move(out);
  return true;
}

bool WriteNotebookText(const Notebook& notebook, const std::string& name, const TextSink& sink,
                       std::string* error) {
  std::string piece;
  piece.reserve(2 << 20);
  Writer writer(name, &piece, &sink);
  writer.WriteNotebook(notebook);
  if (writer.sink_failed()) return false;  // the sink said why
  if (writer.failed()) {
    *error = writer.error();
    return false;
  }
  return true;
}

namespace {

bool SameUnknown(const UnknownMembers& a, const UnknownMembers& b) {
  if (a.empty() || b.empty()) return a.empty() == b.empty();
  return a.object() == b.object() || a.object()->members == b.object()->members;
}

// The tokens a column's cells are written with, as (row, token) pairs.
bool SameTokens(const Column& a, const Column& b, size_t rows) {
  auto next = [rows](const Column& c, size_t* i) {
    while (*i < c.tokens.size()) {
      const auto row = static_cast<size_t>(c.tokens.row(*i));
      if (row > rows) return c.tokens.size();
      if (TokenHolds(c.tokens.token(*i), c.cells[row - 1])) return (*i)++;
      ++*i;
    }
    return c.tokens.size();
  };
  if (a.tokens.empty() && b.tokens.empty()) return true;
  size_t i = 0, j = 0;
  for (;;) {
    const size_t x = next(a, &i), y = next(b, &j);
    if (x == a.tokens.size() || y == b.tokens.size()) {
      return x == a.tokens.size() && y == b.tokens.size();
    }
    if (a.tokens.row(x) != b.tokens.row(y) || a.tokens.token(x) != b.tokens.token(y)) return false;
  }
}

// Cells as the writer writes them: empty, blank and non-finite cells are
// all null, and an integral number reads the same whatever its sign of zero.
bool SameCell(const Value& a, const Value& b) {
  const bool a_null = CellIsNull(a), b_null = CellIsNull(b);
  if (a_null || b_null) return a_null && b_null;
  if (a.kind() != b.kind()) return false;
  return a.IsText() ? a.Text() == b.Text() : a.Number() == b.Number();
}

bool SameColumn(const Column& a, const Column& b) {
  const size_t rows = WrittenRows(a);
  if (a.title != b.title || a.label != b.label || rows != WrittenRows(b) ||
      !SameUnknown(a.unknown, b.unknown) || !SameTokens(a, b, rows)) {
    return false;
  }
  for (size_t r = 0; r < rows; ++r) {
    if (!SameCell(a.cells[r], b.cells[r])) return false;
  }
  return true;
}

bool SameWorksheet(const Worksheet& a, const Worksheet& b) {
  auto i = a.columns().begin(), j = b.columns().begin();
  const auto i_end = a.columns().end(), j_end = b.columns().end();
  for (;;) {
    while (i != i_end && WrittenEmpty(i->second)) ++i;
    while (j != j_end && WrittenEmpty(j->second)) ++j;
    if (i == i_end || j == j_end) return i == i_end && j == j_end;
    if (i->first != j->first || !SameColumn(i->second, j->second)) return false;
    ++i;
    ++j;
  }
}

bool SameItem(const Item& a, const Item& b) {
  if (a.type() != b.type() || a.type_word() != b.type_word() || a.name() != b.name() ||
      a.text() != b.text() || a.analysis() != b.analysis() ||
      !SameUnknown(a.unknown(), b.unknown())) {
    return false;
  }
  const Worksheet* x = a.worksheet();
  const Worksheet* y = b.worksheet();
  if (x == nullptr || y == nullptr) return x == y;
  return SameWorksheet(*x, *y);
}

}  // namespace

bool SameFileText(const Notebook& a, const Notebook& b) {
  if (a.size() != b.size() || a.current() != b.current() ||
      !SameUnknown(a.unknown(), b.unknown())) {
    return false;
  }
  for (size_t i = 0; i < a.size(); ++i) {
    if (!SameItem(a.item(i), b.item(i))) return false;
  }
  return true;
}

namespace {

// ReadFileBlocks, telling `size` the file's size before the first block.
bool ReadBlocks(const std::string& path, const std::function<void(size_t)>& size,
                const std::function<bool(std::string_view)>& block, std::string* error) {
  // O_NONBLOCK: opening a FIFO or a device must not wait for a writer; the
  // type is checked on the open descriptor before anything is read.
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) {
    int err = errno;
    *error = path + ": " + (err == ENOENT ? std::string("no such file") : ErrnoText(err));
    return false;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    *error = path + ": not a regular file";
    return false;
  }
  const std::string too_large = path + ": the file is larger than " +
                                std::to_string(kMaxFileBytes / (1024 * 1024)) + " MB (the limit)";
  if (st.st_size > kMaxFileBytes) {
    ::close(fd);
    *error = too_large;
    return false;
  }
  size(static_cast<size_t>(st.st_size));
  // A file that grows meanwhile still stops at the limit.
  int64_t total = 0;
  char buffer[65536];
  for (;;) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      int err = errno;
      ::close(fd);
      *error = path + ": cannot read: " + ErrnoText(err);
      return false;
    }
    if (n == 0) break;
    total += n;
    if (total > kMaxFileBytes) {
      ::close(fd);
      *error = too_large;
      return false;
    }
    if (!block(std::string_view(buffer, static_cast<size_t>(n)))) {
      ::close(fd);
      return false;
    }
  }
  ::close(fd);
  return true;
}

}  // namespace

bool ReadWholeFile(const std::string& path, std::string* bytes, std::string* error) {
  std::string data;
  // One allocation of the right size.
  const auto reserve = [&](size_t size) { data.reserve(size + 1); };
  const auto append = [&](std::string_view block) {
    data.append(block);
    return true;
  };
  if (!ReadBlocks(path, reserve, append, error)) return false;
  *bytes = std::move(data);
  return true;
}

bool ReadFileBlocks(const std::string& path, const std::function<bool(std::string_view)>& block,
                    std::string* error) {
  return ReadBlocks(path, [](size_t) {}, block, error);
}

bool LoadNotebookFile(const std::string& path, Notebook* notebook, std::string* bytes,
                      std::string* error) {
  std::string data;
  if (!ReadWholeFile(path, &data, error)) return false;
  if (!ParseNotebook(data, path, notebook, error)) return false;
  if (bytes != nullptr) *bytes = std::move(data);
  return true;
}

}  // namespace korund::notebook

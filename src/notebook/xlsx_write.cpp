// Writing a notebook as an .xlsx workbook with libxlsxwriter.
//
// libxlsxwriter stores a number with 16 significant digits ("%.16G"; its
// exact-digits option is a build choice the packaged library lacks), which
// does not give every double back. So the numbers go in twice:
// libxlsxwriter lays out the package with its digits, then each sheet part
// is rewritten (libzip) with every number cell holding the shortest digits
// that read back as the same double. The cells stay plain numbers, which
// every reader takes as numbers; a formula would be read as text by some.
#include <xlsxwriter.h>
#include <zip.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <list>
#include <set>

#include "notebook/json_text.h"
#include "notebook/xlsx.h"
#include "util/text.h"

namespace korund::notebook {
namespace {

constexpr int32_t kMaxSheetColumns = 16384;
constexpr int64_t kMaxSheetRows = 1'048'576;
constexpr size_t kMaxCellChars = 32767;
constexpr size_t kMaxSheetNameChars = 31;

size_t Utf8Length(std::string_view s) {
  size_t n = 0;
  for (char ch : s) n += (static_cast<unsigned char>(ch) & 0xC0) != 0x80;
  return n;
}

std::string Utf8Prefix(const std::string& s, size_t chars) {
  size_t n = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80 && n++ == chars) return s.substr(0, i);
  }
  return s;
}

// A legal sheet name, distinct (ignoring case, as Excel does) from those
// already taken.
std::string SheetName(const std::string& item_name, size_t index, std::set<std::string>* taken) {
  std::string base;
  for (char ch : item_name) {
    base += std::string_view("[]:*?/\\").find(ch) == std::string_view::npos ? ch : '_';
  }
  while (!base.empty() && base.front() == '\'') base.erase(base.begin());
  while (!base.empty() && base.back() == '\'') base.pop_back();
  if (base.empty()) base = "Sheet " + std::to_string(index + 1);
  std::string name = Utf8Prefix(base, kMaxSheetNameChars);
  for (int n = 2; taken->count(LowerAscii(name)) > 0; ++n) {
    std::string tail = " (" + std::to_string(n) + ")";
    name = Utf8Prefix(base, kMaxSheetNameChars - tail.size()) + tail;
  }
  taken->insert(LowerAscii(name));
  return name;
}

// A text as OOXML stores it: a literal "_xHHHH_" would read back as the
// character it names, so its underscore is written as "_x005F_".
std::string EscapeOoxml(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    bool code = text[i] == '_' && i + 6 < text.size() && text[i + 1] == 'x' && text[i + 6] == '_';
    for (size_t k = 2; code && k < 6; ++k) {
      code = std::isxdigit(static_cast<unsigned char>(text[i + k])) != 0;
    }
    out += code ? "_x005F_" : text.substr(i, 1);
  }
  return out;
}

// A number cell as it must read back: 0-based row and column.
struct NumberCell {
  uint32_t row;
  uint32_t col;
  double x;
};

// The sheet part xml with each number cell's value replaced by the
// shortest exact digits, cells sorted in the part's order (row by row, left
// to right). The part holds no text of the user's (texts go to the shared
// strings), so every "<c " is a cell's start tag. False when the part's
// number cells are not exactly these.
bool ExactNumbers(const std::string& xml, const std::vector<NumberCell>& cells, std::string* out) {
  out->clear();
  out->reserve(xml.size() + cells.size() * 4);
  size_t pos = 0;
  size_t next = 0;
  for (size_t at = xml.find("<c ", pos); at != std::string::npos; at = xml.find("<c ", pos)) {
    const size_t tag_end = xml.find('>', at);
    if (tag_end == std::string::npos) return false;
    const std::string_view tag(xml.data() + at, tag_end - at);
    const size_t ref = tag.find(" r=\"");
    if (tag.back() == '/' || tag.find(" t=\"") != std::string_view::npos ||
        ref == std::string_view::npos) {
      out->append(xml, pos, tag_end + 1 - pos);
      pos = tag_end + 1;
      continue;
    }
    const size_t value = xml.find("<v>", tag_end);
    const size_t value_end = xml.find("</v>", tag_end);
    if (next == cells.size() || value_end == std::string::npos || value > value_end ||
        tag.substr(ref + 4, tag.find('"', ref + 4) - ref - 4) !=
            XlsxSheet::CellName(cells[next].col, cells[next].row)) {
      return false;
    }
    out->append(xml, pos, value + 3 - pos);
    // The notebook's own number form: always a point or an exponent
    // ("2500.0", "-0.0"), so readers that make "2500" an integer give a
    // double, and negative zero keeps its sign.
    AppendJsonDouble(out, cells[next++].x);
    pos = value_end;
  }
  out->append(xml, pos, std::string::npos);
  return next == cells.size();
}

class Writer {
 public:
  Writer(const std::string& path, std::string* error) : path_(path), error_(error) {
    lxw_workbook_options options = {};
    workbook_ = workbook_new_opt(path.c_str(), &options);
    if (workbook_ == nullptr) Fail("cannot start the workbook");
  }
  ~Writer() {
    if (workbook_ != nullptr) workbook_close(workbook_);  // after a failure: the caller deletes it
  }

  bool ok() const { return ok_; }

  // Adds a sheet; later calls name it by the index returned.
  size_t AddSheet(const std::string& name, size_t index) {
    if (!ok_) return 0;
    lxw_worksheet* sheet =
        workbook_add_worksheet(workbook_, SheetName(name, index, &taken_).c_str());
    if (sheet == nullptr) Fail("cannot add a sheet for \"" + name + "\"");
    sheets_.push_back(sheet);
    numbers_.emplace_back();
    return sheets_.size() - 1;
  }

  void Text(size_t sheet, int64_t row, int32_t col, const std::string& text,
            const std::string& where) {
    if (!ok_ || text.empty()) return;
    std::string stored = EscapeOoxml(text);
    if (Utf8Length(stored) > kMaxCellChars) {
      Fail(where + " holds a text of more than " + std::to_string(kMaxCellChars) +
           " characters, the most a workbook cell holds");
      return;
    }
    Check(worksheet_write_string(sheets_[sheet], static_cast<lxw_row_t>(row),
                                 static_cast<lxw_col_t>(col), stored.c_str(), nullptr));
  }

  // An infinity or NaN, which a workbook cannot hold as a number, leaves
  // the cell empty.
  void Number(size_t sheet, int64_t row, int32_t col, double x) {
    if (!ok_ || !std::isfinite(x)) return;
    Check(worksheet_write_number(sheets_[sheet], static_cast<lxw_row_t>(row),
                                 static_cast<lxw_col_t>(col), x, nullptr));
    numbers_[sheet].push_back({static_cast<uint32_t>(row), static_cast<uint32_t>(col), x});
  }

  void Comment(size_t sheet, int32_t col, const std::string& text) {
    if (!ok_) return;
    const std::string note = "label: " + text;
    if (Utf8Length(note) > kMaxCellChars) {
      Fail("a column label is longer than a workbook comment can be");
      return;
    }
    Check(worksheet_write_comment(sheets_[sheet], 0, static_cast<lxw_col_t>(col), note.c_str()));
  }

  void Fail(const std::string& what) {
    if (ok_) *error_ = path_ + ": " + what;
    ok_ = false;
  }

  bool Close() {
    lxw_error status = workbook_close(workbook_);
    workbook_ = nullptr;
    if (ok_ && status != LXW_NO_ERROR) Fail(std::string("cannot write: ") + lxw_strerror(status));
    if (ok_) RewriteNumbers();
    return ok_;
  }

 private:
  void Check(lxw_error status) {
    if (status != LXW_NO_ERROR) Fail(lxw_strerror(status));
  }

  // Gives every number cell its exact digits: libxlsxwriter names the
  // sheet parts sheet1.xml, sheet2.xml, ... in the order they were added.
  void RewriteNumbers() {
    int code = 0;
    zip_t* zip = zip_open(path_.c_str(), 0, &code);
    if (zip == nullptr) {
      Fail("cannot reopen the workbook to write its numbers");
      return;
    }
    std::list<std::string> parts;  // read by zip_close
    for (size_t i = 0; i < numbers_.size() && ok_; ++i) {
      std::vector<NumberCell>& cells = numbers_[i];
      if (cells.empty()) continue;
      std::stable_sort(cells.begin(), cells.end(), [](const NumberCell& a, const NumberCell& b) {
        return a.row != b.row ? a.row < b.row : a.col < b.col;
      });
      const std::string name = "xl/worksheets/sheet" + std::to_string(i + 1) + ".xml";
      const zip_int64_t index = zip_name_locate(zip, name.c_str(), 0);
      std::string xml;
      if (index < 0 || !ReadPart(zip, static_cast<zip_uint64_t>(index), &xml) ||
          !ExactNumbers(xml, cells, &parts.emplace_back())) {
        Fail("cannot write the numbers of sheet " + std::to_string(i + 1));
        break;
      }
      // The part keeps libxlsxwriter's fixed time stamp, so that the same
      // notebook gives the same bytes.
      zip_stat_t st;
      zip_stat_init(&st);
      zip_stat_index(zip, static_cast<zip_uint64_t>(index), 0, &st);
      zip_source_t* source = zip_source_buffer(zip, parts.back().data(), parts.back().size(), 0);
      if (source == nullptr ||
          zip_file_replace(zip, static_cast<zip_uint64_t>(index), source, 0) < 0) {
        zip_source_free(source);
        Fail(std::string("cannot write: ") + zip_strerror(zip));
      } else if ((st.valid & ZIP_STAT_MTIME) != 0) {
        zip_file_set_mtime(zip, static_cast<zip_uint64_t>(index), st.mtime, 0);
      }
    }
    if (!ok_) {
      zip_discard(zip);
    } else if (zip_close(zip) < 0) {
      Fail(std::string("cannot write: ") + zip_strerror(zip));
      zip_discard(zip);
    }
  }

  static bool ReadPart(zip_t* zip, zip_uint64_t index, std::string* bytes) {
    zip_file_t* file = zip_fopen_index(zip, index, 0);
    if (file == nullptr) return false;
    char buffer[65536];
    zip_int64_t n = 0;
    while ((n = zip_fread(file, buffer, sizeof buffer)) > 0) {
      bytes->append(buffer, static_cast<size_t>(n));
    }
    zip_fclose(file);
    return n == 0;
  }

  std::string path_;
  std::string* error_;
  lxw_workbook* workbook_ = nullptr;
  std::vector<lxw_worksheet*> sheets_;
  std::vector<std::vector<NumberCell>> numbers_;  // by sheet, as written
  std::set<std::string> taken_;
  bool ok_ = true;
};

// Refuses before anything is written what a sheet cannot hold.
bool CheckFits(const Item& item, const std::string& path, std::string* error) {
  for (const auto& [number, column] : item.worksheet()->columns()) {
    if (number > kMaxSheetColumns) {
      *error = path + ": worksheet \"" + item.name() + "\" has column " + std::to_string(number) +
               "; a workbook sheet holds " + std::to_string(kMaxSheetColumns) + " columns";
      return false;
    }
    if (static_cast<int64_t>(column.cells.size()) + 1 > kMaxSheetRows) {
      *error = path + ": worksheet \"" + item.name() + "\" column " + std::to_string(number) +
               " has more rows than a workbook sheet holds";
      return false;
    }
  }
  return true;
}

}  // namespace

bool WriteXlsx(const Notebook& notebook, const std::string& path, std::string* error) {
  for (size_t i = 0; i < notebook.size(); ++i) {
    const Item& item = notebook.item(i);
    if (item.type() == ItemType::kWorksheet && !CheckFits(item, path, error)) return false;
  }
  Writer writer(path, error);
  for (size_t i = 0; i < notebook.size() && writer.ok(); ++i) {
    const Item& item = notebook.item(i);
    if (item.type() == ItemType::kReport) {
      const size_t sheet = writer.AddSheet(item.name(), i);
      const std::string& text = item.text();
      int64_t row = 0;
      size_t start = 0;
      while (start < text.size() && writer.ok()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) end = text.size();
        writer.Text(sheet, row++, 0, text.substr(start, end - start),
                    "report \"" + item.name() + "\"");
        // CR LF, CR and LF each end one line.
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
      }
      continue;
    }
    if (item.type() != ItemType::kWorksheet) continue;
    const size_t sheet = writer.AddSheet(item.name(), i);
    for (const auto& [number, column] : item.worksheet()->columns()) {
      if (number < 1) continue;
      const int32_t col = number - 1;
      const std::string where =
          "worksheet \"" + item.name() + "\" column " + std::to_string(number);
      writer.Text(sheet, 0, col, column.title.value_or(""), where);
      if (column.label && *column.label != column.title.value_or("")) {
        writer.Comment(sheet, col, *column.label);
      }
      for (size_t r = 0; r < column.cells.size() && writer.ok(); ++r) {
        const Value& v = column.cells[r];
        const int64_t row = static_cast<int64_t>(r) + 1;
        if (v.IsNumber()) {
          writer.Number(sheet, row, col, v.Number());
        } else if (v.IsText()) {
          writer.Text(sheet, row, col, v.Text(), where);
        }
      }
    }
  }
  const bool ok = writer.Close();
  if (!ok) std::remove(path.c_str());
  return ok;
}

}  // namespace korund::notebook

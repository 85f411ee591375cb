// Writing a notebook as an .xlsx workbook with libxlsxwriter.
//
// libxlsxwriter stores a number with 16 significant digits, which does not
// give every double back. A number that 16 digits would change is written
// as a formula that is just the number with 17 digits, the cached result
// beside it: any reader computes the exact value, and ours reads it from the
// formula.
#include <xlsxwriter.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <set>

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

  lxw_worksheet* AddSheet(const std::string& name, size_t index) {
    if (!ok_) return nullptr;
    lxw_worksheet* sheet =
        workbook_add_worksheet(workbook_, SheetName(name, index, &taken_).c_str());
    if (sheet == nullptr) Fail("cannot add a sheet for \"" + name + "\"");
    return sheet;
  }

  void Text(lxw_worksheet* sheet, int64_t row, int32_t col, const std::string& text,
            const std::string& where) {
    if (!ok_ || text.empty()) return;
    std::string stored = EscapeOoxml(text);
    if (Utf8Length(stored) > kMaxCellChars) {
      Fail(where + " holds a text of more than " + std::to_string(kMaxCellChars) +
           " characters, the most a workbook cell holds");
      return;
    }
    Check(worksheet_write_string(sheet, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(col),
                                 stored.c_str(), nullptr));
  }

  void Number(lxw_worksheet* sheet, int64_t row, int32_t col, double x) {
    if (!ok_ || !std::isfinite(x)) return;
    char shown[40];
    std::snprintf(shown, sizeof shown, "%.16G", x);
    if (std::strtod(shown, nullptr) == x) {
      Check(worksheet_write_number(sheet, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(col),
                                   x, nullptr));
      return;
    }
    char formula[48];
    std::snprintf(formula, sizeof formula, "=%.17G", x);
    Check(worksheet_write_formula_num(sheet, static_cast<lxw_row_t>(row),
                                      static_cast<lxw_col_t>(col), formula, nullptr, x));
  }

  void Comment(lxw_worksheet* sheet, int32_t col, const std::string& text) {
    if (!ok_) return;
    const std::string note = "label: " + text;
    if (Utf8Length(note) > kMaxCellChars) {
      Fail("a column label is longer than a workbook comment can be");
      return;
    }
    Check(worksheet_write_comment(sheet, 0, static_cast<lxw_col_t>(col), note.c_str()));
  }

  void Fail(const std::string& what) {
    if (ok_) *error_ = path_ + ": " + what;
    ok_ = false;
  }

  bool Close() {
    lxw_error status = workbook_close(workbook_);
    workbook_ = nullptr;
    if (ok_ && status != LXW_NO_ERROR) Fail(std::string("cannot write: ") + lxw_strerror(status));
    return ok_;
  }

 private:
  void Check(lxw_error status) {
    if (status != LXW_NO_ERROR) Fail(lxw_strerror(status));
  }

  std::string path_;
  std::string* error_;
  lxw_workbook* workbook_ = nullptr;
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
      lxw_worksheet* sheet = writer.AddSheet(item.name(), i);
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
    lxw_worksheet* sheet = writer.AddSheet(item.name(), i);
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

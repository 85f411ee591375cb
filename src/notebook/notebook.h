// notebook/: the notebook document model -- what a notebook is, for the whole
// program -- and its file formats.
//
// A Notebook owns an ordered list of items: sections, worksheets, reports and
// items of any other type, which are kept as they were read. A worksheet owns
// its sparse columns (numbered from 1 as in the file; column 0 holds the row
// titles), each with an optional title and its cells as Values. Every item,
// column and the notebook itself carry the JSON members this program does not
// know, so that writing a notebook back loses nothing.
//
// The file formats (the JSON notebook file, CSV) live beside this model in
// notebook_file.h and csv.h; the rest of the program reaches a notebook only
// through these headers.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "util/value.h"

namespace korund::notebook {

// Limits that keep a damaged or hostile file from exhausting memory.
inline constexpr int32_t kMaxColumnNumber = 32767;  // 1-based; 0 is the row-title column
inline constexpr int64_t kMaxRowsPerColumn = 1'000'000;
inline constexpr int64_t kMaxCellsPerNotebook = 4'000'000;

// The members of one JSON object of the file as it was read. On save the
// members this program knows are rewritten from the model in their old
// place; all others are written back as the bytes they were. Empty for
// objects made in memory. Never changed once read, so copies share it.
// Opaque outside the file code.
class UnknownMembers {
 public:
  UnknownMembers();
  ~UnknownMembers();
  UnknownMembers(const UnknownMembers& other);
  UnknownMembers& operator=(const UnknownMembers& other);
  UnknownMembers(UnknownMembers&& other) noexcept;
  UnknownMembers& operator=(UnknownMembers&& other) noexcept;

  bool empty() const { return object_ == nullptr; }

  struct Object;  // defined by the file code
  const Object* object() const { return object_.get(); }
  void set_object(std::unique_ptr<Object> object);

 private:
  std::shared_ptr<const Object> object_;
};

// The text a number cell had in the file where it says more than the
// number does: "-0.0" (a zero with its sign) and integers of 2^53 and more
// (all their digits). A token is written back only while its cell still
// holds the number it was read as; a change that moves cells to other
// rows calls Clear(); writing a cell through the Worksheet forgets its
// token. Empty for almost every column.
class CellTokens {
 public:
  bool empty() const { return rows_.empty(); }
  void Clear();
  // Rows are added in increasing order (row >= 1).
  void Add(int32_t row, std::string_view token);
  // Forgets the tokens of rows first..last: their cells are written anew.
  void Forget(int64_t first, int64_t last);

  size_t size() const { return rows_.size(); }
  int32_t row(size_t i) const { return rows_[i].row; }
  std::string_view token(size_t i) const {
    return std::string_view(text_).substr(rows_[i].begin, rows_[i].size);
  }

 private:
  struct Row {
    int32_t row;
    uint32_t begin, size;  // in text_
  };
  std::vector<Row> rows_;
  std::string text_;
};

struct Column {
  std::optional<std::string> title;
  // The name the user gave the data (an imported header, say). Analyses
  // never read or change it; they overwrite the title.
  std::optional<std::string> label;
  // Row 1 first. Cells past the end read as empty values.
  std::vector<Value> cells;
  CellTokens tokens;
  UnknownMembers unknown;
};

class Worksheet {
 public:
  // Columns by number; 0 is the row-title column.
  const std::map<int32_t, Column>& columns() const { return columns_; }
  std::map<int32_t, Column>& columns() { return columns_; }

  const Column* FindColumn(int32_t number) const;
  Column& ColumnAt(int32_t number);  // created empty when missing

  // A cell (row >= 1); an empty value where nothing is stored.
  Value Cell(int32_t column, int32_t row) const;
  // Stores a cell (row >= 1). Trailing empty values are not kept, so storing
  // one past the end changes nothing.
  void SetCell(int32_t column, int32_t row, const Value& value);
  // Rows first_row.. of a column at once: the same as reading or storing
  // the cells one by one, without looking the column up for each.
  void ReadCells(int32_t column, int32_t first_row, size_t count, std::vector<Value>* out) const;
  void SetCells(int32_t column, int32_t first_row, const std::vector<Value>& values);
  // The same for values the caller no longer needs: a column they replace
  // whole takes them instead of a copy.
  void SetCells(int32_t column, int32_t first_row, std::vector<Value>&& values);
  // The column's title, "" when it has none.
  std::string Title(int32_t column) const;
  void SetTitle(int32_t column, const std::string& title);

  // Rows up to the last cell that is neither empty nor the empty text.
  int32_t UsedRows(int32_t column) const;
  // The used column and row counts over columns 1 and up (0, 0 when no cell
  // holds anything): the last column and the last row with a non-blank cell.
  void UsedSize(int32_t* columns, int32_t* rows) const;
  // Cells stored in all columns, counted to each column's end.
  int64_t CellCount() const;

 private:
  std::map<int32_t, Column> columns_;
};

enum class ItemType { kSection, kWorksheet, kReport, kOther };

class Item {
 public:
  // type_word: the type as stored; for known types it follows from `type`.
  Item(ItemType type, std::string name, std::string type_word = "");
  Item(const Item& other);
  Item& operator=(const Item& other) = delete;

  ItemType type() const { return type_; }
  // "section", "worksheet", "report", or the unknown type as stored.
  const std::string& type_word() const { return type_word_; }
  const std::string& name() const { return name_; }
  void set_name(std::string name) { name_ = std::move(name); }
  // Report items: their text ("" for others).
  const std::string& text() const { return text_; }
  void set_text(std::string text) { text_ = std::move(text); }
  // Worksheet items: their cells; nullptr for other items.
  Worksheet* worksheet() { return worksheet_.get(); }
  const Worksheet* worksheet() const { return worksheet_.get(); }

  // Worksheet items: which analysis last wrote results here and a digest of
  // the cells it read ("weibull:0123456789abcdef"); "" when none is known.
  const std::string& analysis() const { return analysis_; }
  void set_analysis(std::string stamp) { analysis_ = std::move(stamp); }

  UnknownMembers& unknown() { return unknown_; }
  const UnknownMembers& unknown() const { return unknown_; }

 private:
  ItemType type_;
  std::string type_word_;
  std::string name_;
  std::string text_;
  std::unique_ptr<Worksheet> worksheet_;
  std::string analysis_;
  UnknownMembers unknown_;
};

class Notebook {
 public:
  Notebook() = default;
  Notebook(const Notebook& other);  // a deep copy
  Notebook& operator=(const Notebook& other);
  Notebook(Notebook&&) noexcept = default;
  Notebook& operator=(Notebook&&) noexcept = default;

  // Items keep their addresses while they are in the notebook.
  size_t size() const { return items_.size(); }
  Item& item(size_t index) { return *items_[index]; }
  const Item& item(size_t index) const { return *items_[index]; }

  // The first item of that name, or nullptr.
  Item* Find(std::string_view name);
  const Item* Find(std::string_view name) const;
  // The first item of that name if it is a worksheet, else nullptr.
  Item* FindWorksheet(std::string_view name);

  // Appends an item and returns it.
  Item& AddSection(const std::string& name);
  Item& AddWorksheet(const std::string& name);
  Item& AddReport(const std::string& name, const std::string& text);
  // Inserts before position index (size() appends) and returns it.
  Item& Insert(size_t index, std::unique_ptr<Item> item);
  void Remove(size_t index);

  // The stored current worksheet's name (the host's current worksheet).
  const std::optional<std::string>& current() const { return current_; }
  void set_current(std::optional<std::string> name) { current_ = std::move(name); }

  UnknownMembers& unknown() { return unknown_; }
  const UnknownMembers& unknown() const { return unknown_; }

 private:
  std::vector<std::unique_ptr<Item>> items_;
  std::optional<std::string> current_;
  UnknownMembers unknown_;
};

// The worksheet a command works on: the one named, or the current one when
// name is "". nullptr with *error ("FILE: ...", file naming the notebook)
// when there is none.
Item* ChooseWorksheet(Notebook& notebook, const std::string& name, const std::string& file,
                      std::string* error);

// For error texts: "its worksheets: "Data 1", "Data 2"" (the first ten, then
// how many more), or "it has no worksheet".
std::string WorksheetList(const Notebook& notebook);

}  // namespace korund::notebook

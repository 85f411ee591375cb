#include "notebook/notebook.h"

#include <algorithm>

#include "notebook/json_text.h"
#include "notebook/unknown_members.h"

namespace korund::notebook {

// --- UnknownMembers ---------------------------------------------------------

UnknownMembers::UnknownMembers() = default;
UnknownMembers::~UnknownMembers() = default;
UnknownMembers::UnknownMembers(UnknownMembers&& other) noexcept = default;
UnknownMembers& UnknownMembers::operator=(UnknownMembers&& other) noexcept = default;

UnknownMembers::UnknownMembers(const UnknownMembers& other) = default;
UnknownMembers& UnknownMembers::operator=(const UnknownMembers& other) = default;

void UnknownMembers::set_object(std::unique_ptr<Object> object) { object_ = std::move(object); }

// --- CellTokens -------------------------------------------------------------

void CellTokens::Clear() {
  rows_.clear();
  text_.clear();
}

void CellTokens::Forget(int64_t first, int64_t last) {
  std::erase_if(rows_, [&](const Row& r) { return r.row >= first && r.row <= last; });
  if (rows_.empty()) text_.clear();
}

void CellTokens::Add(int32_t row, std::string_view token) {
  rows_.push_back({row, static_cast<uint32_t>(text_.size()), static_cast<uint32_t>(token.size())});
  text_.append(token);
}

// --- Worksheet --------------------------------------------------------------

const Column* Worksheet::FindColumn(int32_t number) const {
  auto it = columns_.find(number);
  return it == columns_.end() ? nullptr : &it->second;
}

Column& Worksheet::ColumnAt(int32_t number) { return columns_[number]; }

Value Worksheet::Cell(int32_t column, int32_t row) const {
  const Column* c = FindColumn(column);
  if (c == nullptr || row < 1 || row > static_cast<int64_t>(c->cells.size())) return Value();
  return c->cells[static_cast<size_t>(row) - 1];
}

void Worksheet::SetCell(int32_t column, int32_t row, const Value& value) {
  if (row < 1) return;
  Column& c = columns_[column];
  if (!c.tokens.empty()) c.tokens.Forget(row, row);
  const size_t index = static_cast<size_t>(row) - 1;
  if (index >= c.cells.size()) {
    if (value.IsEmpty()) return;  // nothing to store beyond the end
    c.cells.resize(index + 1);
  }
  c.cells[index] = value;
  while (!c.cells.empty() && c.cells.back().IsEmpty()) c.cells.pop_back();
}

void Worksheet::ReadCells(int32_t column, int32_t first_row, size_t count,
                          std::vector<Value>* out) const {
  const Column* c = FindColumn(column);
  out->reserve(out->size() + count);
  for (size_t i = 0; i < count; ++i) {
    const int64_t row = first_row + static_cast<int64_t>(i);
    if (c == nullptr || row < 1 || row > static_cast<int64_t>(c->cells.size())) {
      out->emplace_back();
    } else {
      out->push_back(c->cells[static_cast<size_t>(row) - 1]);
    }
  }
}

void Worksheet::SetCells(int32_t column, int32_t first_row, const std::vector<Value>& values) {
  if (values.empty()) return;
  Column& c = columns_[column];  // created, as a first SetCell would
  if (!c.tokens.empty()) {
    c.tokens.Forget(first_row, int64_t{first_row} + static_cast<int64_t>(values.size()) - 1);
  }
  // Values for rows before the first are not set.
  const size_t skip =
      first_row < 1 ? std::min(values.size(), static_cast<size_t>(1 - int64_t{first_row})) : 0;
  const size_t base = first_row < 1 ? 0 : static_cast<size_t>(first_row) - 1;  // values[skip]'s index
  // The column grows once, to the last value that is not empty, as the
  // cells set one by one would have grown it.
  size_t end = values.size();
  while (end > skip && values[end - 1].IsEmpty()) --end;
  if (end > skip && base + (end - skip) > c.cells.size()) c.cells.resize(base + (end - skip));
  for (size_t i = skip; i < values.size(); ++i) {
    const size_t index = base + (i - skip);
    if (index >= c.cells.size()) break;  // only empty values are left
    c.cells[index] = values[i];
  }
  while (!c.cells.empty() && c.cells.back().IsEmpty()) c.cells.pop_back();
}

void Worksheet::SetCells(int32_t column, int32_t first_row, std::vector<Value>&& values) {
  const std::vector<Value>& to_copy = values;
  if (values.empty() || first_row != 1) return SetCells(column, first_row, to_copy);
  size_t end = values.size();
  while (end > 0 && values[end - 1].IsEmpty()) --end;
  Column& c = columns_[column];
  // Values that overwrite every stored cell become the column, without
  // their trailing empty ones; others are copied in.
  if (end == 0 || end < c.cells.size()) return SetCells(column, first_row, to_copy);
  values.resize(end);
  c.cells = std::move(values);
  c.tokens.Clear();
}

std::string Worksheet::Title(int32_t column) const {
  const Column* c = FindColumn(column);
  return c == nullptr ? std::string() : c->title.value_or("");
}

void Worksheet::SetTitle(int32_t column, const std::string& title) { columns_[column].title = title; }

int32_t Worksheet::UsedRows(int32_t column) const {
  const Column* c = FindColumn(column);
  if (c == nullptr) return 0;
  size_t used = c->cells.size();
  while (used > 0 && c->cells[used - 1].IsBlank()) --used;
  return static_cast<int32_t>(used);
}

void Worksheet::UsedSize(int32_t* columns, int32_t* rows) const {
  *columns = 0;
  *rows = 0;
  for (const auto& [number, column] : columns_) {
    if (number < 1) continue;
    const int32_t used = UsedRows(number);
    if (used > 0) {
      *columns = std::max(*columns, number);
      *rows = std::max(*rows, used);
    }
  }
}

int64_t Worksheet::CellCount() const {
  int64_t total = 0;
  for (const auto& [number, column] : columns_) total += static_cast<int64_t>(column.cells.size());
  return total;
}

// --- Item -------------------------------------------------------------------

namespace {

std::string KnownTypeWord(ItemType type) {
  switch (type) {
    case ItemType::kSection: return "section";
    case ItemType::kWorksheet: return "worksheet";
    case ItemType::kReport: return "report";
    case ItemType::kOther: break;
  }
  return "";
}

}  // namespace

Item::Item(ItemType type, std::string name, std::string type_word)
    : type_(type),
      type_word_(type == ItemType::kOther ? std::move(type_word) : KnownTypeWord(type)),
      name_(std::move(name)) {
  if (type_ == ItemType::kWorksheet) worksheet_ = std::make_unique<Worksheet>();
}

Item::Item(const Item& other)
    : type_(other.type_),
      type_word_(other.type_word_),
      name_(other.name_),
      text_(other.text_),
      worksheet_(other.worksheet_ ? std::make_unique<Worksheet>(*other.worksheet_) : nullptr),
      analysis_(other.analysis_),
      unknown_(other.unknown_) {}

// --- Notebook ---------------------------------------------------------------

Notebook::Notebook(const Notebook& other) : current_(other.current_), unknown_(other.unknown_) {
  items_.reserve(other.items_.size());
  for (const auto& item : other.items_) items_.push_back(std::make_unique<Item>(*item));
}

Notebook& Notebook::operator=(const Notebook& other) {
  if (this != &other) *this = Notebook(other);
  return *this;
}

Item* Notebook::Find(std::string_view name) {
  for (auto& item : items_) {
    if (item->name() == name) return item.get();
  }
  return nullptr;
}

const Item* Notebook::Find(std::string_view name) const {
  return const_cast<Notebook*>(this)->Find(name);
}

Item* Notebook::FindWorksheet(std::string_view name) {
  Item* item = Find(name);
  return item != nullptr && item->type() == ItemType::kWorksheet ? item : nullptr;
}

Item& Notebook::AddSection(const std::string& name) {
  return Insert(items_.size(), std::make_unique<Item>(ItemType::kSection, name));
}

Item& Notebook::AddWorksheet(const std::string& name) {
  return Insert(items_.size(), std::make_unique<Item>(ItemType::kWorksheet, name));
}

Item& Notebook::AddReport(const std::string& name, const std::string& text) {
  Item& item = Insert(items_.size(), std::make_unique<Item>(ItemType::kReport, name));
  item.set_text(text);
  return item;
}

Item& Notebook::Insert(size_t index, std::unique_ptr<Item> item) {
  index = std::min(index, items_.size());
  auto it = items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(index), std::move(item));
  return **it;
}

void Notebook::Remove(size_t index) {
  if (index < items_.size()) items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(index));
}

Item* ChooseWorksheet(Notebook& notebook, const std::string& name, const std::string& file,
                      std::string* error) {
  const std::string wanted = name.empty() ? notebook.current().value_or("") : name;
  if (wanted.empty()) {
    *error = file + ": no worksheet is current in the notebook (name one with --worksheet); " +
             WorksheetList(notebook);
    return nullptr;
  }
  if (Item* sheet = notebook.FindWorksheet(wanted)) return sheet;
  if (const Item* other = notebook.Find(wanted)) {
    *error = file + ": \"" + wanted + "\" is a " + other->type_word() + ", not a worksheet";
  } else if (name.empty()) {
    *error = file + ": the current worksheet \"" + wanted + "\" does not exist";
  } else {
    *error = file + ": there is no worksheet named \"" + wanted + "\"";
  }
  *error += "; " + WorksheetList(notebook);
  return nullptr;
}

std::string WorksheetList(const Notebook& notebook) {
  constexpr size_t kNamed = 10;
  std::string list;
  size_t count = 0;
  for (size_t i = 0; i < notebook.size(); ++i) {
    const Item& item = notebook.item(i);
    if (item.type() != ItemType::kWorksheet) continue;
    if (++count <= kNamed) list += (count > 1 ? ", " : "") + QuoteForError(item.name());
  }
  if (count == 0) return "it has no worksheet";
  if (count > kNamed) list += " and " + std::to_string(count - kNamed) + " more";
  return "its worksheets: " + list;
}

}  // namespace korund::notebook

// Reading the notebook file straight into the model.
//
// The JSON events (json_events.h) arrive one per token; the handler below
// keeps a stack of what is open (the top object, the items list, an item,
// its columns, a column, its cells, or a value this program does not know)
// and routes every value to its place: cells into the worksheet, known
// members into the model, all other members as the bytes they were in the
// file into the UnknownMembers of the object that holds them (the events
// mark where each token begins and each container ends, so a kept value is
// cut from the text once it has ended). Number cells whose text says more
// than their double (a zero's sign, an integer's digits beyond 2^53) keep
// that text too. No tree of the whole file is built, so time is linear in
// the file's size and memory stays near the size of what is kept; the cell
// limits are checked while the cells arrive, before they are stored.
//
// Faults of the text itself (bad JSON, a number outside double range, a
// duplicate key, too deep nesting, an overlong string) stop the parse at
// once. Faults of the notebook's shape are noted and the parse runs on, so
// that a JSON fault anywhere is reported first, then the top level's
// members, then the first bad item.
#include <array>
#include <cmath>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "notebook/json_events.h"
#include "notebook/json_text.h"
#include "notebook/notebook_file.h"
#include "notebook/unknown_members.h"

namespace korund::notebook {
namespace {

// Deeper nesting than this is no notebook.
constexpr size_t kMaxDepth = 200;
// A bad cell's text in an error is cut; keep no more of it than that needs.
constexpr size_t kBadCellTextCap = 256;

const char kUtf8Bom[] = "\xEF\xBB\xBF";

// What is open, from the top object down.
enum class Kind { kTop, kItems, kItem, kColumns, kColumn, kCells, kCapture, kSkip };

// A member the model reads (a name, a title): what kind of value it had.
struct Known {
  enum State { kMissing, kNull, kString, kOther };
  State state = kMissing;
  std::string text;
};

// The text members the model reads, one row each: the object they are in,
// their key, and for a column the field they fill (a column's text member
// must be a string or null). The members that hold the model's bulk
// (items, columns, cells) and "version" are read by code of their own.
struct KnownMember {
  Kind scope;
  std::string_view key;
  std::optional<std::string> Column::*column_field = nullptr;
};
constexpr KnownMember kKnownMembers[] = {
    {Kind::kTop, "format"},
    {Kind::kTop, "current"},
    {Kind::kItem, "type"},
    {Kind::kItem, "name"},
    {Kind::kItem, "text"},
    {Kind::kItem, "analysis"},
    {Kind::kColumn, "title", &Column::title},
    {Kind::kColumn, "label", &Column::label},
};
constexpr size_t kKnownCount = std::size(kKnownMembers);
// The rows that code reads by name.
enum KnownRow : size_t { kFormat, kCurrent, kType, kName, kText, kAnalysis };
static_assert(kKnownMembers[kFormat].key == "format" && kKnownMembers[kCurrent].key == "current" &&
              kKnownMembers[kType].key == "type" && kKnownMembers[kName].key == "name" &&
              kKnownMembers[kText].key == "text" && kKnownMembers[kAnalysis].key == "analysis");

// The row of a known member, or kKnownCount.
size_t FindKnown(Kind scope, std::string_view key) {
  for (size_t i = 0; i < kKnownCount; ++i) {
    if (kKnownMembers[i].scope == scope && kKnownMembers[i].key == key) return i;
  }
  return kKnownCount;
}

// "item 3 ("Data 1")" for error texts; items are counted from 1.
std::string ItemLabel(size_t index, const std::string& name) {
  std::string label = "item " + std::to_string(index + 1);
  if (!name.empty()) label += " (" + QuoteForError(name) + ")";
  return label;
}

// Column keys are canonical decimal numbers: "0" or no leading zero.
std::optional<int32_t> ParseColumnKey(const std::string& key) {
  if (key.empty() || key.size() > 5) return std::nullopt;
  int32_t n = 0;
  for (char ch : key) {
    if (ch < '0' || ch > '9') return std::nullopt;
    n = n * 10 + (ch - '0');
  }
  if (key.size() > 1 && key[0] == '0') return std::nullopt;
  if (n > kMaxColumnNumber) return std::nullopt;
  return n;
}

using MemberList = std::vector<UnknownMembers::Object::Member>;

UnknownMembers Keep(MemberList members) {
  UnknownMembers kept;
  auto object = std::make_unique<UnknownMembers::Object>();
  object->members = std::move(members);
  kept.set_object(std::move(object));
  return kept;
}

// The end of the string token at text[pos] (its opening quote); the text
// has been read as JSON already.
size_t StringEnd(std::string_view text, size_t pos) {
  for (size_t i = pos + 1; i < text.size(); ++i) {
    if (text[i] == '\\') {
      ++i;
    } else if (text[i] == '"') {
      return i + 1;
    }
  }
  return text.size();
}

// The end of the scalar token (a string, number or literal) at text[pos].
size_t ScalarEnd(std::string_view text, size_t pos) {
  if (pos < text.size() && text[pos] == '"') return StringEnd(text, pos);
  size_t i = pos;
  while (i < text.size() &&
         ((text[i] >= '0' && text[i] <= '9') || (text[i] >= 'a' && text[i] <= 'z') ||
          text[i] == '-' || text[i] == '+' || text[i] == '.' || text[i] == 'E')) {
    ++i;
  }
  return i;
}

// Integers from here on may not be doubles, and a double's text there is
// not the integer's digits.
constexpr double kExactIntegers = 9007199254740992.0;  // 2^53

// What a value is, as the handler routes it.
enum class Token { kNull, kBool, kInt, kUint, kDouble, kString, kObject, kArray };

bool IsContainer(Token t) { return t == Token::kObject || t == Token::kArray; }

class NotebookSax {
 public:
  NotebookSax(std::string_view text, const std::string& name) : text_(text), name_(name) {}

  // The error text of a failed parse; "" after a good one.
  std::string Finish(bool parsed) {
    if (!parsed) return hard_error_.empty() ? name_ + ": not valid JSON" : hard_error_;
    if (!top_error_.empty()) return top_error_;
    return item_error_;
  }

  // The notebook read, once Finish() gave "".
  Notebook& fresh() { return fresh_; }

  // --- JSON events ---------------------------------------------------------

  bool Null() { return OnValue(Token::kNull); }
  bool Bool(bool b) {
    bool_ = b;
    return OnValue(Token::kBool);
  }
  bool Integer(int64_t n) {
    int_ = n;
    return OnValue(Token::kInt);
  }
  bool Unsigned(uint64_t n) {
    uint_ = n;
    return OnValue(Token::kUint);
  }
  bool Double(double x) {
    double_ = x;
    return OnValue(Token::kDouble);
  }
  bool String(std::string& s) {
    if (s.size() > kMaxStringBytes) return TooLong();
    string_ = &s;
    return OnValue(Token::kString);
  }
  bool StartObject() { return OnValue(Token::kObject); }
  bool StartArray() { return OnValue(Token::kArray); }
  bool EndObject() { return EndContainer(); }
  bool EndArray() { return EndContainer(); }
  bool Key(std::string& k);
  void Mark(size_t offset) { mark_ = offset; }
  // The text is no JSON: the fault lies in the value after the last one
  // begun.
  bool Fault(const std::string& problem) { return Hard(Place(true), problem); }

 private:
  struct Frame {
    Kind kind = Kind::kSkip;
    bool is_object = false;
    int64_t count = 0;  // members or elements begun
    size_t begin = 0;   // where the container's text starts
    std::string key;    // the member being read
    size_t key_begin = 0;  // where its key's token starts
    KeySet keys;
  };

  // The item being read. Its type may come after its other members, so the
  // item is built at its end.
  struct ItemState {
    size_t index = 0;
    MemberList members;
    Worksheet sheet;
    // "columns" read before the type was known: its place in members.
    bool columns_deferred = false;
    size_t columns_member = 0;
    // The first fault found inside the item, after ItemLabel(...) or bare.
    std::string fault;
    bool fault_labelled = true;
  };

  struct ColumnState {
    int32_t number = 0;
    std::string key;
    MemberList members;
    std::vector<Value> cells;
    CellTokens tokens;
    std::string bad_cell;  // the first cell that is no cell, as text
    int64_t bad_row = 0;
  };

  const Known& known(KnownRow row) const { return known_[row]; }
  bool IsWorksheet() const {
    return known(kType).state == Known::kString && known(kType).text == "worksheet";
  }
  bool failed() const { return !item_error_.empty() || !top_error_.empty(); }

  // Forgets the known members of one scope, at the start of an object.
  void ResetKnown(Kind scope) {
    for (size_t i = 0; i < kKnownCount; ++i) {
      if (kKnownMembers[i].scope == scope) known_[i] = Known();
    }
  }

  // --- errors --------------------------------------------------------------

  std::string Place(bool pending) const;
  bool Hard(const std::string& place, const std::string& problem) {
    if (hard_error_.empty()) {
      hard_error_ = name_ + ": " + (place.empty() ? "" : place + ": ") + problem;
    }
    return false;
  }
  bool TooLong() {
    return Hard(Place(true), "a text longer than " + std::to_string(kMaxStringBytes) +
                                 " bytes (the limit is 1 MB)");
  }
  bool TooDeep() {
    return Hard(Place(false), "not a korund notebook (nested deeper than " +
                                  std::to_string(kMaxDepth) + " levels)");
  }
  // A fault of the item being read; the first one counts.
  void ItemFault(std::string text, bool labelled = true) {
    if (!item_.fault.empty()) return;
    item_.fault = std::move(text);
    item_.fault_labelled = labelled;
  }
  void ColumnFault(const std::string& text) { ItemFault(", column " + column_.key + text); }
  void NoteItemNotObject(size_t index) {
    if (item_error_.empty())
      item_error_ = name_ + ": " + ItemLabel(index, "") + " is not an object";
  }

  // --- canonical text of kept values ---------------------------------------

  bool SinkFull() const { return sink_ == &column_.bad_cell && sink_->size() > kBadCellTextCap; }
  void Emit(std::string_view text) {
    if (sink_ != nullptr && !SinkFull()) sink_->append(text);
  }
  void EmitScalar(Token token);
  // Emits a value: a scalar whole, a container's opening (its frame, a
  // capture, is pushed).
  void EmitValue(Token token) {
    if (!IsContainer(token)) return EmitScalar(token);
    Emit(token == Token::kObject ? "{" : "[");
    Push(Kind::kCapture, token == Token::kObject);
  }
  // Starts a kept member "key" in the members of a known object, its key as
  // written or, for a member the model holds (model_key), in plain form.
  // The value that follows goes there (KeepValue) unless the model holds it.
  void BeginMember(MemberList* members, const std::string& key, bool model_key) {
    sink_ = nullptr;
    capture_ = failed() ? nullptr : members;
    if (capture_ == nullptr) return;
    UnknownMembers::Object::Member member;
    if (model_key) {
      AppendJsonString(&member.key, key);
    } else {
      const size_t begin = frames_.back().key_begin;
      member.key = text_.substr(begin, StringEnd(text_, begin) - begin);
    }
    members->push_back(std::move(member));
  }
  // The value of the member just begun: a scalar's token at once, a
  // container's text when it ends (its frame, a capture, is pushed).
  void KeepValue(Token token) {
    if (IsContainer(token)) {
      Push(Kind::kCapture, token == Token::kObject);
      frames_.back().begin = mark_;
      return;
    }
    if (capture_ != nullptr) {
      capture_->back().value = text_.substr(mark_, ScalarEnd(text_, mark_) - mark_);
    }
    capture_ = nullptr;
  }
  // Keeps a number cell's token when it says more than the cell's double:
  // a zero's sign ("-0", "-0.0"; not in exponent form) or an integer's
  // digits from 2^53 on.
  void NoteCellToken(int64_t row, Token token) {
    bool keep = false;
    if (token == Token::kInt) {
      keep = int_ == 0 || static_cast<double>(int_) <= -kExactIntegers;  // "-0"
    } else if (token == Token::kUint) {
      keep = static_cast<double>(uint_) >= kExactIntegers;
    } else {
      keep = double_ == 0 ? std::signbit(double_) : std::fabs(double_) >= kExactIntegers;
    }
    if (!keep) return;
    const std::string_view number = text_.substr(mark_, ScalarEnd(text_, mark_) - mark_);
    const bool kept = token != Token::kDouble ||
                      number.find_first_of(double_ == 0 ? "eE" : ".eE") == std::string_view::npos;
    if (kept) {
      column_.tokens.Add(static_cast<int32_t>(row), number);
    }
  }

  // --- values --------------------------------------------------------------

  void Push(Kind kind, bool is_object) {
    frames_.emplace_back();
    frames_.back().kind = kind;
    frames_.back().is_object = is_object;
  }
  bool OnValue(Token token);
  bool ValueAtRoot(Token token);
  void ValueInTop(const std::string& key, Token token);
  void ValueInItems(Frame* items, Token token);
  void ValueInItem(const std::string& key, Token token);
  void ValueInColumns(const std::string& key, Token token);
  void ValueInColumn(const std::string& key, Token token);
  void ValueInCells(Frame* cells, Token token);
  // A known member's value: its state, and a column's fault.
  void NoteKnown(size_t row, Token token);
  void ColumnsPlaceholder();
  void BeginItemMember(const std::string& key);
  bool CheckColumnKey(const std::string& key);

  bool EndContainer();
  void EndCells(int64_t rows);
  void EndColumn();
  bool EndItem();
  bool RereadColumns();
  std::string ItemShapeFault(ItemType type, const std::string& type_word);
  void EndTop();

  std::string_view text_;  // the text being read, where marks point
  const std::string& name_;
  Notebook fresh_;
  std::vector<Frame> frames_;
  std::string* sink_ = nullptr;  // where a bad cell's text goes
  size_t mark_ = 0;              // where the last token began
  // The members whose last one takes the value being read, if kept.
  MemberList* capture_ = nullptr;

  // The token being routed.
  bool bool_ = false;
  int64_t int_ = 0;
  uint64_t uint_ = 0;
  double double_ = 0;
  std::string* string_ = nullptr;

  // The top level.
  MemberList top_members_;
  bool version_is_integer_ = false;
  int64_t version_ = 0;
  std::string version_text_;
  enum { kItemsMissing, kItemsBad, kItemsList } items_state_ = kItemsMissing;

  std::array<Known, kKnownCount> known_;
  ItemState item_;
  ColumnState column_;
  bool in_item_ = false, in_column_ = false, in_cells_ = false;
  bool rereading_columns_ = false;
  int64_t cells_frame_count_ = 0;
  int64_t total_cells_ = 0;

  std::string hard_error_, top_error_, item_error_;
};

bool NotebookSax::Key(std::string& k) {
  if (k.size() > kMaxStringBytes) return TooLong();
  Frame& frame = frames_.back();
  if (!frame.keys.Add(k)) {
    return Hard(Place(false), "the member " + QuoteForError(k) + " appears twice");
  }
  if (frame.kind == Kind::kCapture) {
    if (frame.count > 0) Emit(",");
    if (sink_ != nullptr && !SinkFull()) AppendJsonString(sink_, k);
    Emit(":");
  }
  ++frame.count;
  frame.key = k;
  frame.key_begin = mark_;
  return true;
}

// Where the parse is, for error texts. pending: the fault lies in the value
// after the last one begun (a JSON fault is found before its value).
std::string NotebookSax::Place(bool pending) const {
  std::string place;
  if (in_item_) {
    place = ItemLabel(item_.index, known(kName).state == Known::kString ? known(kName).text : "");
  } else if (pending && !frames_.empty() && frames_.back().kind == Kind::kItems) {
    place = ItemLabel(static_cast<size_t>(frames_.back().count), "");
  }
  if (in_column_) place += ", column " + column_.key;
  if (in_cells_) {
    int64_t row = cells_frame_count_ + (pending && frames_.back().kind == Kind::kCells ? 1 : 0);
    place += ", row " + std::to_string(row);
  }
  return place;
}

void NotebookSax::EmitScalar(Token token) {
  if (sink_ == nullptr || SinkFull()) return;
  switch (token) {
    case Token::kNull:
      Emit("null");
      break;
    case Token::kBool:
      Emit(bool_ ? "true" : "false");
      break;
    case Token::kInt:
      AppendJsonInteger(sink_, int_);
      break;
    case Token::kUint:
      AppendJsonUnsigned(sink_, uint_);
      break;
    case Token::kDouble:
      AppendJsonDouble(sink_, double_);
      break;
    case Token::kString:
      AppendJsonString(sink_, *string_);
      break;
    case Token::kObject:
    case Token::kArray:
      break;
  }
}

// Routes one value (a scalar, or the start of an object or a list) to the
// place its parent gives it.
bool NotebookSax::OnValue(Token token) {
  if (frames_.size() > kMaxDepth) return TooDeep();
  if (frames_.empty()) return ValueAtRoot(token);
  Frame& parent = frames_.back();
  switch (parent.kind) {
    case Kind::kCapture:
      if (!parent.is_object) {
        if (parent.count > 0) Emit(",");
        ++parent.count;
      }
      EmitValue(token);
      break;
    case Kind::kSkip:
      if (IsContainer(token)) Push(Kind::kSkip, token == Token::kObject);
      break;
    case Kind::kTop:
      ValueInTop(std::string(parent.key), token);
      break;
    case Kind::kItems:
      ValueInItems(&parent, token);
      break;
    case Kind::kItem:
      ValueInItem(std::string(parent.key), token);
      break;
    case Kind::kColumns:
      ValueInColumns(std::string(parent.key), token);
      break;
    case Kind::kColumn:
      ValueInColumn(std::string(parent.key), token);
      break;
    case Kind::kCells:
      ValueInCells(&parent, token);
      break;
  }
  return true;
}

bool NotebookSax::ValueAtRoot(Token token) {
  if (token == Token::kObject) {
    Push(Kind::kTop, true);
    return true;
  }
  top_error_ = name_ + ": not a korund notebook (the file is not a JSON object)";
  if (token == Token::kArray) Push(Kind::kSkip, false);
  return true;
}

void NotebookSax::NoteKnown(size_t row, Token token) {
  Known& known = known_[row];
  if (token == Token::kNull) {
    known.state = Known::kNull;
  } else if (token == Token::kString) {
    known.state = Known::kString;
    known.text = *string_;
  } else {
    known.state = Known::kOther;
  }
  if (known.state == Known::kOther && kKnownMembers[row].scope == Kind::kColumn) {
    ColumnFault(": \"" + std::string(kKnownMembers[row].key) + "\" must be a string");
  }
}

void NotebookSax::ValueInTop(const std::string& key, Token token) {
  if (key == "items") {
    items_state_ = token == Token::kArray ? kItemsList : kItemsBad;
    if (token == Token::kArray) Push(Kind::kItems, false);
    if (token == Token::kObject) Push(Kind::kSkip, true);
    return;
  }
  const size_t row = FindKnown(Kind::kTop, key);
  BeginMember(&top_members_, key, row < kKnownCount);
  KeepValue(token);
  if (row < kKnownCount) NoteKnown(row, token);
  if (key == "version") {
    version_is_integer_ = token == Token::kInt || token == Token::kUint;
    if (IsContainer(token)) return;
    version_ = token == Token::kInt ? int_ : static_cast<int64_t>(uint_);
    version_text_.clear();
    std::string* saved = sink_;
    sink_ = &version_text_;
    EmitScalar(token);
    sink_ = saved;
  }
}

void NotebookSax::ValueInItems(Frame* items, Token token) {
  ++items->count;
  const auto index = static_cast<size_t>(items->count - 1);
  if (token != Token::kObject) {
    NoteItemNotObject(index);
    if (token == Token::kArray) Push(Kind::kSkip, false);
    return;
  }
  item_ = ItemState();
  ResetKnown(Kind::kItem);
  item_.index = index;
  in_item_ = true;
  Push(Kind::kItem, true);
}

void NotebookSax::ValueInItem(const std::string& key, Token token) {
  if (key == "columns" && IsWorksheet()) {
    ColumnsPlaceholder();
    if (token == Token::kObject) {
      Push(Kind::kColumns, true);
      return;
    }
    if (token != Token::kNull) ItemFault(": \"columns\" must be an object");
    if (token == Token::kArray) Push(Kind::kSkip, false);
    return;
  }
  BeginItemMember(key);
  KeepValue(token);
  const size_t row = FindKnown(Kind::kItem, key);
  if (row < kKnownCount) NoteKnown(row, token);
}

void NotebookSax::ValueInColumns(const std::string& key, Token token) {
  if (token != Token::kObject) {
    if (CheckColumnKey(key)) ItemFault(", column " + key + " is not an object");
    if (token == Token::kArray) Push(Kind::kSkip, false);
    return;
  }
  if (!CheckColumnKey(key)) {
    Push(Kind::kSkip, true);
    return;
  }
  column_ = ColumnState();
  ResetKnown(Kind::kColumn);
  column_.number = *ParseColumnKey(key);
  column_.key = key;
  in_column_ = true;
  Push(Kind::kColumn, true);
}

void NotebookSax::ValueInColumn(const std::string& key, Token token) {
  if (key == "cells") {
    BeginMember(&column_.members, "cells", true);
    capture_ = nullptr;  // the model holds the cells
    if (token == Token::kArray) {
      in_cells_ = true;
      cells_frame_count_ = 0;
      Push(Kind::kCells, false);
      return;
    }
    if (token != Token::kNull) ColumnFault(": \"cells\" must be a list");
    if (token == Token::kObject) Push(Kind::kSkip, true);
    return;
  }
  const size_t row = FindKnown(Kind::kColumn, key);
  if (row < kKnownCount) NoteKnown(row, token);
  BeginMember(&column_.members, key, row < kKnownCount);
  KeepValue(token);
}

// A cell of the column being read.
void NotebookSax::ValueInCells(Frame* cells, Token token) {
  const int64_t row = ++cells->count;
  cells_frame_count_ = row;
  if (IsContainer(token)) {
    // No cell: its text (the first one only) goes into the column's fault.
    if (column_.bad_row == 0) {
      column_.bad_row = row;
      column_.bad_cell.clear();
      sink_ = &column_.bad_cell;
    } else {
      sink_ = nullptr;
    }
    EmitValue(token);
    return;
  }
  // Cells past a limit are counted, never stored: the column is refused.
  if (failed() || !item_.fault.empty() || row > kMaxRowsPerColumn ||
      total_cells_ + row > kMaxCellsPerNotebook) {
    return;
  }
  switch (token) {
    case Token::kNull:
      column_.cells.emplace_back();
      break;
    case Token::kBool:
      column_.cells.push_back(Value::Bool(bool_));
      break;  // the worksheet's -1 / 0
    case Token::kInt:
      column_.cells.emplace_back(static_cast<double>(int_));
      if (int_ == 0 || int_ <= -(int64_t{1} << 53)) NoteCellToken(row, token);
      break;
    case Token::kUint:
      column_.cells.emplace_back(static_cast<double>(uint_));
      if (uint_ >= (uint64_t{1} << 53)) NoteCellToken(row, token);
      break;
    case Token::kDouble:
      column_.cells.emplace_back(double_);
      if (double_ == 0 || std::fabs(double_) >= kExactIntegers) NoteCellToken(row, token);
      break;
    case Token::kString:
      column_.cells.emplace_back(std::move(*string_));
      break;
    case Token::kObject:
    case Token::kArray:
      break;
  }
}

// A worksheet's "columns" is kept as null in its place: the model holds
// the columns. A second reading of deferred columns already left it there.
void NotebookSax::ColumnsPlaceholder() {
  if (!rereading_columns_) BeginMember(&item_.members, "columns", true);
  capture_ = nullptr;
}

// False (and the fault noted) when a key of "columns" is no column number.
bool NotebookSax::CheckColumnKey(const std::string& key) {
  if (ParseColumnKey(key)) return true;
  ItemFault(": column key " + QuoteForError(key) + " is not a column number (0 to " +
            std::to_string(kMaxColumnNumber) + ")");
  return false;
}

// An item member kept as text; "columns" before the type is known is
// marked so that a worksheet can read it at the item's end.
void NotebookSax::BeginItemMember(const std::string& key) {
  BeginMember(&item_.members, key, key == "columns" || FindKnown(Kind::kItem, key) < kKnownCount);
  if (key == "columns" && known(kType).state == Known::kMissing) {
    item_.columns_deferred = capture_ != nullptr;
    item_.columns_member = item_.members.size() - 1;
  }
}

bool NotebookSax::EndContainer() {
  const Kind kind = frames_.back().kind;
  const bool is_object = frames_.back().is_object;
  const int64_t count = frames_.back().count;
  const size_t begin = frames_.back().begin;
  frames_.pop_back();
  switch (kind) {
    case Kind::kCapture:
      Emit(is_object ? "}" : "]");
      if (capture_ != nullptr && !frames_.empty() && frames_.back().kind != Kind::kCapture) {
        capture_->back().value = text_.substr(begin, mark_ - begin);
        capture_ = nullptr;
      }
      return true;
    case Kind::kSkip:
    case Kind::kItems:
    case Kind::kColumns:
      return true;
    case Kind::kTop:
      EndTop();
      return true;
    case Kind::kItem:
      return EndItem();
    case Kind::kColumn:
      EndColumn();
      return true;
    case Kind::kCells:
      EndCells(count);
      return true;
  }
  return true;
}

void NotebookSax::EndCells(int64_t rows) {
  in_cells_ = false;
  const std::string where = ", column " + column_.key;
  if (rows > kMaxRowsPerColumn) {
    ItemFault(where + " has " + std::to_string(rows) + " rows (the limit is " +
              std::to_string(kMaxRowsPerColumn) + ")");
    return;
  }
  total_cells_ += rows;
  if (total_cells_ > kMaxCellsPerNotebook) {
    ItemFault(name_ + ": the notebook holds more than " + std::to_string(kMaxCellsPerNotebook) +
                  " cells (the limit)",
              false);
    return;
  }
  if (column_.bad_row > 0) {
    ItemFault(where + ", row " + std::to_string(column_.bad_row) +
              ": a cell must be null, a number or a string, not " + CutForError(column_.bad_cell));
  }
}

void NotebookSax::EndColumn() {
  in_column_ = false;
  if (failed() || !item_.fault.empty()) return;
  Column& column = item_.sheet.ColumnAt(column_.number);
  for (size_t i = 0; i < kKnownCount; ++i) {
    const auto field = kKnownMembers[i].column_field;
    if (field != nullptr && known_[i].state == Known::kString) {
      column.*field = std::move(known_[i].text);
    }
  }
  column.cells = std::move(column_.cells);
  while (!column.cells.empty() && column.cells.back().IsBlank()) column.cells.pop_back();
  column.tokens = std::move(column_.tokens);
  column.unknown = Keep(std::move(column_.members));
}

// The columns came before the type: read them again from their text.
bool NotebookSax::RereadColumns() {
  // The kept text becomes the model's place holder; the marks of the second
  // reading point into that text.
  const std::string columns = std::move(item_.members[item_.columns_member].value);
  item_.members[item_.columns_member].value.clear();
  item_.columns_deferred = false;
  Push(Kind::kItem, true);
  frames_.back().key = "columns";
  rereading_columns_ = true;
  const std::string_view text = text_;
  text_ = columns;
  const bool ok = ReadJsonEvents(columns, 0, this) == JsonRead::kRead;
  text_ = text;
  rereading_columns_ = false;
  frames_.pop_back();
  return ok;
}

// The first fault of the item that has just ended, "" when none. Faults of
// the item itself come before those of its columns.
std::string NotebookSax::ItemShapeFault(ItemType type, const std::string& type_word) {
  const size_t index = item_.index;
  const std::string name = known(kName).state == Known::kString ? known(kName).text : "";
  if (known(kType).state != Known::kString) return ItemLabel(index, "") + " has no \"type\"";
  if (type != ItemType::kOther && known(kName).state != Known::kString) {
    return ItemLabel(index, "") + " (" + type_word + ") has no \"name\"";
  }
  if (type == ItemType::kReport && known(kText).state == Known::kOther) {
    return ItemLabel(index, name) + ": \"text\" must be a string";
  }
  if (item_.fault.empty()) return "";
  return item_.fault_labelled ? ItemLabel(index, name) + item_.fault : item_.fault;
}

bool NotebookSax::EndItem() {
  const std::string type_word = known(kType).state == Known::kString ? known(kType).text : "";
  ItemType type = ItemType::kOther;
  if (type_word == "section") type = ItemType::kSection;
  if (type_word == "worksheet") type = ItemType::kWorksheet;
  if (type_word == "report") type = ItemType::kReport;

  if (type == ItemType::kWorksheet && item_.columns_deferred && item_.fault.empty() && !failed() &&
      !RereadColumns()) {
    return false;
  }
  const std::string fault = ItemShapeFault(type, type_word);
  in_item_ = false;
  if (!fault.empty()) {
    if (item_error_.empty()) {
      item_error_ = fault.rfind(name_ + ": ", 0) == 0 ? fault : name_ + ": " + fault;
    }
    return true;
  }
  if (failed()) return true;

  const std::string name = known(kName).state == Known::kString ? known(kName).text : "";
  auto item = std::make_unique<Item>(type, name, type_word);
  if (type == ItemType::kReport && known(kText).state == Known::kString) {
    item->set_text(std::move(known_[kText].text));
  }
  if (type == ItemType::kWorksheet) {
    *item->worksheet() = std::move(item_.sheet);
    // A stamp that is no text is kept as it stands but means nothing.
    if (known(kAnalysis).state == Known::kString) {
      item->set_analysis(std::move(known_[kAnalysis].text));
    }
  }
  item->unknown() = Keep(std::move(item_.members));
  fresh_.Insert(fresh_.size(), std::move(item));
  return true;
}

void NotebookSax::EndTop() {
  const Known& format = known(kFormat);
  const Known& current = known(kCurrent);
  if (format.state != Known::kString || format.text != kNotebookFormat) {
    top_error_ = name_ + ": not a korund notebook (\"format\" must be \"" +
                 std::string(kNotebookFormat) + "\")";
  } else if (!version_is_integer_) {
    top_error_ = name_ + ": the notebook has no \"version\" number";
  } else if (version_ != kNotebookVersion) {
    top_error_ = name_ + ": notebook version " + version_text_ +
                 " is not supported (this program reads version " +
                 std::to_string(kNotebookVersion) + ")";
  } else if (current.state == Known::kOther) {
    top_error_ = name_ + ": \"current\" must be a worksheet name (a string)";
  } else if (items_state_ != kItemsList) {
    top_error_ = name_ + ": the notebook has no \"items\" list";
  }
  if (!top_error_.empty()) return;
  if (current.state == Known::kString) fresh_.set_current(current.text);
  fresh_.unknown() = Keep(std::move(top_members_));
}

}  // namespace

bool ParseNotebook(std::string_view text, const std::string& name, Notebook* notebook,
                   std::string* error) {
  // A byte-order mark is skipped (RFC 8259 allows it to be ignored); a file
  // that holds nothing else is empty.
  std::string_view body = text;
  if (body.substr(0, 3) == kUtf8Bom) body.remove_prefix(3);
  if (body.empty()) {
    *error = name + ": not a korund notebook (the file is empty)";
    return false;
  }
  const size_t skipped = text.size() - body.size();
  auto sax = std::make_unique<NotebookSax>(body, name);
  JsonRead read = ReadJsonEvents(body, skipped, sax.get());
  if (read == JsonRead::kAgain) {
    sax = std::make_unique<NotebookSax>(body, name);
    read = ReadJsonEvents(body, skipped, sax.get(), true);
  }
  std::string problem = sax->Finish(read == JsonRead::kRead);
  if (!problem.empty()) {
    *error = std::move(problem);
    return false;
  }
  *notebook = std::move(sax->fresh());
  return true;
}

}  // namespace korund::notebook

// Reading the notebook file straight into the model.
//
// The JSON library's SAX parser reports one event per token; the handler
// below keeps a stack of what is open (the top object, the items list, an
// item, its columns, a column, its cells, or a value this program does not
// know) and routes every value to its place: cells into the worksheet,
// known members into the model, all other members as compact canonical text
// into the UnknownMembers of the object that holds them. No tree of the
// whole file is built, so time is linear in the file's size and memory
// stays near the size of what is kept; the cell limits are checked while
// the cells arrive, before they are stored.
//
// Faults of the text itself (bad JSON, a number outside double range, a
// duplicate key, too deep nesting, an overlong string) stop the parse at
// once. Faults of the notebook's shape are noted and the parse runs on, so
// that a JSON fault anywhere is reported first, then the top level's
// members, then the first bad item.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <rapidjson/reader.h>
#include <system_error>
#include <string>
#include <utility>
#include <vector>

#include "notebook/json_text.h"
#include "notebook/notebook_file.h"
#include "notebook/unknown_members.h"

namespace korund::notebook {
namespace {

using Json = nlohmann::ordered_json;

// Deeper nesting than this is no notebook.
constexpr size_t kMaxDepth = 200;
// A bad cell's text in an error is cut; keep no more of it than that needs.
constexpr size_t kBadCellTextCap = 256;

const char kUtf8Bom[] = "\xEF\xBB\xBF";

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

// A member the model reads (a name, a title): what kind of value it had.
struct Known {
  enum State { kMissing, kNull, kString, kOther };
  State state = kMissing;
  std::string text;
};

UnknownMembers Keep(std::string members) {
  UnknownMembers kept;
  auto object = std::make_unique<UnknownMembers::Object>();
  object->members = std::move(members);
  kept.set_object(std::move(object));
  return kept;
}

// The keys of one JSON object, to find a key given twice in linear time.
// Keys are packed into one string (a 4-byte length, then the bytes); a
// short object is searched in order, a larger one through an
// open-addressing table of offsets, so the set costs little more than the
// keys themselves.
class KeySet {
 public:
  // False when the key is in the set already.
  bool Add(std::string_view key) {
    if (slots_.empty()) {
      if (count_ < kLinear) {
        for (size_t pos = 0; pos < arena_.size(); pos += 4 + LengthAt(pos)) {
          if (KeyAt(pos) == key) return false;
        }
        Append(key);
        return true;
      }
      Rehash(4 * kLinear);
    }
    if ((count_ + 1) * 2 > slots_.size()) Rehash(slots_.size() * 2);
    const size_t mask = slots_.size() - 1;
    for (size_t i = Hash(key) & mask;; i = (i + 1) & mask) {
      if (slots_[i] == kEmpty) {
        slots_[i] = Append(key);
        return true;
      }
      if (KeyAt(slots_[i]) == key) return false;
    }
  }

 private:
  static constexpr size_t kLinear = 16;
  static constexpr uint32_t kEmpty = 0xFFFFFFFFu;

  static size_t Hash(std::string_view key) { return std::hash<std::string_view>()(key); }
  uint32_t LengthAt(size_t pos) const {
    uint32_t length = 0;
    std::memcpy(&length, arena_.data() + pos, sizeof length);
    return length;
  }
  std::string_view KeyAt(size_t pos) const {
    return std::string_view(arena_).substr(pos + 4, LengthAt(pos));
  }
  uint32_t Append(std::string_view key) {
    // Offsets fit: the keys come from a file of at most kMaxFileBytes.
    const auto pos = static_cast<uint32_t>(arena_.size());
    const auto length = static_cast<uint32_t>(key.size());
    arena_.append(reinterpret_cast<const char*>(&length), sizeof length);
    arena_.append(key);
    ++count_;
    return pos;
  }
  void Rehash(size_t slots) {
    slots_.assign(slots, kEmpty);
    const size_t mask = slots - 1;
    for (size_t pos = 0; pos < arena_.size(); pos += 4 + LengthAt(pos)) {
      size_t i = Hash(KeyAt(pos)) & mask;
      while (slots_[i] != kEmpty) i = (i + 1) & mask;
      slots_[i] = static_cast<uint32_t>(pos);
    }
  }

  std::string arena_;
  std::vector<uint32_t> slots_;
  size_t count_ = 0;
};

class NotebookSax {
 public:
  using string_t = Json::string_t;
  using binary_t = Json::binary_t;

  explicit NotebookSax(const std::string& name) : name_(name) {}

  // The error text of a failed parse; "" after a good one.
  std::string Finish(bool parsed) {
    if (!parsed) return hard_error_.empty() ? name_ + ": not valid JSON" : hard_error_;
    if (!top_error_.empty()) return top_error_;
    return item_error_;
  }

  // --- SAX events ----------------------------------------------------------

  bool null() { return Scalar(kNullToken); }
  bool boolean(bool b) {
    bool_ = b;
    return Scalar(kBoolToken);
  }
  bool number_integer(Json::number_integer_t n) {
    int_ = n;
    return Scalar(kIntToken);
  }
  bool number_unsigned(Json::number_unsigned_t n) {
    uint_ = n;
    return Scalar(kUintToken);
  }
  bool number_float(Json::number_float_t x, const string_t& /*token*/) {
    double_ = x;
    return Scalar(kDoubleToken);
  }
  bool string(string_t& s) {
    if (s.size() > kMaxStringBytes) return TooLong();
    string_ = &s;
    return Scalar(kStringToken);
  }
  bool binary(binary_t& /*bytes*/) { return Hard(Place(false), "not valid JSON"); }

  bool start_object(std::size_t /*elements*/) { return StartContainer(true); }
  bool start_array(std::size_t /*elements*/) { return StartContainer(false); }
  bool end_object() { return EndContainer(); }
  bool end_array() { return EndContainer(); }

  bool key(string_t& k) {
    if (k.size() > kMaxStringBytes) return TooLong();
    Frame& frame = frames_.back();
    if (!frame.keys.Add(k)) {
      return Hard(Place(false), "the member " + QuoteForError(k) + " appears twice");
    }
    if (frame.kind == Kind::kCapture) {
      if (frame.count > 0) Emit(",");
      EmitString(k);
      Emit(":");
    }
    ++frame.count;
    frame.key = k;
    return true;
  }

  bool parse_error(std::size_t /*position*/, const std::string& last_token,
                   const nlohmann::detail::exception& e) {
    if (!hard_error_.empty()) return false;  // a fault this handler raised
    if (e.id == 406) {  // the library's "number overflow"
      return Hard(Place(true), "the number " + QuoteForError(last_token, true) +
                                   " is outside the range of a double");
    }
    // Drop the library's "[json.exception.parse_error.101] " prefix and
    // quote the token it read safely and briefly.
    std::string what = e.what();
    size_t close = what.find("] ");
    if (close != std::string::npos) what = what.substr(close + 2);
    size_t last_read = what.find("; last read: '");
    if (last_read != std::string::npos) {
      what = what.substr(0, last_read) + "; last read: " + QuoteForError(last_token, true);
    }
    return Hard(Place(true), "not valid JSON: " + what);
  }

 private:
  enum class Kind { kTop, kItems, kItem, kColumns, kColumn, kCells, kCapture, kSkip };
  enum Token { kNullToken, kBoolToken, kIntToken, kUintToken, kDoubleToken, kStringToken };

  struct Frame {
    Kind kind = Kind::kSkip;
    bool is_object = false;
    int64_t count = 0;  // members or elements begun
    std::string key;    // the member being read
    KeySet keys;
  };

  // The item being read. Its type may come after its other members, so the
  // item is built at its end.
  struct ItemState {
    size_t index = 0;
    Known type, name, text;
    std::string members;
    Worksheet sheet;
    // "columns" read before the type was known: its place in members.
    bool columns_deferred = false;
    size_t columns_begin = 0, columns_end = 0;
    // The first fault found inside the item, after ItemLabel(...) or bare.
    std::string fault;
    bool fault_labelled = true;
  };

  struct ColumnState {
    int32_t number = 0;
    std::string key;
    Known title, label;
    std::string members;
    std::vector<Value> cells;
    std::string bad_cell;  // the first cell that is no cell, as text
    int64_t bad_row = 0;
  };

  bool IsWorksheet() const {
    return item_.type.state == Known::kString && item_.type.text == "worksheet";
  }
  bool TypeKnown() const { return item_.type.state != Known::kMissing; }
  bool failed() const { return !item_error_.empty() || !top_error_.empty(); }

  // --- errors --------------------------------------------------------------

  // Where the parse is, for error texts. pending: the fault lies in the
  // value after the last one begun (the library reports before the value).
  std::string Place(bool pending) const {
    std::string place;
    if (in_item_) {
      place = ItemLabel(item_.index, item_.name.state == Known::kString ? item_.name.text : "");
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

  // A fault of the item being read; the first one counts.
  void ItemFault(std::string text, bool labelled = true) {
    if (!item_.fault.empty()) return;
    item_.fault = std::move(text);
    item_.fault_labelled = labelled;
  }

  void ColumnFault(const std::string& text) { ItemFault(", column " + column_.key + text); }

  // --- canonical text of kept values ---------------------------------------

  void Emit(std::string_view text) {
    if (sink_ == nullptr) return;
    if (sink_ == &column_.bad_cell && sink_->size() > kBadCellTextCap) return;
    sink_->append(text);
  }
  void EmitString(const std::string& s) {
    if (sink_ == nullptr) return;
    if (sink_ == &column_.bad_cell && sink_->size() > kBadCellTextCap) return;
    AppendJsonString(sink_, s);
  }
  void EmitScalar(Token token) {
    if (sink_ == nullptr) return;
    switch (token) {
      case kNullToken: Emit("null"); break;
      case kBoolToken: Emit(bool_ ? "true" : "false"); break;
      case kIntToken: AppendJsonInteger(sink_, int_); break;
      case kUintToken: AppendJsonUnsigned(sink_, uint_); break;
      case kDoubleToken: AppendJsonDouble(sink_, double_); break;
      case kStringToken: EmitString(*string_); break;
    }
  }

  // Starts a kept member "key": in the members of a known object; later
  // emits go there until the member's value ends.
  void BeginMember(std::string* members, const std::string& key) {
    sink_ = failed() ? nullptr : members;
    if (sink_ == nullptr) return;
    if (!members->empty()) members->push_back(',');
    AppendJsonString(members, key);
    members->push_back(':');
  }

  std::string* MembersOf(Kind kind) {
    switch (kind) {
      case Kind::kTop: return &top_members_;
      case Kind::kItem: return &item_.members;
      case Kind::kColumn: return &column_.members;
      default: return nullptr;
    }
  }

  static void Decode(Known* known, Token token, const std::string* s) {
    if (token == kNullToken) {
      known->state = Known::kNull;
    } else if (token == kStringToken) {
      known->state = Known::kString;
      known->text = *s;
    } else {
      known->state = Known::kOther;
    }
  }

  // --- values --------------------------------------------------------------

  bool Scalar(Token token) {
    if (frames_.size() > kMaxDepth) return TooDeep();
    if (frames_.empty()) {
      top_error_ = name_ + ": not a korund notebook (the file is not a JSON object)";
      return true;
    }
    Frame& parent = frames_.back();
    switch (parent.kind) {
      case Kind::kCapture:
        if (!parent.is_object) {
          if (parent.count > 0) Emit(",");
          ++parent.count;
        }
        EmitScalar(token);
        return true;
      case Kind::kSkip:
        return true;
      case Kind::kTop:
        if (parent.key == "items") {
          items_state_ = kItemsBad;
          return true;
        }
        BeginMember(&top_members_, parent.key);
        EmitScalar(token);
        if (parent.key == "format") Decode(&format_, token, string_);
        if (parent.key == "current") Decode(&current_, token, string_);
        if (parent.key == "version") {
          version_is_integer_ = token == kIntToken || token == kUintToken;
          version_ = token == kIntToken ? int_ : static_cast<int64_t>(uint_);
          version_text_.clear();
          std::string* saved = sink_;
          sink_ = &version_text_;
          EmitScalar(token);
          sink_ = saved;
        }
        return true;
      case Kind::kItems:
        ++parent.count;
        NoteItemNotObject(static_cast<size_t>(parent.count - 1));
        return true;
      case Kind::kItem:
        if (parent.key == "columns" && IsWorksheet()) {
          ColumnsPlaceholder();
          if (token != kNullToken) ItemFault(": \"columns\" must be an object");
          return true;
        }
        BeginItemMember(parent.key);
        EmitScalar(token);
        EndItemMember(parent.key);
        if (parent.key == "type") Decode(&item_.type, token, string_);
        if (parent.key == "name") Decode(&item_.name, token, string_);
        if (parent.key == "text") Decode(&item_.text, token, string_);
        return true;
      case Kind::kColumns:
        if (CheckColumnKey(parent.key)) ItemFault(", column " + parent.key + " is not an object");
        return true;
      case Kind::kColumn:
        if (parent.key == "cells") {
          BeginMember(&column_.members, "cells");
          Emit("null");
          if (token != kNullToken) ColumnFault(": \"cells\" must be a list");
          return true;
        }
        BeginMember(&column_.members, parent.key);
        EmitScalar(token);
        if (parent.key == "title") DecodeColumnText(&column_.title, "title", token);
        if (parent.key == "label") DecodeColumnText(&column_.label, "label", token);
        return true;
      case Kind::kCells:
        return Cell(token);
    }
    return true;
  }

  // A worksheet's "columns" is kept as null in its place: the model holds
  // the columns. A second reading of deferred columns already left it there.
  void ColumnsPlaceholder() {
    if (rereading_columns_) {
      sink_ = nullptr;
      return;
    }
    BeginMember(&item_.members, "columns");
    Emit("null");
  }

  void DecodeColumnText(Known* known, const char* member, Token token) {
    Decode(known, token, string_);
    if (known->state == Known::kOther) {
      ColumnFault(std::string(": \"") + member + "\" must be a string");
    }
  }

  // A cell of the column being read.
  bool Cell(Token token) {
    Frame& frame = frames_.back();
    const int64_t row = ++frame.count;
    cells_frame_count_ = row;
    // Cells past a limit are counted, never stored: the column is refused.
    if (failed() || !item_.fault.empty() || row > kMaxRowsPerColumn ||
        total_cells_ + row > kMaxCellsPerNotebook) {
      return true;
    }
    switch (token) {
      case kNullToken: column_.cells.emplace_back(); break;
      case kBoolToken: column_.cells.push_back(Value::Bool(bool_)); break;  // the worksheet's -1 / 0
      case kIntToken: column_.cells.emplace_back(static_cast<double>(int_)); break;
      case kUintToken: column_.cells.emplace_back(static_cast<double>(uint_)); break;
      case kDoubleToken: column_.cells.emplace_back(double_); break;
      case kStringToken: column_.cells.emplace_back(std::move(*string_)); break;
    }
    return true;
  }

  void NoteItemNotObject(size_t index) {
    if (item_error_.empty()) item_error_ = name_ + ": " + ItemLabel(index, "") + " is not an object";
  }

  // False (and the fault noted) when a key of "columns" is no column number.
  bool CheckColumnKey(const std::string& key) {
    if (ParseColumnKey(key)) return true;
    ItemFault(": column key " + QuoteForError(key) + " is not a column number (0 to " +
              std::to_string(kMaxColumnNumber) + ")");
    return false;
  }

  // An item member kept as text; "columns" before the type is known is
  // marked so that a worksheet can read it at the item's end.
  void BeginItemMember(const std::string& key) {
    BeginMember(&item_.members, key);
    if (key == "columns" && !TypeKnown()) {
      item_.columns_deferred = sink_ != nullptr;
      item_.columns_begin = item_.members.size();
    }
  }
  void EndItemMember(const std::string& key) {
    if (key == "columns" && item_.columns_deferred && item_.columns_end == 0) {
      item_.columns_end = item_.members.size();
    }
  }

  bool TooDeep() {
    return Hard(Place(false),
                "not a korund notebook (nested deeper than " + std::to_string(kMaxDepth) + " levels)");
  }

  void Push(Kind kind, bool is_object) {
    frames_.emplace_back();
    frames_.back().kind = kind;
    frames_.back().is_object = is_object;
  }

  bool StartContainer(bool is_object) {
    if (frames_.size() > kMaxDepth) return TooDeep();
    const char open = is_object ? '{' : '[';
    if (frames_.empty()) {
      if (!is_object) {
        top_error_ = name_ + ": not a korund notebook (the file is not a JSON object)";
        Push(Kind::kSkip, is_object);
        return true;
      }
      Push(Kind::kTop, true);
      return true;
    }
    Frame& parent = frames_.back();
    const std::string key = parent.key;
    switch (parent.kind) {
      case Kind::kCapture:
        if (!parent.is_object) {
          if (parent.count > 0) Emit(",");
          ++parent.count;
        }
        Emit(std::string_view(&open, 1));
        Push(Kind::kCapture, is_object);
        return true;
      case Kind::kSkip:
        Push(Kind::kSkip, is_object);
        return true;
      case Kind::kTop:
        if (key == "items") {
          items_state_ = is_object ? kItemsBad : kItemsList;
          Push(is_object ? Kind::kSkip : Kind::kItems, is_object);
          return true;
        }
        if (key == "format") format_.state = Known::kOther;
        if (key == "current") current_.state = Known::kOther;
        if (key == "version") version_is_integer_ = false;
        BeginMember(&top_members_, key);
        Emit(std::string_view(&open, 1));
        Push(Kind::kCapture, is_object);
        return true;
      case Kind::kItems:
        ++parent.count;
        if (!is_object) {
          NoteItemNotObject(static_cast<size_t>(parent.count - 1));
          Push(Kind::kSkip, false);
          return true;
        }
        item_ = ItemState();
        item_.index = static_cast<size_t>(parent.count - 1);
        in_item_ = true;
        Push(Kind::kItem, true);
        return true;
      case Kind::kItem:
        if (key == "columns" && IsWorksheet()) {
          ColumnsPlaceholder();
          if (!is_object) {
            ItemFault(": \"columns\" must be an object");
            Push(Kind::kSkip, false);
          } else {
            Push(Kind::kColumns, true);
          }
          return true;
        }
        if (key == "type") item_.type.state = Known::kOther;
        if (key == "name") item_.name.state = Known::kOther;
        if (key == "text") item_.text.state = Known::kOther;
        BeginItemMember(key);
        Emit(std::string_view(&open, 1));
        Push(Kind::kCapture, is_object);
        return true;
      case Kind::kColumns:
        if (!CheckColumnKey(key) || !is_object) {
          if (!is_object && ParseColumnKey(key)) ItemFault(", column " + key + " is not an object");
          Push(Kind::kSkip, is_object);
          return true;
        }
        column_ = ColumnState();
        column_.number = *ParseColumnKey(key);
        column_.key = key;
        in_column_ = true;
        Push(Kind::kColumn, true);
        return true;
      case Kind::kColumn:
        if (key == "cells") {
          BeginMember(&column_.members, "cells");
          Emit("null");  // the model holds the cells
          if (is_object) {
            ColumnFault(": \"cells\" must be a list");
            Push(Kind::kSkip, true);
          } else {
            in_cells_ = true;
            cells_frame_count_ = 0;
            Push(Kind::kCells, false);
          }
          return true;
        }
        if (key == "title") ColumnFault(": \"title\" must be a string");
        if (key == "label") ColumnFault(": \"label\" must be a string");
        BeginMember(&column_.members, key);
        Emit(std::string_view(&open, 1));
        Push(Kind::kCapture, is_object);
        return true;
      case Kind::kCells:
        cells_frame_count_ = ++parent.count;
        if (column_.bad_row == 0) {
          column_.bad_row = parent.count;
          column_.bad_cell.clear();
          sink_ = &column_.bad_cell;
        } else {
          sink_ = nullptr;
        }
        Emit(std::string_view(&open, 1));
        Push(Kind::kCapture, is_object);
        return true;
    }
    return true;
  }

  bool EndContainer() {
    const Kind kind = frames_.back().kind;
    const bool is_object = frames_.back().is_object;
    const int64_t count = frames_.back().count;
    frames_.pop_back();
    switch (kind) {
      case Kind::kCapture:
        Emit(is_object ? "}" : "]");
        if (!frames_.empty() && frames_.back().kind == Kind::kItem) {
          EndItemMember(frames_.back().key);
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

  void EndCells(int64_t rows) {
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
                ": a cell must be null, a number or a string, not " +
                CutForError(column_.bad_cell));
    }
  }

  void EndColumn() {
    in_column_ = false;
    if (failed() || !item_.fault.empty()) return;
    Column& column = item_.sheet.ColumnAt(column_.number);
    if (column_.title.state == Known::kString) column.title = std::move(column_.title.text);
    if (column_.label.state == Known::kString) column.label = std::move(column_.label.text);
    column.cells = std::move(column_.cells);
    while (!column.cells.empty() && column.cells.back().IsBlank()) column.cells.pop_back();
    column.unknown = Keep(std::move(column_.members));
  }

  bool EndItem() {
    // Faults of the item itself come before those of its columns.
    const size_t index = item_.index;
    const bool known_type = item_.type.state == Known::kString;
    const std::string type_word = known_type ? item_.type.text : "";
    ItemType type = ItemType::kOther;
    if (type_word == "section") type = ItemType::kSection;
    if (type_word == "worksheet") type = ItemType::kWorksheet;
    if (type_word == "report") type = ItemType::kReport;
    const std::string name = item_.name.state == Known::kString ? item_.name.text : "";

    if (type == ItemType::kWorksheet && item_.columns_deferred && item_.fault.empty() &&
        !failed()) {
      // The columns came before the type: read them again from their text.
      const size_t begin = item_.columns_begin;
      const std::string columns =
          item_.members.substr(begin, item_.columns_end - begin);
      item_.members.replace(begin, item_.columns_end - begin, "null");
      item_.columns_deferred = false;
      Push(Kind::kItem, true);
      frames_.back().key = "columns";
      NotebookSax* self = this;
      rereading_columns_ = true;
      const bool ok = Json::sax_parse(columns.data(), columns.data() + columns.size(), self);
      rereading_columns_ = false;
      frames_.pop_back();
      if (!ok) return false;
    }

    std::string fault;
    if (!known_type) {
      fault = ItemLabel(index, "") + " has no \"type\"";
    } else if (type != ItemType::kOther && item_.name.state != Known::kString) {
      fault = ItemLabel(index, "") + " (" + type_word + ") has no \"name\"";
    } else if (type == ItemType::kReport && item_.text.state == Known::kOther) {
      fault = ItemLabel(index, name) + ": \"text\" must be a string";
    } else if (!item_.fault.empty()) {
      fault = item_.fault_labelled ? ItemLabel(index, name) + item_.fault : item_.fault;
    }
    in_item_ = false;
    if (!fault.empty()) {
      if (item_error_.empty()) {
        item_error_ = fault.rfind(name_ + ": ", 0) == 0 ? fault : name_ + ": " + fault;
      }
      return true;
    }
    if (failed()) return true;

    auto item = std::make_unique<Item>(type, name, type_word);
    if (type == ItemType::kReport && item_.text.state == Known::kString) {
      item->set_text(std::move(item_.text.text));
    }
    if (type == ItemType::kWorksheet) *item->worksheet() = std::move(item_.sheet);
    item->unknown() = Keep(std::move(item_.members));
    fresh_.Insert(fresh_.size(), std::move(item));
    return true;
  }

  void EndTop() {
    if (format_.state != Known::kString || format_.text != kNotebookFormat) {
      top_error_ = name_ + ": not a korund notebook (\"format\" must be \"" +
                   std::string(kNotebookFormat) + "\")";
    } else if (!version_is_integer_) {
      top_error_ = name_ + ": the notebook has no \"version\" number";
    } else if (version_ != kNotebookVersion) {
      top_error_ = name_ + ": notebook version " + version_text_ +
                   " is not supported (this program reads version " +
                   std::to_string(kNotebookVersion) + ")";
    } else if (current_.state == Known::kOther) {
      top_error_ = name_ + ": \"current\" must be a worksheet name (a string)";
    } else if (items_state_ != kItemsList) {
      top_error_ = name_ + ": the notebook has no \"items\" list";
    }
    if (!top_error_.empty()) return;
    if (current_.state == Known::kString) fresh_.set_current(current_.text);
    fresh_.unknown() = Keep(std::move(top_members_));
  }

 public:
  // The notebook read, once Finish() gave "".
  Notebook& fresh() { return fresh_; }

 private:
  const std::string& name_;
  Notebook fresh_;
  std::vector<Frame> frames_;
  std::string* sink_ = nullptr;  // where kept text goes

  // The token being routed.
  bool bool_ = false;
  int64_t int_ = 0;
  uint64_t uint_ = 0;
  double double_ = 0;
  std::string* string_ = nullptr;

  // The top level.
  std::string top_members_;
  Known format_, current_;
  bool version_is_integer_ = false;
  int64_t version_ = 0;
  std::string version_text_;
  enum { kItemsMissing, kItemsBad, kItemsList } items_state_ = kItemsMissing;

  ItemState item_;
  ColumnState column_;
  bool in_item_ = false, in_column_ = false, in_cells_ = false;
  bool rereading_columns_ = false;
  int64_t cells_frame_count_ = 0;
  int64_t total_cells_ = 0;

  std::string hard_error_, top_error_, item_error_;
};

// The fast reader: RapidJSON's tokenizer, numbers read as std::from_chars
// reads them, the same events for the handler as the JSON library's parser
// gives. It only has to be right on the files it accepts: on anything it refuses or
// is unsure of, the notebook is read again by the JSON library, whose
// reading (and error texts) are the reference.
class FastEvents {
 public:
  explicit FastEvents(NotebookSax* sax) : sax_(*sax) {}

  bool Null() { return sax_.null(); }
  bool Bool(bool b) { return sax_.boolean(b); }
  // Numbers arrive as their text (kParseNumbersAsStringsFlag).
  bool Int(int) { return Unsure(); }
  bool Uint(unsigned) { return Unsure(); }
  bool Int64(int64_t) { return Unsure(); }
  bool Uint64(uint64_t) { return Unsure(); }
  bool Double(double) { return Unsure(); }
  bool RawNumber(const char* text, rapidjson::SizeType length, bool /*copy*/) {
    const char* end = text + length;
    // As the library: an integer is unsigned unless it has a sign, and one
    // that does not fit 64 bits is read as a double.
    if (std::find_if(text, end, [](char c) { return c == '.' || c == 'e' || c == 'E'; }) == end) {
      if (*text == '-') {
        int64_t n = 0;
        const auto [ptr, ec] = std::from_chars(text, end, n);
        if (ec == std::errc() && ptr == end) return sax_.number_integer(n);
      } else {
        uint64_t n = 0;
        const auto [ptr, ec] = std::from_chars(text, end, n);
        if (ec == std::errc() && ptr == end) return sax_.number_unsigned(n);
      }
    }
    double x = 0;
    // Out of range (either way) is left to the library: its rule for an
    // underflow differs, and an overflow needs its error text.
    if (!ReadJsonDouble(text, end, &x) || !std::isfinite(x)) return Unsure();
    // The handler does not read a number's text.
    return sax_.number_float(x, no_text_);
  }
  bool String(const char* text, rapidjson::SizeType length, bool /*copy*/) {
    if (!Decoded(text, length)) return Unsure();
    return sax_.string(token_);
  }
  bool Key(const char* text, rapidjson::SizeType length, bool /*copy*/) {
    if (!Decoded(text, length)) return Unsure();
    return sax_.key(token_);
  }
  bool StartObject() { return sax_.start_object(static_cast<std::size_t>(-1)); }
  bool EndObject(rapidjson::SizeType /*members*/) { return sax_.end_object(); }
  bool StartArray() { return sax_.start_array(static_cast<std::size_t>(-1)); }
  bool EndArray(rapidjson::SizeType /*elements*/) { return sax_.end_array(); }

 private:
  // Stops the fast reader; the library reads the file.
  static bool Unsure() { return false; }

  // Keeps a decoded string. The input's own bytes were checked as UTF-8;
  // an escaped low surrogate without its high half (which the library
  // refuses) comes out as ED B0..BF.
  bool Decoded(const char* text, rapidjson::SizeType length) {
    for (const char* p = text; (p = static_cast<const char*>(std::memchr(
                                    p, '\xED', static_cast<size_t>(text + length - p)))) != nullptr;
         ++p) {
      if (p + 1 < text + length && static_cast<unsigned char>(p[1]) >= 0xA0) return false;
    }
    token_.assign(text, length);
    return true;
  }

  NotebookSax& sax_;
  std::string token_;
  const std::string no_text_;
};

}  // namespace

bool ParseNotebook(std::string_view text, const std::string& name, Notebook* notebook,
                   std::string* error, JsonReader reader_choice) {
  // A byte-order mark is skipped (RFC 8259 allows it to be ignored); the
  // library skips it too, and a file that holds nothing else is empty.
  std::string_view body = text;
  if (body.substr(0, 3) == kUtf8Bom) body.remove_prefix(3);
  if (body.empty()) {
    *error = name + ": not a korund notebook (the file is empty)";
    return false;
  }
  auto sax = std::make_unique<NotebookSax>(name);
  bool parsed = false;
  if (reader_choice == JsonReader::kFast) {
    // Read in place, in a copy: strings are decoded where they stand and
    // numbers handed over where they stand, nothing is copied per token.
    // The reader's UTF-8 check takes a multi-byte character's last three
    // bytes before it looks at them: NULs after the end keep a character
    // cut by the end of the text inside the copy.
    std::string copy;
    copy.reserve(body.size() + 4);
    copy.assign(body);
    copy.append(4, '\0');
    FastEvents events(sax.get());
    rapidjson::InsituStringStream stream(copy.data());
    rapidjson::Reader reader;
    constexpr unsigned kFlags = rapidjson::kParseInsituFlag | rapidjson::kParseValidateEncodingFlag |
                                rapidjson::kParseNumbersAsStringsFlag;
    // A NUL byte reads as the end of the text: the text must really end.
    parsed = !reader.Parse<kFlags>(stream, events).IsError() && stream.Tell() == body.size();
  }
  if (!parsed) {
    sax = std::make_unique<NotebookSax>(name);
    NotebookSax* handler = sax.get();
    parsed = Json::sax_parse(text.data(), text.data() + text.size(), handler);
  }
  std::string problem = sax->Finish(parsed);
  if (!problem.empty()) {
    *error = std::move(problem);
    return false;
  }
  *notebook = std::move(sax->fresh());
  return true;
}

}  // namespace korund::notebook

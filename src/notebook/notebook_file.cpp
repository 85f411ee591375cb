#include "notebook/notebook_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <optional>
#include <utility>

#include "notebook/unknown_members.h"

namespace korund::notebook {
namespace {

// Deeper nesting than this is no notebook; refusing it keeps the recursive
// writer of the JSON library away from stack exhaustion.
constexpr int kMaxDepth = 200;

struct TooDeep {};

std::string Quote(const std::string& s) { return "\"" + s + "\""; }

std::string ErrnoText(int err) { return std::strerror(err); }

// "item 3 ("Data 1")" for error texts; items are counted from 1.
std::string ItemLabel(size_t index, const std::string& name) {
  std::string label = "item " + std::to_string(index + 1);
  if (!name.empty()) label += " (" + Quote(name) + ")";
  return label;
}

// Column keys are canonical decimal numbers: "0" or no leading zero.
std::optional<int32_t> ParseColumnKey(const std::string& key) {
  if (key.empty() || key.size() > 5) return std::nullopt;
  for (char ch : key) {
    if (ch < '0' || ch > '9') return std::nullopt;
  }
  if (key.size() > 1 && key[0] == '0') return std::nullopt;
  int32_t n = std::stoi(key);
  if (n > kMaxColumnNumber) return std::nullopt;
  return n;
}

bool CellFromJson(const Json& j, Value* out) {
  if (j.is_null()) {
    *out = Value();
  } else if (j.is_number()) {
    double x = j.get<double>();
    if (!std::isfinite(x)) return false;
    *out = Value(x);
  } else if (j.is_string()) {
    *out = Value(j.get<std::string>());
  } else if (j.is_boolean()) {
    *out = Value::Bool(j.get<bool>());  // the worksheet's own -1 / 0
  } else {
    return false;
  }
  return true;
}

Json CellToJson(const Value& v) {
  if (v.IsBlank()) return nullptr;
  if (v.IsText()) return v.Text();
  double x = v.Number();
  // JSON has no infinity or NaN; such a cell is stored empty.
  if (!std::isfinite(x)) return nullptr;
  if (x == std::floor(x) && std::fabs(x) < 9007199254740992.0) {
    return static_cast<int64_t>(x);
  }
  return x;
}

// A copy of an object with one member's value left null: the model holds
// that member, the copy keeps its place.
Json CopyWithout(const Json& object, const std::string& member) {
  Json copy = Json::object();
  for (const auto& [key, value] : object.items()) {
    copy[key] = key == member ? Json() : value;
  }
  return copy;
}

UnknownMembers Keep(Json json) {
  UnknownMembers members;
  auto object = std::make_unique<UnknownMembers::Object>();
  object->json = std::move(json);
  members.set_object(std::move(object));
  return members;
}

const Json* Kept(const UnknownMembers& members) {
  return members.empty() ? nullptr : &members.object()->json;
}

class Loader {
 public:
  Loader(const std::string& name, Notebook* notebook) : name_(name), notebook_(notebook) {}

  bool Fail(const std::string& problem) {
    error_ = name_ + ": " + problem;
    return false;
  }
  const std::string& error() const { return error_; }

  bool LoadTop(Json& root) {
    if (!root.is_object()) return Fail("not a korund notebook (the file is not a JSON object)");
    auto format = root.find("format");
    if (format == root.end() || !format->is_string() ||
        format->get<std::string>() != kNotebookFormat) {
      return Fail(std::string("not a korund notebook (\"format\" must be \"") + kNotebookFormat +
                  "\")");
    }
    auto version = root.find("version");
    if (version == root.end() || !version->is_number_integer()) {
      return Fail("the notebook has no \"version\" number");
    }
    if (version->get<int64_t>() != kNotebookVersion) {
      return Fail("notebook version " + version->dump() +
                  " is not supported (this program reads version " +
                  std::to_string(kNotebookVersion) + ")");
    }
    auto current = root.find("current");
    if (current != root.end() && !current->is_null()) {
      if (!current->is_string()) return Fail("\"current\" must be a worksheet name (a string)");
      notebook_->set_current(current->get<std::string>());
    }
    auto items = root.find("items");
    if (items == root.end() || !items->is_array()) {
      return Fail("the notebook has no \"items\" list");
    }
    for (size_t i = 0; i < items->size(); ++i) {
      if (!LoadItem(i, (*items)[i])) return false;
    }
    root.erase("items");  // rebuilt from the model on save
    notebook_->unknown() = Keep(std::move(root));
    return true;
  }

 private:
  bool LoadItem(size_t index, const Json& j) {
    if (!j.is_object()) return Fail(ItemLabel(index, "") + " is not an object");
    auto type = j.find("type");
    if (type == j.end() || !type->is_string()) {
      return Fail(ItemLabel(index, "") + " has no \"type\"");
    }
    const std::string type_word = type->get<std::string>();
    ItemType item_type = ItemType::kOther;
    if (type_word == "section") item_type = ItemType::kSection;
    if (type_word == "worksheet") item_type = ItemType::kWorksheet;
    if (type_word == "report") item_type = ItemType::kReport;

    std::string name;
    auto name_it = j.find("name");
    if (name_it != j.end() && name_it->is_string()) {
      name = name_it->get<std::string>();
    } else if (item_type != ItemType::kOther) {
      return Fail(ItemLabel(index, "") + " (" + type_word + ") has no \"name\"");
    }

    auto item = std::make_unique<Item>(item_type, name, type_word);
    if (item_type == ItemType::kReport) {
      auto text = j.find("text");
      if (text != j.end() && !text->is_null()) {
        if (!text->is_string()) return Fail(ItemLabel(index, name) + ": \"text\" must be a string");
        item->set_text(text->get<std::string>());
      }
    }
    if (item_type == ItemType::kWorksheet && !LoadColumns(index, j, item.get())) return false;
    item->unknown() = Keep(CopyWithout(j, item_type == ItemType::kWorksheet ? "columns" : ""));
    notebook_->Insert(notebook_->size(), std::move(item));
    return true;
  }

  bool LoadColumns(size_t index, const Json& j, Item* item) {
    auto columns = j.find("columns");
    if (columns == j.end() || columns->is_null()) return true;
    const std::string label = ItemLabel(index, item->name());
    if (!columns->is_object()) return Fail(label + ": \"columns\" must be an object");
    for (const auto& [key, col] : columns->items()) {
      std::optional<int32_t> number = ParseColumnKey(key);
      if (!number) {
        return Fail(label + ": column key " + Quote(key) + " is not a column number (0 to " +
                    std::to_string(kMaxColumnNumber) + ")");
      }
      const std::string where = label + ", column " + key;
      if (!col.is_object()) return Fail(where + " is not an object");
      Column& column = item->worksheet()->ColumnAt(*number);
      auto title = col.find("title");
      if (title != col.end() && !title->is_null()) {
        if (!title->is_string()) return Fail(where + ": \"title\" must be a string");
        column.title = title->get<std::string>();
      }
      auto label = col.find("label");
      if (label != col.end() && !label->is_null()) {
        if (!label->is_string()) return Fail(where + ": \"label\" must be a string");
        column.label = label->get<std::string>();
      }
      auto cells = col.find("cells");
      if (cells != col.end() && !cells->is_null()) {
        if (!cells->is_array()) return Fail(where + ": \"cells\" must be a list");
        if (static_cast<int64_t>(cells->size()) > kMaxRowsPerColumn) {
          return Fail(where + " has " + std::to_string(cells->size()) + " rows (the limit is " +
                      std::to_string(kMaxRowsPerColumn) + ")");
        }
        total_cells_ += static_cast<int64_t>(cells->size());
        if (total_cells_ > kMaxCellsPerNotebook) {
          return Fail("the notebook holds more than " + std::to_string(kMaxCellsPerNotebook) +
                      " cells (the limit)");
        }
        column.cells.resize(cells->size());
        for (size_t r = 0; r < cells->size(); ++r) {
          if (!CellFromJson((*cells)[r], &column.cells[r])) {
            return Fail(where + ", row " + std::to_string(r + 1) +
                        ": a cell must be null, a number or a string, not " + (*cells)[r].dump());
          }
        }
        while (!column.cells.empty() && column.cells.back().IsBlank()) column.cells.pop_back();
      }
      column.unknown = Keep(CopyWithout(col, "cells"));
    }
    return true;
  }

  const std::string& name_;
  Notebook* notebook_;
  std::string error_;
  int64_t total_cells_ = 0;
};

// The JSON object of one worksheet column, or null when it holds nothing.
Json ColumnToJson(const Column& column) {
  const Json* original = Kept(column.unknown);
  Json j = original != nullptr ? *original : Json::object();
  if (column.title) {
    j["title"] = *column.title;
  } else {
    j.erase("title");
  }
  if (column.label) {
    j["label"] = *column.label;
  } else {
    j.erase("label");
  }
  Json cells = Json::array();
  for (const Value& v : column.cells) cells.push_back(CellToJson(v));
  while (!cells.empty() && cells.back().is_null()) cells.erase(cells.size() - 1);
  if (!cells.empty()) {
    j["cells"] = std::move(cells);
  } else {
    j.erase("cells");
  }
  if (j.empty()) return nullptr;
  return j;
}

}  // namespace

bool ParseNotebook(std::string_view text, const std::string& name, Notebook* notebook,
                   std::string* error) {
  Json root;
  try {
    Json::parser_callback_t limit_depth = [](int depth, Json::parse_event_t, Json&) {
      if (depth > kMaxDepth) throw TooDeep();
      return true;
    };
    root = Json::parse(text.begin(), text.end(), limit_depth);
  } catch (const Json::parse_error& e) {
    // Drop the library's "[json.exception.parse_error.101] " prefix.
    std::string what = e.what();
    size_t close = what.find("] ");
    if (close != std::string::npos) what = what.substr(close + 2);
    *error = name + ": not valid JSON: " + what;
    return false;
  } catch (const TooDeep&) {
    *error = name + ": not a korund notebook (nested deeper than " + std::to_string(kMaxDepth) +
             " levels)";
    return false;
  }
  Notebook fresh;
  Loader loader(name, &fresh);
  if (!loader.LoadTop(root)) {
    *error = loader.error();
    return false;
  }
  *notebook = std::move(fresh);
  return true;
}

bool SerializeNotebook(const Notebook& notebook, const std::string& name, std::string* text,
                       std::string* error) {
  Json items = Json::array();
  int64_t total_cells = 0;
  for (size_t i = 0; i < notebook.size(); ++i) {
    const Item& item = notebook.item(i);
    const Json* original = Kept(item.unknown());
    Json j = original != nullptr ? *original : Json::object();
    switch (item.type()) {
      case ItemType::kSection: j["type"] = "section"; break;
      case ItemType::kWorksheet: j["type"] = "worksheet"; break;
      case ItemType::kReport: j["type"] = "report"; break;
      case ItemType::kOther:
        // Unknown items are kept as read; one without a stored object has
        // no type word to be written under, so it is not written.
        if (original == nullptr) continue;
        break;
    }
    // An unknown item's name that was no string stays as it was.
    if (item.type() != ItemType::kOther || !item.name().empty()) j["name"] = item.name();
    if (item.type() == ItemType::kReport) j["text"] = item.text();
    if (const Worksheet* sheet = item.worksheet()) {
      Json columns = Json::object();
      for (const auto& [number, column] : sheet->columns()) {
        if (number < 0 || number > kMaxColumnNumber) {
          *error = name + ": worksheet " + Quote(item.name()) + " has a column out of range (" +
                   std::to_string(number) + ")";
          return false;
        }
        if (static_cast<int64_t>(column.cells.size()) > kMaxRowsPerColumn) {
          *error = name + ": worksheet " + Quote(item.name()) + ", column " +
                   std::to_string(number) + " has more than " +
                   std::to_string(kMaxRowsPerColumn) + " rows (the limit)";
          return false;
        }
        total_cells += static_cast<int64_t>(column.cells.size());
        Json col = ColumnToJson(column);
        if (!col.is_null()) columns[std::to_string(number)] = std::move(col);
      }
      j["columns"] = std::move(columns);
    }
    items.push_back(std::move(j));
  }
  if (total_cells > kMaxCellsPerNotebook) {
    *error = name + ": the notebook would hold more than " + std::to_string(kMaxCellsPerNotebook) +
             " cells (the limit)";
    return false;
  }
  Json top;
  if (const Json* kept = Kept(notebook.unknown())) {
    top = *kept;
  } else {
    top["format"] = kNotebookFormat;
    top["version"] = kNotebookVersion;
  }
  if (notebook.current()) {
    top["current"] = *notebook.current();
  } else {
    top.erase("current");
  }
  top["items"] = std::move(items);
  *text = top.dump(2, ' ', false, Json::error_handler_t::replace);
  *text += '\n';
  return true;
}

bool ReadWholeFile(const std::string& path, std::string* bytes, std::string* error) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
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
  if (st.st_size > kMaxFileBytes) {
    ::close(fd);
    *error = path + ": the file is larger than " + std::to_string(kMaxFileBytes / (1024 * 1024)) +
             " MB (the limit)";
    return false;
  }
  std::string data;
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
    data.append(buffer, static_cast<size_t>(n));
    if (static_cast<int64_t>(data.size()) > kMaxFileBytes) {
      ::close(fd);
      *error = path + ": the file is larger than " +
               std::to_string(kMaxFileBytes / (1024 * 1024)) + " MB (the limit)";
      return false;
    }
  }
  ::close(fd);
  *bytes = std::move(data);
  return true;
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

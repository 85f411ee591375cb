// The notebook file: a UTF-8 JSON document holding sections, worksheets and
// reports. Loading turns it into the in-memory notebook model of
// memory_host.h; saving turns the model back into JSON. Members this program
// does not know (at the top level, in items, in columns) and items of unknown
// types are carried through unchanged, so a write-back loses nothing.
//
// Errors are reported as "FILE: problem" texts; a failed load leaves the
// document untouched and a failed save writes nothing.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "host/memory_host.h"

namespace korund::host {

// ItemType() of items whose stored type is none of section/worksheet/report.
inline constexpr int kItemOther = 0;

// Limits that keep a damaged or hostile file from exhausting memory.
inline constexpr int32_t kMaxColumnNumber = 32767;        // 1-based, "0" is the row-title column
inline constexpr int64_t kMaxRowsPerColumn = 1'000'000;
inline constexpr int64_t kMaxCellsPerNotebook = 4'000'000;
inline constexpr int64_t kMaxFileBytes = 256LL * 1024 * 1024;

inline constexpr const char* kNotebookFormat = "korund-notebook";
inline constexpr int kNotebookVersion = 1;

using Json = nlohmann::ordered_json;  // keeps members in the file's order

struct NotebookDocument {
  // The items, in file order. model.current is the current worksheet of a
  // session; the stored one is `current` below, which only Save writes.
  MemoryNotebook model;
  std::optional<std::string> current;
  // The top-level object as read ("items" is rebuilt on save).
  Json top = Json::object();
  // Each loaded item's object as read, and each loaded column's object
  // (keyed by host column), so unknown members survive a save.
  std::map<const MemoryItem*, Json> item_json;
  std::map<const MemoryItem*, std::map<int32_t, Json>> column_json;

  // A fresh document: format, version and no items.
  static NotebookDocument Empty();
};

// Parses notebook text. `name` is the file name used in error texts.
// False with *error set when the text is not a valid notebook; *doc is then
// unchanged.
bool ParseNotebook(std::string_view text, const std::string& name, NotebookDocument* doc,
                   std::string* error);

// The document as notebook text (2-space indented, final newline). Empty
// cells are null, trailing empty cells are dropped, integral numbers are
// written without a fraction. False with *error set when the model breaks a
// limit above (the file could not be read back).
bool SaveNotebook(const NotebookDocument& doc, const std::string& name, std::string* text,
                  std::string* error);

// Reads a whole file of at most kMaxFileBytes. False with *error ("FILE: ...").
bool ReadWholeFile(const std::string& path, std::string* bytes, std::string* error);

// ReadWholeFile + ParseNotebook.
bool LoadNotebookFile(const std::string& path, NotebookDocument* doc, std::string* bytes,
                      std::string* error);

// Replaces `path` with `bytes` atomically: a temporary file in the same
// folder is written, flushed to disk and renamed over the target, so readers
// see the old file or the new one, never a part. An existing file's
// permissions are kept. False with *error set; the target is then unchanged.
bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* error);

// The worksheet item of that name, or nullptr (also when the item of that
// name is no worksheet).
MemoryItem* FindWorksheet(NotebookDocument& doc, const std::string& name);

// The worksheet a command works on: the one named, or the current one when
// name is "". nullptr with *error ("FILE: ...") when there is none.
MemoryItem* ChooseWorksheet(NotebookDocument& doc, const std::string& name,
                            const std::string& path, std::string* error);

// The stored type word of an item ("section", "worksheet", "report", or the
// unknown type as stored).
std::string ItemTypeWord(const NotebookDocument& doc, const MemoryItem& item);

}  // namespace korund::host

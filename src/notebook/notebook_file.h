// The notebook file: a UTF-8 JSON document holding sections, worksheets and
// reports (the format is described in DESIGN.md). Parsing turns it into a
// Notebook; serializing turns a Notebook back into the file's text. Members
// this program does not know (at the top level, in items, in columns) and
// items of unknown types are carried through unchanged.
//
// Errors are reported as "FILE: problem" texts; a failed parse leaves the
// notebook untouched.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "notebook/notebook.h"

namespace korund::notebook {

inline constexpr int64_t kMaxFileBytes = 256LL * 1024 * 1024;
// Strings (names, titles, labels, cells, report texts, keys) longer than
// this are refused on reading and on writing; no notebook needs more.
inline constexpr size_t kMaxStringBytes = 1024 * 1024;
inline constexpr const char* kNotebookFormat = "korund-notebook";
inline constexpr int kNotebookVersion = 1;

// Parses notebook text in one pass, in time linear in its size. `name` is
// the file name used in error texts. False with *error set when the text is
// not a valid notebook (bad JSON, a number outside double range, a key twice
// in one object, nesting deeper than 200, a string over kMaxStringBytes, a
// limit of the model broken); the error names the item, column and row.
// *notebook is then unchanged. A UTF-8 byte-order mark is skipped.
bool ParseNotebook(std::string_view text, const std::string& name, Notebook* notebook,
                   std::string* error);

// The notebook as file text (2-space indented, final newline). Empty cells
// are null, trailing empty cells are dropped, integral numbers are written
// without a fraction, and numbers JSON cannot hold (infinities, NaN) are
// written as empty cells. False with *error set when the notebook breaks a
// limit, so that nothing is written that could not be read back: cells,
// rows, a string over kMaxStringBytes, a text over kMaxFileBytes.
bool SerializeNotebook(const Notebook& notebook, const std::string& name, std::string* text,
                       std::string* error);

// The same text handed to `sink` in pieces of about a megabyte as it is
// made, so that it is never whole in memory. False with *error set as
// above, the sink then having received part of the text or all of it; or
// false when the sink returns false, which must say why itself. Then
// nothing more is handed on.
using TextSink = std::function<bool(std::string_view piece)>;
bool WriteNotebookText(const Notebook& notebook, const std::string& name, const TextSink& sink,
                       std::string* error);

// True when the two would be written as the same text: a walk over the
// cells instead of writing both out.
bool SameFileText(const Notebook& a, const Notebook& b);

// Reads a whole regular file of at most kMaxFileBytes. False with *error
// ("FILE: ...").
bool ReadWholeFile(const std::string& path, std::string* bytes, std::string* error);

// The same file handed to `block` in pieces of 64 KiB as it is read, the
// same checks made. False with *error, or false (error untouched) as soon
// as `block` returns false.
bool ReadFileBlocks(const std::string& path, const std::function<bool(std::string_view)>& block,
                    std::string* error);

// ReadWholeFile + ParseNotebook; *bytes (when not null) receives the file.
bool LoadNotebookFile(const std::string& path, Notebook* notebook, std::string* bytes,
                      std::string* error);

}  // namespace korund::notebook

// Reading one sheet of an .xlsx package. The path from the package to the
// cells is: _rels/.rels names the workbook part; the workbook lists the
// sheets by name with a relationship id; the workbook's relationships give
// each id's part and the shared-strings part; the sheet part holds the rows.
// Element names are matched without their namespace prefix, since writers
// differ in the prefixes they choose. The small parts are read as trees
// (pugixml); the sheet part, which may hold millions of cells, is read as a
// stream of events (expat) a block at a time, its cells kept as they come
// and its limits checked at each one, so that a sheet too large for a
// notebook is refused before it is read whole.
#include <expat.h>
#include <zip.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <pugixml.hpp>

#include "notebook/xlsx.h"
#include "util/text.h"

namespace korund::notebook {
namespace {

constexpr int32_t kMaxSheetColumns = 16384;  // column XFD

// The name without a namespace prefix: "x:sheet" -> "sheet".
std::string_view LocalName(const char* name) {
  std::string_view s(name);
  size_t colon = s.find(':');
  return colon == std::string_view::npos ? s : s.substr(colon + 1);
}

pugi::xml_node Child(pugi::xml_node node, std::string_view local) {
  for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling()) {
    if (c.type() == pugi::node_element && LocalName(c.name()) == local) return c;
  }
  return {};
}

// An attribute by local name, so "r:id" and "ns1:id" both answer to "id";
// a plain name is preferred over a prefixed one.
pugi::xml_attribute Attribute(pugi::xml_node node, std::string_view local, bool prefixed) {
  for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute()) {
    std::string_view name(a.name());
    bool has_prefix = name.find(':') != std::string_view::npos;
    if (has_prefix == prefixed && LocalName(a.name()) == local) return a;
  }
  return {};
}

// Text of a string item (<t>, or the runs <r><t> of rich text); phonetic
// runs (<rPh>) are not part of the text.
std::string StringItemText(pugi::xml_node node) {
  std::string text;
  for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling()) {
    if (c.type() != pugi::node_element) continue;
    std::string_view name = LocalName(c.name());
    if (name == "t") {
      text += c.child_value();
    } else if (name == "r") {
      text += Child(c, "t").child_value();
    }
  }
  return text;
}

bool IsHex(char ch) { return std::isxdigit(static_cast<unsigned char>(ch)) != 0; }

void AppendUtf8(uint32_t code, std::string* out) {
  if (code < 0x80) {
    *out += static_cast<char>(code);
  } else if (code < 0x800) {
    *out += static_cast<char>(0xC0 | (code >> 6));
    *out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    *out += static_cast<char>(0xE0 | (code >> 12));
    *out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// Characters XML cannot hold (control characters such as CR) are written
// as "_xHHHH_" in OOXML strings; this turns them back.
std::string UnescapeOoxml(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '_' && i + 6 < s.size() && s[i + 1] == 'x' && s[i + 6] == '_' && IsHex(s[i + 2]) &&
        IsHex(s[i + 3]) && IsHex(s[i + 4]) && IsHex(s[i + 5])) {
      AppendUtf8(static_cast<uint32_t>(std::stoul(std::string(s.substr(i + 2, 4)), nullptr, 16)),
                 &out);
      i += 6;
    } else {
      out += s[i];
    }
  }
  return out;
}

// "C7" -> column 2, row 6 (0-based). False for anything else.
bool ParseCellReference(std::string_view ref, int64_t* column, int64_t* row) {
  size_t i = 0;
  int64_t col = 0;
  while (i < ref.size() && std::isalpha(static_cast<unsigned char>(ref[i])) && i < 3) {
    col = col * 26 + (std::toupper(static_cast<unsigned char>(ref[i])) - 'A' + 1);
    ++i;
  }
  if (i == 0 || i == ref.size()) return false;
  int64_t r = 0;
  auto [end, ec] = std::from_chars(ref.data() + i, ref.data() + ref.size(), r);
  if (ec != std::errc() || end != ref.data() + ref.size() || r < 1) return false;
  *column = col - 1;
  *row = r - 1;
  return true;
}

std::optional<double> ParseXmlNumber(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  double x = 0;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), x);
  if (s.empty() || ec != std::errc() || end != s.data() + s.size() || !std::isfinite(x)) {
    return std::nullopt;
  }
  return x;
}

struct ZipCloser {
  void operator()(zip_t* z) const { zip_discard(z); }
};

class Package {
 public:
  explicit Package(std::string path) : path_(std::move(path)) {}

  bool Open(std::string* error) {
    int code = 0;
    zip_.reset(zip_open(path_.c_str(), ZIP_RDONLY, &code));
    if (zip_ != nullptr) return true;
    if (code == ZIP_ER_NOZIP || code == ZIP_ER_INCONS) {
      *error = path_ + ": not an .xlsx workbook (not a ZIP file)";
    } else {
      zip_error_t ze;
      zip_error_init_with_code(&ze, code);
      *error = path_ + ": cannot open: " + zip_error_strerror(&ze);
      zip_error_fini(&ze);
    }
    return false;
  }

  bool Has(const std::string& part) const {
    return zip_name_locate(zip_.get(), part.c_str(), 0) >= 0;
  }

  // Reads a part whole, stopping at the limits whatever its header claims.
  bool Read(const std::string& part, std::string* bytes, std::string* error) {
    bytes->clear();
    return Stream(
        part,
        [&](const char* data, size_t size) {
          bytes->append(data, size);
          return true;
        },
        error);
  }

  // Hands a part to `sink` a block at a time, stopping at the limits as
  // Read does. False with *error; a sink that returns false has set it.
  template <class Sink>
  bool Stream(const std::string& part, const Sink& sink, std::string* error) {
    zip_int64_t index = zip_name_locate(zip_.get(), part.c_str(), 0);
    if (index < 0) {
      *error = path_ + ": the workbook has no part " + part;
      return false;
    }
    zip_stat_t st;
    zip_stat_init(&st);
    const int64_t room = std::min(kMaxXlsxPartBytes, kMaxXlsxTotalBytes - total_);
    if (zip_stat_index(zip_.get(), static_cast<zip_uint64_t>(index), 0, &st) == 0 &&
        (st.valid & ZIP_STAT_SIZE) != 0 && st.size > static_cast<zip_uint64_t>(room)) {
      *error = TooLarge(part);
      return false;
    }
    zip_file_t* file = zip_fopen_index(zip_.get(), static_cast<zip_uint64_t>(index), 0);
    if (file == nullptr) {
      *error = path_ + ": cannot read " + part + ": " + zip_strerror(zip_.get());
      return false;
    }
    int64_t read = 0;
    char buffer[65536];
    bool ok = true;
    for (;;) {
      zip_int64_t n = zip_fread(file, buffer, sizeof buffer);
      if (n < 0) {
        *error = path_ + ": cannot read " + part + ": " + zip_file_strerror(file);
        ok = false;
        break;
      }
      if (n == 0) break;
      if (read + n > room) {
        *error = TooLarge(part);
        ok = false;
        break;
      }
      read += n;
      if (!sink(static_cast<const char*>(buffer), static_cast<size_t>(n))) {
        ok = false;
        break;
      }
    }
    zip_fclose(file);
    if (ok) total_ += read;
    return ok;
  }

  // Reads and parses an XML part, refusing one nested too deeply.
  bool ReadXml(const std::string& part, pugi::xml_document* doc, std::string* error) {
    std::string bytes;
    if (!Read(part, &bytes, error)) return false;
    // parse_ws_pcdata_single keeps a text of blanks only (" " is a text).
    pugi::xml_parse_result result = doc->load_buffer(
        bytes.data(), bytes.size(), pugi::parse_default | pugi::parse_ws_pcdata_single);
    if (!result) {
      *error = path_ + ": " + part + " is not well-formed XML (" + result.description() +
               " at byte " + std::to_string(result.offset) + ")";
      return false;
    }
    if (Depth(*doc) > kMaxXlsxDepth) {
      *error = path_ + ": " + part + " nests elements more than " + std::to_string(kMaxXlsxDepth) +
               " deep";
      return false;
    }
    return true;
  }

  const std::string& path() const { return path_; }

 private:
  std::string TooLarge(const std::string& part) const {
    return path_ + ": " + part + " is too large (more than " +
           std::to_string(kMaxXlsxPartBytes / (1024 * 1024)) + " MiB in one part or " +
           std::to_string(kMaxXlsxTotalBytes / (1024 * 1024)) + " MiB in all)";
  }

  // Iterative, so that a deep document cannot exhaust the stack.
  static int Depth(const pugi::xml_document& doc) {
    int deepest = 0;
    int depth = 0;
    pugi::xml_node node = doc.first_child();
    while (node) {
      deepest = std::max(deepest, depth + 1);
      if (node.first_child()) {
        node = node.first_child();
        ++depth;
        continue;
      }
      while (node && !node.next_sibling()) {
        node = node.parent();
        --depth;
      }
      if (node) node = node.next_sibling();
      if (depth < 0) break;
    }
    return deepest;
  }

  std::string path_;
  std::unique_ptr<zip_t, ZipCloser> zip_;
  int64_t total_ = 0;
};

// "xl/workbook.xml" + "worksheets/sheet1.xml" -> "xl/worksheets/sheet1.xml";
// a target starting with "/" is from the package root.
std::string ResolveTarget(const std::string& source_part, const std::string& target) {
  std::vector<std::string> parts;
  std::string path;
  if (!target.empty() && target[0] == '/') {
    path = target.substr(1);
  } else {
    size_t slash = source_part.rfind('/');
    path = (slash == std::string::npos ? "" : source_part.substr(0, slash + 1)) + target;
  }
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    std::string piece = path.substr(start, end - start);
    if (piece == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!piece.empty() && piece != ".") {
      parts.push_back(piece);
    }
    start = end + 1;
  }
  std::string out;
  for (const std::string& p : parts) out += (out.empty() ? "" : "/") + p;
  return out;
}

// The relationships of a part: id -> (type, resolved target).
struct Relationship {
  std::string type;
  std::string target;
};
bool ReadRelationships(Package& pkg, const std::string& source_part,
                       std::map<std::string, Relationship>* rels, std::string* error) {
  size_t slash = source_part.rfind('/');
  std::string dir = slash == std::string::npos ? "" : source_part.substr(0, slash + 1);
  std::string name = slash == std::string::npos ? source_part : source_part.substr(slash + 1);
  std::string rels_part = dir + "_rels/" + name + ".rels";
  if (!pkg.Has(rels_part)) return true;
  pugi::xml_document doc;
  if (!pkg.ReadXml(rels_part, &doc, error)) return false;
  pugi::xml_node root = doc.document_element();
  for (pugi::xml_node r = root.first_child(); r; r = r.next_sibling()) {
    if (r.type() != pugi::node_element || LocalName(r.name()) != "Relationship") continue;
    if (std::string_view(r.attribute("TargetMode").value()) == "External") continue;
    (*rels)[r.attribute("Id").value()] = {
        r.attribute("Type").value(), ResolveTarget(source_part, r.attribute("Target").value())};
  }
  return true;
}

bool EndsWith(std::string_view s, std::string_view tail) {
  return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

// The comments "label: NAME" on cells of the first row, which WriteXlsx
// leaves for the column labels.
bool ReadLabelComments(Package& pkg, const std::string& sheet_part,
                       std::map<size_t, std::string>* labels, std::string* error) {
  static constexpr std::string_view kPrefix = "label: ";
  std::map<std::string, Relationship> rels;
  if (!ReadRelationships(pkg, sheet_part, &rels, error)) return false;
  for (const auto& [id, rel] : rels) {
    if (!EndsWith(rel.type, "/comments") || !pkg.Has(rel.target)) continue;
    pugi::xml_document doc;
    if (!pkg.ReadXml(rel.target, &doc, error)) return false;
    pugi::xml_node list = Child(doc.document_element(), "commentList");
    for (pugi::xml_node c = list.first_child(); c; c = c.next_sibling()) {
      if (c.type() != pugi::node_element || LocalName(c.name()) != "comment") continue;
      int64_t column = 0, row = 0;
      if (!ParseCellReference(c.attribute("ref").value(), &column, &row) || row != 0) continue;
      const std::string text = UnescapeOoxml(StringItemText(Child(c, "text")));
      if (text.compare(0, kPrefix.size(), kPrefix) == 0) {
        (*labels)[static_cast<size_t>(column)] = text.substr(kPrefix.size());
      }
    }
  }
  return true;
}

// The part of the workbook's main document, as the package relationships
// name it.
bool FindWorkbookPart(Package& pkg, std::string* part, std::string* error) {
  std::map<std::string, Relationship> package_rels;
  if (!ReadRelationships(pkg, "", &package_rels, error)) return false;
  for (const auto& [id, rel] : package_rels) {
    if (EndsWith(rel.type, "/officeDocument")) *part = rel.target;
  }
  if (part->empty() || !pkg.Has(*part)) {
    *error = pkg.path() + ": not an .xlsx workbook (the package holds no workbook)";
    return false;
  }
  return true;
}

// The part and name of the sheet called sheet_name ("" the first); the
// error names the sheets the workbook has.
bool FindSheetPart(const std::string& path, const pugi::xml_document& workbook,
                   const std::map<std::string, Relationship>& rels, const std::string& sheet_name,
                   std::string* part, std::string* found_name, std::string* error) {
  std::vector<std::string> names;
  pugi::xml_node sheets = Child(workbook.document_element(), "sheets");
  for (pugi::xml_node s = sheets.first_child(); s; s = s.next_sibling()) {
    if (s.type() != pugi::node_element || LocalName(s.name()) != "sheet") continue;
    std::string name = s.attribute("name").value();
    names.push_back(name);
    if (!part->empty() || (!sheet_name.empty() && name != sheet_name)) continue;
    auto rel = rels.find(Attribute(s, "id", true).value());
    if (rel == rels.end()) {
      *error = path + ": the workbook does not say where sheet " + QuotedExcerpt(name) + " is";
      return false;
    }
    *part = rel->second.target;
    *found_name = name;
  }
  if (!part->empty()) return true;
  if (names.empty()) {
    *error = path + ": the workbook has no sheets";
  } else {
    std::string list;
    for (const std::string& n : names) list += (list.empty() ? "" : ", ") + QuotedExcerpt(n);
    *error = path + ": there is no sheet named " + QuotedExcerpt(sheet_name) + " (the sheets are " +
             list + ")";
  }
  return false;
}

bool ReadSharedStrings(Package& pkg, const std::map<std::string, Relationship>& rels,
                       std::vector<std::string>* shared, std::string* error) {
  for (const auto& [id, rel] : rels) {
    if (!EndsWith(rel.type, "/sharedStrings")) continue;
    pugi::xml_document sst;
    if (!pkg.ReadXml(rel.target, &sst, error)) return false;
    for (pugi::xml_node si = sst.document_element().first_child(); si; si = si.next_sibling()) {
      if (si.type() == pugi::node_element && LocalName(si.name()) == "si") {
        shared->push_back(UnescapeOoxml(StringItemText(si)));
      }
    }
  }
  return true;
}

// Reads the cells of one sheet part, every error naming the file and the
// sheet ("PATH: sheet S, cell C: what").
class SheetCells {
 public:
  SheetCells(const std::string& path, const std::string& sheet,
             const std::vector<std::string>& shared)
      : path_(path), sheet_(sheet), shared_(shared) {}

  // A <row>, its "r" attribute or nullptr. False with *error.
  bool BeginRow(const char* number, std::string* error) {
    // A row without a number follows the one before it.
    row_ = number != nullptr ? std::strtoll(number, nullptr, 10) - 1 : row_ + 1;
    column_ = -1;
    if (row_ < 0) {
      *error = Where() + " has a row numbered " + number;
      return false;
    }
    return true;
  }

  // A <c> of the row, its "r" attribute or nullptr. False with *error.
  bool BeginCell(const char* reference, std::string* error) {
    cell_row_ = row_;
    if (reference != nullptr) {
      if (!ParseCellReference(reference, &column_, &cell_row_)) {
        *error = Where() + " has a cell named " + QuotedExcerpt(reference);
        return false;
      }
    } else {
      ++column_;
    }
    if (column_ >= kMaxSheetColumns || column_ + 1 > kMaxColumnNumber) {
      *error = Where(column_, cell_row_) + "beyond the last column a worksheet can hold";
      return false;
    }
    if (cell_row_ + 1 > kMaxRowsPerColumn) {
      *error = Where(column_, cell_row_) + "beyond the " + std::to_string(kMaxRowsPerColumn) +
               " rows a worksheet column can hold";
      return false;
    }
    return true;
  }

  // What a cell held; false with *error when it is no cell or the sheet
  // would span more cells than a notebook holds.
  struct CellText {
    std::string type;   // its "t" attribute
    bool has_v = false;
    std::string v, f;   // the texts of its <v> and <f>
    std::string inline_text;  // of its <is>
  };
  bool EndCell(const CellText& c, std::string* error) {
    Value value;
    if (!ReadCell(c, &value, error)) {
      *error = Where(column_, cell_row_) + *error;
      return false;
    }
    if (value.IsEmpty()) return true;
    // Counted before anything is stored: what the columns would span.
    const auto k = static_cast<size_t>(column_);
    const auto length = static_cast<int64_t>(k < columns_.size() ? columns_[k].size() : 0);
    if (cell_row_ + 1 > length) total_ += cell_row_ + 1 - length;
    if (total_ > kMaxCellsPerNotebook) {
      *error = Where() + " spans more than " + std::to_string(kMaxCellsPerNotebook) +
               " cells (a notebook holds at most " + std::to_string(kMaxCellsPerNotebook) + ")";
      return false;
    }
    if (k >= columns_.size()) columns_.resize(k + 1);
    std::vector<Value>& column = columns_[k];
    if (column.size() < static_cast<size_t>(cell_row_) + 1) {
      column.resize(static_cast<size_t>(cell_row_) + 1);
    }
    column[static_cast<size_t>(cell_row_)] = std::move(value);
    return true;
  }

  // Each column's cells, ending at its last stored cell; taken once.
  std::vector<std::vector<Value>> TakeColumns() { return std::move(columns_); }

 private:
  std::string Where() const { return path_ + ": sheet " + QuotedExcerpt(sheet_); }
  std::string Where(int64_t column, int64_t row) const {
    return Where() + ", cell " +
           XlsxSheet::CellName(static_cast<size_t>(column), static_cast<size_t>(row)) + ": ";
  }

  // The value of a cell by its type; false with *error saying what is wrong
  // with it.
  bool ReadCell(const CellText& c, Value* value, std::string* error) const {
    const std::string& type = c.type;
    const std::string& v = c.v;
    if (type == "s") {
      auto index = ParseXmlNumber(v);
      if (!index || *index < 0 || *index >= static_cast<double>(shared_.size()) ||
          *index != std::floor(*index)) {
        *error = "refers to shared string " + v + ", which the workbook does not have";
        return false;
      }
      *value = Value(shared_[static_cast<size_t>(*index)]);
    } else if (type == "inlineStr") {
      *value = Value(UnescapeOoxml(c.inline_text));
    } else if (type == "str" || type == "e" || type == "d") {
      *value = Value(UnescapeOoxml(v));
    } else if (type == "b") {
      *value = Value::Bool(v == "1");
    } else if (c.has_v) {
      // A formula that is a plain number states the value exactly; the
      // cached result may have lost digits.
      std::optional<double> x = ParseXmlNumber(c.f);
      if (!x) x = ParseXmlNumber(v);
      if (!x) {
        *error = QuotedExcerpt(v) + " is not a number";
        return false;
      }
      *value = Value(*x);
    }
    return true;
  }

  const std::string& path_;
  const std::string& sheet_;
  const std::vector<std::string>& shared_;
  std::vector<std::vector<Value>> columns_;  // each up to its last cell
  int64_t total_ = 0;                        // their lengths' sum
  int64_t row_ = -1, column_ = -1, cell_row_ = -1;
};

// The sheet part's XML events, fed to SheetCells: the rows of the first
// <sheetData>, their cells and the texts of each cell's first <v>, <f> and
// <is> (whose <t> and rich-text runs' <t> make its text). No tree is built.
// Entity references are not expanded (a default handler is set), so a
// declared entity stays as its reference, as the tree reader keeps it.
class SheetStream {
 public:
  SheetStream(SheetCells* cells, const std::string& path, const std::string& part)
      : cells_(*cells), path_(path), part_(part), parser_(XML_ParserCreate(nullptr)) {
    XML_SetUserData(parser_, this);
    XML_SetElementHandler(parser_, &SheetStream::OnStart, &SheetStream::OnEnd);
    XML_SetCharacterDataHandler(parser_, &SheetStream::OnText);
    XML_SetDefaultHandler(parser_, &SheetStream::OnDefault);
  }
  ~SheetStream() { XML_ParserFree(parser_); }
  SheetStream(const SheetStream&) = delete;
  SheetStream& operator=(const SheetStream&) = delete;

  // One block of the part; `last` for the end. False with *error.
  bool Feed(const char* data, size_t size, bool last, std::string* error) {
    if (XML_Parse(parser_, data, static_cast<int>(size), last ? XML_TRUE : XML_FALSE) ==
        XML_STATUS_OK) {
      return true;
    }
    if (!error_.empty()) {
      *error = error_;
    } else {
      *error = path_ + ": " + part_ + " is not well-formed XML (" +
               XML_ErrorString(XML_GetErrorCode(parser_)) + " at byte " +
               std::to_string(XML_GetCurrentByteIndex(parser_)) + ")";
    }
    return false;
  }

 private:
  enum class Text { kNone, kV, kF, kInline };

  static const char* Attribute(const XML_Char** attributes, const char* name) {
    for (; attributes[0] != nullptr; attributes += 2) {
      if (std::strcmp(attributes[0], name) == 0) return attributes[1];
    }
    return nullptr;
  }
  void Stop(std::string error) {
    if (error_.empty()) error_ = std::move(error);
    XML_StopParser(parser_, XML_FALSE);
  }

  static void OnStart(void* self, const XML_Char* name, const XML_Char** attributes) {
    static_cast<SheetStream*>(self)->Start(LocalName(name), attributes);
  }
  static void OnEnd(void* self, const XML_Char* /*name*/) { static_cast<SheetStream*>(self)->End(); }
  static void OnText(void* self, const XML_Char* text, int length) {
    static_cast<SheetStream*>(self)->Append(text, length);
  }
  static void OnDefault(void* self, const XML_Char* text, int length) {
    // An entity reference left as it stands.
    if (length > 0 && text[0] == '&') static_cast<SheetStream*>(self)->Append(text, length);
  }

  void Start(std::string_view name, const XML_Char** attributes) {
    if (++depth_ > kMaxXlsxDepth) {
      return Stop(path_ + ": " + part_ + " nests elements more than " +
                  std::to_string(kMaxXlsxDepth) + " deep");
    }
    std::string error;
    if (depth_ == 2 && name == "sheetData" && !data_done_) {
      in_data_ = true;
    } else if (in_data_ && depth_ == 3 && name == "row") {
      in_row_ = true;
      if (!cells_.BeginRow(Attribute(attributes, "r"), &error)) return Stop(error);
    } else if (in_row_ && depth_ == 4 && name == "c") {
      in_cell_ = true;
      cell_ = SheetCells::CellText();
      const char* type = Attribute(attributes, "t");
      cell_.type = type != nullptr ? type : "";
      seen_v_ = seen_f_ = seen_is_ = false;
      if (!cells_.BeginCell(Attribute(attributes, "r"), &error)) return Stop(error);
    } else if (in_cell_ && depth_ == 5) {
      if (name == "v" && !seen_v_) {
        seen_v_ = cell_.has_v = true;
        Capture(Text::kV);
      } else if (name == "f" && !seen_f_) {
        seen_f_ = true;
        Capture(Text::kF);
      } else if (name == "is" && !seen_is_) {
        seen_is_ = in_is_ = true;
      }
    } else if (in_is_ && depth_ == 6) {
      if (name == "t") Capture(Text::kInline);
      in_run_ = name == "r";
      run_text_taken_ = false;
    } else if (in_run_ && depth_ == 7 && name == "t" && !run_text_taken_) {
      run_text_taken_ = true;
      Capture(Text::kInline);
    }
  }

  void End() {
    if (text_ != Text::kNone && depth_ == text_depth_) text_ = Text::kNone;
    if (depth_ == 6) in_run_ = false;
    if (depth_ == 5) in_is_ = false;
    if (depth_ == 4 && in_cell_) {
      in_cell_ = false;
      std::string error;
      if (!cells_.EndCell(cell_, &error)) Stop(error);
    }
    if (depth_ == 3) in_row_ = false;
    if (depth_ == 2 && in_data_) {
      in_data_ = false;
      data_done_ = true;
    }
    --depth_;
  }

  void Capture(Text text) {
    text_ = text;
    text_depth_ = depth_;
  }
  // Only the element's own text counts, not that of elements inside it.
  void Append(const char* text, int length) {
    if (text_ == Text::kNone || depth_ != text_depth_) return;
    std::string& to = text_ == Text::kV ? cell_.v : text_ == Text::kF ? cell_.f : cell_.inline_text;
    to.append(text, static_cast<size_t>(length));
  }

  SheetCells& cells_;
  const std::string& path_;
  const std::string& part_;
  XML_Parser parser_;
  std::string error_;
  int depth_ = 0;
  bool in_data_ = false, data_done_ = false, in_row_ = false, in_cell_ = false;
  bool in_is_ = false, in_run_ = false, run_text_taken_ = false;
  bool seen_v_ = false, seen_f_ = false, seen_is_ = false;
  SheetCells::CellText cell_;
  Text text_ = Text::kNone;
  int text_depth_ = 0;
};

}  // namespace

std::string XlsxSheet::CellName(size_t column, size_t row) {
  std::string letters;
  for (size_t n = column + 1; n > 0; n = (n - 1) / 26) {
    letters.insert(letters.begin(), static_cast<char>('A' + (n - 1) % 26));
  }
  return letters + std::to_string(row + 1);
}

bool ReadXlsxSheet(const std::string& path, const std::string& sheet_name, XlsxSheet* sheet,
                   std::string* error) {
  Package pkg(path);
  if (!pkg.Open(error)) return false;
  std::string workbook_part;
  if (!FindWorkbookPart(pkg, &workbook_part, error)) return false;
  pugi::xml_document workbook;
  if (!pkg.ReadXml(workbook_part, &workbook, error)) return false;
  std::map<std::string, Relationship> rels;
  if (!ReadRelationships(pkg, workbook_part, &rels, error)) return false;
  std::string sheet_part, found_name;
  if (!FindSheetPart(path, workbook, rels, sheet_name, &sheet_part, &found_name, error)) {
    return false;
  }
  std::vector<std::string> shared;
  if (!ReadSharedStrings(pkg, rels, &shared, error)) return false;
  SheetCells cells(path, found_name, shared);
  {
    SheetStream stream(&cells, path, sheet_part);
    const auto feed = [&](const char* data, size_t size) {
      return stream.Feed(data, size, false, error);
    };
    if (!pkg.Stream(sheet_part, feed, error) || !stream.Feed("", 0, true, error)) return false;
  }
  if (!ReadLabelComments(pkg, sheet_part, &sheet->labels, error)) return false;
  sheet->columns = cells.TakeColumns();
  sheet->name = found_name;
  return true;
}

}  // namespace korund::notebook

// Comma-separated values after RFC 4180: fields in double quotes may hold
// separators, line breaks and doubled quotes; lines end in CRLF or LF.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace korund::host {

using CsvRow = std::vector<std::string>;

// Splits text into rows of fields. A leading UTF-8 byte-order mark is
// skipped; a final line break does not start another row. A quote inside an
// unquoted field is kept as a character. False with *error ("line N: ...")
// for an unterminated quoted field or text after a closing quote.
bool ParseCsv(std::string_view text, char separator, std::vector<CsvRow>* rows,
              std::string* error);

// One field as CSV: quoted (with doubled quotes) when it holds the
// separator, a quote, a line break, or leading or trailing blanks.
std::string CsvField(std::string_view field, char separator);

}  // namespace korund::host

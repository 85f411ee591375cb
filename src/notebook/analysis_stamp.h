// Which analysis last wrote a worksheet's results, and whether the cells it
// read have changed since: a report made from results older than their data
// must say so.
//
// The stamp is "KIND:DIGEST", KIND "weibull", "dynamic" or "static" and
// DIGEST the 64-bit FNV-1a hash (16 hex digits) of the analysis' input cells
// — the data columns and the options record — in a fixed order. Titles,
// styles and the results themselves do not count.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "notebook/notebook.h"

namespace korund::notebook {

enum class AnalysisKind { kWeibull, kDynamic, kStatic };

// "weibull", "dynamic", "static".
const char* AnalysisWord(AnalysisKind kind);

// The stamp of the worksheet's current input cells for that analysis.
std::string AnalysisStamp(const Worksheet& sheet, AnalysisKind kind);

// What the stored stamp of a worksheet item says now.
struct StampCheck {
  AnalysisKind kind = AnalysisKind::kWeibull;
  bool stale = false;  // the input cells differ from those analysed
};
// nullopt for an item with no stamp or one this version cannot read (a
// worksheet never analysed, or analysed by an older version, says nothing).
std::optional<StampCheck> CheckAnalysisStamp(const Item& item);

// The line that warns of stale results, "" when the item's results are
// current or unstamped:
//   worksheet "Data 1" changed after its Weibull analysis; run `korund weibull` again
// `rerun`, when given, says instead how to run that analysis again (the
// studio names its menu entry).
std::string StaleResultsNote(const Item& item,
                             const std::function<std::string(AnalysisKind)>& rerun = {});

}  // namespace korund::notebook

#include "notebook/analysis_stamp.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "util/worksheet_layout.h"

namespace korund::notebook {
namespace {

constexpr uint64_t kFnvOffset = 14695981039346656037ull;
constexpr uint64_t kFnvPrime = 1099511628211ull;

class Fnv1a {
 public:
  void Bytes(const void* data, size_t size) {
    const auto* p = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < size; ++i) {
      hash_ = (hash_ ^ p[i]) * kFnvPrime;
    }
  }
  void Word(uint64_t w) { Bytes(&w, sizeof w); }
  uint64_t hash() const { return hash_; }

 private:
  uint64_t hash_ = kFnvOffset;
};

// A column's cells as the notebook file keeps them: empty, blank and
// non-finite cells are all nothing, and 0 has one sign; otherwise a stamp
// would not survive its own save. Each cell is framed by its row and kind
// so that moved or retyped cells change the digest.
void HashColumn(const Worksheet& sheet, int32_t number, Fnv1a* h) {
  h->Word(static_cast<uint64_t>(number));
  const Column* column = sheet.FindColumn(number);
  if (column == nullptr) return;
  const int32_t rows = sheet.UsedRows(number);
  for (int32_t row = 1; row <= rows; ++row) {
    const Value& v = column->cells[static_cast<size_t>(row - 1)];
    if (v.IsBlank() || (v.IsNumber() && !std::isfinite(v.Number()))) continue;
    h->Word(static_cast<uint64_t>(row));
    if (v.IsNumber()) {
      h->Word(1);
      h->Word(std::bit_cast<uint64_t>(v.Number() == 0 ? 0.0 : v.Number()));
    } else {
      h->Word(2);
      h->Word(v.Text().size());
      h->Bytes(v.Text().data(), v.Text().size());
    }
  }
}

std::vector<int32_t> InputColumns(AnalysisKind kind) {
  std::vector<int32_t> columns;
  if (kind == AnalysisKind::kWeibull) {
    namespace wl = layout::weibull;
    for (int32_t n = 1; n <= wl::kSets; ++n) columns.push_back(wl::RawColumn(n));
    // The tick percentages place the probability scale the ordinates use.
    columns.push_back(wl::kTickLabelColumn);
    columns.push_back(layout::WeibullRecord::kColumn);
  } else {
    namespace fl = layout::fatigue;
    for (int32_t s = 1; s <= fl::kSets; ++s) {
      for (int32_t k : {fl::kColId, fl::kColRawY, fl::kColRawX}) {
        columns.push_back(fl::SetColumn(s, k));
      }
    }
    columns.push_back(layout::FatigueRecord::kColumn);
  }
  return columns;
}

std::optional<AnalysisKind> KindOfWord(const std::string& word) {
  for (AnalysisKind kind : {AnalysisKind::kWeibull, AnalysisKind::kDynamic, AnalysisKind::kStatic}) {
    if (word == AnalysisWord(kind)) return kind;
  }
  return std::nullopt;
}

}  // namespace

const char* AnalysisWord(AnalysisKind kind) {
  switch (kind) {
    case AnalysisKind::kDynamic: return "dynamic";
    case AnalysisKind::kStatic: return "static";
    case AnalysisKind::kWeibull: break;
  }
  return "weibull";
}

std::string AnalysisStamp(const Worksheet& sheet, AnalysisKind kind) {
  Fnv1a h;
  for (int32_t column : InputColumns(kind)) HashColumn(sheet, column, &h);
  char digest[17];
  std::snprintf(digest, sizeof digest, "%016llx", static_cast<unsigned long long>(h.hash()));
  return std::string(AnalysisWord(kind)) + ":" + digest;
}

std::optional<StampCheck> CheckAnalysisStamp(const Item& item) {
  const Worksheet* sheet = item.worksheet();
  const std::string& stamp = item.analysis();
  const size_t colon = stamp.find(':');
  if (sheet == nullptr || colon == std::string::npos) return std::nullopt;
  const auto kind = KindOfWord(stamp.substr(0, colon));
  if (!kind) return std::nullopt;
  return StampCheck{*kind, AnalysisStamp(*sheet, *kind) != stamp};
}

std::string StaleResultsNote(const Item& item,
                             const std::function<std::string(AnalysisKind)>& rerun) {
  const auto check = CheckAnalysisStamp(item);
  if (!check || !check->stale) return "";
  const char* what = check->kind == AnalysisKind::kWeibull   ? "Weibull analysis"
                     : check->kind == AnalysisKind::kDynamic ? "dynamic fatigue analysis"
                                                             : "static fatigue analysis";
  const std::string how =
      rerun ? rerun(check->kind) : "run `korund " + std::string(AnalysisWord(check->kind)) + "`";
  return "worksheet \"" + item.name() + "\" changed after its " + what + "; " + how + " again";
}

}  // namespace korund::notebook

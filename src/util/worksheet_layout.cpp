#include "util/worksheet_layout.h"

#include <string_view>

#include "util/text.h"

namespace korund::layout {

namespace weibull {
namespace {

constexpr bool LabelIs(int32_t row, std::string_view label) { return kResultLabels[row] == label; }

// The named rows carry the labels the readers check.
static_assert(LabelIs(kRowN, "N") && LabelIs(kRowM, "m") && LabelIs(kRowDm, "Dm") &&
              LabelIs(kRowSo, "So") && LabelIs(kRowDSo, "DSo") && LabelIs(kRowC, "c") &&
              LabelIs(kRowDc, "Dc") && LabelIs(kRowR, "R"));
static_assert(LabelIs(kRowMle, "mle") && LabelIs(kRowMleM, "m") && LabelIs(kRowMleMLower, "m-") &&
              LabelIs(kRowMleMUpper, "m+") && LabelIs(kRowMleSo, "So") &&
              LabelIs(kRowMleSoLower, "So-") && LabelIs(kRowMleSoUpper, "So+"));
static_assert(LabelIs(kRow15Distn, "15% distn") && LabelIs(kRow50Distn, "50% distn") &&
              LabelIs(kRowAm, "A: md") && LabelIs(kRowASo, "A: So") && LabelIs(kRowIecM, "md") &&
              LabelIs(kRowIecSo, "So"));
static_assert(LabelIs(kRowC1239MUpper, "m.upper") && LabelIs(kRowC1239MLower, "m.lower") &&
              LabelIs(kRowC1239SoUpper, "So.upper") && LabelIs(kRowC1239SoLower, "So.lower"));

}  // namespace

ValueArray ResultLabels() {
  ValueArray labels;
  labels.reserve(kResultRows + 1);
  for (const char* label : kResultLabels) labels.emplace_back(label);
  return labels;
}

ValueArray ResultTemplate(const ValueArray& labels) {
  ValueArray result = labels;
  for (int32_t row = 1; row <= kResultRows; ++row) {
    if (!result[row].IsBlank()) result[row] = Value(kNoResult);
  }
  result[0] = Value(kResultRows);
  return result;
}

int32_t ResultRow(const ValueArray& labels, const char* label) {
  return IndexInList(labels, static_cast<int32_t>(labels.size()) - 1, Value(label));
}

}  // namespace weibull

namespace fatigue {

std::string ResultLabel(int32_t row, const std::string& param) {
  switch (row) {
    case kRowN: return "N";
    case kRowParam: return param;
    case kRowParamLower: return param + ".lower";
    case kRowParamUpper: return param + ".upper";
    case kRowSlope: return "slope";
    case kRowSlopeError: return "\xC2\xB1,  SEE";
    case kRowIntercept: return "intcpt";
    case kRowInterceptError: return "\xC2\xB1";
    case kRowR2: return "R\xC2\xB2";
    case kRowIecTitle: return "IEC60793-1-33";
    case kRowIecLower: return param + "L";
    case kRowIecUpper: return param + "U";
    case kRowLnIntercept: return "Intcpt";
    case kRowLnInterceptError: return "\xC2\xB1" "95%";
    default: return "";
  }
}

}  // namespace fatigue

}  // namespace korund::layout

#include "notebook/analysis_stamp.h"

#include <gtest/gtest.h>

#include <cmath>

#include "notebook/notebook_file.h"
#include "util/worksheet_layout.h"

namespace korund::notebook {
namespace {

// A worksheet analysed as `kind`, its stamp written, saved and read back.
class AnalysisStampTest : public ::testing::Test {
 protected:
  Item& Analysed(AnalysisKind kind) {
    Item& item = doc_.AddWorksheet("Data 1");
    Worksheet& ws = *item.worksheet();
    for (int row = 1; row <= 5; ++row) ws.SetCell(1, row, Value(2.5 + row));
    ws.SetCell(2, 1, Value(0.0));
    ws.SetCell(2, 2, Value(""));
    ws.SetCell(56, 2, Value(2));
    item.set_analysis(AnalysisStamp(ws, kind));
    return item;
  }
  Item Reloaded() {
    std::string text, error;
    EXPECT_TRUE(SerializeNotebook(doc_, "lab.json", &text, &error)) << error;
    Notebook back;
    EXPECT_TRUE(ParseNotebook(text, "lab.json", &back, &error)) << error;
    return back.item(0);
  }
  Notebook doc_;
};

TEST_F(AnalysisStampTest, OnlyTheInputCellsMakeResultsStale) {
  Item& item = Analysed(AnalysisKind::kWeibull);
  EXPECT_EQ(0u, item.analysis().find("weibull:"));
  EXPECT_EQ(item.analysis(), Reloaded().analysis()) << "the stamp is saved";
  EXPECT_FALSE(CheckAnalysisStamp(Reloaded())->stale) << "and survives its own save";
  Worksheet& ws = *item.worksheet();
  // What the file cannot tell apart, and what the analysis does not read.
  ws.SetCell(2, 1, Value(-0.0));
  ws.SetCell(2, 3, Value(std::nan("")));
  ws.SetCell(2, 4, Value(""));
  ws.SetTitle(1, "Lot A");
  ws.SetCell(layout::weibull::ResultColumn(1), 2, Value(7.0));
  ws.SetCell(layout::weibull::kSymbolColumn, 1, Value("@sym(2)"));
  ws.SetCell(layout::weibull::StrengthColumn(1), 1, Value(1.0));
  EXPECT_EQ("", StaleResultsNote(item));

  const struct {
    int32_t column, row;
    Value value;
  } inputs[] = {{1, 3, Value(9.5)},  {1, 3, Value("5.5")}, {1, 9, Value(1.0)},
                {10, 1, Value(1.0)}, {12, 1, Value(2.0)},  {56, 4, Value(1.0)}};
  for (const auto& input : inputs) {
    Item copy(item);
    copy.worksheet()->SetCell(input.column, input.row, input.value);
    EXPECT_EQ("worksheet \"Data 1\" changed after its Weibull analysis; run `korund weibull` again",
              StaleResultsNote(copy))
        << input.column << ":" << input.row;
  }
}

TEST_F(AnalysisStampTest, FatigueStampsReadTheirOwnColumnsAndUnknownStampsSayNothing) {
  Item& item = Analysed(AnalysisKind::kStatic);
  item.worksheet()->SetCell(layout::fatigue::SetColumn(2, layout::fatigue::kColSortX), 1,
                            Value(1.0));
  EXPECT_EQ("", StaleResultsNote(item));
  item.worksheet()->SetCell(layout::fatigue::SetColumn(6, layout::fatigue::kColRawX), 1,
                            Value(1.0));
  EXPECT_EQ("worksheet \"Data 1\" changed after its static fatigue analysis; run `korund static` "
            "again",
            StaleResultsNote(item));
  for (const char* stamp : {"", "static", "lifetime:0123456789abcdef", ":"}) {
    item.set_analysis(stamp);
    EXPECT_FALSE(CheckAnalysisStamp(item).has_value()) << stamp;
  }
}

}  // namespace
}  // namespace korund::notebook

// The driver: options record, report item, finishing summary.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fatigue/fatigue_driver.h"
#include "fatigue/fatigue_test_support.h"

namespace korund::fatigue {
namespace {

using Strings = std::vector<std::string>;

class DriverTest : public FatigueTest {
 protected:
  DriverTest() {
    Input(1, kColRawY, {3.0, 3.2, 4.0, 4.1});
    Input(1, kColRawX, {1.0, 1.0, 10.0, 10.0});
  }
  std::string Report() {
    for (const auto& item : host.notebook.items) {
      if (item->type == host::kItemReport) return item->text;
    }
    return "<no report>";
  }
};

TEST_F(DriverTest, OptionsRecordIsWrittenBeforeAnyData) {
  settings.FatigueMode = 1;
  settings.LockWorksheet = true;
  settings.IgnoreWeakest = true;
  settings.GroupRates = true;
  settings.RateFactor = 1.5;
  settings.IgnoreByComment = true;
  settings.IgnoreChars = "#!";
  settings.CopyData = true;
  settings.SetToCopy = 4;
  Load();
  RunFatigueMacro(ctx);
  EXPECT_EQ("parms", sheet.BufferedTitle(kColParms));
  std::vector<Value> record;
  for (int32_t row = 1; row <= 13; ++row) record.push_back(Get(kColParms, row));
  const std::vector<Value> expected = {1, 0, -1, "", -1, -1, 1.5, -1, "#!", "\"2.00\"", -1, 4, 0};
  ASSERT_EQ(expected.size(), record.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(ToText(expected[i]), ToText(record[i])) << "row " << i + 1;
    EXPECT_EQ(expected[i].kind(), record[i].kind()) << "row " << i + 1;
  }
}

TEST_F(DriverTest, FinishMessageHasOneLinePerSet) {
  Load();
  RunFatigueMacro(ctx);
  EXPECT_EQ(
      "Dynamic fatigue analysis complete:\t\r\n"
      "\r\nSet 1:\t4 measurements at 2 rates"
      "\r\nSet 2:\tempty\r\nSet 3:\tempty\r\nSet 4:\tempty\r\nSet 5:\tempty\r\nSet 6:\tempty",
      settings.FinishMessage);
  EXPECT_EQ("<no report>", Report());  // MakeReport is off
  // The shared fit columns end with set 6, which has no data.
  EXPECT_EQ("", ToText(Get(kColFitX, 1)));
  ExpectNoNonFinite(sheet);
}

TEST_F(DriverTest, StaticReportHoldsTheHeaderAndEachSet) {
  settings.FitType = kFitStatic;
  settings.FatigueMode = 2;
  settings.MakeReport = true;
  settings.IgnoreWeakest = true;
  Load();
  RunFatigueMacro(ctx);
  EXPECT_EQ(0u, settings.FinishMessage.rfind("Static fatigue analysis complete:\t\r\n", 0));
  const std::string report = Report();
  EXPECT_EQ(0u, report.rfind("STATIC FATIGUE ANALYSIS\r\n"
                             "Weakest at each rate will be ignored\r\n"
                             "\r\n"
                             "DATA SET 1\r\n"
                             "4 total measurements\r\n",
                             0))
      << report;
  EXPECT_EQ(std::string::npos, report.find("Analysis for constant"));
  EXPECT_NE(std::string::npos, report.find("\r\nDATA SET 2\r\nempty\r\nDATA SET 3\r\n"));
  ASSERT_GT(report.size(), 19u);
  EXPECT_EQ("DATA SET 6\r\nempty\r\n", report.substr(report.size() - 19));
  EXPECT_NE(std::string::npos, settings.FinishMessage.find("Set 1:\t2 measurements at 2 rates"));
}

TEST_F(DriverTest, DynamicReportNamesTheRulesInForce) {
  settings.MakeReport = true;
  settings.FatigueMode = 1;
  settings.IgnoreByComment = true;
  settings.IgnoreChars = "#*";
  Load();
  RunFatigueMacro(ctx);
  EXPECT_EQ(0u, Report().rfind("DYNAMIC FATIGUE ANALYSIS\r\n"
                               "Analysis for constant faceplate speed\r\n"
                               "Data with comment starting with any of \"#*\" are ignored\r\n"
                               "\r\nDATA SET 1\r\n",
                               0));
}

TEST_F(DriverTest, ReportThatCannotBeAddedIsSaidOnceAndTheRunGoesOn) {
  settings.MakeReport = true;
  Load();
  settings.WorksheetName = "not in the notebook";
  RunFatigueMacro(ctx);
  EXPECT_EQ((Strings{"FAILED TO ADD REPORT"}), ui.Titles());
  EXPECT_EQ("Unable to create a report section.", ui.shown[0].text);
  EXPECT_FALSE(settings.MakeReport);
  EXPECT_NE(std::string::npos, settings.FinishMessage.find("Set 1:\t4 measurements"));
}

TEST_F(DriverTest, OneSetOnItsOwnUsesTheModeNames) {
  settings.FatigueMode = 2;
  Load();
  std::string summary;
  AnalyseDataSet(ctx, 1, summary);
  EXPECT_EQ("Set 1:\t4 measurements at 2 rates", summary);
  EXPECT_EQ("raw ttf 1", sheet.BufferedTitle(2));
  EXPECT_EQ("ns", ToText(Get(SetColumn(1, kColLabels), 2)));
}

}  // namespace
}  // namespace korund::fatigue

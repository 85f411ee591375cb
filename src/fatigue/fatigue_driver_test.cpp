// The driver: options record, report and finishing summary.

#include <gmock/gmock.h>

#include "testing/fatigue_test_support.h"

namespace korund::fatigue {
namespace {

using DriverTest = FatigueTest;
using ::testing::StartsWith;

TEST_F(DriverTest, RunWritesTheOptionsRecordTheReportAndOneSummaryLinePerSet) {
  Input(1, kColRawY, {3.0, 3.2, 4.0, 4.1});
  Input(1, kColRawX, {1.0, 1.0, 10.0, 10.0});
  Input(2, kColRawY, {0});  // nothing usable
  Load();
  settings.FatigueMode = FatigueMode::kFaceplateVelocity;
  settings.LockWorksheet = settings.IgnoreWeakest = settings.GroupRates = true;
  settings.IgnoreByComment = settings.CopyData = settings.MakeReport = true;
  settings.RateFactor = 1.5;
  settings.IgnoreChars = "#!";
  settings.SetToCopy = 4;
  RunFatigueMacro(ctx);
  const std::string& report = host.notebook.item(host.notebook.size() - 1).text();
  EXPECT_THAT(report, StartsWith("DYNAMIC FATIGUE ANALYSIS\r\nAnalysis for constant faceplate "
                                 "speed\r\nWeakest at each rate will be ignored\r\nData with "
                                 "comment starting with any of \"#!\" are ignored\r\n\r\n"
                                 "DATA SET 1\r\n4 total measurements\r\nrate\tstrength\t"));
  EXPECT_THAT(report, ::testing::EndsWith("\r\nDATA SET 6\r\nempty\r\n"));
  std::string record = sheet.TEST_BufferedTitle(kColParms) + ":";  // texts marked with '
  for (int32_t row = 1; row <= 13; ++row)
    record += (Get(kColParms, row).IsNumber() ? " " : " '") + ToText(Get(kColParms, row));
  EXPECT_EQ("parms: 1 0 -1 ' -1 -1 1.5 -1 '#! '\"2.00\" -1 4 -1", record);
  EXPECT_EQ(
      "Dynamic fatigue analysis complete:\t\r\n\r\nSet 1:\t2 measurements at 2 rates\r\nSet 2 is "
      "empty\r\nSet 3:\tempty\r\nSet 4:\tempty\r\nSet 5:\tempty\r\nSet 6:\tempty",
      settings.FinishMessage);
}

}  // namespace
}  // namespace korund::fatigue

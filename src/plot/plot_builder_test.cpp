#include "plot/plot_builder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>

#include "plot/plot_parts.h"
#include "plot/style_codes.h"

namespace korund::plot {
namespace {

using notebook::Worksheet;

double Ordinate(double percent) { return std::log(std::log(100.0 / (100.0 - percent))); }

void Put(Worksheet& sheet, int32_t column, std::initializer_list<Value> cells) {
  int32_t row = 1;
  for (const Value& v : cells) sheet.SetCell(column, row++, v);
}

// A worksheet an analysis left, and the plot built from it.
class PlotTest : public ::testing::Test {
 protected:
  PlotDescription Build(PlotOptions options = {}) {
    PlotDescription plot;
    std::string error;
    EXPECT_TRUE(BuildPlot(sheet_, options, &plot, &error)) << error;
    return plot;
  }

  Worksheet sheet_;
};

// A Weibull worksheet as a run leaves it: set 1 (labelled) and set 2 with
// results, set 3 unusable.
class WeibullPlotTest : public PlotTest {
 protected:
  WeibullPlotTest() {
    sheet_.SetCell(56, 2, 2);
    Put(sheet_, 12, {10, 50, 90});
    Put(sheet_, 54, {Ordinate(10), Ordinate(50), Ordinate(90)});
    Put(sheet_, 13, {"@symbol(2,1,0)", "@symbol(6,1,0)"});
    Put(sheet_, 14, {"@rgb(0,0,255)", "@rgb(oops"});
    Put(sheet_, 16, {"@rgb(0,0,255)", "@rgb(1,2,3)"});
    Put(sheet_, 17, {"@line(2)", "@line(3)"});
    sheet_.ColumnAt(1).label = "Fibre A";
    Put(sheet_, 31, {3.0, 4.0, 5.0});
    Put(sheet_, 41, {-1.5, -0.4, 0.6});
    // m, Dm, So, DSo, c; row 10 the MLE modulus, row 15 its So.
    Put(sheet_, 21, {3, 5.0, "--", 4.2, "--", -7.2, "--", 0.99, "", 5.5, 4, 5.1, 1, 9, 4.3});
    Put(sheet_, 32, {2.0, 2.5});
    Put(sheet_, 42, {-0.9, 0.2});
    Put(sheet_, 22, {2, 4.0, "--", 2.3, "--", -3.3});
    Put(sheet_, 33, {"No Data"});
    Put(sheet_, 23, {"--", "--"});
  }
};

TEST_F(WeibullPlotTest, KindComesFromTheOptionsRecord) {
  EXPECT_EQ(DetectPlotKind(sheet_), PlotKind::kWeibull);
  Worksheet dynamic, statics, blank;
  dynamic.SetCell(184, 2, 0);
  statics.SetCell(184, 2, 1);
  EXPECT_EQ(DetectPlotKind(dynamic), PlotKind::kDynamic);
  EXPECT_EQ(DetectPlotKind(statics), PlotKind::kStatic);
  EXPECT_EQ(DetectPlotKind(blank), std::nullopt);
}

TEST_F(WeibullPlotTest, EachSetWithResultsIsOneSeriesOfStrengthAgainstOrdinate) {
  PlotDescription plot = Build();
  ASSERT_EQ(plot.series.size(), 2u);  // set 3 has no data
  const Series& first = plot.series[0];
  ASSERT_EQ(first.points.size(), 3u);
  EXPECT_EQ(first.points[0].x, 3.0);
  EXPECT_EQ(first.points[0].y, -1.5);
  EXPECT_EQ(first.points[2].x, 5.0);
  EXPECT_EQ(first.points[2].y, 0.6);
  EXPECT_EQ(first.legend, "Fibre A: LS m = 5.00, LS So = 4.20 GPa");
  EXPECT_EQ(plot.series[1].legend, "Set 2: LS m = 4.00, LS So = 2.30 GPa");
  EXPECT_EQ(plot.x.scale, AxisScale::kLog);
  EXPECT_EQ(plot.y.scale, AxisScale::kLinear);
  EXPECT_EQ(plot.x.title, "Strength (GPa)");
  EXPECT_EQ(plot.dropped_points, 0);
}

TEST_F(WeibullPlotTest, StylesAreDecodedAndAnUnreadableCodeFallsBackToTheSetsDefault) {
  PlotDescription plot = Build();
  EXPECT_EQ(plot.series[0].marker, MarkerShape::kSquare);
  EXPECT_EQ(plot.series[0].color, (Color{0, 0, 255}));
  EXPECT_EQ(plot.series[1].marker, MarkerShape::kCross);
  EXPECT_EQ(plot.series[1].color, (Color{255, 0, 0}));  // "@rgb(oops": set 2's red
  // Set 2's fitted lines take the user's colour; its least-squares line is dotted.
  ASSERT_EQ(plot.lines.size(), 3u);
  EXPECT_EQ(plot.lines[2].color, (Color{1, 2, 3}));
  EXPECT_EQ(plot.lines[2].style, LineStyle::kDot);
  EXPECT_EQ(plot.lines[0].style, LineStyle::kDash);
  // A code the user edits is followed.
  Put(sheet_, 13, {"@symbol(5,1,0)"});
  Put(sheet_, 14, {"@rgb(10,20,30)"});
  Put(sheet_, 17, {"@line(0)"});
  plot = Build();
  EXPECT_EQ(plot.series[0].marker, MarkerShape::kDiamond);
  EXPECT_EQ(plot.series[0].color, (Color{10, 20, 30}));
  EXPECT_EQ(plot.lines[0].style, LineStyle::kNone);
}

TEST_F(WeibullPlotTest, FittedLinesSpanEachSetsStrengths) {
  PlotDescription plot = Build();
  ASSERT_EQ(plot.lines.size(), 3u);
  const Line& ls = plot.lines[0];
  EXPECT_EQ(ls.legend, "");
  EXPECT_EQ(ls.from.x, 3.0);
  EXPECT_EQ(ls.to.x, 5.0);
  EXPECT_NEAR(ls.from.y, 5.0 * std::log(3.0) - 7.2, 1e-12);
  EXPECT_NEAR(ls.to.y, 5.0 * std::log(5.0) - 7.2, 1e-12);
  const Line& mle = plot.lines[1];
  EXPECT_EQ(mle.legend, "Fibre A: MLE m = 5.50, MLE So = 4.30 GPa");
  EXPECT_NEAR(mle.from.y, 5.5 * (std::log(3.0) - std::log(4.3)), 1e-12);
  EXPECT_NEAR(mle.to.y, 5.5 * (std::log(5.0) - std::log(4.3)), 1e-12);
  EXPECT_EQ(mle.color, ls.color);
  EXPECT_NE(mle.style, ls.style);
}

TEST_F(WeibullPlotTest, OptionsChooseSetsAndLeaveOutTheMaximumLikelihoodLine) {
  PlotDescription plot = Build({std::nullopt, {2}, /*mle_line=*/false});
  ASSERT_EQ(plot.series.size(), 1u);
  EXPECT_EQ(plot.series[0].points[0].x, 2.0);
  EXPECT_EQ(plot.lines.size(), 1u);
}

TEST_F(WeibullPlotTest, TheMaximumLikelihoodLineHasItsConfidenceBand) {
  PlotDescription plot = Build();
  ASSERT_EQ(plot.bands.size(), 2u) << "set 2 has too few strengths";
  const Band &lo = plot.bands[0], &hi = plot.bands[1];
  const Line& mle = plot.lines[1];
  EXPECT_EQ(lo.set, 1);
  EXPECT_FALSE(lo.upper);
  EXPECT_TRUE(hi.upper);
  EXPECT_EQ(lo.confidence, 0.95);
  EXPECT_EQ(lo.color, mle.color);
  ASSERT_GE(lo.points.size(), 50u);
  ASSERT_EQ(hi.points.size(), lo.points.size());
  // Evenly spaced in the ordinate over the line's range, on both sides of
  // the line, symmetric about it on the log scale.
  const double step = (mle.to.y - mle.from.y) / static_cast<double>(lo.points.size() - 1);
  for (size_t i = 0; i < lo.points.size(); ++i) {
    const double y = mle.from.y + static_cast<double>(i) * step, x = 4.3 * std::exp(y / 5.5);
    EXPECT_NEAR(lo.points[i].y, y, 1e-12);
    EXPECT_EQ(hi.points[i].y, lo.points[i].y);
    EXPECT_LT(lo.points[i].x, x);
    EXPECT_NEAR(lo.points[i].x * hi.points[i].x, x * x, 1e-9 * x * x);
  }
  PlotOptions wider;
  wider.confidence = 0.99;
  EXPECT_LT(Build(wider).bands[0].points[0].x, lo.points[0].x);
  PlotOptions no_bands;
  no_bands.bands = false;
  EXPECT_TRUE(Build(no_bands).bands.empty());
  EXPECT_TRUE(Build({std::nullopt, {}, /*mle_line=*/false}).bands.empty());
}

TEST_F(WeibullPlotTest, ASetTheGoodnessOfFitRejectsSaysSoInItsLegend) {
  sheet_.SetCell(21, 15, 9.0);  // So far above every strength: the fit misses them all
  EXPECT_EQ(Build().series[0].legend,
            "Fibre A: LS m = 5.00, LS So = 4.20 GPa (A-D p \xE2\x89\xA4 0.05)");
}

TEST_F(WeibullPlotTest, ProbabilityTicksFollowTheTickColumnsEvenWhenEdited) {
  PlotDescription plot = Build();
  ASSERT_EQ(plot.y.ticks.size(), 3u);
  EXPECT_EQ(plot.y.ticks[0].label, "10 %");
  EXPECT_EQ(plot.y.ticks[0].position, Ordinate(10));
  EXPECT_LE(plot.y.min, Ordinate(10));
  EXPECT_GE(plot.y.max, Ordinate(90));
  // An edited percentage is labelled and placed at its own probability.
  sheet_.SetCell(12, 2, 63.2);  // column 54 still holds the ordinate of 50 %
  sheet_.SetCell(12, 4, 99);    // and nothing for this one
  plot = Build();
  ASSERT_EQ(plot.y.ticks.size(), 4u);
  EXPECT_EQ(plot.y.ticks[2].label, "90 %");
  EXPECT_EQ(plot.y.ticks[1].label, "63.2 %");
  EXPECT_NEAR(plot.y.ticks[1].position, Ordinate(63.2), 1e-12);
  EXPECT_EQ(plot.y.ticks[3].label, "99 %");
  EXPECT_NEAR(plot.y.ticks[3].position, Ordinate(99), 1e-12);
}

TEST_F(WeibullPlotTest, LogAxisRangeHoldsTheDataAndItsTicksLieInside) {
  PlotDescription plot = Build();
  EXPECT_LT(plot.x.min, 2.0);
  EXPECT_GT(plot.x.max, 5.0);
  ASSERT_GE(plot.x.ticks.size(), 3u);
  for (size_t i = 0; i < plot.x.ticks.size(); ++i) {
    EXPECT_GE(plot.x.ticks[i].position, plot.x.min);
    EXPECT_LE(plot.x.ticks[i].position, plot.x.max);
    if (i > 0) {
      EXPECT_GT(plot.x.ticks[i].position, plot.x.ticks[i - 1].position);
    }
  }
  EXPECT_EQ(plot.x.ticks[0].label, "2");
}

TEST(LogAxis, NarrowRangesGetEvenlySpacedRoundTicks) {
  // Strengths of 3.4 to 5.9 GPa: only 4 and 5 (and 6 in the margin) are
  // whole digits inside.
  Axis axis;
  internal::FitLogAxis(&axis, 3.4, 5.9);
  std::vector<std::string> labels;
  for (const Tick& t : axis.ticks) labels.push_back(t.label);
  EXPECT_EQ(labels, (std::vector<std::string>{"3.5", "4", "4.5", "5", "5.5", "6"}));
}

TEST_F(WeibullPlotTest, NonPositiveStrengthIsLeftOutAndCountedAndNothingToDrawIsAnError) {
  sheet_.SetCell(31, 1, 0.0);
  PlotDescription plot = Build();
  EXPECT_EQ(plot.series[0].points.size(), 2u);
  EXPECT_EQ(plot.dropped_points, 1);
  std::string error;
  EXPECT_FALSE(BuildPlot(sheet_, {std::nullopt, {3, 4}, true}, &plot, &error));
  EXPECT_NE(error.find("nothing to draw"), std::string::npos) << error;
  Worksheet blank;
  EXPECT_FALSE(BuildPlot(blank, {}, &plot, &error));
  EXPECT_NE(error.find("no analysis results"), std::string::npos) << error;
  // A kind given for a worksheet that has none of its columns.
  EXPECT_FALSE(BuildPlot(sheet_, {PlotKind::kStatic, {}, true}, &plot, &error));
}

// A dynamic fatigue worksheet: set 1 with two rate groups, a measurement
// tagged "W " and one "V "; set 2 with nothing.
class FatiguePlotTest : public PlotTest {
 protected:
  FatiguePlotTest() {
    Put(sheet_, 184, {0, 0});
    sheet_.ColumnAt(2).label = "Batch 7";
    Put(sheet_, 4, {3.0, 3.3, "W 2.9", 4.0, 4.4, "V  -1"});   // sorted y
    Put(sheet_, 5, {0.1, 0.1, "W 0.1", 10.0, 10.0, "V 10"});  // sorted x
    Put(sheet_, 6, {0.1, 10.0});                              // group x
    Put(sheet_, 7, {3.15, 4.2});                              // group y
    Put(sheet_, 8, {2.9, 3.9});                               // lower
    Put(sheet_, 9, {3.4, 4.5});                               // upper
    Put(sheet_, 13, {2, 20.5, 18.0, 23.9});
    Put(sheet_, 14, {"@symbol(3,1,0)"});
    Put(sheet_, 15, {"@rgb(200,0,0)"});
    Put(sheet_, 16, {"@rgb(9,9,9)"});
    Put(sheet_, 17, {"@line(4)"});
    Put(sheet_, 18, {"bad"});
    Put(sheet_, 19, {0.063, 15.8});
    Put(sheet_, 20, {3.05, 4.35});
  }
};

TEST_F(FatiguePlotTest, UsedMeasurementsGroupMeansAndTheFittedLine) {
  PlotDescription plot = Build();
  EXPECT_EQ(plot.kind, PlotKind::kDynamic);
  ASSERT_EQ(plot.series.size(), 2u);
  const Series& used = plot.series[0];
  ASSERT_EQ(used.points.size(), 4u);  // the tagged rows stay out
  EXPECT_EQ(used.points[2].x, 10.0);
  EXPECT_EQ(used.points[2].y, 4.0);
  EXPECT_FALSE(used.fill.has_value());
  EXPECT_EQ(used.legend, "");
  const Series& groups = plot.series[1];
  ASSERT_EQ(groups.points.size(), 2u);
  EXPECT_EQ(groups.points[1].x, 10.0);
  EXPECT_EQ(groups.points[1].y, 4.2);
  ASSERT_EQ(groups.errors.size(), 2u);
  EXPECT_EQ(groups.errors[0].low, 2.9);
  EXPECT_EQ(groups.errors[0].high, 3.4);
  // The name on the points, the parameter and its bounds on the line.
  EXPECT_EQ(groups.legend, "Batch 7");
  ASSERT_EQ(plot.lines.size(), 1u);
  EXPECT_EQ(plot.lines[0].legend, "fit: nd = 20.5 [18.0, 23.9]");
  EXPECT_EQ(plot.lines[0].from.x, 0.063);
  EXPECT_EQ(plot.lines[0].from.y, 3.05);
  EXPECT_EQ(plot.lines[0].to.x, 15.8);
  EXPECT_EQ(plot.lines[0].to.y, 4.35);
}

TEST_F(FatiguePlotTest, StylesComeFromRowOneOfTheSetsStyleColumns) {
  PlotDescription plot = Build();
  const Series& groups = plot.series[1];
  EXPECT_EQ(groups.marker, MarkerShape::kTriangleUp);
  EXPECT_EQ(groups.color, (Color{200, 0, 0}));
  EXPECT_EQ(groups.fill, (Color{9, 9, 9}));
  EXPECT_EQ(plot.lines[0].style, LineStyle::kDashDot);
  EXPECT_EQ(plot.lines[0].color, (Color{0, 0, 255}));  // "bad": set 1's blue
}

TEST_F(FatiguePlotTest, AxesAreLogLogWithTitlesFromTheMode) {
  PlotDescription plot = Build();
  EXPECT_EQ(plot.x.scale, AxisScale::kLog);
  EXPECT_EQ(plot.y.scale, AxisScale::kLog);
  EXPECT_EQ(plot.x.title, "Stress rate");
  EXPECT_EQ(plot.y.title, "Strength (GPa)");
  EXPECT_LT(plot.x.min, 0.063);
  EXPECT_GT(plot.x.max, 15.8);
  EXPECT_LT(plot.y.min, 2.9);
  EXPECT_GT(plot.y.max, 4.5);
  // Four decades: ticks at the powers of ten.
  ASSERT_EQ(plot.x.ticks.size(), 3u);
  EXPECT_EQ(plot.x.ticks[0].label, "0.1");
  EXPECT_EQ(plot.x.ticks[2].label, "10");
  sheet_.SetCell(184, 1, 1);
  EXPECT_EQ(Build().x.title, "Faceplate velocity");
}

TEST_F(FatiguePlotTest, TheRateAxisNamesTheUnitTheRateColumnsGive) {
  // Label of set 1's rate column, a text among its rates, set 2's label.
  const struct {
    const char* label;
    Value cell;
    const char* label2;
    const char* title;
  } cases[] = {
      {"Rate (MPa/s)", Value(), "", "Stress rate (MPa/s)"},
      {"rate [%/min]", Value(), "", "Stress rate (%/min)"},
      {"", Value("GPa/s"), "", "Stress rate (GPa/s)"},
      {"Rate", Value("0.1"), "", "Stress rate"},
      {"Rate (MPa/s)", Value(), "v (mm/min)", "Stress rate (MPa/s)"},  // set 2 draws nothing
      {"", Value("a/very/long/comment"), "", "Stress rate"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.title);
    sheet_.ColumnAt(3).label = c.label;
    sheet_.SetCell(3, 20, c.cell);
    sheet_.ColumnAt(33).label = c.label2;
    EXPECT_EQ(Build().x.title, c.title);
  }
}

TEST_F(FatiguePlotTest, TheTitleIsTheWorksheetsNameUnlessOneIsGiven) {
  notebook::Item item(notebook::ItemType::kWorksheet, "Lot 7, 20 C");
  *item.worksheet() = sheet_;
  PlotDescription plot;
  std::string error;
  ASSERT_TRUE(BuildPlot(item, {}, &plot, &error)) << error;
  EXPECT_EQ(plot.title, "Lot 7, 20 C");
  PlotOptions titled;
  titled.title = "Figure 3";
  ASSERT_TRUE(BuildPlot(item, titled, &plot, &error)) << error;
  EXPECT_EQ(plot.title, "Figure 3");
  EXPECT_EQ(Build().title, "Dynamic fatigue");  // a worksheet alone has no name
}

TEST_F(FatiguePlotTest, StaticFatiguePlotsTimeToFailureAgainstStress) {
  sheet_.SetCell(184, 1, 2);
  sheet_.SetCell(184, 2, 1);
  PlotDescription plot = Build();
  EXPECT_EQ(plot.kind, PlotKind::kStatic);
  EXPECT_EQ(plot.x.title, "Applied stress (GPa)");
  EXPECT_EQ(plot.y.title, "Time to failure (s)");
  EXPECT_EQ(plot.lines[0].legend, "fit: ns = 20.5 [18.0, 23.9]");
}

TEST_F(FatiguePlotTest, NonPositiveValuesAreLeftOutOfTheLogAxesAndCounted) {
  sheet_.SetCell(4, 1, -3.0);  // a used measurement
  sheet_.SetCell(8, 2, 0.0);   // a group's lower bar
  sheet_.SetCell(20, 1, 0.0);  // a line end
  PlotDescription plot = Build();
  EXPECT_EQ(plot.series[0].points.size(), 3u);
  EXPECT_EQ(plot.series[1].errors[1].low, 4.2);  // no bar below the mean
  EXPECT_TRUE(plot.lines.empty());
  EXPECT_EQ(plot.series[1].legend, "Batch 7: nd = 20.5 [18.0, 23.9]");  // no line to carry it
  EXPECT_EQ(plot.dropped_points, 3);
  // Set 2 has no results: alone, it is nothing to draw.
  std::string error;
  EXPECT_FALSE(BuildPlot(sheet_, {std::nullopt, {2}, true}, &plot, &error));
  EXPECT_NE(error.find("nothing to draw"), std::string::npos);
}

TEST(SetList, ReadsNumbersAndRanges) {
  const struct {
    const char* text;
    bool ok;
    std::vector<int> sets;
  } cases[] = {
      {"1", true, {1}},   {"3,1", true, {1, 3}}, {"2-4,6", true, {2, 3, 4, 6}},
      {"1,1", true, {1}}, {"0", false, {}},      {"7", false, {}},
      {"", false, {}},    {"2-1", false, {}},    {"1,,2", false, {}},
      {"a", false, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    std::vector<int> sets;
    std::string error;
    EXPECT_EQ(ParseSetList(c.text, 6, &sets, &error), c.ok);
    if (c.ok) {
      EXPECT_EQ(sets, c.sets);
    }
  }
}

}  // namespace
}  // namespace korund::plot

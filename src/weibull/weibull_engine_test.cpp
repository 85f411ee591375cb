#include "weibull/weibull_engine.h"

#include "testing/weibull_test_support.h"

namespace korund::weibull {
namespace {

class EngineTest : public WeibullTest {
 protected:
  std::string Analyse(int16_t n) {
    std::string summary;
    return AnalyseWeibullSet(ctx, n, summary), summary;
  }
  void Near(int32_t col, std::initializer_list<std::pair<int, double>> rows) {
    for (auto [row, want] : rows) EXPECT_NEAR(want, Num(col, row), 1e-9 * (1 + std::abs(want)));
  }
  std::string Pattern(int32_t col) {  // rows 1..38: '#' a finite number, '-' "--", '.' empty
    std::string out;
    for (int32_t r = 1; r <= 38; ++r) {
      out += sheet.spGetCell(col, r).IsNumber() ? (Num(col, r), '#') : (Text(col, r) + ".")[0];
    }
    return out;
  }
};

TEST_F(EngineTest, SmallAndDegenerateSetsShowDashesWhereNothingCanBeComputed) {
  const std::tuple<std::vector<Value>, const char*, const char*> cases[] = {  // with the summary
      {{"one", 2.5}, "1 measurements", "#-------.---------.---#.----.--.------"},
      {{"two", 4.0, 3.0}, "2 measurements", "##-#-#-#.#########.##-#.--##.--.######"},  // i15 = 0
      {{"t", 3, 3, 3, 3, 3}, "5 measurements", "#-------.---------.--##.----.--.------"},
      {{"t", 1.0, 2.0, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3}, "18 measurements",
       "########.#########.####.--##.--.######"},  // equal strengths at both brackets
      {{"t", 1e200, 2e200, 3e200, 4e200, "FACTOR", 1e300, 1e10}, "4 measurements",
       "####-###.#########.####.####.--.######"},  // the overflowing product is no strength
      {{2, 3, 4}, "3 measurements", "########.#########.##-#.--##.--.######"},  // row 1 is data
      {{"t", 3.0, "MPA", 0, 2500}, "empty", "--------.---------.----.----.--.------"}};
  settings.FOpt = 1;
  for (int16_t n = 1; n <= 7; ++n) Column(n, std::get<0>(cases[n - 1]));
  Load();
  for (int16_t n = 1; n <= 7; ++n) {
    EXPECT_EQ("Set " + std::to_string(n) + ":\t" + std::get<1>(cases[n - 1]), Analyse(n));
    EXPECT_EQ(std::get<2>(cases[n - 1]), Pattern(20 + n));
    Numbers(30 + n), Numbers(40 + n);  // Num fails on NaN or an infinity
  }
  Near(21, {{23, 2.5}});
  const double y1 = std::log(-std::log(0.75)), y2 = std::log(-std::log(0.25));
  const double m = (y2 - y1) / (std::log(4.0) - std::log(3.0));
  Near(22, {{2, m}, {4, std::exp(std::log(3.0) - y1 / m)}});
  Near(23, {{22, 3.0}, {23, 3.0}});
  EXPECT_EQ("BAD DATA|Column 7 has a value less than or equal to zero. This column will be ignored",
            ui.shown.at(1).title + "|" + ui.shown[1].text);
  EXPECT_EQ("(<= 0)|", Joined(37, 2));
}

TEST_F(EngineTest, ResultRowsAgreeWithIndependentFormulas) {
  std::vector<double> s;  // S(1..20): set 1 holds all, set 2 the first 11, typed descending
  for (int i = 1; i <= 20; ++i) s.push_back(3.0 + 0.1 * i + 0.02 * i * std::sqrt(i));
  for (int i = 0; i < 20; ++i) Cell(1, 21 - i, s[i]);
  for (int i = 0; i < 11; ++i) Cell(2, 12 - i, s[i]);
  settings.FOpt = 1;
  Load();
  Analyse(1);
  EXPECT_EQ(s, Numbers(31));
  // y = ln ln(1/(1 - F)), F = (i - 1/2)/n, fitted on x = ln S by the textbook sums.
  const double n = 20;
  double sx = 0, sy = 0, sxx = 0, sxy = 0, syy = 0;
  for (int i = 1; i <= n; ++i) {
    const double x = std::log(s[i - 1]), y = std::log(-std::log(1 - (i - 0.5) / n));
    EXPECT_NEAR(y, Num(41, i), 1e-14);
    sx += x, sy += y, sxx += x * x, sxy += x * y, syy += y * y;
  }
  const double dxx = sxx - sx * sx / n, dxy = sxy - sx * sy / n, dyy = syy - sy * sy / n;
  const double m = dxy / dxx, c = (sy - m * sx) / n, var = (dyy - m * dxy) / (n - 2);
  const double dc = std::sqrt(var * (1 / n + sx * sx / n / n / dxx));
  Near(21, {{2, m}, {3, 2 * std::sqrt(var / dxx)}, {4, std::exp(-c / m)}, {6, c}, {7, 2 * dc}});
  Near(21, {{8, dxy / std::sqrt(dxx * dyy)}, {18, 95}, {23, (s[9] + s[10]) / 2}});
  // The estimator's rows: "B: So" recomputes its scale; 90 % bounds lie inside 95 % ones.
  const double mu = Num(21, 12), so = Num(21, 15);
  Near(21, {{20, so * std::pow(std::log(1 / 0.85), 1 / mu)}, {27, Num(21, 10)}, {28, so},
            {21, so * std::pow(std::log(2.0), 1 / mu)}, {33, mu}, {36, so}});
  EXPECT_TRUE(Num(21, 13) < Num(21, 35) && Num(21, 35) < mu && mu < Num(21, 34) &&
              Num(21, 34) < Num(21, 14) && Num(21, 16) < Num(21, 38) && Num(21, 37) < Num(21, 17));
  // Two-point estimates (j.. brackets i..), and the 15 % strength S(k) + t (S(k+1) - S(k)).
  const struct { int n, i15, j15, i85, j85, i50, j50, k; double t; } cases[] = {
      {20, 3, 4, 17, 18, 10, 11, 3, 0.5},                  // F(3) = 0.125, F(4) = 0.175
      {11, 2, 3, 9, 10, 6, 6, 1, (0.15 - 1 / 12.0) * 12}};  // F(i) = i/12
  for (int16_t col = 1; col <= 2; ++col) {
    const auto& c = cases[col - 1];
    settings.FOpt = col == 1 ? 1 : 0;
    Analyse(col);
    auto F = [&](int i) { return col == 1 ? (i - 0.5) / c.n : i / (c.n + 1.0); };
    auto X = [&](int i) { return std::log(s[i - 1]); };
    auto L = [&](int i, int j) { return (X(i) + X(j)) / 2; };  // ln of the geometric mean
    const double ma = std::log(std::log(1 - F(c.i85)) / std::log(1 - F(c.i15))) /
                      (X(c.i85) - X(c.i15));
    const double md = 2.46 / (L(c.i85, c.j85) - L(c.i15, c.j15));
    Near(20 + col, {{25, ma}, {26, std::exp(X(c.i50) + 0.366512 / ma)}, {30, md},
                    {31, std::exp(L(c.i50, c.j50) + 0.3665 / md)},
                    {22, s[c.k - 1] + c.t * (s[c.k] - s[c.k - 1])}});
  }
}

TEST_F(EngineTest, UnitWordsScaleTheValuesBelowThemAndLeftOutTextsAreSaid) {
  // FACTOR takes the cell below as the factor when it is a number or empty;
  // a text below it is walked in turn, so a unit word there still acts.
  Column(1, {"t", "MPA", 3100, "gpa", 5, "ksi", 290, " KPSI ", 435, "FACTOR", 2, 1.6, "MPA",
             "FACTOR", "GPA", 2200, "FACTOR", "abc", "2500", "4,5", Value(), "FACTOR", Value(),
             4, "FACTOR"});
  Load();
  Analyse(1);
  EXPECT_THAT(Numbers(31),
              testing::Pointwise(testing::DoubleNear(1e-12),
                                 std::vector<double>{2, 3, 3.1, 3.2, 4, 5, 2200, 2500}));
  // Row 1 describes the set and is not said.
  EXPECT_EQ((std::vector<std::string>{
                "set 1, row 18: \"abc\" is neither a number nor a unit word; left out",
                "set 1, row 20: \"4,5\" is neither a number nor a unit word; left out",
                // Rescaled by hand after the last unit word, these read as GPa.
                "set 1: strengths up to 2500 GPa — if they are in MPa, put MPA above them"}),
            ui.diagnostics);
}

TEST_F(EngineTest, Row1NumberAsksAndStopEndsTheRun) {
  Column(1, {2.0, 3.0, 4.0});
  ui.Answer("ROW 1 CONTAINS NUMERIC DATA", "&Stop");
  Load();
  EXPECT_EQ("stopped", Outcome([&] { Analyse(1); }));
  EXPECT_EQ(
      "Column 1, row 1 is a number.\r\rCheck that you intend this cell to contain valid data. "
      "Earlier versions of the Weibull analysis software assumed that row 1 contained a "
      "description of the data and ignored that cell even if it contained numeric data. If row 1 "
      "contains valid data this worksheet is not backwards compatible with the earlier software. "
      "Alternatively, if this worksheet was used with the earlier software, row 1 might contain "
      "a number which is not valid data. \r\rThis warning is for backwards compatibility but "
      "will be omitted from future versions of this Weibull analysis pulgin.\r\rDo you want to "
      "continue using row 1 as valid data or stop processing?",
      ui.shown.at(0).text);
}

}  // namespace
}  // namespace korund::weibull

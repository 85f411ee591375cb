// Second stage of a data set's analysis: the usable pairs, sorted by x, are
// cut into rate groups. With a factor F = 1 a group is a run of equal x;
// with F > 1 consecutive x are chained while each is within F of the one
// before, so a group may span more than F overall. Optionally the weakest
// measurement of every group is dropped (tagged "W "). Each group gets its
// geometric means, error-bar values and count in the worksheet, one report
// line, and a column in the clipboard table.

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "fatigue/fatigue_run.h"
#include "stats/descriptive.h"
#include "util/text.h"

namespace korund::fatigue {

namespace {

// Geometric means of a group and the mean L and standard error E of its
// log10 y.
struct GroupStats {
  double gx = 0;
  double gy = 0;
  double L = 0;
  double E = 0;
};

// The logarithms' statistics; a value that is not positive leaves NaN,
// which every write turns into "--". Members are positive, so this is only
// a safeguard.
stats::MeanSD LogStats(const ValueArray& v, int32_t m) {
  const auto logs = stats::statDescribe(v, m).logs;
  if (logs.ok()) return *logs;
  const double nan = std::nan("");
  return {nan, nan, nan};
}

GroupStats Describe(const ValueArray& x, const ValueArray& y, int32_t m) {
  GroupStats g;
  g.gx = std::pow(10.0, LogStats(x, m).mean);
  const stats::MeanSD ly = LogStats(y, m);
  g.L = ly.mean;
  g.E = ly.std_err;
  g.gy = std::pow(10.0, g.L);
  return g;
}

// The words of a group line as WordCount and NthWord see them with the
// separator ",": maximal runs without a comma, empty runs dropped. Split
// once, because asking NthWord for every field of large groups is
// quadratic. (A comma byte never occurs inside a multi-byte character.)
std::vector<std::string> CommaWords(const std::string& line) {
  std::vector<std::string> out;
  size_t start = 0;
  while (start <= line.size()) {
    size_t end = line.find(',', start);
    if (end == std::string::npos) end = line.size();
    if (end > start) out.push_back(line.substr(start, end - start));
    start = end + 1;
  }
  return out;
}

double Difference(const Value& high, const Value& low) {
  const auto h = ToNumber(high);
  const auto l = ToNumber(low);
  if (!h || !l) return std::nan("");
  return (*h - *l) / 2;
}

// Tags the weakest measurement of pairs start..end "W ", which drops it.
void DropWeakest(FatigueRun& run, int32_t start, int32_t end) {
  auto& X = run.XData;
  auto& Y = run.YData;
  int32_t weakest = start;
  for (int32_t j = start + 1; j <= end; ++j) {
    if (Y[j].Number() < Y[weakest].Number()) weakest = j;
  }
  Y[weakest] = Value("W " + ToText(Y[weakest]));
  X[weakest] = Value("W " + ToText(X[weakest]));
}

// Group g of the pairs start..end that are still numbers: its cells, its
// report line and, for the set that goes to the clipboard, its line of the
// clipboard table.
void WriteGroup(FatigueRun& run, int16_t s, int32_t g, int32_t start, int32_t end, bool copy) {
  auto& sheet = run.ctx.sheet;
  auto col = [s](int32_t k) { return SetColumn(s, k); };
  ValueArray xs(1), ys(1);
  for (int32_t j = start; j <= end; ++j) {
    if (!run.XData[j].IsNumber()) continue;  // dropped as the weakest
    xs.push_back(run.XData[j]);
    ys.push_back(run.YData[j]);
  }
  const int32_t m = static_cast<int32_t>(xs.size()) - 1;
  xs[0] = Value(m);
  ys[0] = Value(m);
  const GroupStats st = Describe(xs, ys, m);

  sheet.spPutCell(CellNumber(st.gx), col(kColGroupX), g);
  sheet.spPutCell(CellNumber(st.gy), col(kColGroupY), g);
  sheet.spPutCell(Value(m), col(kColCount), g);
  sheet.spPutCell(CellNumber(std::log(st.gx) / std::log(10.0)), kColFitX, g);
  sheet.spPutCell(CellNumber(st.L), kColFitY, g);
  if (m < 2) {
    sheet.spPutCell(Value(0), col(kColGroupLow), g);
    sheet.spPutCell(Value(0), col(kColGroupHigh), g);
    sheet.spPutCell(Value(10), kColFitErr, g);
  } else {
    sheet.spPutCell(CellNumber(std::pow(10.0, st.L - 2 * st.E)), col(kColGroupLow), g);
    sheet.spPutCell(CellNumber(std::pow(10.0, st.L + 2 * st.E)), col(kColGroupHigh), g);
    sheet.spPutCell(CellNumber(st.E), kColFitErr, g);
  }

  run.ReportText.Add(NumText(st.gx) + "\t");
  run.ReportText.Add(ValueText(sheet.spGetCell(col(kColGroupY), g)) + "\t");
  run.ReportText.Add(NumText(Difference(sheet.spGetCell(col(kColGroupHigh), g),
                                        sheet.spGetCell(col(kColGroupLow), g))) +
                     "\t");
  run.ReportText.AddLine(std::to_string(m));

  if (!copy) return;
  if (g >= static_cast<int32_t>(run.GroupLines.size())) {
    run.GroupLines.resize(run.GroupLines.size() + 5);
  }
  std::string line = "\"" + FormatSig(st.gx, 6);
  for (int32_t j = 1; j <= m; ++j) line += "," + ToText(ys[j]);
  run.GroupLines[g] = line;
}

// One column per group: the group's rate on top, its y values below,
// shorter groups padded with empty fields.
std::string ClipboardTable(const FatigueRun& run) {
  const int32_t nGroups = run.nGroups;
  std::vector<std::vector<std::string>> words(nGroups + 1);
  size_t w = 0;
  for (int32_t g = 1; g <= nGroups; ++g) {
    words[g] = CommaWords(run.GroupLines[g]);
    w = std::max(w, words[g].size());
  }
  auto field = [&words](int32_t g, size_t f) {
    return f < words[g].size() ? words[g][f] : std::string();
  };
  std::string table;
  for (size_t f = 0; f < w; ++f) {
    table += field(1, f);
    for (int32_t g = 2; g <= nGroups; ++g) table += "\t" + field(g, f);
    table += "\r\n";
  }
  return table;
}

}  // namespace

void GroupMeasurements(FatigueRun& run, int16_t s) {
  const auto& settings = run.ctx.settings;
  const auto& X = run.XData;
  const int32_t n_v = run.n_v;
  const double F = settings.GroupRates ? settings.RateFactor : 1.0;
  // Every measurement's text goes into the clipboard table: only worth
  // making for the set that is copied.
  const bool copy = settings.CopyData && settings.SetToCopy == s;

  run.GroupLines.assign(6, std::string());  // indexed from 1, grows by 5
  run.ClipboardTable.clear();
  int32_t start = 1;
  int32_t size = 0;
  int32_t nGroups = 0;

  for (int32_t i = 1; i <= n_v; ++i) {
    ++size;
    if (i < n_v && F * X[i].Number() >= X[i + 1].Number()) continue;

    if (settings.IgnoreWeakest) {
      DropWeakest(run, start, i);
      --size;
    }
    if (size > 0) WriteGroup(run, s, ++nGroups, start, i, copy);
    start = i + 1;
    size = 0;
  }
  run.nGroups = nGroups;
  if (copy) {
    run.ClipboardTable = ClipboardTable(run);
    run.ctx.ui.ClearClipboard();
    run.ctx.ui.Clipboard(run.ClipboardTable);
  }
  run.ctx.ui.Progress().Add(3);
}

}  // namespace korund::fatigue

// The dynamic and static fatigue analyses: the guard that checks and loads
// the worksheet and asks for the options (fatigue_guard.h), this driver, and
// the three stages of a data set (fatigue_run.h: input and cleaning, rate
// grouping, the fit). The statistics come from stats/; what the user sees
// goes through dialogs/ and ui/.
//
// The fatigue driver: writes the options record, starts the report, runs
// the analysis of data sets 1 to 6 and leaves the summary for the
// "FINISHED" box in settings.FinishMessage.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "fatigue/fatigue_run.h"
#include "worksheet/run_context.h"

namespace korund::fatigue {

// Runs the whole dynamic or static fatigue analysis on the worksheet held
// in memory (the guard has loaded it). Adds a report item when MakeReport;
// if the report cannot be added, says so once and goes on without one.
void RunFatigueMacro(RunContext& ctx);

// The columns RunFatigueMacro will write on the attached, not yet loaded
// worksheet, each with at most as many rows as the run can leave there:
// what the guard checks against the notebook's room. A set's sorted pairs
// take one row per raw row, its rate groups one per distinct rate at most;
// the shared fit columns keep what set 6 writes.
std::vector<worksheet::Sheet::PlannedColumn> PlanFatigueColumns(worksheet::Sheet& sheet);

// Analyses data set s (1..6) of the run: input and cleaning, rate grouping,
// fit and results. Appends its lines to run.ReportText and returns the
// set's one-line summary.
void AnalyseDataSet(FatigueRun& run, int16_t s, std::string& summary);

// The same for one set on its own, with the quantity names of FatigueMode;
// the set's report lines are dropped.
void AnalyseDataSet(RunContext& ctx, int16_t s, std::string& summary);

}  // namespace korund::fatigue

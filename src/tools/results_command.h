// korund-notebook results: the analysed worksheet's results as a table
// ready for a report.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace korund::tools {

struct ResultsOptions {
  std::string file;
  std::string worksheet;
  std::string format = "csv";  // csv, md, xlsx, json
  std::string out;             // "" standard output
  int digits = 4;
  bool glossary = false;
  std::vector<double> quantiles;  // failure probabilities, percent; empty: 1
  double confidence = 95;         // of their bounds, percent
};

// Adds the "results" subcommand, filling *o when it is parsed.
CLI::App* AddResultsCommand(CLI::App& app, ResultsOptions* o);

// Writes the table to out or to o.out. False with *error; no file is then
// written.
bool RunResults(const ResultsOptions& o, std::ostream& out, std::ostream& err, std::string* error);

}  // namespace korund::tools

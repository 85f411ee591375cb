// korund-notebook's editing and output commands (select, new, set, plot
// --out) on arbitrary arguments, in a folder of their own: each run ends
// with status 0 or a refusal, never a crash; a refused run leaves the
// notebook as it was; no run leaves a lock or a temporary file; what a run
// leaves is a notebook that reads; the notebook and its lock are never an
// output.
//
// Input: the first byte picks the command; the rest are its words, split at
// NUL bytes. A word starting with byte 1 is one of a few fixed file names
// (by its second byte). Words naming other folders are skipped, so that
// everything stays in the fuzzer's folder; images are not drawn (.json
// descriptions only), to keep runs fast.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "notebook/notebook.h"
#include "notebook/notebook_file.h"
#include "tools/notebook_tool.h"

namespace {

namespace fs = std::filesystem;

// An analysed Weibull worksheet, a second worksheet, an unknown member and
// cells whose tokens are kept.
const char* kNotebook = R"({"format": "korund-notebook", "version": 1, "current": "Data 1",
  "app": {"zoom": 1.50, "n": [-0.0, 9007199254740993]},
  "items": [{"type": "section", "name": "Section 1"},
    {"type": "worksheet", "name": "Data 1", "columns": {
      "1": {"title": "raw 1", "cells": ["Fibre A", 3.1, 3.4, 2.9, 3.8, 4.0, 3.3, -0.0]},
      "2": {"cells": [9007199254740993, 1, 2]}}},
    {"type": "worksheet", "name": "Data 2", "columns": {}},
    {"type": "report", "name": "Report 1", "text": "r"}]})";

const char* const kCommands[] = {"select", "new", "set", "plot"};
const char* const kNames[] = {"nb.json", "nb.json.lock", "out.json", "other.json", "Data 1",
                              "Data 2", "--out", "--force", "--worksheet", "A1", "B9"};

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// A temporary file, or a lock file (one that is not a notebook someone
// chose to call NAME.lock).
bool Leftover(const fs::path& dir) {
  for (const auto& e : fs::directory_iterator(dir)) {
    const std::string name = e.path().filename().string();
    if (name.find(".korund-tmp-") != std::string::npos) return true;
    if (name.size() > 5 && name.compare(name.size() - 5, 5, ".lock") == 0 &&
        ReadAll(e.path().string()).rfind('{', 0) != 0) {
      return true;
    }
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const fs::path dir = [] {
    std::string pattern = (fs::temp_directory_path() / "korund-fuzz-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    return fs::path(pattern);
  }();
  if (size == 0) return 0;
  std::vector<std::string> words = {"korund-notebook", kCommands[data[0] % 4]};
  std::string word;
  auto take = [&] {
    if (!word.empty() && word[0] == '\x01') {
      word = kNames[(word.size() > 1 ? static_cast<uint8_t>(word[1]) : 0) % std::size(kNames)];
    }
    words.push_back(word);
    word.clear();
  };
  for (size_t i = 1; i < size; ++i) {
    if (data[i] == 0) {
      take();
    } else {
      word += static_cast<char>(data[i]);
    }
  }
  take();
  if (words.size() > 16) return 0;
  for (const std::string& w : words) {
    if (w.find('/') != std::string::npos || w.find('~') != std::string::npos) return 0;
    for (const char* image : {".png", ".svg", ".pdf", ".PNG", ".SVG", ".PDF"}) {
      if (w.find(image) != std::string::npos) return 0;
    }
  }

  std::error_code ec;
  for (const auto& e : fs::directory_iterator(dir)) fs::remove_all(e.path(), ec);
  { std::ofstream(dir / "nb.json", std::ios::binary) << kNotebook; }
  std::vector<const char*> argv;
  for (const std::string& w : words) argv.push_back(w.c_str());
  std::ostringstream out, err;
  // The run's own folder while it runs; libFuzzer's paths are relative to
  // the one it was started in.
  const fs::path started = fs::current_path();
  fs::current_path(dir);
  const int status =
      korund::tools::RunNotebookTool(static_cast<int>(argv.size()), argv.data(), out, err);
  fs::current_path(started);

  if (Leftover(dir)) std::abort();
  const std::string after = ReadAll((dir / "nb.json").string());
  if (status != 0 && after != kNotebook) std::abort();  // a refusal changes nothing
  for (const auto& e : fs::directory_iterator(dir)) {
    const std::string name = e.path().filename().string();
    if (name.size() < 5 || name.compare(name.size() - 5, 5, ".json") != 0 || name == "out.json") {
      continue;
    }
    // Every notebook left there reads (a plot description is no notebook).
    korund::notebook::Notebook doc;
    std::string text = ReadAll(e.path().string()), error;
    if (text.find("\"format\": \"korund-notebook\"") != std::string::npos &&
        !korund::notebook::ParseNotebook(text, name, &doc, &error)) {
      std::abort();
    }
  }
  return 0;
}

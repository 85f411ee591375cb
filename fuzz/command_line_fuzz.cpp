// korund's command line on arbitrary words (split at NUL bytes): it is read
// or refused with a message, never crashes.
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "shell/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> words = {"korund"};
  std::string word;
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      words.push_back(word);
      word.clear();
    } else {
      word += static_cast<char>(data[i]);
    }
  }
  words.push_back(word);
  if (words.size() > 64) return 0;
  std::vector<const char*> argv;
  for (const std::string& w : words) argv.push_back(w.c_str());
  std::ostringstream out, err;
  (void)korund::shell::ParseCommandLine(static_cast<int>(argv.size()), argv.data(), "", out, err);
  return 0;
}

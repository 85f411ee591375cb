// The notebook loader on arbitrary bytes: it refuses or loads, never
// crashes; what it loads, it writes, and what it writes it reads back to the
// same text.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "notebook/notebook_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace korund::notebook;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  Notebook nb;
  std::string error;
  if (!ParseNotebook(text, "fuzz.json", &nb, &error)) return 0;
  std::string saved;
  if (!SerializeNotebook(nb, "fuzz.json", &saved, &error)) return 0;
  Notebook again;
  if (!ParseNotebook(saved, "fuzz.json", &again, &error)) std::abort();  // we wrote it
  std::string resaved;
  if (!SerializeNotebook(again, "fuzz.json", &resaved, &error) || resaved != saved) std::abort();
  return 0;
}

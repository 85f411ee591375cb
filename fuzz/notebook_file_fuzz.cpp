// The notebook loader on arbitrary bytes: it refuses or loads, never
// crashes; a refusal names the file; what it loads, it writes, and what it
// writes it reads back to the same text; the writer-free comparison calls
// two notebooks the same only when their texts are.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "notebook/notebook.h"
#include "notebook/notebook_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace korund::notebook;
  using korund::Value;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  Notebook nb;
  std::string error;
  const bool parsed = ParseNotebook(text, "fuzz.json", &nb, &error);
  if (!parsed) {
    if (error.rfind("fuzz.json: ", 0) != 0) std::abort();
    return 0;
  }
  std::string saved;
  if (!SerializeNotebook(nb, "fuzz.json", &saved, &error)) return 0;
  Notebook again;
  if (!ParseNotebook(saved, "fuzz.json", &again, &error)) std::abort();  // we wrote it
  std::string resaved;
  if (!SerializeNotebook(again, "fuzz.json", &resaved, &error) || resaved != saved) std::abort();
  // The comparison without writing: a copy is the same, and after one cell
  // of the copy is changed (chosen by the input), "the same" must still
  // mean the same text.
  Notebook copy = nb;
  if (!SameFileText(copy, nb)) std::abort();
  for (size_t i = 0; i < copy.size(); ++i) {
    Worksheet* sheet = copy.item(i).worksheet();
    if (sheet == nullptr) continue;
    const Value values[] = {Value(), Value(""), Value(0.0), Value(-0.0), Value(1.5), Value("x")};
    const int32_t column = static_cast<int32_t>(size % 4);
    const int32_t row = 1 + static_cast<int32_t>(size % 7);
    sheet->SetCell(column, row, values[size > 0 ? data[0] % 6 : 0]);
    break;
  }
  std::string copied;
  const bool written = SerializeNotebook(copy, "fuzz.json", &copied, &error);
  if (SameFileText(copy, nb) && (!written || copied != saved)) std::abort();
  return 0;
}

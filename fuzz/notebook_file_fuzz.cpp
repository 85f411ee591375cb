// The notebook loader on arbitrary bytes: it refuses or loads, never
// crashes; the fast reader and the JSON library's give the same notebook or
// the same error; what it loads, it writes, and what it writes it reads back to the
// same text; the writer-free comparison calls two notebooks the same only
// when their texts are.
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
  Notebook by_library;
  std::string library_error;
  if (ParseNotebook(text, "fuzz.json", &by_library, &library_error, JsonReader::kLibrary) !=
          parsed ||
      library_error != error) {
    std::abort();
  }
  if (!parsed) return 0;
  std::string saved, library_saved;
  const bool serialized = SerializeNotebook(nb, "fuzz.json", &saved, &error);
  if (SerializeNotebook(by_library, "fuzz.json", &library_saved, &library_error) != serialized ||
      library_saved != saved || !SameFileText(nb, by_library)) {
    std::abort();
  }
  if (!serialized) return 0;
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

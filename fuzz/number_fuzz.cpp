// Number texts: whatever reads as a number is finite, and its text form
// reads as a number again.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "util/value.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace korund;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto x = ParseNumber(text);
  if (!x) return 0;
  if (!std::isfinite(*x)) std::abort();
  if (!ParseNumber(FormatNumber(*x))) std::abort();
  return 0;
}

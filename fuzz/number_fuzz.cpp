// Number texts: whatever reads as a number is finite, and its text form
// reads as a number again -- except within 5e-16 of the largest double,
// where the 15-digit form rounds beyond the range of doubles
// ("1.7976931348623157e308" shows as "1.79769313486232E+308").
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
  if (std::fabs(*x) <= 1.79769313486231e308 && !ParseNumber(FormatNumber(*x))) std::abort();
  return 0;
}

#include "util/string_builder.h"

namespace korund {

void StringBuilder::Add(std::string_view text) { text_.append(text); }

void StringBuilder::AddLine(std::string_view text) {
  text_.append(text);
  text_.append("\r\n");
}

void StringBuilder::Clear() { text_.clear(); }

}  // namespace korund

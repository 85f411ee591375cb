// StringBuilder: collects a long text piece by piece (the fatigue report).
#pragma once

#include <string>
#include <string_view>

namespace korund {

class StringBuilder {
 public:
  // Appends text.
  void Add(std::string_view text);
  // Appends text followed by CR LF, so a text built only of lines ends in CR LF.
  void AddLine(std::string_view text);
  // The collected text becomes "".
  void Clear();
  // The text collected so far ("" for a new builder).
  const std::string& ToString() const { return text_; }

 private:
  std::string text_;
};

}  // namespace korund

// The line-number prefixes of one conversion, "%4d: " for the lines 1, 2,
// 3 and so on, escaped as the page writes source text (each space as
// "&nbsp;" when spaces are rewritten). The number is counted in decimal
// digits in place, so a line costs no formatting. Internal to the engine.
#pragma once

#include <cstddef>
#include <string_view>

namespace prismet {

class LineNumberText {
 public:
  // Starts at line 1.
  explicit LineNumberText(bool nbsp_spaces);

  std::string_view text() const { return {text_, size_}; }
  // Moves on to the next line's number.
  void next();

 private:
  // Lays the text out for a number of `digits` digits: "1" then zeros.
  void lay_out(std::size_t digits);

  bool nbsp_;
  std::size_t digits_at_ = 0;  // where the digits begin in the text
  std::size_t digits_ = 0;
  std::size_t size_ = 0;
  // Three escaped spaces of padding, twenty digits, the colon and a space.
  char text_[3 * 6 + 20 + 1 + 6];
};

}  // namespace prismet

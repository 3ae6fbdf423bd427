// The texts a conversion writes in front of each line: the line-number
// prefixes, "%4d: " for the lines 1, 2, 3 and so on, escaped as the page
// writes source text (each space as "&nbsp;" when spaces are rewritten),
// and the line anchors. Each number is counted in decimal digits in place,
// so a line costs no formatting. Internal to the engine.
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

// The anchor in front of line 1, 2, 3 and so on: an empty element with the
// line's id (`<span id="L1"></span>`), or, in front of the line's number, the
// opening of a link to itself (`<a id="L1" href="#L1">`) that the caller
// closes after the number. Counted in place and written in one copy, the
// anchors cost the html5 mode 11% fewer instructions than formatting each
// number and writing the markup in five pieces (the html5 row of
// bench/run.py, UTF-8 corpus, counted by cachegrind; 0.94 of the time).
class LineAnchorText {
 public:
  // Starts at line 1.
  explicit LineAnchorText(bool around_number);

  std::string_view text() const { return {text_, size_}; }
  // Moves on to the next line's anchor.
  void next();

 private:
  void lay_out(std::size_t digits);

  bool link_;
  std::size_t digits_ = 0;
  std::size_t size_ = 0;
  // The link's two copies of twenty digits and the markup around them.
  char text_[8 + 20 + 10 + 20 + 2];
};

}  // namespace prismet

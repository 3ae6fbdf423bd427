// The texts a conversion writes in front of each line: the line-number
// prefixes, "%4d: " for the lines 1, 2, 3 and so on, escaped as the page
// writes source text (each space as "&nbsp;" when spaces are rewritten),
// and the line anchors. Each number is counted in decimal digits in place,
// so a line costs no formatting. Internal to the engine.
#pragma once

#include <cstddef>
#include <string_view>

#include "common/text_padding.h"

namespace prismet {

class LineNumberText {
 public:
  // Starts at line 1.
  explicit LineNumberText(bool nbsp_spaces);

  // The text is followed by room enough for a copy of kShortCopyBytes.
  std::string_view text() const { return {text_, size_}; }
  // Moves on to the next line's number: in place, and inline while the
  // last digit is not a nine.
  void next() {
    char& last = text_[digits_at_ + digits_ - 1];
    if (last != '9') {
      ++last;
      return;
    }
    carry();
  }

 private:
  // Lays the text out for a number of `digits` digits: "1" then zeros.
  void lay_out(std::size_t digits);
  // The next number when the last digit is a nine.
  void carry();

  bool nbsp_;
  std::size_t digits_at_ = 0;  // where the digits begin in the text
  std::size_t digits_ = 0;
  std::size_t size_ = 0;
  // Three escaped spaces of padding, twenty digits, the colon and a space.
  char text_[3 * 6 + 20 + 1 + 6];
  static_assert(sizeof text_ >= kShortCopyBytes, "a short prefix is copied with one copy of fixed length");
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

  // The text is followed by room enough for a copy of kShortCopyBytes.
  std::string_view text() const { return {text_, size_}; }
  // Moves on to the next line's anchor: in place, and inline while the last
  // digit is not a nine (a link's two copies of the number alike).
  void next() {
    char& last = text_[first_digit() + digits_ - 1];
    if (last != '9') {
      ++last;
      if (link_) ++text_[second_digit() + digits_ - 1];
      return;
    }
    carry();
  }

 private:
  void lay_out(std::size_t digits);
  // The next number when the last digit is a nine.
  void carry();
  // Where the digits begin: of the id, and of the link's target.
  std::size_t first_digit() const { return link_ ? 8 : 11; }
  std::size_t second_digit() const { return 8 + digits_ + 10; }

  bool link_;
  std::size_t digits_ = 0;
  std::size_t size_ = 0;
  // The link's two copies of twenty digits and the markup around them.
  char text_[8 + 20 + 10 + 20 + 2];
  static_assert(sizeof text_ >= kShortCopyBytes, "a short anchor is copied with one copy of fixed length");
};

}  // namespace prismet

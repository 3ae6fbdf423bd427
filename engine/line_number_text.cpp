#include "engine/line_number_text.h"

#include <cstring>

namespace prismet {

namespace {

constexpr std::size_t kMinimumWidth = 4;
constexpr std::size_t kMostDigits = 20;

}  // namespace

LineNumberText::LineNumberText(bool nbsp_spaces) : nbsp_(nbsp_spaces) { lay_out(1); }

void LineNumberText::lay_out(std::size_t digits) {
  const char* space = nbsp_ ? "&nbsp;" : " ";
  const std::size_t space_size = nbsp_ ? 6 : 1;
  std::size_t at = 0;
  for (std::size_t pad = digits; pad < kMinimumWidth; ++pad) {
    std::memcpy(text_ + at, space, space_size);
    at += space_size;
  }
  digits_at_ = at;
  digits_ = digits;
  text_[at++] = '1';
  for (std::size_t i = 1; i < digits; ++i) text_[at++] = '0';
  text_[at++] = ':';
  std::memcpy(text_ + at, space, space_size);
  size_ = at + space_size;
}

void LineNumberText::next() {
  char* digit = text_ + digits_at_ + digits_;
  while (digit != text_ + digits_at_) {
    --digit;
    if (*digit != '9') {
      ++*digit;
      return;
    }
    *digit = '0';
  }
  // Every digit was a nine: one digit more. Twenty digits are never reached.
  if (digits_ < kMostDigits) lay_out(digits_ + 1);
}

}  // namespace prismet

#include "engine/line_number_text.h"

#include <cstring>

namespace prismet {

namespace {

constexpr std::size_t kMinimumWidth = 4;
constexpr std::size_t kMostDigits = 20;

// Adds one to the decimal number in [first, first + digits); false when
// every digit was a nine (they are all zeros then).
bool count_up(char* first, std::size_t digits) {
  for (char* digit = first + digits; digit != first;) {
    --digit;
    if (*digit != '9') {
      ++*digit;
      return true;
    }
    *digit = '0';
  }
  return false;
}

// Places "1" and `digits` - 1 zeros at `at`; returns their end.
char* place_one(char* at, std::size_t digits) {
  *at++ = '1';
  std::memset(at, '0', digits - 1);
  return at + digits - 1;
}

char* place(char* at, const char* text, std::size_t size) {
  std::memcpy(at, text, size);
  return at + size;
}

constexpr char kSpanOpen[] = "<span id=\"L";
constexpr char kSpanClose[] = "\"></span>";
constexpr char kLinkOpen[] = "<a id=\"L";
constexpr char kLinkHref[] = "\" href=\"#L";
constexpr char kLinkClose[] = "\">";

// The offset of the link's first copy of the digits.
constexpr std::size_t kLinkDigits = sizeof kLinkOpen - 1;

static_assert(kLinkDigits == 8 && sizeof kSpanOpen - 1 == 11 && sizeof kLinkHref - 1 == 10,
              "LineAnchorText::first_digit and second_digit know the markup's lengths");

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
  at = static_cast<std::size_t>(place_one(text_ + at, digits) - text_);
  text_[at++] = ':';
  std::memcpy(text_ + at, space, space_size);
  size_ = at + space_size;
}

void LineNumberText::carry() {
  // Every digit a nine: one digit more. Twenty digits are never reached.
  if (!count_up(text_ + digits_at_, digits_) && digits_ < kMostDigits) lay_out(digits_ + 1);
}

LineAnchorText::LineAnchorText(bool around_number) : link_(around_number) { lay_out(1); }

void LineAnchorText::lay_out(std::size_t digits) {
  digits_ = digits;
  char* at = text_;
  if (link_) {
    at = place(at, kLinkOpen, sizeof kLinkOpen - 1);
    at = place_one(at, digits);
    at = place(at, kLinkHref, sizeof kLinkHref - 1);
    at = place_one(at, digits);
    at = place(at, kLinkClose, sizeof kLinkClose - 1);
  } else {
    at = place(at, kSpanOpen, sizeof kSpanOpen - 1);
    at = place_one(at, digits);
    at = place(at, kSpanClose, sizeof kSpanClose - 1);
  }
  size_ = static_cast<std::size_t>(at - text_);
}

void LineAnchorText::carry() {
  const std::size_t first = first_digit();
  if (count_up(text_ + first, digits_)) {
    if (link_) std::memcpy(text_ + second_digit(), text_ + first, digits_);
  } else if (digits_ < kMostDigits) {
    lay_out(digits_ + 1);
  }
}

}  // namespace prismet

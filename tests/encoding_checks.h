// Whether text is valid in a page's encoding, checked by the tests on their
// own rather than with the production helpers they test.
#pragma once

#include <cstddef>
#include <string_view>

namespace prismet::testing {

// Well-formed UTF-8: no stray continuation byte, no overlong form, no
// surrogate, nothing above U+10FFFF, no sequence cut short.
inline bool is_valid_utf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const auto b = static_cast<unsigned char>(text[i]);
    std::size_t need = 0;
    unsigned long value = 0;
    if (b < 0x80) {
      ++i;
      continue;
    } else if (b >= 0xC2 && b <= 0xDF) {
      need = 1;
      value = b & 0x1Fu;
    } else if (b >= 0xE0 && b <= 0xEF) {
      need = 2;
      value = b & 0x0Fu;
    } else if (b >= 0xF0 && b <= 0xF4) {
      need = 3;
      value = b & 0x07u;
    } else {
      return false;
    }
    if (i + need >= text.size()) return false;
    for (std::size_t k = 1; k <= need; ++k) {
      const auto c = static_cast<unsigned char>(text[i + k]);
      if ((c & 0xC0u) != 0x80u) return false;
      value = value << 6 | (c & 0x3Fu);
    }
    if ((need == 2 && value < 0x800) || (need == 3 && value < 0x10000) || value > 0x10FFFF ||
        (value >= 0xD800 && value <= 0xDFFF)) {
      return false;
    }
    i += need + 1;
  }
  return true;
}

// Code page 932 by its byte ranges: ASCII, half-width katakana 0xA1-0xDF, or
// a lead byte (0x81-0x9F, 0xE0-0xFC) with a second byte (0x40-0xFC but 0x7F).
inline bool is_valid_cp932(std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto b = static_cast<unsigned char>(text[i]);
    if (b < 0x80 || (b >= 0xA1 && b <= 0xDF)) continue;
    if (!((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)) || i + 1 == text.size()) return false;
    const auto t = static_cast<unsigned char>(text[++i]);
    if (t < 0x40 || t > 0xFC || t == 0x7F) return false;
  }
  return true;
}

}  // namespace prismet::testing

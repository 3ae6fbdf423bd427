// The character encodings the engine steps through, and the stepping rules of
// UTF-8. Code page 932 has its own header (cp932.h).
#pragma once

#include <cstddef>
#include <cstdint>

namespace prismet {

// How a source's bytes form characters. The engine never converts: a page
// holds the source's bytes; the encoding only decides which bytes belong
// together (so that no ASCII byte is taken as part of a character).
enum class CharacterEncoding { kShiftJis, kUtf8 };

// The byte count of the well-formed UTF-8 sequence at `position` (2 to 4),
// or 1 for an ASCII byte and for any byte that does not begin one: a
// continuation byte, C0, C1, F5-FF, an overlong form, a surrogate, a value
// above U+10FFFF, or a sequence cut short by `end`. Such an invalid byte is
// a character of its own; the bytes after it are looked at afresh.
inline std::size_t utf8_sequence_length(const char* position, const char* end) {
  const unsigned char b0 = static_cast<unsigned char>(position[0]);
  if (b0 < 0xC2 || b0 > 0xF4) return 1;
  const std::size_t need = b0 < 0xE0 ? 2 : b0 < 0xF0 ? 3 : 4;
  if (static_cast<std::size_t>(end - position) < need) return 1;
  const unsigned char b1 = static_cast<unsigned char>(position[1]);
  // The second byte's range excludes overlong forms (E0, F0), surrogates
  // (ED) and values above U+10FFFF (F4).
  unsigned char low = 0x80, high = 0xBF;
  if (b0 == 0xE0) low = 0xA0;
  if (b0 == 0xED) high = 0x9F;
  if (b0 == 0xF0) low = 0x90;
  if (b0 == 0xF4) high = 0x8F;
  if (b1 < low || b1 > high) return 1;
  for (std::size_t i = 2; i < need; ++i) {
    const unsigned char b = static_cast<unsigned char>(position[i]);
    if (b < 0x80 || b > 0xBF) return 1;
  }
  return need;
}

// The code point of the well-formed sequence of `length` bytes at `position`.
inline std::uint32_t utf8_code_point(const char* position, std::size_t length) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(position);
  if (length == 1) return p[0];
  if (length == 2) return (p[0] & 0x1Fu) << 6 | (p[1] & 0x3Fu);
  if (length == 3) return (p[0] & 0x0Fu) << 12 | (p[1] & 0x3Fu) << 6 | (p[2] & 0x3Fu);
  return (p[0] & 0x07u) << 18 | (p[1] & 0x3Fu) << 12 | (p[2] & 0x3Fu) << 6 | (p[3] & 0x3Fu);
}

// Whether a code point is East Asian Wide or Fullwidth: the CJK, kana,
// Hangul and fullwidth-form blocks, the ideographic planes and the emoji
// blocks. A coarse table, not the full Unicode property: rarely used wide
// symbols elsewhere count as narrow.
bool is_wide_code_point(std::uint32_t code_point);

// Display columns of UTF-8 text, as tab expansion counts them: one per
// character (an invalid byte is one character), two for a wide or fullwidth
// one. Combining and zero-width characters count one as well: the columns
// are for lining tabs up, not for shaping.
std::int64_t utf8_columns(const char* text, std::size_t length);

}  // namespace prismet

// The fixed byte sets of the scanner's code state, as lookup tables.
#pragma once

#include <cstddef>
#include <cstdint>

namespace prismet {

enum CharSet : std::uint8_t {
  kWhitespaceByte = 1,  // space, tab, vertical tab, form feed, CR, LF
  kDecimalByte = 2,     // the point and the ten digits
  kHexDigitByte = 4,    // 0-9, a-f, A-F
  kWordByte = 8,        // '#', '_', letters and digits
};

struct CharSetTable {
  std::uint8_t bits[256];
  constexpr CharSetTable() : bits() {
    for (const char* p = " \t\v\f\r\n"; *p; ++p) bits[static_cast<unsigned char>(*p)] |= kWhitespaceByte;
    for (const char* p = ".0123456789"; *p; ++p) bits[static_cast<unsigned char>(*p)] |= kDecimalByte;
    for (const char* p = "0123456789abcdefABCDEF"; *p; ++p)
      bits[static_cast<unsigned char>(*p)] |= kHexDigitByte;
    for (const char* p = "#_abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"; *p; ++p)
      bits[static_cast<unsigned char>(*p)] |= kWordByte;
  }
};

inline constexpr CharSetTable kCharSets;

constexpr bool in_set(char byte, CharSet set) {
  return (kCharSets.bits[static_cast<unsigned char>(byte)] & set) != 0;
}

// Length of the run of bytes of `set` starting at `text`, stopping at `end`.
inline std::size_t run_length(const char* text, const char* end, CharSet set) {
  const char* p = text;
  while (p < end && in_set(*p, set)) ++p;
  return static_cast<std::size_t>(p - text);
}

static_assert(kCharSets.bits[0] == 0, "the NUL ends every run");

// Length of the run of bytes of `set` starting at `text`, with no bound to
// check: the run must be followed by a NUL (as a line piece's text is) or by
// any other byte outside the set.
inline std::size_t run_length_to_nul(const char* text, CharSet set) {
  const char* p = text;
  while (in_set(*p, set)) ++p;
  return static_cast<std::size_t>(p - text);
}

inline bool is_word_run(const char* text, std::size_t length) {
  return run_length(text, text + length, kWordByte) == length;
}

}  // namespace prismet

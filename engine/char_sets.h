// The fixed byte sets of the scanner's code state (whitespace, the digits of
// a number, word bytes) as one lookup table, and the runs over them. No set
// holds the NUL, so a run over a line piece ends at its terminating NUL at
// the latest and needs no bound; the scanner, the page writer and the
// vocabulary's tables all classify bytes by this one table.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/simd.h"
#include "common/text_padding.h"

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

// The end of the run of word bytes at `text`, which must be followed by a
// byte outside them (a line piece's NUL) with 15 more bytes readable after
// that byte (a piece's padding, kPieceReadPadding); what those bytes hold
// does not matter.
// WARNING: performance-critical (the run loop finds every word's end here).
// Sixteen bytes compared at once instead of a loop that leaves at an
// unforeseeable byte: 11% fewer mispredicted branches of the engine, for 3%
// more instructions (bench/engine_rows.py, 10 MB corpus, default row).
#if PRISMET_SSE2
static_assert(sizeof(__m128i) <= kPieceReadPadding, "a load at the NUL stays in the padding");

inline const char* word_run_end(const char* text) {
  // x in [low, low + count): one signed comparison, the subtraction wraps.
  const auto in_range = [](__m128i x, char low, int count) {
    return _mm_cmplt_epi8(_mm_add_epi8(x, _mm_set1_epi8(static_cast<char>(0x80 - low))),
                          _mm_set1_epi8(static_cast<char>(-128 + count)));
  };
  for (;;) {
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text));
    const __m128i letter = in_range(_mm_or_si128(x, _mm_set1_epi8(0x20)), 'a', 26);
    const __m128i word = _mm_or_si128(
        _mm_or_si128(letter, in_range(x, '0', 10)),
        _mm_or_si128(_mm_cmpeq_epi8(x, _mm_set1_epi8('_')), _mm_cmpeq_epi8(x, _mm_set1_epi8('#'))));
    const unsigned others = ~static_cast<unsigned>(_mm_movemask_epi8(word)) & 0xFFFFu;
    if (others != 0) return text + __builtin_ctz(others);
    text += 16;
  }
}
#else
inline const char* word_run_end(const char* text) { return text + run_length_to_nul(text, kWordByte); }
#endif

inline bool is_word_run(const char* text, std::size_t length) {
  return run_length(text, text + length, kWordByte) == length;
}

}  // namespace prismet

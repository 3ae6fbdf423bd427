// Stepping through code page 932 (Shift_JIS) text without splitting a
// double-byte character.
#pragma once

#include <cstddef>
#include <string_view>

namespace prismet {

// 0x81-0x9F and 0xE0-0xFC begin a double-byte character.
constexpr bool is_lead_byte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// 0x40-0xFC except 0x7F may follow a lead byte as its second byte.
constexpr bool is_second_byte(unsigned char byte) { return byte >= 0x40 && byte <= 0xFC && byte != 0x7F; }

// The position of the character after the one at `position` in a
// NUL-terminated string: the same position at the terminating NUL, two bytes
// further for a lead byte that is not directly before the NUL, one byte
// further otherwise. The second byte is not validated.
inline const char* next_char(const char* position) {
  const unsigned char byte = static_cast<unsigned char>(*position);
  if (byte == 0) return position;
  if (is_lead_byte(byte) && position[1] != '\0') return position + 2;
  return position + 1;
}
inline char* next_char(char* position) {
  return const_cast<char*>(next_char(static_cast<const char*>(position)));
}

// The byte count of the character at `position` of `text` (1 or 2): the
// rule of next_char, the end of `text` standing for the terminating NUL.
inline std::size_t char_length(std::string_view text, std::size_t position) {
  const bool pair = is_lead_byte(static_cast<unsigned char>(text[position])) && position + 1 < text.size() &&
                    text[position + 1] != '\0';
  return pair ? 2 : 1;
}

enum ByteClass : int { kSingleByte = 0, kFirstByte = 1, kSecondByte = 2 };

// Classifies the byte at `position` by scanning `text` from its start: the
// first byte of a double-byte character (any lead byte), its second byte
// (only a byte in the second-byte range that follows a lead byte), or a
// single byte. 0 when the string ends before or at `position`.
int byte_class_at(const char* text, std::size_t position);

}  // namespace prismet

// Copying text into a buffer of fixed size: never past its end, always
// terminated, and never cutting a double-byte character in two.
#pragma once

#include <cstddef>
#include <string_view>

namespace prismet {

// Copies at most size - 1 bytes of `source` and always terminates; one byte
// fewer when the first byte left out would be the second byte of a
// double-byte character (byte_class_at gives 2 for it). The rest of the
// destination is filled with NULs. Nothing is written when `size` is 0.
void copy_string_bounded(char* destination, const char* source, std::size_t size);

template <std::size_t N>
void copy_string_bounded(char (&destination)[N], const char* source) {
  copy_string_bounded(destination, source, N);
}

// Copies the longest run of whole characters of `text` (as char_length
// steps through it) that fits in capacity - 1 bytes, and a NUL behind it.
// Returns the length copied. `capacity` must be at least 1.
std::size_t copy_whole_characters(char* buffer, std::size_t capacity, std::string_view text);

}  // namespace prismet

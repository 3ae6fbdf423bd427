#include "common/bounded_copy.h"

#include <cstring>

#include "common/cp932.h"

namespace prismet {

void copy_string_bounded(char* destination, const char* source, std::size_t size) {
  if (size == 0) return;
  std::size_t length = std::strlen(source);
  if (length > size - 1) {
    length = size - 1;
    if (byte_class_at(source, length) == kSecondByte) --length;
  }
  std::memcpy(destination, source, length);
  std::memset(destination + length, 0, size - length);
}

std::size_t copy_whole_characters(char* buffer, std::size_t capacity, std::string_view text) {
  std::size_t length = 0;
  while (length < text.size()) {
    const std::size_t next = length + char_length(text, length);
    if (next > capacity - 1) break;
    length = next;
  }
  std::memcpy(buffer, text.data(), length);
  buffer[length] = '\0';
  return length;
}

}  // namespace prismet

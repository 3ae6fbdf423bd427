#include "common/path_text.h"

#include <cstring>

#include "common/cp932.h"

namespace prismet {

bool is_path_separator_at(const char* text, std::size_t position) {
  if (text[position] != kPathSeparator) return false;
  // '/' is never a second byte; a backslash may be.
  return kPathSeparator == '/' || byte_class_at(text, position) == kSingleByte;
}

void lower_case_path(char* text) {
  for (char* p = text; *p != '\0'; p = next_char(p)) {
    if (*p >= 'A' && *p <= 'Z') *p = static_cast<char>(*p - 'A' + 'a');
  }
}

char* find_extension(char* path) {
  const std::size_t length = std::strlen(path);
  for (std::size_t i = length; i-- > 0;) {
    // '/' is never the second byte of a double-byte character.
    if (path[i] == kAlternatePathSeparator || is_path_separator_at(path, i)) break;
    if (path[i] == '.') return path + i;
  }
  return path + length;
}

char* remove_extension(char* path) {
  char* dot = find_extension(path);
  if (*dot != '.') return dot;
  *dot = '\0';
  return dot + 1;
}

bool replace_extension(char* buffer, std::size_t capacity, const char* extension) {
  const std::size_t stem = static_cast<std::size_t>(find_extension(buffer) - buffer);
  const std::size_t added = std::strlen(extension);
  if (stem + added + 1 > capacity) return false;
  std::memcpy(buffer + stem, extension, added + 1);
  return true;
}

}  // namespace prismet

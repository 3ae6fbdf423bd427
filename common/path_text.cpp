#include "common/path_text.h"

#include <cstring>

#include "common/ascii_case.h"
#include "common/cp932.h"

namespace prismet {

namespace {

// The position of the extension's dot in the last path component, or of the
// terminating NUL when that component has no dot.
char* find_extension(char* path) {
  const std::size_t length = std::strlen(path);
  for (std::size_t i = length; i-- > 0;) {
    // '/' is never the second byte of a double-byte character.
    if (path[i] == kAlternatePathSeparator || is_path_separator_at(path, i)) break;
    if (path[i] == '.') return path + i;
  }
  return path + length;
}

}  // namespace

bool is_path_separator_at(const char* text, std::size_t position) {
  if (text[position] != kPathSeparator) return false;
  // '/' is never a second byte; a backslash may be.
  return kPathSeparator == '/' || byte_class_at(text, position) == kSingleByte;
}

std::string folder_of(const char* path) {
  for (std::size_t i = std::strlen(path); i-- > 0;) {
    if (path[i] == kAlternatePathSeparator || is_path_separator_at(path, i))
      return std::string(path, i == 0 ? 1 : i);
  }
  return ".";
}

std::string_view file_name_of(const char* path) {
  const std::size_t length = std::strlen(path);
  for (std::size_t i = length; i-- > 0;) {
    if (path[i] == kAlternatePathSeparator || is_path_separator_at(path, i)) {
      return std::string_view(path + i + 1, length - i - 1);
    }
  }
  return std::string_view(path, length);
}

bool ends_with_separator(const std::string& path) {
  const std::size_t end = path.size();
  return end > 0 && (path[end - 1] == kAlternatePathSeparator || is_path_separator_at(path.c_str(), end - 1));
}

std::string join_path(const std::string& folder, std::string_view name) {
  std::string joined = folder;
  if (!joined.empty() && !ends_with_separator(joined)) joined += kPathSeparator;
  joined += name;
  return joined;
}

bool is_absolute_path(const char* path) {
  if (path[0] == kPathSeparator || path[0] == kAlternatePathSeparator) return true;
  const bool drive_letters = kPathSeparator == '\\';
  const bool letter = (path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z');
  return drive_letters && letter && path[1] == ':';
}

bool resolve_path_in_folder(const std::string& folder, char* buffer, std::size_t capacity) {
  if (buffer[0] == '\0' || is_absolute_path(buffer)) return true;
  std::string joined = folder;
  if (!ends_with_separator(joined)) joined += kPathSeparator;
  joined += buffer;
  if (joined.size() + 1 > capacity) return false;
  std::memcpy(buffer, joined.c_str(), joined.size() + 1);
  return true;
}

void lower_case_path(char* text) {
  for (char* p = text; *p != '\0'; p = next_char(p)) {
    *p = lower_ascii(*p);
  }
}

bool replace_extension(char* buffer, std::size_t capacity, const char* extension) {
  const std::size_t stem = static_cast<std::size_t>(find_extension(buffer) - buffer);
  const std::size_t added = std::strlen(extension);
  if (stem + added + 1 > capacity) return false;
  std::memcpy(buffer + stem, extension, added + 1);
  return true;
}

}  // namespace prismet

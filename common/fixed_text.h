// Fixed text buffers: paths, the output extension and the vocabulary path
// live in buffers of kPathCapacity bytes, text and a NUL. On Windows that is
// 261 bytes (at most 260 of text, the system's limit for the calls the
// program makes); on Linux it is the system's own limit for a path.
#pragma once

#include <cstddef>
#include <cstring>
#include <string_view>

namespace prismet {

#ifdef _WIN32
inline constexpr std::size_t kPathCapacity = 261;
#else
inline constexpr std::size_t kPathCapacity = 4096;  // PATH_MAX, the NUL included
#endif

// Copies at most capacity - 1 bytes of `text` (stopping at a NUL) and always
// terminates.
inline void copy_cut(char* buffer, std::size_t capacity, std::string_view text) {
  if (capacity == 0) return;
  std::size_t length = 0;
  while (length < text.size() && length < capacity - 1 && text[length] != '\0') ++length;
  std::memcpy(buffer, text.data(), length);
  buffer[length] = '\0';
}

template <std::size_t N>
void copy_cut(char (&buffer)[N], std::string_view text) {
  copy_cut(buffer, N, text);
}

}  // namespace prismet

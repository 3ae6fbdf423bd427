#include <windows.h>

#include "common/file_system.h"

namespace prismet {

bool path_exists(const char* path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

std::FILE* open_file_for_reading(const char* path) { return std::fopen(path, "rb"); }

std::FILE* open_file_for_writing(const char* path) { return std::fopen(path, "wb"); }

bool executable_path(char* buffer, std::size_t capacity) {
  if (capacity == 0) return false;
  const DWORD length = GetModuleFileNameA(GetModuleHandleA(nullptr), buffer, static_cast<DWORD>(capacity));
  if (length == 0) return false;
  buffer[capacity - 1] = '\0';  // older systems leave a cut path unterminated
  return true;
}

}  // namespace prismet

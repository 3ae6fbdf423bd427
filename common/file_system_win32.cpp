#include <windows.h>

#include "common/file_system.h"

namespace prismet {

bool path_exists(const char* path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

std::FILE* open_file_for_reading(const char* path) { return std::fopen(path, "rb"); }

std::FILE* open_file_for_writing(const char* path) { return std::fopen(path, "wb"); }

bool delete_file(const char* path) { return DeleteFileA(path) != 0; }

bool replace_file_keeping_attributes(const char* source, const char* output) {
  const DWORD attributes = GetFileAttributesA(output);
  // Clears read-only, hidden and system so that the copy may replace the
  // file; fails harmlessly when the output does not exist yet.
  SetFileAttributesA(output, 0);
  const bool copied = CopyFileA(source, output, FALSE) != 0;
  if (attributes != INVALID_FILE_ATTRIBUTES) SetFileAttributesA(output, attributes);
  return copied;
}

bool executable_path(char* buffer, std::size_t capacity) {
  if (capacity == 0) return false;
  const DWORD length = GetModuleFileNameA(GetModuleHandleA(nullptr), buffer, static_cast<DWORD>(capacity));
  if (length == 0) return false;
  buffer[capacity - 1] = '\0';  // older systems leave a cut path unterminated
  return true;
}

}  // namespace prismet

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

namespace {

// The volume and index that identify a file, read through a handle that
// asks for no access (so it opens files others hold open, and folders).
bool file_identity(const char* path, BY_HANDLE_FILE_INFORMATION& info) {
  const HANDLE file = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool ok = GetFileInformationByHandle(file, &info) != 0;
  CloseHandle(file);
  return ok;
}

}  // namespace

bool same_file(const char* first, const char* second) {
  BY_HANDLE_FILE_INFORMATION a, b;
  return file_identity(first, a) && file_identity(second, b) &&
         a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
         a.nFileIndexLow == b.nFileIndexLow;
}

bool executable_path(char* buffer, std::size_t capacity) {
  if (capacity == 0) return false;
  const DWORD length = GetModuleFileNameA(GetModuleHandleA(nullptr), buffer, static_cast<DWORD>(capacity));
  if (length == 0) return false;
  buffer[capacity - 1] = '\0';  // older systems leave a cut path unterminated
  return true;
}

}  // namespace prismet

#include <windows.h>
#include <io.h>

#include <cerrno>
#include <string>

#include "common/file_system.h"

namespace prismet {

bool path_exists(const char* path) {
  if (GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES) return true;
  errno = ENOENT;
  return false;
}

bool names_standard_streams(const char*) { return false; }

namespace {

void stamp_of(const BY_HANDLE_FILE_INFORMATION& info, FileStamp& stamp) {
  stamp.device = info.dwVolumeSerialNumber;
  stamp.index = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  stamp.size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  stamp.modified = (static_cast<std::uint64_t>(info.ftLastWriteTime.dwHighDateTime) << 32) |
                   info.ftLastWriteTime.dwLowDateTime;
}

}  // namespace

namespace {

// Opens a file on a disk for reading. A device (CON, NUL, COM1) or a pipe
// (\\.\pipe\NAME) is no such file: it is closed again before anything is
// read from it, so a reader never waits for it, and `not_regular` is set.
std::FILE* open_disk_file(const char* path, bool& not_regular, FileStamp* stamp) {
  not_regular = false;
  const DWORD attributes = GetFileAttributesA(path);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    errno = EISDIR;  // the runtime says only "access denied"
    return nullptr;
  }
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return nullptr;
  const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
  if (GetFileType(handle) != FILE_TYPE_DISK) {
    std::fclose(file);
    not_regular = true;
    errno = EINVAL;
    return nullptr;
  }
  // Callers read in large blocks of their own.
  std::setvbuf(file, nullptr, _IONBF, 0);
  if (stamp != nullptr) {
    BY_HANDLE_FILE_INFORMATION info;
    if (GetFileInformationByHandle(handle, &info) != 0) {
      *stamp = FileStamp();
      stamp_of(info, *stamp);
    } else if (!file_stamp(path, *stamp)) {
      *stamp = FileStamp();
    }
  }
  return file;
}

}  // namespace

std::FILE* open_file_for_reading(const char* path, FileStamp* stamp) {
  bool not_regular = false;
  return open_disk_file(path, not_regular, stamp);
}

std::FILE* open_regular_file_for_reading(const char* path, bool& not_regular, FileStamp* stamp) {
  return open_disk_file(path, not_regular, stamp);
}

std::FILE* open_file_for_writing(const char* path) {
  std::FILE* file = std::fopen(path, "wb");
  if (file != nullptr) std::setvbuf(file, nullptr, _IONBF, 0);
  return file;
}

bool delete_file(const char* path) { return DeleteFileA(path) != 0; }

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

bool file_stamp(const char* path, FileStamp& stamp) {
  BY_HANDLE_FILE_INFORMATION info;
  if (!file_identity(path, info)) return false;
  stamp_of(info, stamp);
  return true;
}

// Nothing is held: the system's calls take whole paths.
bool OpenFolder::open(const char*) { return false; }

void OpenFolder::close() {}

bool OpenFolder::stamp(const char*, const char* path, FileStamp& stamp) const {
  return file_stamp(path, stamp);
}

bool same_file(const char* first, const char* second) {
  BY_HANDLE_FILE_INFORMATION a, b;
  return file_identity(first, a) && file_identity(second, b) &&
         a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
         a.nFileIndexLow == b.nFileIndexLow;
}

std::string full_path_of(const char* path) {
  char full[MAX_PATH];
  const DWORD length = GetFullPathNameA(path, sizeof full, full, nullptr);
  return length > 0 && length < sizeof full ? std::string(full, length) : std::string(path);
}

bool executable_path(char* buffer, std::size_t capacity) {
  if (capacity == 0) return false;
  const DWORD length = GetModuleFileNameA(GetModuleHandleA(nullptr), buffer, static_cast<DWORD>(capacity));
  if (length == 0) return false;
  buffer[capacity - 1] = '\0';  // older systems leave a cut path unterminated
  return true;
}

}  // namespace prismet

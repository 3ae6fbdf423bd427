#include <windows.h>

#include <cerrno>
#include <cstring>
#include <new>
#include <string>

#include "common/folder_listing.h"
#include "common/path_text.h"

namespace prismet {

namespace {

struct FindCloser {
  HANDLE handle;
  ~FindCloser() { FindClose(handle); }
};

int errno_of(DWORD code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return ENOENT;
    case ERROR_ACCESS_DENIED:
      return EACCES;
    case ERROR_DIRECTORY:
      return ENOTDIR;
    case ERROR_FILENAME_EXCED_RANGE:
      return ENAMETOOLONG;
    default:
      return EIO;
  }
}

}  // namespace

bool is_folder(const char* path) {
  const DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool is_link(const char* path) {
  const DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

bool remove_empty_folder(const char* path) { return !is_link(path) && RemoveDirectoryA(path) != 0; }

bool list_folder(const char* path, std::vector<FolderEntry>& entries, int& error) {
  entries.clear();
  std::string pattern = path;
  if (pattern.empty() || !is_path_separator_at(pattern.c_str(), pattern.size() - 1)) pattern += '\\';
  pattern += '*';
  WIN32_FIND_DATAA data;
  const HANDLE handle = FindFirstFileA(pattern.c_str(), &data);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD code = GetLastError();
    // An empty folder still has "." and "..", but a root may have neither.
    if (code == ERROR_FILE_NOT_FOUND && is_folder(path)) return true;
    error = is_folder(path) || code != ERROR_FILE_NOT_FOUND ? errno_of(code) : ENOENT;
    return false;
  }
  const FindCloser closer{handle};
  do {
    const char* name = data.cFileName;
    if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) continue;
    FolderEntry& entry = entries.emplace_back();
    entry.name = name;
    const DWORD attributes = data.dwFileAttributes;
    entry.hidden = name[0] == '.' || (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0;
    entry.link = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
      entry.kind = FolderEntry::Kind::kFolder;
    } else if ((attributes & FILE_ATTRIBUTE_DEVICE) == 0) {
      entry.kind = FolderEntry::Kind::kFile;
    }
  } while (FindNextFileA(handle, &data));
  const DWORD code = GetLastError();
  if (code != ERROR_NO_MORE_FILES) {
    error = errno_of(code);
    return false;
  }
  return true;
}

bool make_folders(const std::string& path, int& error, unsigned) {
  if (is_folder(path.c_str())) return true;
  // Each folder from the top down, the path cut in one copy of it at real
  // separators only (a double-byte name may hold 0x5C as its second byte).
  std::string part;
  try {
    part = path;
  } catch (const std::bad_alloc&) {
    error = ENOMEM;
    return false;
  }
  const char* text = path.c_str();
  for (std::size_t position = 1; position <= path.size(); ++position) {
    if (position < path.size() && !is_path_separator_at(text, position)) continue;
    if (position == 2 && text[1] == ':') continue;  // a drive
    const char kept = part[position];
    part[position] = '\0';
    const BOOL made = CreateDirectoryA(part.c_str(), nullptr);
    const DWORD code = made ? 0 : GetLastError();
    part[position] = kept;
    if (!made && code != ERROR_ALREADY_EXISTS && code != ERROR_ACCESS_DENIED) {
      error = errno_of(code);
      return false;
    }
  }
  if (!is_folder(path.c_str())) {
    error = ENOTDIR;
    return false;
  }
  return true;
}

unsigned processor_count() {
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  return info.dwNumberOfProcessors > 0 ? info.dwNumberOfProcessors : 1u;
}

}  // namespace prismet

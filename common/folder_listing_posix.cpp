#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <new>
#include <string>

#include "common/folder_listing.h"

namespace prismet {

namespace {

struct FolderCloser {
  void operator()(DIR* folder) const { ::closedir(folder); }
};

FolderEntry::Kind kind_of_mode(mode_t mode) {
  if (S_ISREG(mode)) return FolderEntry::Kind::kFile;
  if (S_ISDIR(mode)) return FolderEntry::Kind::kFolder;
  return FolderEntry::Kind::kOther;
}

// The entry's kind from the listing where the file system gives it, else
// from a status call; a link's from its target.
void classify(int folder_fd, const dirent& entry, FolderEntry& result) {
  struct stat info;
  switch (entry.d_type) {
    case DT_REG:
      result.kind = FolderEntry::Kind::kFile;
      return;
    case DT_DIR:
      result.kind = FolderEntry::Kind::kFolder;
      return;
    case DT_LNK:
      result.link = true;
      break;
    case DT_UNKNOWN:
      if (::fstatat(folder_fd, entry.d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) return;
      if (!S_ISLNK(info.st_mode)) {
        result.kind = kind_of_mode(info.st_mode);
        return;
      }
      result.link = true;
      break;
    default:
      return;
  }
  if (::fstatat(folder_fd, entry.d_name, &info, 0) == 0) result.kind = kind_of_mode(info.st_mode);
}

}  // namespace

bool list_folder(const char* path, std::vector<FolderEntry>& entries, int& error) {
  entries.clear();
  const std::unique_ptr<DIR, FolderCloser> folder(::opendir(path));
  if (!folder) {
    error = errno;
    return false;
  }
  const int folder_fd = ::dirfd(folder.get());
  for (;;) {
    errno = 0;
    const dirent* entry = ::readdir(folder.get());
    if (entry == nullptr) break;
    const char* name = entry->d_name;
    if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) continue;
    FolderEntry& result = entries.emplace_back();
    result.name = name;
    result.hidden = name[0] == '.';
    classify(folder_fd, *entry, result);
  }
  if (errno != 0) {
    error = errno;
    return false;
  }
  return true;
}

bool is_folder(const char* path) {
  struct stat info;
  return ::stat(path, &info) == 0 && S_ISDIR(info.st_mode);
}

bool is_link(const char* path) {
  struct stat info;
  return ::lstat(path, &info) == 0 && S_ISLNK(info.st_mode);
}

bool remove_empty_folder(const char* path) { return !is_link(path) && ::rmdir(path) == 0; }

bool make_folders(const std::string& path, int& error, unsigned mode) {
  struct stat info;
  if (::stat(path.c_str(), &info) == 0) {
    if (S_ISDIR(info.st_mode)) return true;
    error = ENOTDIR;
    return false;
  }
  // Each folder from the top down, the path cut at each separator in one
  // copy of it; one made meanwhile by another is fine.
  std::string part;
  try {
    part = path;
  } catch (const std::bad_alloc&) {
    error = ENOMEM;
    return false;
  }
  for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
    if (slash != std::string::npos) part[slash] = '\0';
    if (!path.empty() && ::mkdir(part.c_str(), static_cast<mode_t>(mode)) != 0 && errno != EEXIST) {
      error = errno;
      return false;
    }
    if (slash == std::string::npos) break;
    part[slash] = '/';
  }
  if (::stat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
    error = ENOTDIR;
    return false;
  }
  return true;
}

unsigned processor_count() {
  const long count = ::sysconf(_SC_NPROCESSORS_ONLN);
  return count > 0 ? static_cast<unsigned>(count) : 1u;
}

}  // namespace prismet

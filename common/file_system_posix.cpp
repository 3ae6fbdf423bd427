#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "common/file_system.h"

namespace prismet {

bool path_exists(const char* path) {
  struct stat info;
  if (path[0] == '\0') {
    errno = ENOENT;
    return false;
  }
  return ::stat(path, &info) == 0;
}

bool names_standard_streams(const char* path) { return path[0] == '-' && path[1] == '\0'; }

namespace {

void stamp_of(const struct stat& info, FileStamp& stamp) {
  stamp.device = static_cast<std::uint64_t>(info.st_dev);
  stamp.index = static_cast<std::uint64_t>(info.st_ino);
  stamp.size = static_cast<std::uint64_t>(info.st_size);
  stamp.modified = static_cast<std::uint64_t>(info.st_mtim.tv_sec) * 1000000000u +
                   static_cast<std::uint64_t>(info.st_mtim.tv_nsec);
  stamp.changed = static_cast<std::uint64_t>(info.st_ctim.tv_sec) * 1000000000u +
                  static_cast<std::uint64_t>(info.st_ctim.tv_nsec);
}

}  // namespace

bool file_stamp(const char* path, FileStamp& stamp) {
  struct stat info;
  if (::stat(path, &info) != 0) return false;
  stamp_of(info, stamp);
  return true;
}

bool OpenFolder::open(const char* path) {
  close();
  fd_ = ::open(path, O_PATH | O_DIRECTORY | O_CLOEXEC);
  return fd_ >= 0;
}

void OpenFolder::close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

// The lookup of one name in a folder already found, not of every folder of
// the path: about a fifth off a second run over an unchanged tree (the
// whole-tree benchmark's second-run row).
bool OpenFolder::stamp(const char* name, const char* path, FileStamp& stamp) const {
  if (fd_ < 0) return file_stamp(path, stamp);
  struct stat info;
  if (::fstatat(fd_, name, &info, 0) != 0) return false;
  stamp_of(info, stamp);
  return true;
}

namespace {

// Opens `path` for reading without ever waiting at the open: O_NONBLOCK lets
// a pipe without a writer or a device that waits for a line open at once,
// and is cleared again for the reads. A folder is refused (EISDIR: fopen
// would open it, and reading one must fail as it does on Windows); so, with
// `plain_only`, is anything but a plain file, `not_regular` then set.
// Callers read in large blocks of their own: the stream has no buffer.
std::FILE* open_without_waiting(const char* path, bool plain_only, bool& not_regular, FileStamp* stamp) {
  not_regular = false;
  const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat info;
  int error = 0;
  if (::fstat(fd, &info) != 0) {
    error = errno;
  } else if (S_ISDIR(info.st_mode)) {
    error = EISDIR;
  } else if (plain_only && !S_ISREG(info.st_mode)) {
    not_regular = true;
    error = EINVAL;
  }
  std::FILE* file = nullptr;
  if (error == 0) {
    const int flags = ::fcntl(fd, F_GETFL);
    file = flags >= 0 && ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0 ? ::fdopen(fd, "rb") : nullptr;
    if (file == nullptr) error = errno;
  }
  if (file == nullptr) {
    ::close(fd);
    errno = error;
    return nullptr;
  }
  std::setvbuf(file, nullptr, _IONBF, 0);
  if (stamp != nullptr) stamp_of(info, *stamp);
  return file;
}

}  // namespace

std::FILE* open_file_for_reading(const char* path, FileStamp* stamp) {
  bool not_regular = false;
  return open_without_waiting(path, false, not_regular, stamp);
}

std::FILE* open_regular_file_for_reading(const char* path, bool& not_regular, FileStamp* stamp) {
  return open_without_waiting(path, true, not_regular, stamp);
}

std::FILE* open_file_for_writing(const char* path) {
  std::FILE* file = std::fopen(path, "wb");
  if (file != nullptr) std::setvbuf(file, nullptr, _IONBF, 0);
  return file;
}

bool delete_file(const char* path) { return ::unlink(path) == 0; }

bool same_file(const char* first, const char* second) {
  struct stat a, b;
  return ::stat(first, &a) == 0 && ::stat(second, &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

std::string full_path_of(const char* path) {
  const std::unique_ptr<char, decltype(&std::free)> full(::realpath(path, nullptr), &std::free);
  return full ? std::string(full.get()) : std::string(path);
}

bool executable_path(char* buffer, std::size_t capacity) {
  if (capacity == 0) return false;
  char full[4096];
  const ssize_t length = ::readlink("/proc/self/exe", full, sizeof full - 1);
  if (length <= 0) return false;
  std::size_t kept = static_cast<std::size_t>(length);
  if (kept > capacity - 1) kept = capacity - 1;
  std::memcpy(buffer, full, kept);
  buffer[kept] = '\0';
  return true;
}

}  // namespace prismet

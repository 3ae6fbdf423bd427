#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "common/file_system.h"

namespace prismet {

bool path_exists(const char* path) {
  struct stat info;
  return path[0] != '\0' && ::stat(path, &info) == 0;
}

std::FILE* open_file_for_reading(const char* path) {
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return nullptr;
  // fopen opens folders on this platform; reading one must fail as it does
  // on Windows.
  struct stat info;
  if (::fstat(fileno(file), &info) != 0 || S_ISDIR(info.st_mode)) {
    std::fclose(file);
    return nullptr;
  }
  return file;
}

std::FILE* open_file_for_writing(const char* path) { return std::fopen(path, "wb"); }

bool delete_file(const char* path) { return ::unlink(path) == 0; }

namespace {

// Copies all of `from_fd` to `to_fd` in blocks; false on any read or write
// error.
bool copy_blocks(int from_fd, int to_fd) {
  char block[64 * 1024];
  for (;;) {
    const ssize_t got = ::read(from_fd, block, sizeof block);
    if (got == 0) return true;
    if (got < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    for (ssize_t done = 0; done < got;) {
      const ssize_t put = ::write(to_fd, block + done, static_cast<std::size_t>(got - done));
      if (put < 0) {
        if (errno == EINTR) continue;
        return false;
      }
      done += put;
    }
  }
}

// Copies all of `from_fd` (at its start) to the empty `to_fd`; false on any
// error. The kernel copies within the file system where it can, which
// spares the round trip of every byte through this process; where it
// cannot (other file systems, older kernels) the copy goes block by block.
bool copy_contents(int from_fd, int to_fd) {
  for (;;) {
    const ssize_t copied = ::copy_file_range(from_fd, nullptr, to_fd, nullptr, 1 << 30, 0);
    if (copied == 0) return true;
    if (copied > 0) continue;
    if (errno == EINTR) continue;
    if (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP && errno != EBADF) {
      return false;
    }
    // Nothing was copied by a call that failed, so both offsets are where
    // the block copy must go on.
    return copy_blocks(from_fd, to_fd);
  }
}

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() { close(); }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }
  bool close() {
    if (fd_ < 0) return true;
    const bool ok = ::close(fd_) == 0;
    fd_ = -1;
    return ok;
  }

 private:
  int fd_;
};

}  // namespace

bool replace_file_keeping_attributes(const char* source, const char* output) {
  struct stat old_info;
  const bool existed = ::stat(output, &old_info) == 0;
  if (existed && S_ISDIR(old_info.st_mode)) return false;

  FileDescriptor in(::open(source, O_RDONLY | O_CLOEXEC));
  if (in.get() < 0) return false;
  // lstat: a source that is a symbolic link is copied, not moved.
  struct stat source_info;
  if (::lstat(source, &source_info) != 0) return false;

  // A replaced output keeps its permission bits; a new one gets the usual
  // bits for a new file.
  mode_t mode = 0;
  if (existed) {
    mode = old_info.st_mode & 07777;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }

  // A source that is a plain file with no other name is simply renamed over
  // the output when both lie on one file system: the bytes are not written a
  // second time. The source is used up either way; the caller deletes what
  // is left of it.
  if (S_ISREG(source_info.st_mode) && source_info.st_nlink == 1 && ::fchmod(in.get(), mode) == 0 &&
      ::rename(source, output) == 0) {
    return true;
  }

  // Otherwise the copy goes to a sibling in the output's folder, so that
  // rename() still replaces the output in one step.
  std::string sibling = output;
  sibling += ".prismet-XXXXXX";
  FileDescriptor out(::mkstemp(sibling.data()));
  if (out.get() < 0) return false;
  bool ok = copy_contents(in.get(), out.get());
  ok = ok && ::fchmod(out.get(), mode) == 0;
  ok = out.close() && ok;
  ok = ok && ::rename(sibling.c_str(), output) == 0;
  if (!ok) ::unlink(sibling.c_str());
  return ok;
}

bool same_file(const char* first, const char* second) {
  struct stat a, b;
  return ::stat(first, &a) == 0 && ::stat(second, &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
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

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>

#include "settings/replace_file.h"

namespace prismet {

namespace {

// The new file while it is being written; removed unless it took the old
// file's place.
class TemporaryFile {
 public:
  TemporaryFile() = default;
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    close();
    if (!path_.empty() && !kept_) ::unlink(path_.c_str());
  }

  // Creates a file of a name not yet taken beside `target`.
  bool create(const std::string& target, mode_t mode) {
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
      std::string candidate = target + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
      fd_ = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
      if (fd_ >= 0) {
        path_ = std::move(candidate);
        return true;
      }
      if (errno != EEXIST) return false;
    }
    return false;
  }

  bool write_all(std::string_view bytes) {
    while (!bytes.empty()) {
      const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
      if (written < 0) {
        if (errno == EINTR) continue;
        return false;
      }
      bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
  }

  int fd() const { return fd_; }
  const std::string& path() const { return path_; }

  bool close() {
    if (fd_ < 0) return true;
    const bool ok = ::close(fd_) == 0;
    fd_ = -1;
    return ok;
  }

  void keep() { kept_ = true; }

 private:
  std::string path_;
  int fd_ = -1;
  bool kept_ = false;
};

// The file a write to `path` must replace: the target of a symbolic link,
// so that the link stays a link.
bool resolve_target(const char* path, std::string& target) {
  struct stat info;
  if (::lstat(path, &info) == 0 && S_ISLNK(info.st_mode)) {
    char resolved[PATH_MAX];
    if (::realpath(path, resolved) == nullptr) return false;
    target = resolved;
  } else {
    target = path;
  }
  return true;
}

std::string folder_of(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

}  // namespace

bool replace_file_contents(const char* path, std::string_view bytes) {
  if (path == nullptr || path[0] == '\0') return false;
  std::string target;
  if (!resolve_target(path, target)) return false;

  mode_t mode = 0666;  // reduced by the umask, as for any new file
  struct stat info;
  const bool exists = ::stat(target.c_str(), &info) == 0;
  if (exists) {
    if (!S_ISREG(info.st_mode)) return false;
    // A file without any write permission counts as read-only even for a
    // user (such as root) whom the system would let write it anyway.
    if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(target.c_str(), W_OK) != 0)
      return false;
    mode = info.st_mode & 07777;
  }

  TemporaryFile temporary;
  if (!temporary.create(target, mode)) return false;
  if (exists && ::fchmod(temporary.fd(), mode) != 0) return false;
  if (!temporary.write_all(bytes) || ::fsync(temporary.fd()) != 0 || !temporary.close()) return false;
  if (::rename(temporary.path().c_str(), target.c_str()) != 0) return false;
  temporary.keep();

  // Make the new name durable too; the contents are in place already.
  const int folder = ::open(folder_of(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder >= 0) {
    ::fsync(folder);
    ::close(folder);
  }
  return true;
}

}  // namespace prismet

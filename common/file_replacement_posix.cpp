#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <optional>
#include <string>

#include "common/file_replacement.h"
#include "common/interruption.h"
#include "common/path_text.h"

namespace prismet {

namespace {

constexpr int kMaxLinksFollowed = 40;  // as the kernel allows in one path

// Finds the file that `path` finally names, following symbolic links, also
// to a target that does not exist yet: the new contents go there, and the
// links stay links. True, with its status, when that file exists; false with
// errno set otherwise (ENOENT: it does not exist yet).
bool resolve_links(const char* path, std::string& target, struct stat& info) {
  target = path;
  for (int step = 0; step < kMaxLinksFollowed; ++step) {
    if (::lstat(target.c_str(), &info) != 0) return false;
    if (!S_ISLNK(info.st_mode)) return true;
    std::string link(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 255) + 1, '\0');
    const ssize_t length = ::readlink(target.c_str(), link.data(), link.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= link.size()) break;
    link.resize(static_cast<std::size_t>(length));
    target = link.front() == '/' ? link : folder_of(target.c_str()) + "/" + link;
  }
  return ::stat(target.c_str(), &info) == 0;  // a loop or an odd link: as the system sees it
}

// A new file of a name not yet taken in `folder`, created with `mode` (less
// the umask), its name registered so that an interruption removes it. The
// name need not be secret: O_EXCL refuses any file or link that is there
// already, and another name is tried.
int create_named_temporary(const std::string& folder, std::optional<TemporaryName>& name, mode_t mode) {
  static std::atomic<unsigned> counter{0};
  static const unsigned long process = static_cast<unsigned long>(::getpid());
  for (int attempt = 0; attempt < 100; ++attempt) {
    char leaf[48];
    std::snprintf(leaf, sizeof leaf, "/.prismet-%lx-%x", process, counter++);
    int fd = -1;
    {
      // An interruption that has already removed the registered names must
      // not see the file made after that: the name is registered and the
      // file made within one section, which the ending waits for.
      const UninterruptedSection section;
      name.emplace(folder + leaf);
      fd = ::open(name->path().c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    }
    if (fd >= 0) return fd;
    const int error = errno;
    name.reset();
    errno = error;
    if (error != EEXIST) return -1;
  }
  return -1;
}

// The file that holds the new contents while the target is rewritten in
// place: in the target's folder when it can be made there, else in the
// folder for temporary files. It keeps its name until the target holds the
// new contents, so that a process killed during the rewrite leaves them
// whole in it.
int create_journal(const std::string& folder, std::optional<TemporaryName>& name) {
  const char* tmpdir = std::getenv("TMPDIR");
  const std::string candidates[] = {folder, tmpdir != nullptr && tmpdir[0] != '\0' ? tmpdir : "/tmp"};
  int error = 0;
  for (const std::string& candidate : candidates) {
    const int fd = create_named_temporary(candidate, name, 0600);
    if (fd >= 0) return fd;
    if (error == 0) error = errno;
  }
  errno = error;
  return -1;
}

// Copies `length` bytes from `from` at `from_offset` to `to` at
// `to_offset`, within the kernel where it can. False, with errno set, on
// any failure.
bool copy_range(int from, off_t from_offset, int to, off_t to_offset, off_t length) {
  while (length > 0) {
    const ssize_t copied =
        ::copy_file_range(from, &from_offset, to, &to_offset, static_cast<std::size_t>(length), 0);
    if (copied > 0) {
      length -= copied;
      continue;
    }
    if (copied == 0) {
      errno = EIO;  // the source is shorter than it said
      return false;
    }
    if (errno == EINTR) continue;
    if (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP && errno != EBADF)
      return false;
    break;  // nothing copied by the failed call: go on block by block
  }
  char block[64 * 1024];
  while (length > 0) {
    const std::size_t want =
        length < static_cast<off_t>(sizeof block) ? static_cast<std::size_t>(length) : sizeof block;
    const ssize_t got = ::pread(from, block, want, from_offset);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      if (got == 0) errno = EIO;
      return false;
    }
    for (ssize_t done = 0; done < got;) {
      const ssize_t put = ::pwrite(to, block + done, static_cast<std::size_t>(got - done), to_offset + done);
      if (put < 0 && errno == EINTR) continue;
      if (put <= 0) {
        if (put == 0) errno = ENOSPC;
        return false;
      }
      done += put;
    }
    from_offset += got;
    to_offset += got;
    length -= got;
  }
  return true;
}

}  // namespace

struct FileReplacement::State {
  // Follows the target's links and refuses a folder or, unless the options
  // allow it, a read-only file; an error number, 0 when it may be replaced.
  int inspect_target(const char* path) {
    if (options.refuse_links) {
      // The name itself: a link that appears later is then replaced by the
      // rename, never written through.
      target = path;
      exists = ::lstat(path, &old) == 0;
      if (exists && S_ISLNK(old.st_mode)) return ELOOP;
    } else {
      exists = resolve_links(path, target, old);
    }
    if (!exists && errno != ENOENT) return errno;
    if (exists && S_ISDIR(old.st_mode)) return EISDIR;
    // A file without any write permission counts as read-only even for a
    // user (such as root) whom the system would let write it anyway.
    if (exists && !options.replace_read_only &&
        ((old.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(target.c_str(), W_OK) != 0))
      return EACCES;
    return 0;
  }

  // The permission bits afterwards: the target's, or what the umask leaves
  // of 0666 for a new file.
  void choose_mode() {
    if (exists) {
      mode = old.st_mode & 07777;
      return;
    }
    mode = 0666 & ~umask_bits();
  }

  static mode_t umask_bits() {
    static const mode_t mask = [] {
      const mode_t mask = ::umask(0);
      ::umask(mask);
      return mask;
    }();
    return mask;
  }

  // Creates the file the new contents go to: a temporary file beside the
  // target, or (for a target that must keep its identity, or in a folder
  // this user may not write) the target itself with a journal; `fd` is then
  // the file to write. An error number, 0 on success.
  int create_file(int& fd) {
    const std::string folder = folder_of(target.c_str());
    // A file with other names (hard links) or that is no plain file must
    // keep its identity: it is rewritten where it lies.
    bool in_place = exists && (!S_ISREG(old.st_mode) || old.st_nlink > 1);
    if (!in_place) {
      // Readable by the owner alone until it is put in place; a new file,
      // or a file of this user's whose group may do no more than everyone,
      // gets its bits at once (a group fixed later then exposes nothing).
      mode_given = !exists || may_take_bits_at_once();
      fd = create_named_temporary(folder, temporary, mode_given ? mode : 0600);
      if (fd >= 0) return 0;
      // A folder this user may not write: an existing target can still be
      // rewritten in place.
      const bool folder_refuses =
          errno == EACCES || errno == EPERM || errno == EROFS || errno == ENAMETOOLONG;
      if (!exists || !folder_refuses) return errno;
    }
    if (!open_target()) return errno;
    fd = create_journal(folder, journal);
    return fd < 0 ? errno : 0;
  }

  // For an existing target: whether the temporary file may be created with
  // its bits (less nothing of the umask) rather than with 0600.
  bool may_take_bits_at_once() const {
    static const uid_t user = ::geteuid();
    const mode_t group = (mode >> 3) & 07;
    return old.st_uid == user && (mode & 07000) == 0 && (group & ~mode & 07) == 0 &&
           (mode & ~umask_bits()) == mode;
  }

  Options options;
  std::string target;  // links followed
  bool exists = false;
  struct stat old = {};     // the target as it was, when it exists
  mode_t mode = 0;          // the permission bits the target has afterwards
  bool mode_given = false;  // the temporary file was created with them
  std::FILE* stream = nullptr;
  // The temporary file that takes the target's place; none when rewriting
  // in place.
  std::optional<TemporaryName> temporary;
  bool committed = false;
  int target_fd = -1;                    // rewriting in place: the target, open for writing
  bool mode_lent = false;                // rewriting in place: write permission lent to a read-only target
  std::optional<TemporaryName> journal;  // rewriting in place: the file of the new contents

  ~State() {
    if (stream != nullptr) std::fclose(stream);
    if (temporary && !committed) ::unlink(temporary->path().c_str());
    if (journal) ::unlink(journal->path().c_str());
    if (mode_lent) ::fchmod(target_fd, old.st_mode & 07777);
    if (target_fd >= 0) ::close(target_fd);
  }

  bool in_place() const { return target_fd >= 0; }

  // Opens the target for writing where it lies, lending its owner write
  // permission when it is read-only and read-only targets are replaced.
  bool open_target() {
    const int no_follow = options.refuse_links ? O_NOFOLLOW : 0;
    target_fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | no_follow);
    if (target_fd >= 0 || errno != EACCES || !options.replace_read_only || old.st_uid != ::geteuid()) {
      return target_fd >= 0;
    }
    const int saved = errno;
    if (::chmod(target.c_str(), (old.st_mode & 07777) | S_IWUSR) != 0) {
      errno = saved;
      return false;
    }
    target_fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | no_follow);
    const int opened = errno;
    if (target_fd < 0) {
      ::chmod(target.c_str(), old.st_mode & 07777);
      errno = opened;
      return false;
    }
    mode_lent = true;
    return true;
  }

  // Puts the named temporary file in the target's place.
  bool swap_in() {
    const int fd = fileno(stream);
    if (options.durable && ::fsync(fd) != 0) return false;
    // Owner and group as before where this user may set them; the bits
    // after that, since a change of owner clears set-user-ID bits. A file
    // created with its bits needs them only when its group is not the old
    // one (a folder's set-group-ID bit): one status call instead of two
    // calls per page (the headers' row of the whole-tree benchmark).
    bool restore = exists;
    if (exists && mode_given) {
      struct stat made;
      restore = ::fstat(fd, &made) != 0 || made.st_gid != old.st_gid || (made.st_mode & 07777) != mode;
    }
    if (restore) (void)!::fchown(fd, old.st_uid, old.st_gid);
    if ((restore || !mode_given) && ::fchmod(fd, mode) != 0) return false;
    const int closed = std::fclose(stream);
    stream = nullptr;
    if (closed != 0) return false;
    // The folder's name is made before the rename: once the new file has
    // taken the target's place, nothing may fail and report the
    // replacement as not made.
    std::string folder_name;
    if (options.durable) {
      try {
        folder_name = folder_of(target.c_str());
      } catch (const std::bad_alloc&) {
        errno = ENOMEM;
        return false;
      }
    }
    if (::rename(temporary->path().c_str(), target.c_str()) != 0) return false;
    committed = true;
    temporary.reset();
    if (options.durable) {
      const int folder = ::open(folder_name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
      if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
      }
    }
    return true;
  }

  // Writes the complete new contents over the target where it lies. The
  // space is reserved first; bytes beyond the old end are written before
  // any old byte is touched, so a failure there is undone by cutting the
  // file back to its old length. An interruption waits until the target is
  // whole again.
  bool rewrite_in_place() {
    const UninterruptedSection section;
    const int from = fileno(stream);
    struct stat info;
    if (::fstat(from, &info) != 0) return false;
    const off_t size = info.st_size;
    if (!S_ISREG(old.st_mode)) return copy_range(from, 0, target_fd, 0, size);
    const off_t old_size = old.st_size;
    if (size > 0 && ::fallocate(target_fd, FALLOC_FL_KEEP_SIZE, 0, size) != 0 && errno != EOPNOTSUPP &&
        errno != ENOSYS) {
      const int saved = errno;
      (void)!::ftruncate(target_fd, old_size);  // gives back what was reserved past the end
      errno = saved;
      return false;
    }
    if (size > old_size && !copy_range(from, old_size, target_fd, old_size, size - old_size)) {
      const int saved = errno;
      (void)!::ftruncate(target_fd, old_size);
      errno = saved;
      return false;
    }
    if (!copy_range(from, 0, target_fd, 0, size < old_size ? size : old_size)) return false;
    if (size < old_size && ::ftruncate(target_fd, size) != 0) return false;
    if (options.durable && ::fdatasync(target_fd) != 0) return false;
    if (mode_lent) {
      mode_lent = false;
      ::fchmod(target_fd, old.st_mode & 07777);
    }
    committed = true;
    return true;
  }
};

FileReplacement::FileReplacement() = default;
FileReplacement::~FileReplacement() = default;

std::FILE* FileReplacement::stream() const { return state_ ? state_->stream : nullptr; }

void FileReplacement::reset_state(Options options) {
  state_ = std::make_unique<State>();
  state_->options = options;
}

int FileReplacement::open_replacement(const char* target) {
  State& s = *state_;
  if (const int error = s.inspect_target(target); error != 0) return error;
  s.choose_mode();
  int fd = -1;
  if (const int error = s.create_file(fd); error != 0) return error;
  s.stream = ::fdopen(fd, "w+b");
  if (s.stream == nullptr) {
    const int error = errno;
    ::close(fd);
    return error;
  }
  // Writers write in large blocks of their own.
  std::setvbuf(s.stream, nullptr, _IONBF, 0);
  return 0;
}

bool FileReplacement::commit() {
  if (!state_ || state_->stream == nullptr || state_->committed) {
    if (error_ == 0) error_ = EBADF;
    return false;
  }
  State& s = *state_;
  errno = 0;
  if (std::fflush(s.stream) != 0 || std::ferror(s.stream) ||
      !(s.in_place() ? s.rewrite_in_place() : s.swap_in())) {
    error_ = errno != 0 ? errno : EIO;
    state_.reset();  // the temporary file goes at once
    return false;
  }
  return true;
}

}  // namespace prismet

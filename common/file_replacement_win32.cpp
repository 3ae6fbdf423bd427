#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "common/cp932.h"
#include "common/file_replacement.h"
#include "common/fixed_text.h"

namespace prismet {

namespace {

// The length of the folder part of `path`, separator included: up to the
// last backslash, slash or drive colon, double-byte characters taken whole
// (the second byte of 表 is a backslash byte). 0 for a bare file name.
std::size_t folder_length(const char* path) {
  std::size_t length = 0;
  for (const char* p = path; *p != '\0'; p = next_char(p)) {
    if (*p == '\\' || *p == '/' || *p == ':') length = static_cast<std::size_t>(p - path) + 1;
  }
  return length;
}

int errno_from_last_error(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return EACCES;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return ENOSPC;
    case ERROR_FILENAME_EXCED_RANGE:
      return ENAMETOOLONG;
    default:
      return EIO;
  }
}

}  // namespace

struct FileReplacement::State {
  Options options;
  std::string target;
  DWORD attributes = INVALID_FILE_ATTRIBUTES;  // the target's, when it exists
  std::FILE* stream = nullptr;
  std::string temporary;
  bool committed = false;

  ~State() {
    if (stream != nullptr) std::fclose(stream);
    if (!temporary.empty() && !committed) DeleteFileA(temporary.c_str());
  }

  // A new file of a name not yet taken beside the target; its path must
  // fit in a path buffer, as every path the program handles.
  int create_temporary(int& error) {
    static unsigned counter = GetCurrentProcessId() << 12;
    const std::string folder = target.substr(0, folder_length(target.c_str()));
    for (int attempt = 0; attempt < 100; ++attempt) {
      char name[32];
      std::snprintf(name, sizeof name, "~pm%06x.tmp", ++counter & 0xFFFFFFu);
      std::string candidate = folder + name;
      if (candidate.size() >= kPathCapacity) {
        error = ENAMETOOLONG;
        return -1;
      }
      const int fd = _open(candidate.c_str(), _O_RDWR | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                           _S_IREAD | _S_IWRITE);
      if (fd >= 0) {
        temporary = std::move(candidate);
        return fd;
      }
      if (errno != EEXIST) {
        error = errno;
        return -1;
      }
    }
    error = EEXIST;
    return -1;
  }

  // Moves the temporary file over the target. A read-only, hidden or system
  // target has its attributes cleared for the swap and given back after it,
  // also when the swap fails.
  bool swap_in(int& error) {
    if (attributes != INVALID_FILE_ATTRIBUTES) SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    const DWORD flags = MOVEFILE_REPLACE_EXISTING | (options.durable ? MOVEFILE_WRITE_THROUGH : 0);
    const bool moved = MoveFileExA(temporary.c_str(), target.c_str(), flags) != 0;
    if (!moved) error = errno_from_last_error(GetLastError());
    if (attributes != INVALID_FILE_ATTRIBUTES) SetFileAttributesA(target.c_str(), attributes);
    committed = moved;
    return moved;
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
  s.target = target;
  s.attributes = GetFileAttributesA(target);
  if (s.attributes != INVALID_FILE_ATTRIBUTES && (s.attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
      s.options.refuse_links)
    return ELOOP;
  if (s.attributes != INVALID_FILE_ATTRIBUTES && (s.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    return EISDIR;
  if (s.attributes != INVALID_FILE_ATTRIBUTES && (s.attributes & FILE_ATTRIBUTE_READONLY) != 0 &&
      !s.options.replace_read_only)
    return EACCES;
  int error = 0;
  const int fd = s.create_temporary(error);
  if (fd < 0) return error != 0 ? error : EIO;
  s.stream = _fdopen(fd, "w+b");
  if (s.stream == nullptr) {
    error = errno;
    _close(fd);
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
  bool written = std::fflush(s.stream) == 0 && !std::ferror(s.stream);
  if (written && s.options.durable) written = _commit(_fileno(s.stream)) == 0;
  if (!written) error_ = errno != 0 ? errno : EIO;
  const int closed = std::fclose(s.stream);
  s.stream = nullptr;
  if (written && closed != 0) {
    error_ = errno != 0 ? errno : EIO;
    written = false;
  }
  if (written && s.swap_in(error_)) return true;
  state_.reset();  // the temporary file goes at once
  return false;
}

}  // namespace prismet

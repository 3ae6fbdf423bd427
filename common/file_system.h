// The file-system calls the portable code needs, one implementation per
// platform (file_system_win32.cpp, file_system_posix.cpp). Paths are byte
// strings in the system code page.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace prismet {

// True when the file system reports attributes for the path; a folder counts
// as existing, an empty path does not. When false, errno tells why.
bool path_exists(const char* path);

// True for the name that stands for the standard streams as a file to
// convert: "-" on Linux; none on Windows, where every name is a file's.
bool names_standard_streams(const char* path);

// What tells one version of a file from another: which file it is, its
// size and the time of its last change.
struct FileStamp {
  std::uint64_t device = 0;
  std::uint64_t index = 0;
  std::uint64_t size = 0;
  std::uint64_t modified = 0;
  // Linux: when the file's contents or status last changed (nanoseconds),
  // set by the system on every write and never by a user's tool; 0 on
  // Windows, which keeps no such time.
  std::uint64_t changed = 0;
  bool operator==(const FileStamp&) const = default;
};

// The stamp of the file at `path`; false when it cannot be had.
bool file_stamp(const char* path, FileStamp& stamp);

// A folder held open so that its entries' stamps are asked for by name
// within it (Linux), not by a whole path the system walks again for each;
// on Windows nothing is held and every stamp is asked for by path.
class OpenFolder {
 public:
  OpenFolder() = default;
  ~OpenFolder() { close(); }
  OpenFolder(const OpenFolder&) = delete;
  OpenFolder& operator=(const OpenFolder&) = delete;

  // False when nothing could be held (no folder there, no file handle left):
  // stamp() then asks by path.
  bool open(const char* path);
  void close();
  bool held() const { return fd_ >= 0; }
  // file_stamp(path) for the entry `name` of the folder, `path` being the
  // entry's whole path.
  bool stamp(const char* name, const char* path, FileStamp& stamp) const;

 private:
  int fd_ = -1;  // Linux: the folder, opened for lookups only
};

// Opens an existing file for binary reading, without a buffer of the
// runtime's (callers read in large blocks); nullptr, with errno set, for a
// folder or a file that cannot be opened. With `stamp`, it also receives
// the open file's stamp (as file_stamp gives it), which costs no call of its
// own on Linux. The open itself never waits: on Linux a pipe without a
// writer opens at once (and reads as empty unless one comes), a device
// without waiting for its line; on Windows a device or a pipe is not read
// at all (EINVAL), as open_regular_file_for_reading refuses it.
std::FILE* open_file_for_reading(const char* path, FileStamp* stamp = nullptr);

// open_file_for_reading for a plain file only: a path that names a device,
// a pipe or a socket is not read at all (and never blocks), and nullptr
// comes back with `not_regular` set. Otherwise `not_regular` is false and
// the result is open_file_for_reading's.
std::FILE* open_regular_file_for_reading(const char* path, bool& not_regular, FileStamp* stamp = nullptr);

// Creates or empties a file and opens it for binary writing, without a
// buffer of the runtime's; nullptr on failure.
std::FILE* open_file_for_writing(const char* path);

// Reads up to `size` bytes of `file` into `buffer`, as fread does, and
// stores in `got` how many arrived: fewer than `size` only at the end of the
// input or on an error. False, with errno set, when the read failed; the
// bytes before the failure are still counted in `got`.
bool read_block(std::FILE* file, void* buffer, std::size_t size, std::size_t& got);

// Closes a stream held by a std::unique_ptr.
struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// Test hooks. The system gives no way to make a read of a plain file fail:
// fail_reads_for_testing makes read_block deliver at most `bytes` more bytes
// in all and then fail once with `error`, as a disk that fails in the middle
// of a file would (an `error` of 0 turns that off again).
// bytes_read_for_testing counts every byte read_block has delivered, so a
// test can tell how far a source was read.
void fail_reads_for_testing(std::uint64_t bytes, int error);
std::uint64_t bytes_read_for_testing();

// Deletes a file; false when it could not be deleted.
bool delete_file(const char* path);

// True when both paths name one existing file (also through different
// spellings, links or case); false when either does not exist.
bool same_file(const char* first, const char* second);

// The folder or file at `path` as a full path (links resolved where the
// system does so); `path` itself when that cannot be had.
std::string full_path_of(const char* path);

// Fills `buffer` with the full path of the running executable, cut to
// capacity - 1 bytes and NUL-terminated. False when it cannot be had.
bool executable_path(char* buffer, std::size_t capacity);

}  // namespace prismet

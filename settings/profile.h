// Access to the values of one settings file, through the platform's
// private-profile functions on Windows (profile_win32.cpp) and through our
// own INI code elsewhere (profile_posix.cpp); both read and write the same
// bytes (see ini_file.h for what a read returns and a write does). On
// Linux a file that an editor saved in UTF-8 is read and written in UTF-8
// (ini_text_encoding.h); the names and values here are code page 932.
#pragma once

#include <cstddef>
#include <memory>

namespace prismet {

class ProfileFile {
 public:
  // Linux: the file is read once, at the first read or write, and written
  // once, by save(). Windows: every call goes to the platform's functions,
  // which keep their own copy of the file. A null `file` reads empty texts
  // and writes nothing. Throws std::bad_alloc when no memory is left for
  // the file's state.
  explicit ProfileFile(const char* file);
  ~ProfileFile();
  ProfileFile(const ProfileFile&) = delete;
  ProfileFile& operator=(const ProfileFile&) = delete;

  // Copies the value of `key` in `section`, or `default_value` when there is
  // none, into `buffer` (of `capacity` bytes, at most capacity - 1 of them
  // text, never ending inside a double-byte character). Returns the length
  // stored; a null `section` or `key` stores an empty text. Throws
  // std::bad_alloc when no memory is left (a read has no failure to report).
  std::size_t read_string(const char* section, const char* key, const char* default_value, char* buffer,
                          std::size_t capacity);

  // True when the file holds `section` (Windows: with at least one key).
  bool has_section(const char* section);

  // Sets `key`=`value` in `section`, creating what is missing. False when
  // the write is refused (the file cannot be read, or the platform fails).
  bool write_string(const char* section, const char* key, const char* value);

  // Makes the file hold every write: true when it does (or nothing was
  // written). False when a write or the saving failed; error() then tells
  // the system's reason where one is known (0 otherwise).
  bool save();
  int error() const;

 private:
  struct State;  // the platform's own
  std::unique_ptr<State> state_;
};

}  // namespace prismet

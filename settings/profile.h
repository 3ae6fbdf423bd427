// Access to single values of the settings file, through the platform's
// private-profile functions on Windows (profile_win32.cpp) and through our
// own INI code elsewhere (profile_posix.cpp); both read and write the same
// bytes (see ini_file.h for what a read returns and a write does).
#pragma once

#include <cstddef>

namespace prismet {

// Copies the value of `key` in `section` of `file`, or `default_value` when
// there is none, into `buffer` (of `capacity` bytes, at most capacity - 1 of
// them text, never ending inside a double-byte character). Returns the
// length stored; a null `file`, `section` or `key` stores an empty text.
std::size_t read_profile_string(const char* file, const char* section, const char* key,
                                const char* default_value, char* buffer, std::size_t capacity);

// Writes `key`=`value` into `section` of `file`, creating what is missing.
// True when the platform reports success.
bool write_profile_string(const char* file, const char* section, const char* key, const char* value);

}  // namespace prismet

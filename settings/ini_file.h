// Reading and writing single values of an INI file on disk, with the effects
// of the Windows private-profile functions (GetPrivateProfileStringA and
// WritePrivateProfileStringA) for the same calls: the same values come back
// and the same bytes are written (see ini_document.h for the format). The
// bytes of names and values are taken as they are; nothing is converted.
//
// Every call reads the file afresh; nothing is cached (FileImage, in
// ini_file_image.h, serves many calls from one reading).
//
// For tests only: the programs read and write settings through FileImage
// (profile_posix.cpp) or the system's functions (profile_win32.cpp); the
// tests hold these calls against the system's on Windows.
#pragma once

#include <cstddef>

namespace prismet::ini {

// Copies the value of `key` in `section` of `file` into `buffer` (of
// `capacity` bytes) and returns its length. The value loses one pair of
// enclosing double or single quotes. An absent file, section or key, or a
// key without "=", gives `default_value` (null: empty) instead, which loses
// trailing spaces and then enclosing quotes too; a file that exists but
// cannot be read gives `default_value` without trailing spaces only. A
// longer text is cut to capacity - 1 bytes, never inside a double-byte
// character. Nothing is stored when `capacity` is 0; a null `file`,
// `section` or `key` gives an empty text.
std::size_t read_string(const char* file, const char* section, const char* key, const char* default_value,
                        char* buffer, std::size_t capacity);

// Sets `key` in `section` of `file` to `value` without its leading blanks,
// creating the file, the section (at the end of the file) and the key (at
// the end of its section) as needed. The file is replaced as a whole, so a
// failed write leaves it as it was; a write that changes nothing leaves it
// untouched. False when the file cannot be read or replaced, or when an
// argument is null.
bool write_string(const char* file, const char* section, const char* key, const char* value);

}  // namespace prismet::ini

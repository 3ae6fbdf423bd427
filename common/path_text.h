// Path text in the system code page: separators, extensions and case, with
// double-byte characters taken whole (the second byte of 表 is 0x5C, a
// backslash, but never a separator).
#pragma once

#include <cstddef>

namespace prismet {

// The platform's path rules. Windows: the separator is a backslash that is
// not the second byte of a double-byte character, and paths formed beside
// the program are lower-cased; the system also takes a forward slash for a
// separator, and no file name can hold one. Linux: the separator is '/', and
// file names are case-sensitive, so nothing is lower-cased.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
inline constexpr char kAlternatePathSeparator = '/';
inline constexpr bool kLowerCaseProgramPaths = true;
#else
inline constexpr char kPathSeparator = '/';
inline constexpr char kAlternatePathSeparator = '/';
inline constexpr bool kLowerCaseProgramPaths = false;
#endif

// True when the byte at `position` is a path separator.
bool is_path_separator_at(const char* text, std::size_t position);

// Turns each single-byte A-Z into a-z; bytes of double-byte characters are
// never changed.
void lower_case_path(char* text);

// The position of the extension's dot in the last path component, or of the
// terminating NUL when that component has no dot. Either separator ends the
// last component (on Windows "Z:/src.d/Makefile" has no extension).
char* find_extension(char* path);

// Cuts the extension off (the dot becomes the end of the string). Returns the
// old extension's text after the dot, or the path's end when there was none.
char* remove_extension(char* path);

// Replaces the extension of the path in `buffer` (of `capacity` bytes) by
// `extension`, used exactly as given (the dot belongs to it). False, with
// the buffer unchanged, when the result would not fit.
bool replace_extension(char* buffer, std::size_t capacity, const char* extension);

}  // namespace prismet

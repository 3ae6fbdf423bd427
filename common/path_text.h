// Path text in the system code page: separators, folders, extensions and
// case, with double-byte characters taken whole (the second byte of 表 is
// 0x5C, a backslash, but never a separator).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

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
inline constexpr bool kCaseBlindFileNames = true;  // the file system ignores case
inline constexpr bool kCodePage932Names = true;    // names are code page 932 text
#else
inline constexpr char kPathSeparator = '/';
inline constexpr char kAlternatePathSeparator = '/';
inline constexpr bool kLowerCaseProgramPaths = false;
inline constexpr bool kCaseBlindFileNames = false;
inline constexpr bool kCodePage932Names = false;  // names are UTF-8 by convention
#endif

// True when the byte at `position` is a path separator.
bool is_path_separator_at(const char* text, std::size_t position);

// The folder that holds `path`: the text before its last separator (either
// separator); "." for a bare file name, and the separator itself when the
// last one is the path's first byte (a file in the root).
std::string folder_of(const char* path);

// The last path component (the second byte of a double-byte character is
// never a separator; either separator ends a component).
std::string_view file_name_of(const char* path);

// True when the path's last byte is a separator (either one).
bool ends_with_separator(const std::string& path);

// The folder, a separator unless it ends with one, and the name; the name
// alone for an empty folder.
std::string join_path(const std::string& folder, std::string_view name);

// True when `path` does not depend on the current folder: it begins with a
// separator (either one), or on Windows with a drive letter and a colon.
bool is_absolute_path(const char* path);

// `path` as seen from `folder`: unchanged when absolute or empty, else the
// folder, a separator and the path. False, with `buffer` unchanged, when the
// result would not fit in `capacity` bytes.
bool resolve_path_in_folder(const std::string& folder, char* buffer, std::size_t capacity);

// Turns each single-byte A-Z into a-z; bytes of double-byte characters are
// never changed.
void lower_case_path(char* text);

// Replaces the extension of the path in `buffer` (of `capacity` bytes) by
// `extension`, used exactly as given (the dot belongs to it). False, with
// the buffer unchanged, when the result would not fit. The extension is the
// last path component's text from its last dot; either separator ends that
// component (on Windows "Z:/src.d/Makefile" has no extension), and a
// component without a dot gets `extension` appended.
bool replace_extension(char* buffer, std::size_t capacity, const char* extension);

}  // namespace prismet

// The file-system calls the portable code needs, one implementation per
// platform (file_system_win32.cpp, file_system_posix.cpp). Paths are byte
// strings in the system code page.
#pragma once

#include <cstddef>
#include <cstdio>

namespace prismet {

// True when the file system reports attributes for the path; a folder counts
// as existing, an empty path does not.
bool path_exists(const char* path);

// Opens an existing file for binary reading; nullptr for a folder or a file
// that cannot be opened.
std::FILE* open_file_for_reading(const char* path);

// Creates or empties a file and opens it for binary writing; nullptr on
// failure.
std::FILE* open_file_for_writing(const char* path);

// Deletes a file; false when it could not be deleted.
bool delete_file(const char* path);

// Replaces `output` with the contents of `source`, keeping what the platform
// records about the output: on Windows its attributes (read-only, hidden,
// system, cleared for the copy and given back afterwards, also when the copy
// fails); on Linux its permission bits. On Windows the source is copied. On
// Linux a source that is a plain file with a single name is renamed over the
// output when both lie on one file system; otherwise the copy goes to a
// sibling of the output that is renamed over it, so a failed or interrupted
// copy never leaves a half-written output. The source is used up: it may be
// gone afterwards, and a caller deletes what is left of it. True when the
// output was replaced.
bool replace_file_keeping_attributes(const char* source, const char* output);

// True when both paths name one existing file (also through different
// spellings, links or case); false when either does not exist.
bool same_file(const char* first, const char* second);

// Fills `buffer` with the full path of the running executable, cut to
// capacity - 1 bytes and NUL-terminated. False when it cannot be had.
bool executable_path(char* buffer, std::size_t capacity);

}  // namespace prismet

// The file chooser: the platform's "open" dialog, started in the folder and
// with the file name of a path.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <cstddef>

namespace prismet {

// The chooser's record in its 76-byte form, without the fields added later.
// (OPENFILENAME_SIZE_VERSION_400A, which is not a constant expression.)
inline constexpr DWORD kOpenFileRecordSize =
    offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(OPENFILENAMEA::lpTemplateName);
#if defined(__i386__)
static_assert(kOpenFileRecordSize == 76, "the 32-bit record is 76 bytes");
#endif

// Finds the last path separator of `path` (never the second byte of a
// double-byte character), overwrites it with a NUL so that the buffer holds
// the folder part, and returns the file name after it. Without a separator
// the buffer is unchanged and its start is returned.
char* split_file_name(char* path);

// Shows the chooser, started in the folder of `initial_path` with its file
// name. `filter` is a run of NUL-terminated display text and pattern pairs
// ended by an extra NUL; its first pair is in force. The file must exist.
// True when the user chose a file, whose path then stands in `result` (of
// `result_size` bytes); false when the chooser was cancelled or failed.
bool choose_file(HWND owner, DWORD extra_flags, char* result, std::size_t result_size,
                 const char* initial_path, const char* title, const char* filter);

}  // namespace prismet

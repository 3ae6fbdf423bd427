// The program's own icon, as the shell shows the program file, at the large
// and the small size; a fresh copy on every call, owned by whoever asked.
#pragma once

#include <windows.h>

namespace prismet {

// The shell icon of the file that `instance` was loaded from: 0 the large
// icon, 1 the small one. The caller owns it; nullptr when the file's path
// or its icon cannot be had.
HICON program_icon(HINSTANCE instance, int size_selector);

}  // namespace prismet

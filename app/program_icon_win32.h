// The program's own icon as the shell shows it, for the windows of the
// program (the busy window's class, the dialogs).
#pragma once

#include <windows.h>

namespace prismet {

// The shell icon of the file that `instance` was loaded from: 0 the large
// icon, 1 the small one. The caller owns it; nullptr when the file's path
// or its icon cannot be had.
HICON program_icon(HINSTANCE instance, int size_selector);

}  // namespace prismet

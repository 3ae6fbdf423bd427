// Dialogs that the user can move by dragging any free spot of their client
// area, as if it were the caption.
#pragma once

#include <windows.h>

namespace prismet {

// The dialog procedure's handling of WM_NCHITTEST: the default answer, with
// the client area answering as the caption would (HTCAPTION for
// HTCLIENT), stored as the message's result. Returns TRUE.
INT_PTR drag_by_client_area(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);

}  // namespace prismet

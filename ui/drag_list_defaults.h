// The drag-reorder list box's default actions for the notifications that
// its parent sends back.
#pragma once

#include <windows.h>

namespace prismet {

// WM_NOTIFY received by the list box: takes the default action for the
// record's code, or passes the message on to the previous procedure when
// there is none.
LRESULT handle_sent_back_notify(HWND list_box, WPARAM wparam, LPARAM lparam);

}  // namespace prismet

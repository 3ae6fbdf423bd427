// What a control sends its parent (a filled notification header, a
// WM_COMMAND with the control's own id), and a line drawn in one call.
#pragma once

#include <windows.h>

namespace prismet {

// Zeroes the header and fills it for `control`, whose id it takes from the
// control itself.
void fill_notify_header(NMHDR& header, HWND control, UINT code);

// Sends the parent WM_COMMAND with `code` as the notification and the
// control's id; returns the parent's answer.
LRESULT send_command_to_parent(HWND control, UINT code);

// A line from (x1, y1) to (x2, y2) in the device context's current pen and
// mix mode; the current position ends at (x2, y2).
void draw_line(HDC dc, int x1, int y1, int x2, int y2);

}  // namespace prismet

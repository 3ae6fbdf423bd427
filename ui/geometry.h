// Points, rectangles, window sizes and placement: the measures of a window
// and its client area, and centring a window on the cursor inside the work area.
#pragma once

#include <windows.h>

namespace prismet {

#if defined(__i386__)
static_assert(sizeof(WINDOWPLACEMENT) == 44, "the 32-bit record is 44 bytes");
#endif

int rect_width(const RECT& rect);
int rect_height(const RECT& rect);
SIZE rect_size(const RECT& rect);

// Unlike PtInRect, the right and bottom edges count as inside.
bool point_in_rect_inclusive(const RECT& rect, POINT point);

// The size and the top-left corner (screen coordinates) of the window rectangle.
SIZE window_size(HWND window);
int window_width(HWND window);
int window_height(HWND window);
POINT window_origin(HWND window);

SIZE client_size(HWND window);
int client_width(HWND window);

// The window's restored rectangle, also while it is maximized or minimized.
// False, with `rect` untouched, when the placement cannot be had.
bool normal_rect(HWND window, RECT& rect);

// The desktop less the task bar and other docked bars.
bool work_area(RECT& rect);

// A screen point in the coordinates that positioning `window` takes: its
// parent's client coordinates for a child window, else unchanged.
POINT to_parent_client(HWND window, POINT point);

void set_window_size(HWND window, int width, int height);
// x and y in the parent's client coordinates for a child window.
void set_window_origin(HWND window, int x, int y);

bool is_topmost(HWND window);
// Makes the window topmost or not without moving, sizing or activating it.
void set_topmost(HWND window, bool topmost);

// Centres the window on the mouse cursor, moved as little as needed to lie
// inside the work area; where it is larger than the work area its left and
// top edges sit on the work area's.
void center_on_cursor(HWND window);

}  // namespace prismet

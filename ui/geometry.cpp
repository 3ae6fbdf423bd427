#include "ui/geometry.h"

namespace prismet {

namespace {

RECT window_rect(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

RECT client_rect(HWND window) {
  RECT rect{};
  GetClientRect(window, &rect);
  return rect;
}

// Moves `start` so that [start, start + length) ends no later than `high`,
// then no earlier than `low`: the low edge wins when the length exceeds the
// room.
LONG keep_inside(LONG start, LONG length, LONG low, LONG high) {
  if (start + length > high) start = high - length;
  if (start < low) start = low;
  return start;
}

}  // namespace

POINT to_parent_client(HWND window, POINT point) {
  // GetParent also answers the owner of a top-level window, whose client
  // coordinates do not apply.
  HWND parent = GetParent(window);
  if (parent != nullptr && IsChild(parent, window)) ScreenToClient(parent, &point);
  return point;
}

int rect_width(const RECT& rect) { return rect.right - rect.left; }
int rect_height(const RECT& rect) { return rect.bottom - rect.top; }
SIZE rect_size(const RECT& rect) { return SIZE{rect_width(rect), rect_height(rect)}; }

bool point_in_rect_inclusive(const RECT& rect, POINT point) {
  return rect.left <= point.x && point.x <= rect.right && rect.top <= point.y && point.y <= rect.bottom;
}

SIZE window_size(HWND window) { return rect_size(window_rect(window)); }
int window_width(HWND window) { return window_size(window).cx; }
int window_height(HWND window) { return window_size(window).cy; }

POINT window_origin(HWND window) {
  const RECT rect = window_rect(window);
  return POINT{rect.left, rect.top};
}

SIZE client_size(HWND window) { return rect_size(client_rect(window)); }
int client_width(HWND window) { return client_size(window).cx; }

bool normal_rect(HWND window, RECT& rect) {
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  if (!GetWindowPlacement(window, &placement)) return false;
  rect = placement.rcNormalPosition;
  return true;
}

bool work_area(RECT& rect) { return SystemParametersInfoA(SPI_GETWORKAREA, 0, &rect, 0) != FALSE; }

void set_window_size(HWND window, int width, int height) {
  SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOMOVE);
}

void set_window_origin(HWND window, int x, int y) {
  SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOZORDER | SWP_NOSIZE);
}

bool is_topmost(HWND window) { return (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

void set_topmost(HWND window, bool topmost) {
  SetWindowPos(window, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_NOCOPYBITS | SWP_NOSENDCHANGING);
}

void center_on_cursor(HWND window) {
  const SIZE size = window_size(window);
  POINT cursor{};
  GetCursorPos(&cursor);
  RECT area{};
  work_area(area);
  POINT corner{keep_inside(cursor.x - size.cx / 2, size.cx, area.left, area.right),
               keep_inside(cursor.y - size.cy / 2, size.cy, area.top, area.bottom)};
  corner = to_parent_client(window, corner);
  set_window_origin(window, corner.x, corner.y);
}

}  // namespace prismet

#include "ui/notify_helpers.h"

#include <cstring>

namespace prismet {

void fill_notify_header(NMHDR& header, HWND control, UINT code) {
  std::memset(&header, 0, sizeof header);
  header.hwndFrom = control;
  header.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(control));
  header.code = code;
}

LRESULT send_command_to_parent(HWND control, UINT code) {
  const WPARAM command = MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(control)), static_cast<WORD>(code));
  return SendMessageA(GetParent(control), WM_COMMAND, command, reinterpret_cast<LPARAM>(control));
}

void draw_line(HDC dc, int x1, int y1, int x2, int y2) {
  MoveToEx(dc, x1, y1, nullptr);
  LineTo(dc, x2, y2);
}

}  // namespace prismet

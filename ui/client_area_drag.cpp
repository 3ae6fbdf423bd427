#include "ui/client_area_drag.h"

namespace prismet {

INT_PTR drag_by_client_area(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  const LRESULT hit = DefWindowProcA(dialog, message, wparam, lparam);
  SetWindowLongPtrA(dialog, DWLP_MSGRESULT, hit == HTCLIENT ? HTCAPTION : hit);
  return TRUE;
}

}  // namespace prismet

#include "ui/deferred_position.h"

#include "ui/geometry.h"

namespace prismet {

void defer_move(HDWP& batch, HWND window, int x, int y) {
  batch = DeferWindowPos(batch, window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void defer_size(HDWP& batch, HWND window, int width, int height) {
  batch =
      DeferWindowPos(batch, window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void defer_move_by(HDWP& batch, HWND window, int dx, int dy) {
  const POINT corner = to_parent_client(window, window_origin(window));
  defer_move(batch, window, corner.x + dx, corner.y + dy);
}

void defer_size_by(HDWP& batch, HWND window, int dw, int dh) {
  const SIZE size = window_size(window);
  defer_size(batch, window, size.cx + dw, size.cy + dh);
}

void defer_size_item_by(HDWP& batch, HWND dialog, int id, int dw, int dh) {
  defer_size_by(batch, GetDlgItem(dialog, id), dw, dh);
}

}  // namespace prismet

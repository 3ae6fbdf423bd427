#include <windows.h>
#include <commctrl.h>

#include "ui/drag_list_box_internal.h"

namespace prismet {

namespace {

constexpr POINT kNoPoint{-1, -1};

WNDPROC original_proc(HWND list_box) {
  return reinterpret_cast<WNDPROC>(GetPropA(list_box, kDragListOriginalProcProperty));
}

}  // namespace

DDLBDRAGINFO idle_drag_info() { return DDLBDRAGINFO{-1, FALSE, FALSE, kNoPoint, kNoPoint}; }

DDLBDRAGINFO* drag_info(HWND list_box) {
  return static_cast<DDLBDRAGINFO*>(GetPropA(list_box, kDragListInfoProperty));
}

LRESULT pass_on(HWND list_box, UINT message, WPARAM wparam, LPARAM lparam) {
  WNDPROC previous = original_proc(list_box);
  if (previous == nullptr) return DefWindowProcA(list_box, message, wparam, lparam);
  return CallWindowProcA(previous, list_box, message, wparam, lparam);
}

bool is_dragging(HWND list_box) {
  const DDLBDRAGINFO* info = drag_info(list_box);
  return info != nullptr && info->fDragging && GetCapture() == list_box;
}

POINT cursor_position() {
  POINT point{};
  GetCursorPos(&point);
  return point;
}

int item_under_cursor(HWND list_box) { return LBItemFromPt(list_box, cursor_position(), FALSE); }

void begin_drag(HWND list_box, int item) {
  if (!parent_permits_move(list_box, item)) return;
  // Looked up after the parent answered: it may have destroyed the list box.
  DDLBDRAGINFO* info = drag_info(list_box);
  if (info == nullptr) return;
  info->ptLineEnd = kNoPoint;
  info->ptLineStart = kNoPoint;
  info->iDragItem = item;
  info->fDragging = TRUE;
  info->fLineShown = FALSE;
  SetCapture(list_box);
  // Elapse 0: the shortest interval there is, for a line that follows the
  // cursor and a list that scrolls while the cursor stays above or below it.
  SetTimer(list_box, kDragTimerId, 0, nullptr);
}

void end_drag(HWND list_box) {
  DDLBDRAGINFO* info = drag_info(list_box);
  if (info == nullptr || !info->fDragging) return;
  erase_insert_line(list_box, *info);
  info->fDragging = FALSE;
  info->fLineShown = FALSE;
  info->iDragItem = -1;
  info->ptLineEnd = kNoPoint;
  info->ptLineStart = kNoPoint;
  notify_parent(list_box, DDLBN_ENDDRAG);
}

}  // namespace prismet

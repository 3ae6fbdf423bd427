#include "ui/drag_list_box.h"

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <new>

#include "ui/drag_list_box_internal.h"
#include "ui/notify_helpers.h"

namespace prismet {

namespace {

// Tells the parent the insertion position under the cursor and shows the
// cursor it answers with, if any. True when it answered with one.
bool apply_parent_cursor(HWND list_box, WPARAM wparam, LPARAM lparam) {
  DDLBNOTIFY notice = drag_list_notice(list_box, DDLBN_QUERYCURSOR);
  notice.iTo = insert_position_at(list_box, cursor_position());
  notice.wParam = wparam;
  notice.lParam = lparam;
  const auto cursor = reinterpret_cast<HCURSOR>(notify_parent(list_box, notice));
  if (cursor == nullptr) return false;
  SetCursor(cursor);
  return true;
}

void take_down_insert_line(HWND list_box) {
  if (DDLBDRAGINFO* info = drag_info(list_box)) erase_insert_line(list_box, *info);
}

void put_up_insert_line(HWND list_box) {
  if (DDLBDRAGINFO* info = drag_info(list_box)) draw_insert_line(list_box, cursor_position(), *info);
}

// Messages that must not reach the list box's own handling during a drag:
// they would change the selection or scroll the list under the line.
bool swallowed_while_dragging(UINT message) {
  return message == WM_CHAR || message == WM_LBUTTONDBLCLK || message == WM_MOUSEWHEEL;
}

LRESULT on_left_button_down(HWND list_box, WPARAM wparam, LPARAM lparam) {
  const int item = item_under_cursor(list_box);
  if (is_item_index(list_box, item)) begin_drag(list_box, item);
  const LRESULT result = pass_on(list_box, WM_LBUTTONDOWN, wparam, lparam);
  send_command_to_parent(list_box, LBN_SELCHANGE);
  return result;
}

LRESULT on_mouse_move(HWND list_box, WPARAM wparam, LPARAM lparam) {
  if (!is_dragging(list_box)) return pass_on(list_box, WM_MOUSEMOVE, wparam, lparam);
  // Drawn anew even where it was: the list may have scrolled under it.
  take_down_insert_line(list_box);
  put_up_insert_line(list_box);
  apply_parent_cursor(list_box, wparam, lparam);
  return 0;  // the list box's own tracking would move the selection
}

// Only a drag redraws the line: a tick still queued when the drag ended
// would otherwise leave a line on the screen that nothing takes down.
LRESULT on_timer(HWND list_box, WPARAM wparam, LPARAM lparam) {
  if (is_dragging(list_box)) {
    take_down_insert_line(list_box);
    // With the cursor above or below the list, this scrolls it by a line.
    LBItemFromPt(list_box, cursor_position(), TRUE);
    put_up_insert_line(list_box);
  }
  return pass_on(list_box, WM_TIMER, wparam, lparam);
}

LRESULT on_left_button_up(HWND list_box, WPARAM wparam, LPARAM lparam) {
  if (is_dragging(list_box)) {
    const int from = drag_info(list_box)->iDragItem;
    const int to = insert_position_at(list_box, cursor_position());
    if (to != from && is_insert_position(list_box, to)) {
      DDLBNOTIFY notice = drag_list_notice(list_box, DDLBN_DROP);
      notice.iFrom = from;
      notice.iTo = to;
      notify_parent(list_box, notice);
    }
    // Giving up the capture ends the drag (WM_CAPTURECHANGED).
    if (GetCapture() == list_box) ReleaseCapture();
  }
  return pass_on(list_box, WM_LBUTTONUP, wparam, lparam);
}

LRESULT on_capture_changed(HWND list_box, WPARAM wparam, LPARAM lparam) {
  if (reinterpret_cast<HWND>(lparam) != list_box) {
    KillTimer(list_box, kDragTimerId);
    end_drag(list_box);
  }
  return pass_on(list_box, WM_CAPTURECHANGED, wparam, lparam);
}

LRESULT on_kill_focus(HWND list_box, WPARAM wparam, LPARAM lparam) {
  KillTimer(list_box, kDragTimerId);
  if (GetCapture() == list_box) ReleaseCapture();
  return pass_on(list_box, WM_KILLFOCUS, wparam, lparam);
}

LRESULT on_right_button_down(HWND list_box, WPARAM wparam, LPARAM lparam) {
  if (is_dragging(list_box)) return 0;
  const int item = item_under_cursor(list_box);
  if (is_item_index(list_box, item)) {
    SendMessageA(list_box, LB_SETCURSEL, static_cast<WPARAM>(item), 0);
    send_command_to_parent(list_box, LBN_SELCHANGE);
  }
  return pass_on(list_box, WM_RBUTTONDOWN, wparam, lparam);
}

LRESULT on_right_button_up(HWND list_box, WPARAM wparam, LPARAM lparam) {
  if (is_dragging(list_box)) return 0;
  const int item = item_under_cursor(list_box);
  if (is_item_index(list_box, item)) {
    DDLBNOTIFY notice = drag_list_notice(list_box, DDLBN_RBUTTONUP);
    notice.iItem = item;
    notify_parent(list_box, notice);
  }
  return pass_on(list_box, WM_RBUTTONUP, wparam, lparam);
}

// WM_KEYDOWN and WM_SYSKEYDOWN: the parent hears of the key first, except
// during a drag.
LRESULT on_key(HWND list_box, UINT message, UINT code, WPARAM wparam, LPARAM lparam) {
  if (!is_dragging(list_box)) {
    DDLBNOTIFY notice = drag_list_notice(list_box, code);
    notice.wParam = wparam;
    notice.lParam = lparam;
    notify_parent(list_box, notice);
  }
  return pass_on(list_box, message, wparam, lparam);
}

// The cursor the parent answers with stands: passed on, the message would
// have the list box put its class cursor back at once.
LRESULT on_set_cursor(HWND list_box, WPARAM wparam, LPARAM lparam) {
  if (is_dragging(list_box) && apply_parent_cursor(list_box, wparam, lparam)) return TRUE;
  return pass_on(list_box, WM_SETCURSOR, wparam, lparam);
}

LRESULT on_drop_files(HWND list_box, WPARAM wparam, LPARAM lparam) {
  DDLBNOTIFY notice = drag_list_notice(list_box, DDLBN_DROPFILES);
  notice.wParam = wparam;
  notice.lParam = lparam;
  notify_parent(list_box, notice);
  return 0;
}

// Detaches the control: the parent hears of it first, then the record and
// the previous procedure come off the list box, which finishes its
// destruction in that procedure. The drag timer goes with the window.
LRESULT on_destroy(HWND list_box, WPARAM wparam, LPARAM lparam) {
  notify_parent(list_box, DDLBN_DESTROY);
  std::unique_ptr<DDLBDRAGINFO> info(
      static_cast<DDLBDRAGINFO*>(RemovePropA(list_box, kDragListInfoProperty)));
  info.reset();
  const auto previous = reinterpret_cast<WNDPROC>(RemovePropA(list_box, kDragListOriginalProcProperty));
  if (previous == nullptr) return DefWindowProcA(list_box, WM_DESTROY, wparam, lparam);
  SetWindowLongPtrA(list_box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
  return CallWindowProcA(previous, list_box, WM_DESTROY, wparam, lparam);
}

}  // namespace

bool attach_drag_list_box(HWND list_box) {
  // A second attach would keep this procedure as the previous one, which
  // would then call itself for every message.
  if (drag_info(list_box) != nullptr) return false;
  std::unique_ptr<DDLBDRAGINFO> info(new (std::nothrow) DDLBDRAGINFO(idle_drag_info()));
  if (!info) return false;
  const LONG_PTR previous =
      SetWindowLongPtrA(list_box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&drag_list_proc));
  if (previous == 0) return false;
  if (!SetPropA(list_box, kDragListOriginalProcProperty, reinterpret_cast<HANDLE>(previous)) ||
      !SetPropA(list_box, kDragListInfoProperty, info.get())) {
    RemovePropA(list_box, kDragListOriginalProcProperty);
    SetWindowLongPtrA(list_box, GWLP_WNDPROC, previous);
    return false;
  }
  info.release();  // owned by the list box until WM_DESTROY
  return true;
}

LRESULT CALLBACK drag_list_proc(HWND list_box, UINT message, WPARAM wparam, LPARAM lparam) {
  if (swallowed_while_dragging(message) && is_dragging(list_box)) return 0;
  switch (message) {
    case WM_LBUTTONDOWN:
      return on_left_button_down(list_box, wparam, lparam);
    case WM_MOUSEMOVE:
      return on_mouse_move(list_box, wparam, lparam);
    case WM_TIMER:
      return on_timer(list_box, wparam, lparam);
    case WM_LBUTTONUP:
      return on_left_button_up(list_box, wparam, lparam);
    case WM_CAPTURECHANGED:
      return on_capture_changed(list_box, wparam, lparam);
    case WM_KILLFOCUS:
      return on_kill_focus(list_box, wparam, lparam);
    case WM_RBUTTONDOWN:
      return on_right_button_down(list_box, wparam, lparam);
    case WM_RBUTTONUP:
      return on_right_button_up(list_box, wparam, lparam);
    case WM_KEYDOWN:
      return on_key(list_box, message, DDLBN_KEYDOWN, wparam, lparam);
    case WM_SYSKEYDOWN:
      return on_key(list_box, message, DDLBN_SYSKEYDOWN, wparam, lparam);
    case WM_SETCURSOR:
      return on_set_cursor(list_box, wparam, lparam);
    case WM_DROPFILES:
      return on_drop_files(list_box, wparam, lparam);
    case WM_NOTIFY:
      return handle_sent_back_notify(list_box, wparam, lparam);
    case WM_DESTROY:
      return on_destroy(list_box, wparam, lparam);
    default:
      return pass_on(list_box, message, wparam, lparam);
  }
}

}  // namespace prismet

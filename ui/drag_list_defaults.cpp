#include <algorithm>

#include "ui/drag_list_box_internal.h"

namespace prismet {

namespace {

int selected_index(HWND list_box) { return static_cast<int>(SendMessageA(list_box, LB_GETCURSEL, 0, 0)); }

int item_count(HWND list_box) { return static_cast<int>(SendMessageA(list_box, LB_GETCOUNT, 0, 0)); }

void select_index(HWND list_box, int index) {
  SendMessageA(list_box, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

// Deletes the selected item and selects the one that `next` picks from the
// deleted index and the new count, if any item remains.
template <typename PickNext>
void delete_selected(HWND list_box, PickNext next) {
  const int index = selected_index(list_box);
  if (!is_item_index(list_box, index)) return;
  SendMessageA(list_box, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
  const int count = item_count(list_box);
  if (count > 0) select_index(list_box, next(index, count));
}

// Backspace: the item before the deleted one, or the first.
void delete_selected_backward(HWND list_box) {
  delete_selected(list_box, [](int index, int count) { return std::max(0, std::min(index - 1, count - 1)); });
}

// Delete: the item that took the deleted one's place, or the new last one.
void delete_selected_forward(HWND list_box) {
  delete_selected(list_box, [](int index, int count) { return std::min(index, count - 1); });
}

// Moves the selected item to the neighbouring index `index + step` when
// both are items and the parent permits the move; the item stays selected.
void move_selected_by(HWND list_box, int step) {
  const int index = selected_index(list_box);
  if (!is_item_index(list_box, index) || !is_item_index(list_box, index + step)) return;
  if (!parent_permits_move(list_box, index)) return;
  // Down by one is an insertion before the item after the neighbour.
  const int position = step < 0 ? index - 1 : index + 2;
  select_index(list_box, move_list_item(list_box, position, index));
}

LRESULT on_key_down_sent_back(HWND list_box, WPARAM wparam, LPARAM lparam, const DDLBNOTIFY& notice) {
  switch (notice.wParam) {
    case VK_BACK:
      delete_selected_backward(list_box);
      return 0;
    case VK_DELETE:
      delete_selected_forward(list_box);
      return 0;
    case VK_APPS:
      notify_parent(list_box, DDLBN_CONTEXTMENU);
      return 0;
    default:
      return pass_on(list_box, WM_NOTIFY, wparam, lparam);
  }
}

LRESULT on_sys_key_down_sent_back(HWND list_box, WPARAM wparam, LPARAM lparam, const DDLBNOTIFY& notice) {
  switch (notice.wParam) {
    case VK_LEFT:
    case VK_UP:
      move_selected_by(list_box, -1);
      return 0;
    case VK_RIGHT:
    case VK_DOWN:
      move_selected_by(list_box, +1);
      return 0;
    default:
      return pass_on(list_box, WM_NOTIFY, wparam, lparam);
  }
}

LRESULT on_drop_sent_back(HWND list_box, const DDLBNOTIFY& notice) {
  select_index(list_box, move_list_item(list_box, notice.iTo, notice.iFrom));
  return 0;
}

LRESULT on_right_button_up_sent_back(HWND list_box) {
  notify_parent(list_box, DDLBN_CONTEXTMENU);
  return 0;
}

}  // namespace

LRESULT handle_sent_back_notify(HWND list_box, WPARAM wparam, LPARAM lparam) {
  const auto* notice = reinterpret_cast<const DDLBNOTIFY*>(lparam);
  if (notice == nullptr) return pass_on(list_box, WM_NOTIFY, wparam, lparam);
  switch (notice->hdr.code) {
    case DDLBN_KEYDOWN:
      return on_key_down_sent_back(list_box, wparam, lparam, *notice);
    case DDLBN_SYSKEYDOWN:
      return on_sys_key_down_sent_back(list_box, wparam, lparam, *notice);
    case DDLBN_DROP:
      return on_drop_sent_back(list_box, *notice);
    case DDLBN_RBUTTONUP:
      return on_right_button_up_sent_back(list_box);
    default:
      return pass_on(list_box, WM_NOTIFY, wparam, lparam);
  }
}

}  // namespace prismet

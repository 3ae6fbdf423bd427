#include <memory>
#include <new>

#include "ui/drag_list_box_internal.h"

namespace prismet {

namespace {

int item_count(HWND list_box) { return static_cast<int>(SendMessageA(list_box, LB_GETCOUNT, 0, 0)); }

}  // namespace

bool is_item_index(HWND list_box, int index) { return index >= 0 && index < item_count(list_box); }

bool is_insert_position(HWND list_box, int position) {
  return position >= 0 && position <= item_count(list_box);
}

int insert_list_item(HWND list_box, int index, const char* text, LPARAM data) {
  const int inserted = static_cast<int>(
      SendMessageA(list_box, LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text)));
  if (data != 0 && inserted >= 0) SendMessageA(list_box, LB_SETITEMDATA, static_cast<WPARAM>(inserted), data);
  return inserted;
}

int move_list_item(HWND list_box, int position, int index) {
  if (!is_item_index(list_box, index) || !is_insert_position(list_box, position)) return -1;
  const LRESULT length = SendMessageA(list_box, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length < 0) return -1;
  std::unique_ptr<char[]> text(new (std::nothrow) char[static_cast<std::size_t>(length) + 1]);
  if (!text) return -1;
  if (SendMessageA(list_box, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.get())) <
      0)
    return -1;
  const LPARAM data = SendMessageA(list_box, LB_GETITEMDATA, static_cast<WPARAM>(index), 0);
  // The copy goes in before the original comes out, so that an item whose
  // copy the list box refuses (no memory left) stays where it was rather
  // than being lost.
  const int inserted = insert_list_item(list_box, position, text.get(), data);
  if (inserted < 0) return -1;
  if (index < position) {
    SendMessageA(list_box, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
    return inserted - 1;  // everything after the original moved up by one
  }
  SendMessageA(list_box, LB_DELETESTRING, static_cast<WPARAM>(index) + 1, 0);
  return inserted;
}

}  // namespace prismet

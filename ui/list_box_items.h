// Items of a single-selection list box: range tests, insertion and moves.
#pragma once

#include <windows.h>

namespace prismet {

// 0 <= index < count.
bool is_item_index(HWND list_box, int index);

// 0 <= position <= count; a position means before the item now at that
// index, the count after the last item.
bool is_insert_position(HWND list_box, int position);

// LB_INSERTSTRING at `index` (exactly there, even in a sorted list box), then
// the item data when it is nonzero. The new item's index, or LB_ERR or
// LB_ERRSPACE when it could not be inserted.
int insert_list_item(HWND list_box, int index, const char* text, LPARAM data);

// Moves the item at `index`, with its text and item data, to the insertion
// position `position`. Returns the index the item now has, or -1 with the
// list unchanged when `index` is no item, `position` no insertion position,
// or the item's text cannot be copied or inserted anew.
int move_list_item(HWND list_box, int position, int index);

}  // namespace prismet

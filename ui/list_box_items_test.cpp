#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/dialog_driver_win32.h"
#include "ui/drag_list_box_internal.h"

namespace prismet {
namespace {

using testing::make_window;
using testing::ScopedWindow;
using Items = std::vector<std::string>;

const Items kUnmoved{"a:100", "b:101", "c:102", "d:103", "e:104"};

// A list box of the items "a" to "e", each with item data 100 + its index.
ScopedWindow make_list(HWND parent, DWORD style) {
  ScopedWindow list = make_window("LISTBOX", WS_VISIBLE | style, 10, 10, 150, 150, parent, 1);
  for (int i = 0; i < 5; ++i)
    EXPECT_EQ(insert_list_item(list, i, std::string(1, 'a' + i).c_str(), 100 + i), i);
  return list;
}

// Each item as "text:data".
Items items(HWND list) {
  Items found(static_cast<std::size_t>(SendMessageA(list, LB_GETCOUNT, 0, 0)));
  for (std::size_t i = 0; i < found.size(); ++i) {
    std::string text(static_cast<std::size_t>(SendMessageA(list, LB_GETTEXTLEN, i, 0)), '\0');
    SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
    found[i] = text + ":" + std::to_string(SendMessageA(list, LB_GETITEMDATA, i, 0));
  }
  return found;
}

TEST(MoveListItem, TakesTextAndDataToTheInsertionPosition) {
  struct Case {
    int position, index, result;
    Items expected;
  } const cases[] = {
      {4, 2, 3, {"a:100", "b:101", "d:103", "c:102", "e:104"}},
      {5, 2, 4, {"a:100", "b:101", "d:103", "e:104", "c:102"}},
      {0, 4, 0, {"e:104", "a:100", "b:101", "c:102", "d:103"}},
      {1, 2, 1, {"a:100", "c:102", "b:101", "d:103", "e:104"}},
      {2, 2, 2, kUnmoved},  // before itself
      {3, 2, 2, kUnmoved},  // before the item after it
      // Not an item, or not an insertion position: nothing changes.
      {2, 5, -1, kUnmoved},
      {2, -1, -1, kUnmoved},
      {6, 1, -1, kUnmoved},
      {-1, 1, -1, kUnmoved},
  };
  ScopedWindow parent = make_window("STATIC", WS_POPUP | WS_VISIBLE, 100, 100, 300, 200);
  // A sorted list box takes the item exactly where it is put, too.
  for (DWORD style : {0ul, static_cast<unsigned long>(LBS_SORT)}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::to_string(c.index) + " to " + std::to_string(c.position) + " style " +
                   std::to_string(style));
      ScopedWindow list = make_list(parent, style);
      EXPECT_EQ(move_list_item(list, c.position, c.index), c.result);
      EXPECT_EQ(items(list), c.expected);
    }
  }
}

// Refuses every insertion, as a list box that has no memory left does.
WNDPROC list_box_proc = nullptr;
LRESULT CALLBACK refuse_insertions(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == LB_INSERTSTRING) return LB_ERRSPACE;
  return CallWindowProcA(list_box_proc, window, message, wparam, lparam);
}

TEST(MoveListItem, AnItemTheListBoxCannotTakeAgainStaysWhereItWas) {
  ScopedWindow parent = make_window("STATIC", WS_POPUP | WS_VISIBLE, 100, 100, 300, 200);
  ScopedWindow list = make_list(parent, 0);
  list_box_proc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&refuse_insertions)));
  EXPECT_EQ(insert_list_item(list, 0, "x", 7), LB_ERRSPACE);
  EXPECT_EQ(move_list_item(list, 4, 1), -1);
  EXPECT_EQ(move_list_item(list, 0, 3), -1);
  EXPECT_EQ(items(list), kUnmoved);
  SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(list_box_proc));
}

}  // namespace
}  // namespace prismet

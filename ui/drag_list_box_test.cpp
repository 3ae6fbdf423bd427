#include "ui/drag_list_box.h"

#include <windows.h>
#include <gtest/gtest.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "tests/dialog_driver_win32.h"
#include "tests/window_teardown_win32.h"
#include "ui/drag_list_box_internal.h"

namespace prismet {
namespace {

using testing::make_window;
using testing::ScopedWindow;
using Codes = std::vector<UINT>;

constexpr int kListId = 1061;
const std::string kFive = "abcde";

// A parent like the settings dialog: it sends every notification it does not
// handle back to the list box. It notes the notifications (cursor queries
// aside) and the list box's commands.
struct ParentLog {
  std::vector<DDLBNOTIFY> notices;
  Codes codes;
  Codes commands;
  bool refuse_moves = false;
  HCURSOR cursor = nullptr;  // the answer to DDLBN_QUERYCURSOR

  std::vector<DDLBNOTIFY> of(UINT code) const {
    std::vector<DDLBNOTIFY> found;
    for (const DDLBNOTIFY& notice : notices)
      if (notice.hdr.code == code) found.push_back(notice);
    return found;
  }
  void clear() { *this = ParentLog{{}, {}, {}, refuse_moves, cursor}; }
};

LRESULT on_parent_notify(ParentLog& log, WPARAM wparam, DDLBNOTIFY* notice) {
  log.notices.push_back(*notice);
  if (notice->hdr.code == DDLBN_QUERYCURSOR) return reinterpret_cast<LRESULT>(log.cursor);
  log.codes.push_back(notice->hdr.code);
  if (notice->hdr.code == DDLBN_QUERYMOVE && log.refuse_moves) return 1;
  if (notice->hdr.code == DDLBN_DROPFILES) {
    DragFinish(reinterpret_cast<HDROP>(notice->wParam));
    return 0;
  }
  return SendMessageA(notice->hdr.hwndFrom, WM_NOTIFY, wparam, reinterpret_cast<LPARAM>(notice));
}

LRESULT CALLBACK parent_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* log = reinterpret_cast<ParentLog*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (log != nullptr && message == WM_NOTIFY)
    return on_parent_notify(*log, wparam, reinterpret_cast<DDLBNOTIFY*>(lparam));
  if (log != nullptr && message == WM_COMMAND) log->commands.push_back(HIWORD(wparam));
  return DefWindowProcA(window, message, wparam, lparam);
}

void pump_messages(DWORD milliseconds) {
  const DWORD started = GetTickCount();
  do {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    Sleep(5);
  } while (GetTickCount() - started < milliseconds);
}

// A parent window with a drag-reorder list box. Mouse input is given as the
// messages the list box gets, with the cursor put where the message says it
// is: the control reads the cursor, not the message.
class DragListBox : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSA window_class{};
    window_class.lpfnWndProc = parent_proc;
    window_class.hInstance = GetModuleHandleA(nullptr);
    window_class.lpszClassName = "drag list test parent";
    RegisterClassA(&window_class);
    parent_ = ScopedWindow(CreateWindowExA(0, window_class.lpszClassName, "", WS_POPUP | WS_VISIBLE, 100, 100,
                                           320, 300, nullptr, nullptr, window_class.hInstance, nullptr));
    ASSERT_NE(parent_.get(), nullptr);
    SetWindowLongPtrA(parent_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&log_));
    list_ = make_window("LISTBOX", WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 10, 10, 200,
                        150, parent_, kListId);
    ASSERT_TRUE(attach_drag_list_box(list_));
    fill(kFive);
    SetForegroundWindow(parent_);
    SetFocus(list_);
    UpdateWindow(parent_);
  }
  void TearDown() override {
    list_.reset();
    parent_.reset();
  }

  // One item per letter, each with item data 100 + its index; nothing
  // selected.
  void fill(const std::string& letters) {
    SendMessageA(list_, LB_RESETCONTENT, 0, 0);
    for (std::size_t i = 0; i < letters.size(); ++i) {
      SendMessageA(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(letters.substr(i, 1).c_str()));
      SendMessageA(list_, LB_SETITEMDATA, i, static_cast<LPARAM>(100 + i));
    }
    log_.clear();
  }
  // The items' texts run together.
  std::string items() const {
    std::string found;
    char text[8];
    for (int i = 0; i < SendMessageA(list_, LB_GETCOUNT, 0, 0); ++i)
      if (SendMessageA(list_, LB_GETTEXTLEN, i, 0) < 8 &&
          SendMessageA(list_, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text)) > 0)
        found += text;
    return found;
  }
  int selected() const { return static_cast<int>(SendMessageA(list_, LB_GETCURSEL, 0, 0)); }
  void select(int index) { SendMessageA(list_, LB_SETCURSEL, static_cast<WPARAM>(index), 0); }
  int item_height() const { return static_cast<int>(SendMessageA(list_, LB_GETITEMHEIGHT, 0, 0)); }
  int top_index() const { return static_cast<int>(SendMessageA(list_, LB_GETTOPINDEX, 0, 0)); }
  const DDLBDRAGINFO& info() const {
    return *static_cast<DDLBDRAGINFO*>(GetPropA(list_, kDragListInfoProperty));
  }
  bool dragging() const { return info().fDragging && GetCapture() == list_; }

  // Screen points over the middle of an item (the count: below the last
  // item), and to the right of the list box.
  POINT over_item(int index) const {
    POINT point{20, (index - top_index()) * item_height() + item_height() / 2};
    ClientToScreen(list_, &point);
    return point;
  }
  POINT outside() const {
    RECT rect{};
    GetWindowRect(list_, &rect);
    return POINT{rect.right + 20, rect.top + 10};
  }
  LRESULT mouse(UINT message, POINT screen_point, WPARAM keys = 0) {
    SetCursorPos(screen_point.x, screen_point.y);
    ScreenToClient(list_, &screen_point);
    return SendMessageA(list_, message, keys, MAKELPARAM(screen_point.x, screen_point.y));
  }
  void press(POINT at) { mouse(WM_LBUTTONDOWN, at, MK_LBUTTON); }
  void move(POINT to) { mouse(WM_MOUSEMOVE, to, MK_LBUTTON); }
  void release(POINT at) { mouse(WM_LBUTTONUP, at); }
  void key(UINT message, UINT virtual_key, LPARAM data = 1) {
    SendMessageA(list_, message, virtual_key, data);
  }
  void alt_key(UINT virtual_key) { key(WM_SYSKEYDOWN, virtual_key, 0x20000001); }

  ParentLog log_;
  ScopedWindow parent_;
  ScopedWindow list_;
};

TEST_F(DragListBox, DropMovesTheDraggedItemBeforeTheItemUnderTheCursor) {
  constexpr int kOutside = -1;
  struct Case {
    const char* name;
    int from, to_item;
    Codes codes;  // after the press
    std::string expected;
    int now_selected;
  } const cases[] = {
      {"item 2 of five over item 4", 2, 4, {DDLBN_DROP, DDLBN_ENDDRAG}, "abdce", 3},
      {"up, over the first item", 3, 0, {DDLBN_DROP, DDLBN_ENDDRAG}, "dabce", 0},
      {"below the last item", 2, 5, {DDLBN_DROP, DDLBN_ENDDRAG}, "abdec", 4},
      {"over the item just below", 2, 3, {DDLBN_DROP, DDLBN_ENDDRAG}, kFive, 2},
      {"over the item itself", 2, 2, {DDLBN_ENDDRAG}, kFive, 2},
      {"outside the list box", 2, kOutside, {DDLBN_ENDDRAG}, kFive, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fill(kFive);
    const POINT to = c.to_item == kOutside ? outside() : over_item(c.to_item);
    press(over_item(c.from));
    EXPECT_EQ(log_.codes, Codes{DDLBN_QUERYMOVE});
    EXPECT_EQ(log_.of(DDLBN_QUERYMOVE).at(0).iItem, c.from);
    EXPECT_EQ(log_.commands.at(0), static_cast<UINT>(LBN_SELCHANGE));
    EXPECT_TRUE(dragging());
    EXPECT_EQ(info().iDragItem, c.from);
    log_.clear();
    move(to);
    release(to);
    EXPECT_EQ(log_.codes, c.codes);
    for (const DDLBNOTIFY& drop : log_.of(DDLBN_DROP)) {
      EXPECT_EQ(drop.iFrom, c.from);
      EXPECT_EQ(drop.iTo, c.to_item);
      EXPECT_EQ(drop.hdr.hwndFrom, list_.get());
      EXPECT_EQ(drop.hdr.idFrom, static_cast<UINT_PTR>(kListId));
    }
    EXPECT_EQ(items(), c.expected);
    EXPECT_EQ(selected(), c.now_selected);
    EXPECT_EQ(SendMessageA(list_, LB_GETITEMDATA, selected(), 0), 100 + c.from);  // the data went with it
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_FALSE(info().fDragging);
    EXPECT_EQ(info().iDragItem, -1);
  }
}

TEST_F(DragListBox, LosingTheCaptureOrTheFocusEndsTheDragWithoutADrop) {
  ScopedWindow other = make_window("EDIT", WS_VISIBLE, 220, 10, 80, 20, parent_, 2);
  const std::function<void()> takers[] = {[&] { SetFocus(other); }, [&] { SetCapture(other); },
                                          [] { ReleaseCapture(); }};
  for (const auto& take : takers) {
    SetFocus(list_);
    press(over_item(1));
    move(over_item(3));
    log_.clear();
    take();
    ReleaseCapture();
    release(over_item(3));
    EXPECT_EQ(log_.codes, Codes{DDLBN_ENDDRAG});
    EXPECT_FALSE(info().fDragging);
    EXPECT_EQ(items(), kFive);
  }
}

TEST_F(DragListBox, AListThatShrankUnderTheDragLosesNothingAtTheDrop) {
  press(over_item(4));
  SendMessageA(list_, LB_DELETESTRING, 0, 0);
  SendMessageA(list_, LB_DELETESTRING, 0, 0);
  release(over_item(1));
  ASSERT_EQ(log_.of(DDLBN_DROP).size(), 1u);
  EXPECT_EQ(items(), "cde");
}

TEST_F(DragListBox, ARefusedMoveLeavesAnOrdinaryClickAndNoKeyboardMove) {
  log_.refuse_moves = true;
  press(over_item(2));
  EXPECT_FALSE(info().fDragging);
  EXPECT_EQ(selected(), 2);
  release(over_item(4));
  alt_key(VK_UP);
  alt_key(VK_DOWN);
  EXPECT_EQ(log_.codes,
            (Codes{DDLBN_QUERYMOVE, DDLBN_SYSKEYDOWN, DDLBN_QUERYMOVE, DDLBN_SYSKEYDOWN, DDLBN_QUERYMOVE}));
  EXPECT_EQ(items(), kFive);
}

TEST_F(DragListBox, AltWithAnArrowMovesTheSelectedItemByOne) {
  const Codes moved{DDLBN_SYSKEYDOWN, DDLBN_QUERYMOVE}, not_moved{DDLBN_SYSKEYDOWN};
  struct Case {
    int selected;
    UINT key;
    Codes codes;
    std::string expected;
    int now_selected;
  } const cases[] = {
      {2, VK_UP, moved, "acbde", 1},     {2, VK_LEFT, moved, "acbde", 1},   {2, VK_DOWN, moved, "abdce", 3},
      {3, VK_RIGHT, moved, "abced", 4},  {0, VK_UP, not_moved, kFive, 0},   {4, VK_DOWN, not_moved, kFive, 4},
      {-1, VK_UP, not_moved, kFive, -1}, {2, VK_HOME, not_moved, kFive, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.selected) + " with key " + std::to_string(c.key));
    fill(kFive);
    select(c.selected);
    alt_key(c.key);
    EXPECT_EQ(log_.codes, c.codes);
    EXPECT_EQ(log_.notices.at(0).wParam, c.key);
    EXPECT_EQ(log_.notices.at(0).lParam, 0x20000001);
    EXPECT_EQ(items(), c.expected);
    EXPECT_EQ(selected(), c.now_selected);
  }
}

TEST_F(DragListBox, BackspaceAndDeleteRemoveTheSelectedItem) {
  struct Case {
    std::string before;
    int selected;
    UINT key;
    std::string expected;
    int now_selected;
  } const cases[] = {
      {"abcd", 2, VK_BACK, "abd", 1}, {"abc", 0, VK_BACK, "bc", 0},    {"abcd", 1, VK_DELETE, "acd", 1},
      {"abc", 2, VK_DELETE, "ab", 1}, {"a", 0, VK_BACK, "", -1},       {"a", 0, VK_DELETE, "", -1},
      {"ab", -1, VK_BACK, "ab", -1},  {"ab", -1, VK_DELETE, "ab", -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.selected) + " with key " + std::to_string(c.key));
    fill(c.before);
    select(c.selected);
    key(WM_KEYDOWN, c.key);
    EXPECT_EQ(log_.codes, Codes{DDLBN_KEYDOWN});
    EXPECT_EQ(items(), c.expected);
    EXPECT_EQ(selected(), c.now_selected);
  }
}

TEST_F(DragListBox, ContextMenuComesFromTheKeyAndTheRightButton) {
  key(WM_KEYDOWN, VK_APPS);
  EXPECT_EQ(log_.codes, (Codes{DDLBN_KEYDOWN, DDLBN_CONTEXTMENU}));
  log_.clear();
  mouse(WM_RBUTTONDOWN, over_item(3), MK_RBUTTON);
  EXPECT_EQ(selected(), 3);
  EXPECT_EQ(log_.commands, Codes{LBN_SELCHANGE});
  mouse(WM_RBUTTONUP, over_item(3));
  EXPECT_EQ(log_.codes, (Codes{DDLBN_RBUTTONUP, DDLBN_CONTEXTMENU}));
  EXPECT_EQ(log_.notices.at(0).iItem, 3);
  log_.clear();
  mouse(WM_RBUTTONDOWN, over_item(5), MK_RBUTTON);  // below the last item
  mouse(WM_RBUTTONUP, over_item(5));
  EXPECT_EQ(log_.codes, Codes{});
}

// Each of these does its ordinary work without a drag, and nothing (no
// notification either) during one; none ends the drag.
TEST_F(DragListBox, InputDuringADragDoesNothing) {
  const std::string sixteen = "abcdefghijklmnop";
  struct Case {
    const char* name;
    std::function<void()> act;
    std::function<bool()> worked;
  } const cases[] = {
      {"typed character", [&] { key(WM_CHAR, 'd'); }, [&] { return selected() == 3; }},
      {"double click", [&] { mouse(WM_LBUTTONDBLCLK, over_item(1), MK_LBUTTON); },
       [&] { return log_.commands == Codes{LBN_DBLCLK}; }},
      {"wheel", [&] { SendMessageA(list_, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0); },
       [&] { return top_index() > 0; }},
      {"right button",
       [&] {
         mouse(WM_RBUTTONDOWN, over_item(4), MK_RBUTTON);
         mouse(WM_RBUTTONUP, over_item(4));
       },
       [&] { return selected() == 4; }},
      {"delete key", [&] { key(WM_KEYDOWN, VK_DELETE); }, [&] { return items().size() == 15; }},
  };
  for (const Case& c : cases) {
    for (bool during_drag : {false, true}) {
      SCOPED_TRACE(std::string(c.name) + (during_drag ? " during a drag" : " without a drag"));
      fill(sixteen);
      select(0);
      if (during_drag) press(over_item(0));
      log_.clear();
      c.act();
      EXPECT_EQ(c.worked(), !during_drag);
      if (!during_drag) continue;
      EXPECT_EQ(log_.codes, Codes{});
      EXPECT_TRUE(dragging());
      release(outside());
    }
  }
}

COLORREF pixel_at(HWND window, int x, int y) {
  HDC dc = GetDC(window);
  const COLORREF colour = GetPixel(dc, x, y);
  ReleaseDC(window, dc);
  return colour;
}

TEST_F(DragListBox, TheInsertionLineFollowsTheCursorAndLeavesNoTrace) {
  RECT client{};
  GetClientRect(list_, &client);
  const int x = client.right - 2;  // right of every text
  const int y1 = item_height(), y3 = 3 * item_height();
  const COLORREF background = pixel_at(list_, x, y3);
  press(over_item(0));
  move(over_item(3));
  EXPECT_TRUE(info().fLineShown);
  EXPECT_EQ(info().ptLineStart.x, 0);
  EXPECT_EQ(info().ptLineStart.y, y3);
  EXPECT_EQ(info().ptLineEnd.x, client.right);
  EXPECT_EQ(info().ptLineEnd.y, y3);
  EXPECT_NE(pixel_at(list_, x, y3), background);
  move(over_item(1));
  EXPECT_EQ(pixel_at(list_, x, y3), background);
  EXPECT_NE(pixel_at(list_, x, y1), background);
  move(outside());
  EXPECT_FALSE(info().fLineShown);
  EXPECT_EQ(pixel_at(list_, x, y1), background);
  move(over_item(1));
  release(outside());
  EXPECT_EQ(pixel_at(list_, x, y1), background);
  // A tick still queued after the drag ended draws nothing.
  SetCursorPos(over_item(1).x, over_item(1).y);
  SendMessageA(list_, WM_TIMER, kDragTimerId, 0);
  EXPECT_FALSE(info().fLineShown);
  EXPECT_EQ(pixel_at(list_, x, y1), background);
}

TEST_F(DragListBox, HoldingTheCursorBelowTheListScrollsIt) {
  fill("abcdefghijklmnopqrst");
  press(over_item(0));
  RECT rect{};
  GetWindowRect(list_, &rect);
  move(POINT{rect.left + 20, rect.bottom + 15});
  pump_messages(1000);
  EXPECT_GT(top_index(), 0);
  EXPECT_FALSE(info().fLineShown);
  EXPECT_TRUE(dragging());
}

TEST_F(DragListBox, TheParentChoosesTheCursorDuringADrag) {
  const HCURSOR cross = LoadCursorA(nullptr, IDC_CROSS);
  log_.cursor = cross;
  press(over_item(1));
  move(over_item(3));
  move(outside());
  const auto queries = log_.of(DDLBN_QUERYCURSOR);
  ASSERT_EQ(queries.size(), 2u);
  EXPECT_EQ(queries[0].iTo, 3);
  EXPECT_EQ(queries[0].wParam, static_cast<WPARAM>(MK_LBUTTON));
  EXPECT_EQ(queries[1].iTo, -1);
  EXPECT_EQ(GetCursor(), cross);
  // Asked for the cursor, the list box keeps the parent's.
  SetCursor(LoadCursorA(nullptr, IDC_ARROW));
  EXPECT_TRUE(SendMessageA(list_, WM_SETCURSOR, reinterpret_cast<WPARAM>(list_.get()), HTCLIENT));
  EXPECT_EQ(GetCursor(), cross);
}

TEST_F(DragListBox, DroppedFilesGoToTheParentWithTheirHandle) {
  const char name[] = "C:\\a.cpp\0";
  HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + sizeof name);
  auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  std::memcpy(drop + 1, name, sizeof name);
  GlobalUnlock(memory);
  EXPECT_EQ(SendMessageA(list_, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 7), 0);
  ASSERT_EQ(log_.codes, Codes{DDLBN_DROPFILES});
  EXPECT_EQ(log_.notices[0].wParam, reinterpret_cast<WPARAM>(memory));
  EXPECT_EQ(log_.notices[0].lParam, 7);
}

// The list box's procedure from before the attach; at WM_DESTROY it notes
// whether the control has already handed the list box back to it.
WNDPROC list_box_proc = nullptr;
bool handed_back = false;
LRESULT CALLBACK before_attach_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_DESTROY)
    handed_back =
        GetWindowLongPtrA(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&before_attach_proc) &&
        GetPropA(window, kDragListInfoProperty) == nullptr &&
        GetPropA(window, kDragListOriginalProcProperty) == nullptr;
  return CallWindowProcA(list_box_proc, window, message, wparam, lparam);
}

// Destroyed idle, during a drag that drew the insertion line, or after a
// drag ended by a lost capture: the parent hears of it once, the previous
// procedure gets WM_DESTROY with the list box already handed back (its own
// procedure, none of the control's properties), and when the list box is
// torn down it holds the properties and procedure it had before the attach.
// Done over and over, where the platform counts them, the process holds no
// more GDI and USER objects than before.
TEST_F(DragListBox, DestroyHandsTheListBoxBackAndReleasesEverything) {
  enum class Moment { kIdle, kDuringADrag, kAfterADrag };
  auto cycle = [&](Moment moment) {
    testing::TeardownWatch watch;
    ScopedWindow list =
        make_window("LISTBOX", WS_VISIBLE | LBS_NOTIFY, 10, 170, 200, 100, parent_, kListId + 1);
    ASSERT_NE(list.get(), nullptr);
    for (const char* text : {"a", "b", "c"})
      SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    list_box_proc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&before_attach_proc)));
    const std::vector<std::string> properties_before = testing::named_properties(list);
    ASSERT_TRUE(attach_drag_list_box(list));
    EXPECT_FALSE(attach_drag_list_box(list)) << "a second attach would call itself for ever";
    if (moment != Moment::kIdle) {
      // Pressed over the first item and moved over the third: the line shows.
      POINT first{20, 5};
      POINT third{20, 5 + 2 * static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0))};
      ClientToScreen(list, &first);
      ClientToScreen(list, &third);
      SetCursorPos(first.x, first.y);
      SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 5));
      ASSERT_EQ(GetCapture(), list.get());
      SetCursorPos(third.x, third.y);
      POINT client = third;
      ScreenToClient(list, &client);
      SendMessageA(list, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(client.x, client.y));
      EXPECT_TRUE(static_cast<DDLBDRAGINFO*>(GetPropA(list, kDragListInfoProperty))->fLineShown);
      if (moment == Moment::kAfterADrag) ReleaseCapture();
    }
    log_.clear();
    handed_back = false;
    const HWND window = list.get();
    list.reset();
    EXPECT_TRUE(handed_back);
    ASSERT_EQ(log_.of(DDLBN_DESTROY).size(), 1u);
    EXPECT_EQ(log_.of(DDLBN_DESTROY)[0].hdr.idFrom, static_cast<UINT_PTR>(kListId + 1));
    const auto lists = watch.of_class("ListBox");
    ASSERT_EQ(lists.size(), 1u);
    EXPECT_EQ(lists[0].window, window);
    EXPECT_EQ(lists[0].properties, properties_before);
    EXPECT_EQ(lists[0].procedure, reinterpret_cast<LONG_PTR>(&before_attach_proc));
  };
  const Moment moments[] = {Moment::kIdle, Moment::kDuringADrag, Moment::kAfterADrag};
  for (Moment moment : moments) {
    SCOPED_TRACE(static_cast<int>(moment));
    cycle(moment);
  }
  testing::expect_gui_counts_kept(9, [&](int run) { cycle(moments[run % 3]); });
}

}  // namespace
}  // namespace prismet

// The settings dialog's window: resizing, the remembered size and state,
// always on top.
#include <string>
#include <utility>
#include <vector>

#include "ui/dialog_placement.h"
#include "ui/settings_dialog_test_fixture.h"

namespace prismet::testing {
namespace {

// A control's rectangle in the dialog's client coordinates.
RECT control_rect(HWND dialog, int id) {
  RECT rect{};
  GetWindowRect(item(dialog, id), &rect);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

TEST_F(SettingsDialog, ResizingMovesTheRightColumnAndGrowsTheLists) {
  struct Change {
    int id;
    int move;  // moved right by dx
    int wide;  // widened by dx
    int tall;  // made taller by dy
  } const changes[] = {
      {IDOK, 1, 0, 0},
      {IDCANCEL, 1, 0, 0},
      {IDC_EXTENSION_LABEL, 1, 0, 0},
      {IDC_EXTENSION, 1, 0, 0},
      {IDC_EXPAND_TABS, 1, 0, 0},
      {IDC_TAB_WIDTH, 1, 0, 0},
      {IDC_TAB_WIDTH_SPIN, 1, 0, 0},
      {IDC_NBSP_SPACES, 1, 0, 0},
      {IDC_LINE_NUMBERS, 1, 0, 0},
      {IDC_SHOW_SETTINGS_DIALOG, 1, 0, 0},
      {IDC_BROWSE_VOCABULARY, 1, 0, 0},
      {IDC_BROWSE_INSERT_BEFORE, 1, 0, 0},
      {IDC_BROWSE_INSERT_AFTER, 1, 0, 0},
      {IDC_VOCABULARY_FILE, 0, 1, 0},
      {IDC_INSERT_BEFORE, 0, 1, 0},
      {IDC_INSERT_AFTER, 0, 1, 0},
      {IDC_TAG_LIST, 0, 1, 0},
      {IDC_FILE_LIST, 0, 1, 1},
  };
  constexpr int dx = 60, dy = 40;
  std::vector<RECT> before, after, restored;
  SIZE created{};
  MINMAXINFO limits{};
  bool minimized = false;
  HWND dialog = nullptr;
  auto take = [&](std::vector<RECT>& rects) {
    rects.clear();
    for (const Change& c : changes) rects.push_back(control_rect(dialog, c.id));
  };
  DialogDriver driver;
  driver.wait_for_dialog()
      .then("grow the window",
            [&] {
              dialog = driver.dialog();
              take(before);
              RECT window{};
              GetWindowRect(dialog, &window);
              created = SIZE{window.right - window.left, window.bottom - window.top};
              SendMessageA(dialog, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
              SetWindowPos(dialog, nullptr, 0, 0, created.cx + dx, created.cy + dy,
                           SWP_NOMOVE | SWP_NOZORDER);
              take(after);
              ShowWindow(dialog, SW_MINIMIZE);
              minimized = IsIconic(dialog) != FALSE;
              ShowWindow(dialog, SW_RESTORE);
              take(restored);
            })
      .press(IDCANCEL);
  EXPECT_FALSE(show(driver));
  EXPECT_EQ(limits.ptMinTrackSize.x, created.cx);
  EXPECT_EQ(limits.ptMinTrackSize.y, created.cy);
  EXPECT_TRUE(minimized);
  ASSERT_EQ(after.size(), std::size(changes));
  for (std::size_t i = 0; i < std::size(changes); ++i) {
    const Change& c = changes[i];
    SCOPED_TRACE("control " + std::to_string(c.id));
    EXPECT_EQ(after[i].left, before[i].left + c.move * dx);
    EXPECT_EQ(after[i].top, before[i].top);
    EXPECT_EQ(after[i].right, before[i].right + (c.move + c.wide) * dx);
    EXPECT_EQ(after[i].bottom, before[i].bottom + c.tall * dy);
    EXPECT_EQ(restored[i].left, after[i].left);
    EXPECT_EQ(restored[i].right, after[i].right);
    EXPECT_EQ(restored[i].bottom, after[i].bottom);
  }
  EXPECT_EQ(placement_value(kWidthKey), created.cx + dx);
  EXPECT_EQ(placement_value(kHeightKey), created.cy + dy);
}

TEST_F(SettingsDialog, StoredPlacementIsAppliedAndTheRestoredSizeStored) {
  // The size at creation, as a first run stores it.
  DialogDriver first;
  first.wait_for_dialog().press(IDCANCEL);
  EXPECT_FALSE(show(first));
  const int width = placement_value(kWidthKey);
  const int height = placement_value(kHeightKey);
  ASSERT_GT(width, 100);
  ASSERT_GT(height, 100);

  struct Case {
    const char* what;
    std::string stored;
    bool maximized, topmost;
    int width, height;  // the window's restored size while open
  } const cases[] = {
      {"larger", "幅=" + std::to_string(width + 30) + "\r\n高さ=" + std::to_string(height + 20) + "\r\n",
       false, false, width + 30, height + 20},
      {"topmost",
       "常に最前面に表示=1\r\n幅=" + std::to_string(width + 10) + "\r\n高さ=" + std::to_string(height + 10) +
           "\r\n",
       false, true, width + 10, height + 10},
      {"smaller than at creation", "幅=10\r\n高さ=-5\r\n", false, false, width, height},
      {"not numbers", "幅=wide\r\n高さ=\r\n最大化=yes\r\n", false, false, width, height},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    file_.write("[設定ダイアログ]\r\n" + c.stored);
    bool zoomed = false, topmost = false;
    RECT restored{};
    DialogDriver driver;
    driver.wait_for_dialog()
        .then("look at the window",
              [&] {
                HWND d = driver.dialog();
                zoomed = IsZoomed(d) != FALSE;
                topmost = (GetWindowLongA(d, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
                WINDOWPLACEMENT placement{};
                placement.length = sizeof placement;
                GetWindowPlacement(d, &placement);
                restored = placement.rcNormalPosition;
              })
        .press(IDCANCEL);
    EXPECT_FALSE(show(driver));
    EXPECT_EQ(zoomed, c.maximized);
    EXPECT_EQ(topmost, c.topmost);
    EXPECT_EQ(restored.right - restored.left, c.width);
    EXPECT_EQ(restored.bottom - restored.top, c.height);
    // Closed as it was: the restored size, not the screen's.
    EXPECT_EQ(placement_value(kWidthKey), c.width);
    EXPECT_EQ(placement_value(kHeightKey), c.height);
    EXPECT_EQ(placement_value(kMaximizedKey), c.maximized ? 1 : 0);
    EXPECT_EQ(placement_value(kTopmostKey), c.topmost ? 1 : 0);
  }
}

// This Wine makes a window topmost only before it is first shown (turning
// it back works at any time), so the dialog starts topmost from the stored
// flag and the toggle turns it off.
TEST_F(SettingsDialog, TopmostToggleAndItsCheckMark) {
  file_.write("[設定ダイアログ]\r\n常に最前面に表示=1\r\n");
  std::vector<std::pair<bool, bool>> seen;  // topmost, checked
  auto look = [&](HWND dialog) {
    SendMessageA(dialog, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(GetSystemMenu(dialog, FALSE)),
                 MAKELPARAM(0, TRUE));
    const UINT state = GetMenuState(GetSystemMenu(dialog, FALSE), IDM_TOPMOST, MF_BYCOMMAND);
    seen.emplace_back((GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0, (state & MF_CHECKED) != 0);
  };
  DialogDriver driver;
  driver.wait_for_dialog()
      .then("toggle",
            [&] {
              HWND d = driver.dialog();
              look(d);
              SendMessageA(d, WM_SYSCOMMAND, IDM_TOPMOST, 0);
              look(d);
              // Other system commands are left to the dialog manager.
              SendMessageA(d, WM_SYSCOMMAND, SC_RESTORE, 0);
              look(d);
            })
      .press(IDCANCEL);
  EXPECT_FALSE(show(driver));
  EXPECT_EQ(seen, (std::vector<std::pair<bool, bool>>{{true, true}, {false, false}, {false, false}}));
  EXPECT_EQ(placement_value(kTopmostKey), 0);
}

// Whether a dialog of this thread was ever maximized.
bool maximized_seen = false;
LRESULT CALLBACK watch_for_maximize(int code, WPARAM wparam, LPARAM lparam) {
  const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lparam);
  if (code == HC_ACTION && call->message == WM_SIZE && call->wParam == SIZE_MAXIMIZED) maximized_seen = true;
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

TEST_F(SettingsDialog, OpensMaximizedAndStoresTheRestoredSize) {
  DialogDriver first;
  first.wait_for_dialog().press(IDCANCEL);
  EXPECT_FALSE(show(first));
  const int width = placement_value(kWidthKey) + 24;
  const int height = placement_value(kHeightKey) + 16;
  file_.write("[設定ダイアログ]\r\n最大化=1\r\n幅=" + std::to_string(width) +
              "\r\n高さ=" + std::to_string(height) + "\r\n");
  maximized_seen = false;
  HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROCRET, watch_for_maximize, nullptr, GetCurrentThreadId());
  bool zoomed = false;
  RECT window{};
  DialogDriver driver;
  driver.wait_for_dialog()
      .then("close it maximized",
            [&] {
              // This Wine's dialog manager shows a dialog with SW_SHOWNORMAL
              // at its first idle moment, which restores it again.
              ShowWindow(driver.dialog(), SW_MAXIMIZE);
              zoomed = IsZoomed(driver.dialog()) != FALSE;
              GetWindowRect(driver.dialog(), &window);
            })
      .press(IDCANCEL);
  EXPECT_FALSE(show(driver));
  UnhookWindowsHookEx(hook);
  EXPECT_TRUE(maximized_seen);
  EXPECT_TRUE(zoomed);
  EXPECT_NE(window.right - window.left, width);  // the screen's size
  EXPECT_EQ(placement_value(kMaximizedKey), 1);
  EXPECT_EQ(placement_value(kWidthKey), width);
  EXPECT_EQ(placement_value(kHeightKey), height);
}

}  // namespace
}  // namespace prismet::testing

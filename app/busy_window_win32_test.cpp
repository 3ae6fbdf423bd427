#include "app/busy_window_win32.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace prismet {
namespace {

TEST(NotifyIconData, FirstFormOfTheRecord) {
  NOTIFYICONDATAA record;
  std::memset(&record, 0xCC, sizeof record);
  HWND window = reinterpret_cast<HWND>(0x1234);
  EXPECT_TRUE(fill_notify_icon_data(record, window, 1, WM_APP, nullptr, "prismet が作業中です"));
  EXPECT_EQ(record.cbSize, NOTIFYICONDATAA_V1_SIZE);
  EXPECT_EQ(record.hWnd, window);
  EXPECT_EQ(record.uID, 1u);
  EXPECT_EQ(record.uFlags, 7u);
  EXPECT_EQ(record.uCallbackMessage, 0x8000u);
  EXPECT_STREQ(record.szTip, "prismet が作業中です");
  EXPECT_EQ(std::strlen(record.szTip), 20u);
}

// The shell answers NIM_MODIFY only for an icon it holds.
bool tray_icon_exists(HWND window) {
  NOTIFYICONDATAA probe{};
  probe.cbSize = NOTIFYICONDATAA_V1_SIZE;
  probe.hWnd = window;
  probe.uID = kTrayIconId;
  return Shell_NotifyIconA(NIM_MODIFY, &probe) != 0;
}

TEST(BusyWindow, AddsAndRemovesTheTrayIcon) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  register_busy_window_class(instance);
  WNDCLASSEXA registered{};
  registered.cbSize = sizeof registered;
  ASSERT_TRUE(GetClassInfoExA(instance, kBusyWindowClass, &registered));
  EXPECT_EQ(registered.lpfnWndProc, reinterpret_cast<WNDPROC>(DefWindowProcA));
  EXPECT_EQ(registered.hCursor, nullptr);

  HWND window = create_busy_window(instance, "prismet が作業中です");
  ASSERT_NE(window, nullptr);
  EXPECT_FALSE(IsWindowVisible(window));
  auto* record = static_cast<NOTIFYICONDATAA*>(GetPropA(window, kWaitIconProperty));
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->cbSize, NOTIFYICONDATAA_V1_SIZE);
  EXPECT_EQ(record->hWnd, window);
  EXPECT_NE(record->hIcon, nullptr);  // icon 128 from this executable's resources
  EXPECT_STREQ(record->szTip, "prismet が作業中です");
  EXPECT_TRUE(tray_icon_exists(window));

  // A message that arrives meanwhile is drained at the end.
  PostMessageA(window, kTrayCallbackMessage, 0, 0);
  EXPECT_TRUE(destroy_busy_window(window));
  EXPECT_FALSE(IsWindow(window));
  EXPECT_FALSE(tray_icon_exists(window));
  MSG left;
  EXPECT_FALSE(PeekMessageA(&left, nullptr, 0, 0, PM_REMOVE));
}

TEST(BusyWindow, WithoutAWindowTheBatchStillEnds) {
  // No window could be created: only the drain runs.
  PostThreadMessageA(GetCurrentThreadId(), WM_USER, 0, 0);
  EXPECT_TRUE(destroy_busy_window(nullptr));
}

}  // namespace
}  // namespace prismet

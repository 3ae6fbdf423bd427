#include "app/busy_window_win32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <string>

namespace prismet {
namespace {

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
  EXPECT_EQ(record->hWnd, window);
  EXPECT_NE(record->hIcon, nullptr);  // icon 128 from this executable's resources
  EXPECT_TRUE(tray_icon_exists(window));

  // A message that arrives meanwhile is drained at the end.
  PostMessageA(window, kTrayCallbackMessage, 0, 0);
  EXPECT_TRUE(destroy_busy_window(window));
  EXPECT_FALSE(IsWindow(window));
  EXPECT_FALSE(tray_icon_exists(window));
  MSG left;
  EXPECT_FALSE(PeekMessageA(&left, nullptr, 0, 0, PM_REMOVE));
}

// The window keeps the record the shell was given: in its first form only,
// with the tip cut to the record's 64 bytes without splitting a character,
// and such that the shell finds its icon by it.
TEST(BusyWindow, KeepsTheTrayRecordInItsFirstForm) {
  struct Case {
    std::string tip;
    std::string kept;
  } const cases[] = {
      {"prismet が作業中です", "prismet が作業中です"},
      {std::string(63, 'x'), std::string(63, 'x')},
      {std::string(70, 'x'), std::string(63, 'x')},
      {std::string(62, 'x') + "表", std::string(62, 'x')},  // 表 would end at byte 64
  };
  HINSTANCE instance = GetModuleHandleA(nullptr);
  register_busy_window_class(instance);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tip);
    HWND window = create_busy_window(instance, c.tip.c_str());
    ASSERT_NE(window, nullptr);
    auto* record = static_cast<NOTIFYICONDATAA*>(GetPropA(window, kWaitIconProperty));
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->cbSize, kNotifyIconRecordSize);
    EXPECT_EQ(std::string(record->szTip), c.kept);
    const auto* bytes = reinterpret_cast<const unsigned char*>(record);
    EXPECT_EQ(std::count(bytes + kNotifyIconRecordSize, bytes + sizeof *record, 0),
              static_cast<std::ptrdiff_t>(sizeof *record - kNotifyIconRecordSize))
        << "fields past the first form are set";
    EXPECT_TRUE(Shell_NotifyIconA(NIM_MODIFY, record)) << "the shell does not know the kept record";
    EXPECT_TRUE(destroy_busy_window(window));
  }
}

TEST(BusyWindow, WithoutAWindowTheBatchStillEnds) {
  // No window could be created: only the drain runs.
  PostThreadMessageA(GetCurrentThreadId(), WM_USER, 0, 0);
  EXPECT_TRUE(destroy_busy_window(nullptr));
}

}  // namespace
}  // namespace prismet

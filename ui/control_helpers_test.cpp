#include "ui/control_helpers.h"

#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

#include "tests/dialog_driver_win32.h"
#include "ui/tooltip_helpers.h"

namespace prismet {
namespace {

using testing::make_window;
using testing::ScopedWindow;

class ControlHelpers : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { InitCommonControls(); }
  ScopedWindow parent_ = make_window("STATIC", WS_POPUP, 100, 100, 300, 200);
};

TEST_F(ControlHelpers, WindowTextIsWholeAndExact) {
  const std::string texts[] = {"", "効果の指定", std::string(5000, 'x') + "表"};
  ScopedWindow edit = make_window("EDIT", ES_AUTOHSCROLL, 0, 0, 100, 20, parent_, 40);
  for (const std::string& text : texts) {
    SetWindowTextA(edit, text.c_str());
    EXPECT_EQ(window_text(edit), text);
    EXPECT_EQ(dialog_item_text(parent_, 40), text);
  }
}

TEST_F(ControlHelpers, UpDownRangePositionAndBuddy) {
  ScopedWindow edit = make_window("EDIT", 0, 0, 0, 50, 20, parent_, 41);
  ScopedWindow updown = make_window(UPDOWN_CLASSA, 0, 50, 0, 20, 20, parent_, 42);
  set_updown_buddy(updown, edit);
  set_updown_range(updown, 1, 99);
  set_updown_pos(updown, 42);
  EXPECT_EQ(reinterpret_cast<HWND>(SendMessageA(updown, UDM_GETBUDDY, 0, 0)), edit.get());
  int lower = 0, upper = 0;
  SendMessageA(updown, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lower), reinterpret_cast<LPARAM>(&upper));
  EXPECT_EQ(lower, 1);
  EXPECT_EQ(upper, 99);
  EXPECT_EQ(LOWORD(SendMessageA(updown, UDM_GETPOS, 0, 0)), 42);
}

TEST_F(ControlHelpers, ToolTakesTheControlAndItsText) {
  ScopedWindow button = make_window("BUTTON", 0, 0, 0, 50, 20, parent_, 43);
  ScopedWindow tooltip(create_tooltip(parent_, GetModuleHandleA(nullptr), TTS_ALWAYSTIP, 0));
  ASSERT_NE(tooltip.get(), nullptr);
  static const char text[] = "ファイルの選択";
  EXPECT_TRUE(add_tool(tooltip, TTF_SUBCLASS, parent_, button, text));
  EXPECT_EQ(SendMessageA(tooltip, TTM_GETTOOLCOUNT, 0, 0), 1);

  char shown[64] = {};
  TTTOOLINFOA info{};
  info.cbSize = kToolInfoRecordSize;
  info.hwnd = parent_;
  info.uId = reinterpret_cast<UINT_PTR>(button.get());
  info.lpszText = shown;
  SendMessageA(tooltip, TTM_GETTEXTA, sizeof shown, reinterpret_cast<LPARAM>(&info));
  EXPECT_STREQ(shown, text);
}

}  // namespace
}  // namespace prismet

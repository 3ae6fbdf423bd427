#include "tests/dialog_driver_win32.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

namespace prismet::testing {
namespace {

// Each of these runs a message box or a menu that a broken script leaves
// open; the watchdog must end it and fail the test.
int message_box_result;
bool run_result;
BOOL menu_result;

void leave_message_box_open() {
  DialogDriver driver(300);
  driver.wait_for_dialog();
  run_result = driver.run([] { message_box_result = MessageBoxA(nullptr, "text", "caption", MB_OKCANCEL); });
}

void wait_for_something_that_never_comes() {
  DialogDriver driver(300);
  driver.wait_until("never", [] { return false; });
  run_result = driver.run([] { message_box_result = MessageBoxA(nullptr, "text", "caption", MB_OKCANCEL); });
}

void leave_menu_open() {
  ScopedWindow owner = make_window("STATIC", WS_POPUP | WS_VISIBLE, 10, 10, 100, 100);
  HMENU menu = CreatePopupMenu();
  AppendMenuA(menu, MF_STRING, 5, "item");
  DialogDriver driver(300);
  driver.wait_for_menu();
  run_result =
      driver.run([&] { menu_result = TrackPopupMenuEx(menu, TPM_RETURNCMD, 20, 20, owner, nullptr); });
  DestroyMenu(menu);
}

TEST(DialogDriver, WatchdogEndsADialogLeftOpen) {
  const DWORD started = GetTickCount();
  EXPECT_NONFATAL_FAILURE(leave_message_box_open(), "still open");
  EXPECT_FALSE(run_result);
  EXPECT_EQ(message_box_result, IDCANCEL);
  EXPECT_LT(GetTickCount() - started, 3000u);
}

TEST(DialogDriver, WatchdogReportsAStepNeverTaken) {
  EXPECT_NONFATAL_FAILURE(wait_for_something_that_never_comes(), "step 0 (never) not done");
  EXPECT_FALSE(run_result);
  EXPECT_EQ(message_box_result, IDCANCEL);
}

TEST(DialogDriver, WatchdogEndsAMenuLeftOpen) {
  EXPECT_NONFATAL_FAILURE(leave_menu_open(), "still open");
  EXPECT_FALSE(run_result);
  EXPECT_EQ(menu_result, 0);
}

TEST(DialogDriver, DrivesNestedDialogs) {
  int inner = 0, outer = 0;
  DialogDriver driver;
  driver.wait_for_dialog()
      .then("open a second dialog from the first",
            [&] { inner = MessageBoxA(driver.dialog(), "inner", "inner", MB_OKCANCEL); })
      .wait_for_dialog()
      .press(IDOK)
      .wait_for_close()
      .press(IDCANCEL)
      .wait_for_close();
  EXPECT_TRUE(driver.run([&] { outer = MessageBoxA(nullptr, "outer", "outer", MB_OKCANCEL); }));
  EXPECT_EQ(inner, IDOK);
  EXPECT_EQ(outer, IDCANCEL);
  EXPECT_EQ(driver.caught_dialogs().size(), 2u);
}

}  // namespace
}  // namespace prismet::testing

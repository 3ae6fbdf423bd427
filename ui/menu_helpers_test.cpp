#include "ui/menu_helpers.h"

#include <gtest/gtest.h>

#include "tests/dialog_driver_win32.h"
#include "ui/ui_test_resource.h"

namespace prismet {
namespace {

using testing::DialogDriver;
using testing::make_window;
using testing::ScopedWindow;

// Pops up the test menu, lets `keys` choose, and reports the result and
// whether the menu that was shown still exists afterwards.
struct PopupOutcome {
  BOOL result = -1;
  bool menu_seen = false;
  bool menu_alive_after = true;
};

PopupOutcome pop_up_test_menu(std::initializer_list<UINT> keys) {
  ScopedWindow owner = make_window("STATIC", WS_POPUP | WS_VISIBLE, 100, 100, 200, 200);
  PopupOutcome outcome;
  HMENU shown = nullptr;
  DialogDriver driver;
  driver.wait_for_menu()
      .then("note the menu",
            [&] {
              shown = reinterpret_cast<HMENU>(SendMessageA(DialogDriver::menu_window(), MN_GETHMENU, 0, 0));
            })
      .menu_keys(keys);
  driver.run([&] {
    outcome.result = popup_menu_resource(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDM_TEST_MENU), 0, owner,
                                         POINT{150, 150}, TPM_RETURNCMD | TPM_NONOTIFY, nullptr);
  });
  outcome.menu_seen = shown != nullptr && shown != reinterpret_cast<HMENU>(-1);
  outcome.menu_alive_after = IsMenu(shown);
  return outcome;
}

TEST(PopupMenuResource, ReleasesTheMenuWhenAnItemIsChosen) {
  const PopupOutcome outcome = pop_up_test_menu({VK_DOWN, VK_DOWN, VK_RETURN});
  EXPECT_EQ(outcome.result, IDM_TEST_SECOND);
  ASSERT_TRUE(outcome.menu_seen);
  EXPECT_FALSE(outcome.menu_alive_after);
}

TEST(PopupMenuResource, ReleasesTheMenuWhenCancelled) {
  const PopupOutcome outcome = pop_up_test_menu({VK_ESCAPE});
  EXPECT_EQ(outcome.result, 0);
  ASSERT_TRUE(outcome.menu_seen);
  EXPECT_FALSE(outcome.menu_alive_after);
}

TEST(PopupMenuResource, MissingMenuOrSubMenuGivesZero) {
  ScopedWindow owner = make_window("STATIC", WS_POPUP | WS_VISIBLE, 100, 100, 200, 200);
  HINSTANCE instance = GetModuleHandleA(nullptr);
  EXPECT_EQ(
      popup_menu_resource(instance, MAKEINTRESOURCEA(999), 0, owner, POINT{0, 0}, TPM_RETURNCMD, nullptr), 0);
  EXPECT_EQ(popup_menu_resource(instance, MAKEINTRESOURCEA(IDM_TEST_MENU), 1, owner, POINT{0, 0},
                                TPM_RETURNCMD, nullptr),
            0);
}

}  // namespace
}  // namespace prismet

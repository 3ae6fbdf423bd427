// The settings dialog's list of files to convert: drops, the context menu,
// deleting, and a sorted order that no move changes.
#include <string>

#include "ui/settings_dialog_test_fixture.h"

namespace prismet::testing {
namespace {

TEST_F(SettingsDialog, DroppedFilesAreCanonicalAndListedOnce) {
  const std::string file = make_file("Long Source Name.cpp");
  const std::string other = make_file("other.cpp");
  const std::string listed = make_file("listed.cpp");
  char short_form[kPathCapacity] = {};
  GetShortPathNameA(file.c_str(), short_form, sizeof short_form);
  // A command-line entry in another letter case counts as listed.
  std::string listed_upper = listed;
  CharUpperBuffA(listed_upper.data(), static_cast<DWORD>(listed_upper.size()));
  param_.files = {listed_upper};
  DialogDriver driver;
  driver.wait_for_dialog()
      .then("drop names of every kind in one drop",
            [&] {
              HWND list = item(driver.dialog(), IDC_FILE_LIST);
              PostMessageA(
                  list, WM_DROPFILES,
                  reinterpret_cast<WPARAM>(make_drop({file, other, short_form, file, folder_ + "\\folder.cpp",
                                                      folder_ + "\\missing.cpp", listed})),
                  0);
            })
      .wait_until("the drop is taken", [&] { return file_entries(driver.dialog()).size() > 1; })
      .then("drop again in other forms",
            [&] {
              std::string upper = file;
              CharUpperBuffA(upper.data(), static_cast<DWORD>(upper.size()));
              SendMessageA(item(driver.dialog(), IDC_FILE_LIST), WM_DROPFILES,
                           reinterpret_cast<WPARAM>(make_drop({upper, other})), 0);
            })
      .press(IDOK);
  EXPECT_TRUE(show(driver));
  EXPECT_EQ(param_.files, (Texts{listed_upper, file, other}));
}

TEST_F(SettingsDialog, ContextMenuOnlyWithEntriesAndItsDeleteCommand) {
  param_.files = {"C:\\a.cpp", "C:\\b.cpp"};
  DialogDriver driver;
  Texts after_menu;
  driver.wait_for_dialog()
      .then("empty the list, then ask for the menu",
            [&] {
              HWND list = item(driver.dialog(), IDC_FILE_LIST);
              SendMessageA(list, LB_RESETCONTENT, 0, 0);
              PostMessageA(list, WM_KEYDOWN, VK_APPS, 1);
            })
      .wait_until("a while", ticks(15))
      .then("no menu", [&] { EXPECT_EQ(DialogDriver::menu_window(), nullptr); })
      .then("refill, select the second and ask again",
            [&] {
              HWND list = item(driver.dialog(), IDC_FILE_LIST);
              for (const char* f : {"C:\\a.cpp", "C:\\b.cpp"})
                SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(f));
              SendMessageA(list, LB_SETCURSEL, 1, 0);
              PostMessageA(list, WM_KEYDOWN, VK_APPS, 1);
            })
      .wait_for_menu()
      .then("check the menu",
            [&] {
              EXPECT_EQ(GetWindowLongA(DialogDriver::menu_window(), GWL_STYLE) & WS_VISIBLE,
                        static_cast<LONG>(WS_VISIBLE));
            })
      .menu_keys({VK_DOWN, VK_RETURN})
      .wait_until("the entry is deleted", [&] { return file_entries(driver.dialog()).size() == 1; })
      .then("read the list", [&] { after_menu = file_entries(driver.dialog()); })
      .press(IDOK);
  EXPECT_TRUE(show(driver));
  EXPECT_EQ(after_menu, (Texts{"C:\\a.cpp"}));
  EXPECT_EQ(param_.files, (Texts{"C:\\a.cpp"}));
}

TEST_F(SettingsDialog, DeleteCommandAndKeys) {
  struct Case {
    const char* what;
    int selected;
    UINT key;  // 0: the menu command
    Texts left;
  } const cases[] = {
      {"command, middle", 1, 0, {"a", "c"}},
      {"command, no selection", -1, 0, {"a", "b", "c"}},
      {"Delete key", 2, VK_DELETE, {"a", "b"}},
      {"Backspace key", 0, VK_BACK, {"b", "c"}},
      {"Delete key, no selection", -1, VK_DELETE, {"a", "b", "c"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    param_.files = {"c", "a", "b"};
    DialogDriver driver;
    driver.wait_for_dialog().then("delete", [&] {
      HWND list = item(driver.dialog(), IDC_FILE_LIST);
      SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(c.selected), 0);
      if (c.key == 0)
        SendMessageA(driver.dialog(), WM_COMMAND, IDM_DELETE_FILE, 0);
      else
        SendMessageA(list, WM_KEYDOWN, c.key, 1);
    });
    driver.press(IDOK);
    EXPECT_TRUE(show(driver));
    EXPECT_EQ(param_.files, c.left);
  }
}

TEST_F(SettingsDialog, EntriesCannotBeMoved) {
  param_.files = {"a", "b", "c"};
  DialogDriver driver;
  driver.wait_for_dialog()
      .then("Alt with arrow keys",
            [&] {
              HWND list = item(driver.dialog(), IDC_FILE_LIST);
              SetFocus(list);
              SendMessageA(list, LB_SETCURSEL, 0, 0);
              SendMessageA(list, WM_SYSKEYDOWN, VK_DOWN, 0x20000001);
              SendMessageA(list, LB_SETCURSEL, 2, 0);
              SendMessageA(list, WM_SYSKEYDOWN, VK_UP, 0x20000001);
            })
      .then("drag the first entry below the last",
            [&] {
              HWND list = item(driver.dialog(), IDC_FILE_LIST);
              RECT first{}, last{};
              SendMessageA(list, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
              SendMessageA(list, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&last));
              POINT from{first.left + 5, (first.top + first.bottom) / 2};
              POINT to{last.left + 5, last.bottom + 2};
              ClientToScreen(list, &from);
              ClientToScreen(list, &to);
              SetCursorPos(from.x, from.y);
              SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, 0);
              SetCursorPos(to.x, to.y);
              SendMessageA(list, WM_MOUSEMOVE, MK_LBUTTON, 0);
              SendMessageA(list, WM_LBUTTONUP, 0, 0);
              ReleaseCapture();
            })
      .press(IDOK);
  EXPECT_TRUE(show(driver));
  EXPECT_EQ(param_.files, (Texts{"a", "b", "c"}));
}

}  // namespace
}  // namespace prismet::testing

// The settings dialog and the tag dialog opened from it release what they
// hold when they close.
#include <string>
#include <vector>

#include "tests/window_teardown_win32.h"
#include "ui/drag_list_box.h"
#include "ui/settings_dialog_test_fixture.h"
#include "ui/tag_dialog.h"
#include "ui/tag_list.h"

namespace prismet::testing {
namespace {

// Shown and closed, with the tag dialog opened from it and its file list
// (a drag list box) used: when each window is torn down it holds none of
// the properties the code set and the file list its own procedure again;
// the icons are destroyed; and, where the platform counts them, the
// process holds no more GDI and USER objects than before.
TEST_F(SettingsDialog, ClosingReleasesPropertiesSubclassIconsAndGuiObjects) {
  const std::string dropped = make_file("dropped.cpp");
  // What the two dialogs set on themselves.
  const Texts ours = {kCustomBoxParamProperty,
                      kSettingsLayoutProperty,
                      kExtensionHistory.property,
                      kVocabularyFileHistory.property,
                      kInsertBeforeHistory.property,
                      kInsertAfterHistory.property,
                      kTagDialogProperty,
                      kOpenTagHistory.property,
                      kCloseTagHistory.property};
  auto show_once = [&](bool accept) {
    TeardownWatch watch;
    std::vector<HICON> icons;
    HWND file_list = nullptr;
    std::size_t held_while_open = 0;
    DialogDriver driver(8000);
    driver.wait_for_dialog()
        .then("note icons and the file list's procedure, drop a file, open the tag dialog",
              [&] {
                HWND d = driver.dialog();
                for (WPARAM which : {ICON_BIG, ICON_SMALL}) {
                  icons.push_back(reinterpret_cast<HICON>(SendMessageA(d, WM_GETICON, which, 0)));
                }
                held_while_open += still_held(named_properties(d), ours).size();
                file_list = item(d, IDC_FILE_LIST);
                EXPECT_EQ(GetWindowLongPtrA(file_list, GWLP_WNDPROC),
                          reinterpret_cast<LONG_PTR>(&drag_list_proc));
                SendMessageA(item(d, IDC_FILE_LIST), WM_DROPFILES,
                             reinterpret_cast<WPARAM>(make_drop({dropped})), 0);
                HWND list = item(d, IDC_TAG_LIST);
                double_click(list, row_point(list, find_tag_row(list, "全体")));
              })
        .wait_for_dialog()
        .then(
            "note the tag dialog's icons",
            [&] {
              for (WPARAM which : {ICON_BIG, ICON_SMALL}) {
                icons.push_back(reinterpret_cast<HICON>(SendMessageA(driver.dialog(), WM_GETICON, which, 0)));
              }
              held_while_open += still_held(named_properties(driver.dialog()), ours).size();
            })
        .press(IDOK)
        .wait_for_close()
        .press(accept ? IDOK : IDCANCEL)
        .wait_for_close();
    EXPECT_EQ(show(driver), accept);
    EXPECT_EQ(held_while_open, ours.size()) << "the watched names are not the ones the dialogs set";
    const auto dialogs = watch.of_class("#32770");
    EXPECT_EQ(dialogs.size(), 2u);
    for (const auto& dialog : dialogs) EXPECT_EQ(still_held(dialog.properties, ours), Texts{});
    bool file_list_seen = false;
    for (const auto& list : watch.of_class("ListBox")) {
      if (list.window != file_list) continue;
      file_list_seen = true;
      EXPECT_EQ(list.properties, Texts{}) << "the file list kept properties";
      EXPECT_NE(list.procedure, reinterpret_cast<LONG_PTR>(&drag_list_proc))
          << "the file list is still subclassed";
    }
    EXPECT_TRUE(file_list_seen);
    ASSERT_EQ(icons.size(), 4u);
    for (HICON icon : icons) {
      EXPECT_NE(icon, nullptr);
      EXPECT_FALSE(icon_alive(icon)) << "an icon outlived its dialog";
    }
    free_custom_box_param(param_);
    set_default_settings(param_.settings, "C:\\p\\prismet.top", "C:\\p\\prismet.btm");
  };
  // The first run may set up what the system keeps for the process (classes,
  // fonts, common controls); later runs must leave the counts as they were.
  show_once(false);
  expect_gui_counts_kept(4, [&](int run) { show_once(run % 2 == 0); });
}

}  // namespace
}  // namespace prismet::testing

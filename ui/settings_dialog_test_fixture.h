// The settings dialog's tests: a fixture that runs the dialog on a start-up
// record of its own, in a scratch settings file, with files to convert in a
// folder of the test's own; and the dialog's controls as the tests reach
// them.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

#include "res/resource.h"
#include "settings/profile_values.h"
#include "tests/dialog_driver_win32.h"
#include "tests/dialog_test_support_win32.h"
#include "tests/test_files.h"
#include "ui/file_list.h"
#include "ui/settings_dialog.h"

namespace prismet::testing {

inline HWND item(HWND dialog, int id) { return GetDlgItem(dialog, id); }

// The file list's entries, in list order.
inline Texts file_entries(HWND dialog) { return list_box_entries(item(dialog, IDC_FILE_LIST)); }

// A double click as the list view sees it, at a point of its client area.
inline void double_click(HWND list, POINT at) {
  const LPARAM where = MAKELPARAM(at.x, at.y);
  SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, where);
  SendMessageA(list, WM_LBUTTONUP, 0, where);
  PostMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, where);
  PostMessageA(list, WM_LBUTTONUP, 0, where);
}

// A point on the label of a row of the tag list.
inline POINT row_point(HWND list, int row) {
  RECT rect{};
  rect.left = LVIR_LABEL;
  SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rect));
  return POINT{rect.left + 3, (rect.top + rect.bottom) / 2};
}

class SettingsDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    set_default_settings(param_.settings, "C:\\p\\prismet.top", "C:\\p\\prismet.btm");
    static int counter = 0;
    folder_ = scratch_path("dialog" + std::to_string(++counter));
    make_folder(folder_ + "\\folder.cpp");
  }
  void TearDown() override { free_custom_box_param(param_); }

  // Runs the dialog on param_ with the script; true on OK.
  bool show(DialogDriver& driver) {
    bool accepted = false;
    EXPECT_TRUE(driver.run([&] { accepted = run_settings_dialog(nullptr, param_); }));
    return accepted;
  }
  // A source file in the test's folder; its path.
  std::string make_file(const std::string& name) {
    const std::string path = folder_ + "\\" + name;
    write_file(path, "int x;\n");
    return path;
  }
  // A value of the dialog's remembered window state; -1 when none is stored.
  int placement_value(const char* key) const {
    ProfileFile profile(file_.path().c_str());
    return read_profile_int(profile, kSettingsPlacementSection, key, -1);
  }

  ScratchSettingsFile file_;
  CustomBoxParam param_;
  std::string folder_;
};

}  // namespace prismet::testing

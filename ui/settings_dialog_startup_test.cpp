// Start-up through the settings dialog: what is converted after OK, and
// nothing after Cancel.
#include <string>
#include <vector>

#include "ui/settings_dialog_test_fixture.h"

namespace prismet::testing {
namespace {

bool no_shift_key() { return false; }
bool settings_dialog_at_startup(CustomBoxParam& param, int) { return run_settings_dialog(nullptr, param); }
constexpr StartupPlatform kPlatform{no_shift_key, settings_dialog_at_startup};

TEST_F(SettingsDialog, StartUpConvertsTheListedFilesInListOrderOnlyAfterOk) {
  const std::string b = make_file("b.cpp");
  const std::string a = make_file("a.cpp");
  std::string program = "prismet.exe";
  for (bool accept : {true, false}) {
    SCOPED_TRACE(accept ? "OK" : "Cancel");
    DeleteFileA(file_.path().c_str());
    std::vector<char*> arguments{program.data(), const_cast<char*>(b.c_str()), const_cast<char*>(a.c_str()),
                                 const_cast<char*>(b.c_str())};
    CustomBoxParam param;
    DialogDriver driver;
    driver.wait_for_dialog().press(accept ? IDOK : IDCANCEL);
    bool go_on = !accept;
    EXPECT_TRUE(driver.run([&] {
      go_on = parse_command_line(param, static_cast<int>(arguments.size()), arguments.data(), kPlatform);
    }));
    EXPECT_EQ(go_on, accept);
    const Texts names = section_names(file_.contents());
    if (accept) {
      // Sorted, the repeat kept; the settings saved.
      EXPECT_EQ(param.files, (Texts{a, b, b}));
      EXPECT_EQ(names, (Texts{"履歴：拡張子", "履歴：語彙の指定", "履歴：先頭に挿入", "履歴：末尾に挿入",
                              "設定ダイアログ", "prismet"}));
    } else {
      EXPECT_TRUE(param.files.empty());
      EXPECT_EQ(names, (Texts{"設定ダイアログ"}));
    }
    free_custom_box_param(param);
  }
}

TEST_F(SettingsDialog, StartUpWithoutArgumentsConvertsWhatWasDropped) {
  const std::string source = make_file("dropped.cpp");
  std::string program = "prismet.exe";
  char* arguments[] = {program.data()};
  DialogDriver driver(8000);
  driver.wait_for_dialog()
      .then("drop the file",
            [&] {
              SendMessageA(item(driver.dialog(), IDC_FILE_LIST), WM_DROPFILES,
                           reinterpret_cast<WPARAM>(make_drop({source})), 0);
            })
      .press(IDOK);
  int exit_code = -1;
  EXPECT_TRUE(
      driver.run([&] { exit_code = run_application(GetModuleHandleA(nullptr), 1, arguments, kPlatform); }));
  EXPECT_EQ(exit_code, 0);
  EXPECT_EQ(read_file(folder_ + "\\dropped.htm"), "<PRE><FONT COLOR=\"#0000FF\">int</FONT> x;\r\n</PRE>");
}

}  // namespace
}  // namespace prismet::testing

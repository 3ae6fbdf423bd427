// The settings dialog's browse buttons: the file chooser for their fields.
#include <windows.h>
#include <commdlg.h>
#include <dlgs.h>

#include "ui/control_helpers.h"
#include "ui/settings_dialog_test_fixture.h"

namespace prismet::testing {
namespace {

TEST_F(SettingsDialog, BrowseFillsTheFieldOnlyWhenAFileIsChosen) {
  const std::string start = make_file("start.htm");
  const std::string chosen = make_file("chosen.htm");
  struct Case {
    int button;
    int field;
    const char* title;
    Texts filters;
    int ending;
  } const cases[] = {
      {IDC_BROWSE_INSERT_BEFORE,
       IDC_INSERT_BEFORE,
       "挿入するファイルを選ぶ",
       {"HTML ﾌｧｲﾙ (htm; html)", "*.*"},
       IDOK},
      {IDC_BROWSE_INSERT_AFTER,
       IDC_INSERT_AFTER,
       "挿入するファイルを選ぶ",
       {"HTML ﾌｧｲﾙ (htm; html)", "*.*"},
       IDCANCEL},
      {IDC_BROWSE_VOCABULARY, IDC_VOCABULARY_FILE, "ファイルの選択", {"すべてのファイル (*.*)"}, IDOK},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.title);
    std::string title, field_after;
    Texts filters;
    DialogDriver driver(10000);
    driver.wait_for_dialog()
        .set_text(c.field, start)
        .press(c.button)
        .wait_for_dialog()
        .then("read the chooser and pick another file",
              [&] {
                HWND chooser = driver.dialog();
                title = *window_text(chooser);
                HWND types = GetDlgItem(chooser, cmb1);
                for (int i = 0; i < SendMessageA(types, CB_GETCOUNT, 0, 0); ++i) {
                  char text[64] = {};
                  SendMessageA(types, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
                  filters.push_back(text);
                }
                SendMessageA(chooser, CDM_SETCONTROLTEXT, edt1, reinterpret_cast<LPARAM>("chosen.htm"));
                SendMessageA(chooser, CDM_SETCONTROLTEXT, cmb13, reinterpret_cast<LPARAM>("chosen.htm"));
              })
        .press(c.ending)
        .wait_for_close()
        .then("read the field", [&] { field_after = text_of(driver.dialog(), c.field); })
        .press(IDCANCEL);
    EXPECT_FALSE(show(driver));
    EXPECT_EQ(title, c.title);
    EXPECT_EQ(filters, c.filters);
    EXPECT_EQ(field_after, c.ending == IDOK ? chosen : start);
  }
}

}  // namespace
}  // namespace prismet::testing

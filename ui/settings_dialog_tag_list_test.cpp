// The settings dialog's tag list: a double click on a row edits its tags in
// the tag dialog.
#include <string>

#include "ui/settings_dialog_test_fixture.h"
#include "ui/tag_list.h"

namespace prismet::testing {
namespace {

TEST_F(SettingsDialog, DoubleClickBelowTheRowsOpensNothing) {
  DialogDriver driver;
  int selected_after = 0;
  driver.wait_for_dialog()
      .then("double-click below the last row",
            [&] {
              HWND list = item(driver.dialog(), IDC_TAG_LIST);
              // Rows are found by name, so a few can go to make room below.
              for (int row = 7; row >= 4; --row)
                SendMessageA(list, LVM_DELETEITEM, static_cast<WPARAM>(row), 0);
              RECT client{};
              GetClientRect(list, &client);
              const POINT last = row_point(list, 3);
              ASSERT_LT(last.y + 20, client.bottom - 20);
              double_click(list, POINT{last.x, client.bottom - 20});
            })
      .wait_until("a while", ticks(20))
      .then("look", [&] { selected_after = selected_row(item(driver.dialog(), IDC_TAG_LIST)); })
      .press(IDOK);
  EXPECT_TRUE(show(driver));
  EXPECT_EQ(driver.caught_dialogs().size(), 1u);
  EXPECT_EQ(selected_after, -1);
}

TEST_F(SettingsDialog, DoubleClickEditsTheRowWhateverTheColumnOrder) {
  param_.settings.style.comment = {"<I>", "</I>"};
  for (bool reordered : {false, true}) {
    SCOPED_TRACE(reordered ? "close column shown first" : "columns as made");
    std::string shown_open, shown_close;
    DialogDriver driver(8000);
    driver.wait_for_dialog()
        .then("double-click the comment row",
              [&] {
                HWND list = item(driver.dialog(), IDC_TAG_LIST);
                if (reordered) {
                  int order[] = {2, 0, 1};
                  SendMessageA(list, LVM_SETCOLUMNORDERARRAY, 3, reinterpret_cast<LPARAM>(order));
                }
                double_click(list, row_point(list, find_tag_row(list, "ｺﾒﾝﾄ")));
              })
        .wait_for_dialog()
        .then("read the tag dialog",
              [&] {
                shown_open = text_of(driver.dialog(), IDC_TAG_OPEN);
                shown_close = text_of(driver.dialog(), IDC_TAG_CLOSE);
              })
        .set_text(IDC_TAG_OPEN, reordered ? "<EM>" : "<B>")
        .set_text(IDC_TAG_CLOSE, reordered ? "</EM>" : "</B>")
        .press(IDOK)
        .wait_for_close()
        .then("a cancelled edit of another row changes nothing",
              [&] {
                HWND list = item(driver.dialog(), IDC_TAG_LIST);
                double_click(list, row_point(list, find_tag_row(list, "全体")));
              })
        .wait_for_dialog()
        .set_text(IDC_TAG_OPEN, "<DIV>")
        .press(IDCANCEL)
        .wait_for_close()
        .press(IDOK);
    EXPECT_TRUE(show(driver));
    EXPECT_EQ(driver.caught_dialogs().size(), 3u);
    EXPECT_EQ(shown_open, reordered ? "<B>" : "<I>");
    EXPECT_EQ(shown_close, reordered ? "</B>" : "</I>");
    EXPECT_EQ(param_.settings.style.comment.open, reordered ? "<EM>" : "<B>");
    EXPECT_EQ(param_.settings.style.comment.close, reordered ? "</EM>" : "</B>");
    EXPECT_EQ(param_.settings.style.whole.open, "<PRE>");
  }
}

}  // namespace
}  // namespace prismet::testing

#include "ui/tag_dialog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/caption_fit_win32.h"
#include "tests/dialog_driver_win32.h"
#include "tests/dialog_test_support_win32.h"
#include "tests/window_teardown_win32.h"
#include "ui/control_helpers.h"
#include "ui/history_combo_box.h"

namespace prismet {
namespace {

using testing::DialogDriver;
using testing::store_history;
using testing::stored_history;
using testing::text_of;
using Items = std::vector<std::string>;

class TagDialog : public ::testing::Test {
 protected:
  // Opens the dialog on `pair`, with `script` run against it; true on OK.
  bool show(TagPair& pair, DialogDriver& driver) {
    bool accepted = false;
    EXPECT_TRUE(driver.run([&] { accepted = show_tag_dialog(nullptr, pair); }));
    return accepted;
  }

  testing::ScratchSettingsFile file_;
};

TEST_F(TagDialog, ResourceTextsAndStyles) {
  TagPair pair{"<B>", "</B>"};
  DialogDriver driver;
  driver.wait_for_dialog()
      .then("check the dialog",
            [&] {
              HWND dialog = driver.dialog();
              // Code page 932 bytes, as the program reads them back.
              EXPECT_EQ(window_text(dialog), "効果の指定");
              EXPECT_EQ(window_text(GetDlgItem(dialog, IDCANCEL)), "ｷｬﾝｾﾙ");
              EXPECT_EQ(window_text(GetDlgItem(dialog, IDOK)), "OK");
              std::vector<std::string> labels;
              for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
                   child = GetWindow(child, GW_HWNDNEXT))
                if (GetDlgCtrlID(child) == 0xFFFF || GetDlgCtrlID(child) == -1)
                  labels.push_back(*window_text(child));
              EXPECT_EQ(labels, (std::vector<std::string>{"直前に挿入", "直後に挿入"}));
              for (int id : {IDC_TAG_OPEN, IDC_TAG_CLOSE}) {
                const LONG style = GetWindowLongA(GetDlgItem(dialog, id), GWL_STYLE);
                EXPECT_EQ(style & 3, CBS_DROPDOWN);
                EXPECT_EQ(style & (CBS_SORT | CBS_AUTOHSCROLL), 0);
                EXPECT_NE(style & CBS_NOINTEGRALHEIGHT, 0);
              }
              EXPECT_EQ(GetDlgCtrlID(GetParent(GetFocus())), IDC_TAG_OPEN);  // the combo box's edit field
              EXPECT_EQ(GetPropA(dialog, kTagDialogProperty), &pair);
              EXPECT_NE(GetPropA(dialog, kOpenTagHistory.property), nullptr);
              EXPECT_NE(GetPropA(dialog, kCloseTagHistory.property), nullptr);
              EXPECT_NE(SendMessageA(dialog, WM_GETICON, ICON_BIG, 0), 0);
              EXPECT_NE(SendMessageA(dialog, WM_GETICON, ICON_SMALL, 0), 0);
              EXPECT_EQ(text_of(dialog, IDC_TAG_OPEN), "<B>");
              EXPECT_EQ(text_of(dialog, IDC_TAG_CLOSE), "</B>");
            })
      .press(IDCANCEL)
      .wait_for_close();
  EXPECT_FALSE(show(pair, driver));
}

TEST_F(TagDialog, EveryCaptionFitsItsControl) {
  TagPair pair{"<B>", "</B>"};
  DialogDriver driver;
  driver.wait_for_dialog()
      .then("measure the captions",
            [&] { EXPECT_EQ(testing::captions_that_do_not_fit(driver.dialog()), Items{}); })
      .press(IDCANCEL)
      .wait_for_close();
  EXPECT_FALSE(show(pair, driver));
}

TEST_F(TagDialog, OkTakesTheTextsExactlyAndRecordsBothHistories) {
  store_history(kOpenTagHistory, {"<I>"});
  TagPair pair{"<B>", "</B>"};
  const std::string open = "<FONT COLOR=\"#FF0000\" FACE='ＭＳ ゴシック'> ";
  const std::string close = " </FONT>";
  DialogDriver driver;
  driver.wait_for_dialog()
      .set_text(IDC_TAG_OPEN, open)
      .set_text(IDC_TAG_CLOSE, close)
      .press(IDOK)
      .wait_for_close();
  EXPECT_TRUE(show(pair, driver));
  EXPECT_EQ(pair.open, open);
  EXPECT_EQ(pair.close, close);
  EXPECT_EQ(stored_history(kOpenTagHistory), (Items{open, "<I>"}));
  EXPECT_EQ(stored_history(kCloseTagHistory), (Items{close}));
}

TEST_F(TagDialog, CancelChangesNothing) {
  store_history(kOpenTagHistory, {"<I>"});
  const std::string before = file_.contents();
  for (bool by_key : {false, true}) {
    SCOPED_TRACE(by_key ? "Esc key" : "Cancel button");
    TagPair pair{"<B>", "</B>"};
    DialogDriver driver;
    driver.wait_for_dialog().set_text(IDC_TAG_OPEN, "<U>").set_text(IDC_TAG_CLOSE, "</U>");
    if (by_key)
      driver.key(VK_ESCAPE);
    else
      driver.press(IDCANCEL);
    driver.wait_for_close();
    EXPECT_FALSE(show(pair, driver));
    EXPECT_EQ(pair.open, "<B>");
    EXPECT_EQ(pair.close, "</B>");
    EXPECT_EQ(file_.contents(), before);
  }
}

TEST_F(TagDialog, NextOpeningOffersWhatOkRecorded) {
  TagPair pair{"", ""};
  for (const char* open : {"<B>", "<I>"}) {
    DialogDriver driver;
    driver.wait_for_dialog().set_text(IDC_TAG_OPEN, open).set_text(IDC_TAG_CLOSE, "</X>").press(IDOK);
    EXPECT_TRUE(show(pair, driver));
  }
  std::vector<Items> listed;
  DialogDriver driver;
  driver.wait_for_dialog()
      .then("read both lists",
            [&] {
              for (int id : {IDC_TAG_OPEN, IDC_TAG_CLOSE}) {
                HWND combo = GetDlgItem(driver.dialog(), id);
                Items items;
                for (int i = 0; i < SendMessageA(combo, CB_GETCOUNT, 0, 0); ++i) {
                  char text[64] = {};
                  SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
                  items.push_back(text);
                }
                listed.push_back(items);
              }
            })
      .select_item(IDC_TAG_OPEN, 1)
      .press(IDOK);
  EXPECT_TRUE(show(pair, driver));
  EXPECT_EQ(listed, (std::vector<Items>{{"<I>", "<B>"}, {"</X>"}}));
  EXPECT_EQ(pair.open, "<B>");
  EXPECT_EQ(stored_history(kOpenTagHistory), (Items{"<B>", "<I>"}));
}

TEST_F(TagDialog, InitialTagsByThePrefixRule) {
  store_history(kOpenTagHistory, {"<FONT COLOR=\"#FF0000\">", "<FONT>"});
  store_history(kCloseTagHistory, {"</FONT>"});
  TagPair pair{"<font", ""};
  DialogDriver driver;
  driver.wait_for_dialog()
      .then("check what the fields show",
            [&] {
              EXPECT_EQ(text_of(driver.dialog(), IDC_TAG_OPEN), "<FONT COLOR=\"#FF0000\">");
              // An empty tag stays empty, though every item begins with it.
              EXPECT_EQ(text_of(driver.dialog(), IDC_TAG_CLOSE), "");
            })
      .press(IDOK);
  EXPECT_TRUE(show(pair, driver));
  EXPECT_EQ(pair.open, "<FONT COLOR=\"#FF0000\">");
  EXPECT_EQ(pair.close, "");
  EXPECT_EQ(stored_history(kCloseTagHistory), (Items{"", "</FONT>"}));
}

TEST_F(TagDialog, DragsByTheClientArea) {
  TagPair pair{"", ""};
  DialogDriver driver;
  driver.wait_for_dialog()
      .then("hit-test the client area and a control",
            [&] {
              HWND dialog = driver.dialog();
              POINT free_spot{4, 50};  // dialog units left of the buttons, below the fields
              RECT spot{free_spot.x, free_spot.y, 0, 0};
              MapDialogRect(dialog, &spot);
              POINT at{spot.left, spot.top};
              ClientToScreen(dialog, &at);
              EXPECT_EQ(SendMessageA(dialog, WM_NCHITTEST, 0, MAKELPARAM(at.x, at.y)), HTCAPTION);
              RECT window{};
              GetWindowRect(dialog, &window);
              EXPECT_EQ(SendMessageA(dialog, WM_NCHITTEST, 0, MAKELPARAM(window.left - 5, window.top - 5)),
                        HTNOWHERE);
            })
      .press(IDCANCEL);
  EXPECT_FALSE(show(pair, driver));
}

// Closed either way, the dialog holds none of its properties when it is torn
// down, its icons are destroyed, and, where the platform counts them, the
// process holds no more GDI and USER objects than before.
TEST_F(TagDialog, ClosingReleasesPropertiesIconsAndGuiObjects) {
  const Items ours = {kTagDialogProperty, kOpenTagHistory.property, kCloseTagHistory.property};
  auto show_once = [&](bool accept) {
    testing::TeardownWatch watch;
    std::vector<HICON> icons;
    Items held_while_open;
    TagPair pair{"<B>", "</B>"};
    DialogDriver driver;
    driver.wait_for_dialog()
        .then(
            "note the icons and properties",
            [&] {
              held_while_open = testing::still_held(testing::named_properties(driver.dialog()), ours);
              for (WPARAM which : {ICON_BIG, ICON_SMALL}) {
                icons.push_back(reinterpret_cast<HICON>(SendMessageA(driver.dialog(), WM_GETICON, which, 0)));
              }
            })
        .press(accept ? IDOK : IDCANCEL)
        .wait_for_close();
    EXPECT_EQ(show(pair, driver), accept);
    const auto dialogs = watch.of_class("#32770");
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(held_while_open, ours);
    EXPECT_EQ(testing::still_held(dialogs[0].properties, ours), Items{});
    for (HICON icon : icons) {
      EXPECT_NE(icon, nullptr);
      EXPECT_FALSE(testing::icon_alive(icon)) << "an icon outlived the dialog";
    }
  };
  show_once(true);
  testing::expect_gui_counts_kept(6, [&](int run) { show_once(run % 2 == 0); });
}

}  // namespace
}  // namespace prismet

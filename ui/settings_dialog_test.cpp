// The settings dialog as it opens: its template, menus and icons, captions
// that fit, and the controls filled from the record.
#include <cstring>
#include <string>
#include <vector>

#include "tests/caption_fit_win32.h"
#include "ui/control_helpers.h"
#include "ui/settings_dialog_test_fixture.h"
#include "ui/tag_list.h"

namespace prismet::testing {
namespace {

// The tooltip window that a dialog owns.
struct TooltipSearch {
  HWND dialog;
  HWND tooltip;
};

BOOL CALLBACK find_tooltip(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<TooltipSearch*>(context);
  char name[32] = {};
  GetClassNameA(window, name, sizeof name);
  if (lstrcmpiA(name, TOOLTIPS_CLASSA) == 0 && GetWindow(window, GW_OWNER) == search->dialog)
    search->tooltip = window;
  return TRUE;
}

// --- The template

// The controls in tab order: id, class and the text of the template (the
// fields, filled from the record, are not compared).
struct ExpectedControl {
  int id;
  const char* class_name;
  const char* text;
};

const ExpectedControl kTemplate[] = {
    {-1, "Static", "語彙の指定"},
    {IDC_VOCABULARY_FILE, "ComboBox", nullptr},
    {IDC_BROWSE_VOCABULARY, "Button", "参照..."},
    {-1, "Static", "先頭に挿入"},
    {IDC_INSERT_BEFORE, "ComboBox", nullptr},
    {IDC_BROWSE_INSERT_BEFORE, "Button", "参照..."},
    {-1, "Static", "末尾に挿入"},
    {IDC_INSERT_AFTER, "ComboBox", nullptr},
    {IDC_BROWSE_INSERT_AFTER, "Button", "参照..."},
    {IDC_TAG_LIST, "SysListView32", "List1"},
    {IDC_EXTENSION_LABEL, "Static", "拡張子"},
    {IDC_EXTENSION, "ComboBox", nullptr},
    {IDC_EXPAND_TABS, "Button", "タブを展開する"},
    {IDC_TAB_WIDTH, "Edit", nullptr},
    {IDC_TAB_WIDTH_SPIN, "msctls_updown32", "Spin1"},
    {IDC_NBSP_SPACES, "Button", "空白を &&nbsp; に変換する"},
    {IDC_LINE_NUMBERS, "Button", "コードに行番号を付加して出力"},
    {IDC_SHOW_SETTINGS_DIALOG, "Button", "起動時にダイアログを表示する"},
    {IDOK, "Button", "OK"},
    {IDCANCEL, "Button", "ｷｬﾝｾﾙ"},
    {IDC_FILE_LIST, "ListBox", ""},
};

// The controls as the dialog made them, in tab order.
void check_controls(HWND dialog) {
  std::size_t index = 0;
  for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT), ++index) {
    ASSERT_LT(index, std::size(kTemplate));
    const ExpectedControl& wanted = kTemplate[index];
    SCOPED_TRACE("control " + std::to_string(index) + " (" + std::to_string(wanted.id) + ")");
    const int id = GetDlgCtrlID(child);
    EXPECT_EQ(id == 0xFFFF ? -1 : id, wanted.id);
    char class_name[64] = {};
    GetClassNameA(child, class_name, sizeof class_name);
    EXPECT_EQ(lstrcmpiA(class_name, wanted.class_name), 0) << class_name;
    if (wanted.text != nullptr) {
      EXPECT_EQ(window_text(child), wanted.text);
    }
  }
  EXPECT_EQ(index, std::size(kTemplate));
}

TEST_F(SettingsDialog, TemplateMenusAndIcons) {
  DialogDriver driver;
  driver.wait_for_dialog()
      .then("check the template",
            [&] {
              HWND dialog = driver.dialog();
              EXPECT_EQ(window_text(dialog), "prismet の設定");
              const LONG style = GetWindowLongA(dialog, GWL_STYLE);
              EXPECT_EQ(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CLIPCHILDREN),
                        WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CLIPCHILDREN);
              check_controls(dialog);
              // The system menu offers "always on top" right below "maximize".
              HMENU system = GetSystemMenu(dialog, FALSE);
              int maximize = -1;
              for (int i = 0; i < GetMenuItemCount(system); ++i)
                if (GetMenuItemID(system, i) == SC_MAXIMIZE) maximize = i;
              ASSERT_GE(maximize, 0);
              EXPECT_EQ(GetMenuItemID(system, maximize + 1), static_cast<UINT>(IDM_TOPMOST));
              char text[64] = {};
              GetMenuStringA(system, IDM_TOPMOST, text, sizeof text, MF_BYCOMMAND);
              EXPECT_STREQ(text, "常に最前面に表示(&T)");
              EXPECT_NE(SendMessageA(dialog, WM_GETICON, ICON_BIG, 0), 0);
              EXPECT_NE(SendMessageA(dialog, WM_GETICON, ICON_SMALL, 0), 0);
              EXPECT_EQ(GetPropA(dialog, kCustomBoxParamProperty), &param_);
              // The focus is on the first tab stop: the edit field of 1051.
              EXPECT_EQ(GetDlgCtrlID(GetParent(GetFocus())), IDC_VOCABULARY_FILE);
              // The client area drags the dialog as its caption would.
              POINT free_spot{2, 2};
              ClientToScreen(dialog, &free_spot);
              EXPECT_EQ(SendMessageA(dialog, WM_NCHITTEST, 0, MAKELPARAM(free_spot.x, free_spot.y)),
                        HTCAPTION);
            })
      .press(IDCANCEL)
      .wait_for_close();
  EXPECT_FALSE(show(driver));

  HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDM_FILE_LIST_MENU));
  ASSERT_NE(menu, nullptr);
  HMENU popup = GetSubMenu(menu, 0);
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(GetMenuItemCount(popup), 1);
  EXPECT_EQ(GetMenuItemID(popup, 0), static_cast<UINT>(IDM_DELETE_FILE));
  char text[64] = {};
  GetMenuStringA(popup, 0, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ(text, "削除(&D)");
  DestroyMenu(menu);
}

// Under the dialog's font (as the system or its stand-in draws it) every
// label, check box and button shows its whole caption; a caption made
// longer is seen as cut, so the measure itself is checked too.
TEST_F(SettingsDialog, EveryCaptionFitsItsControl) {
  DialogDriver driver;
  driver.wait_for_dialog()
      .then("measure the captions",
            [&] {
              HWND dialog = driver.dialog();
              EXPECT_EQ(captions_that_do_not_fit(dialog), Texts{});
              SetDlgItemTextA(dialog, IDC_EXPAND_TABS, "タブを展開するタブを展開する");
              EXPECT_EQ(captions_that_do_not_fit(dialog).size(), 1u);
            })
      .press(IDCANCEL)
      .wait_for_close();
  EXPECT_FALSE(show(driver));
}

// --- Initialisation

TEST_F(SettingsDialog, ControlsShowTheRecord) {
  Settings& s = param_.settings;
  std::strcpy(s.extension, ".html");
  std::strcpy(s.vocabulary_file, "C:\\v\\words.txt");
  s.show_settings_dialog = false;
  s.style.line_numbers = true;
  s.style.nbsp_spaces = false;
  s.style.expand_tabs = true;
  s.style.tab_width = 8;
  s.style.keyword = {"<B>", "</B>"};
  s.style.line = {"<LI>", ""};
  // Listed as given, repeats included, and sorted.
  param_.files = {"c:\\b.cpp", "C:\\a.cpp", "c:\\b.cpp", "C:\\A.cpp"};
  DialogDriver driver;
  driver.wait_for_dialog()
      .then("check every control",
            [&] {
              HWND d = driver.dialog();
              EXPECT_EQ(text_of(d, IDC_EXTENSION), ".html");
              EXPECT_EQ(text_of(d, IDC_VOCABULARY_FILE), "C:\\v\\words.txt");
              EXPECT_EQ(text_of(d, IDC_INSERT_BEFORE), "C:\\p\\prismet.top");
              EXPECT_EQ(text_of(d, IDC_INSERT_AFTER), "C:\\p\\prismet.btm");
              EXPECT_EQ(IsDlgButtonChecked(d, IDC_SHOW_SETTINGS_DIALOG), BST_UNCHECKED);
              EXPECT_EQ(IsDlgButtonChecked(d, IDC_LINE_NUMBERS), BST_CHECKED);
              EXPECT_EQ(IsDlgButtonChecked(d, IDC_NBSP_SPACES), BST_UNCHECKED);
              EXPECT_EQ(IsDlgButtonChecked(d, IDC_EXPAND_TABS), BST_CHECKED);
              EXPECT_EQ(text_of(d, IDC_TAB_WIDTH), "8");
              EXPECT_TRUE(IsWindowEnabled(item(d, IDC_TAB_WIDTH)));
              EXPECT_TRUE(IsWindowEnabled(item(d, IDC_TAB_WIDTH_SPIN)));
              HWND spin = item(d, IDC_TAB_WIDTH_SPIN);
              EXPECT_EQ(reinterpret_cast<HWND>(SendMessageA(spin, UDM_GETBUDDY, 0, 0)),
                        item(d, IDC_TAB_WIDTH));
              int lower = 0, upper = 0;
              SendMessageA(spin, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lower),
                           reinterpret_cast<LPARAM>(&upper));
              EXPECT_EQ(lower, 1);
              EXPECT_EQ(upper, 255);
              EXPECT_EQ(LOWORD(SendMessageA(spin, UDM_GETPOS, 0, 0)), 8);

              HWND tags = item(d, IDC_TAG_LIST);
              const DWORD ex = static_cast<DWORD>(SendMessageA(tags, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
              EXPECT_EQ(ex & (LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP),
                        static_cast<DWORD>(LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP));
              const char* headers[] = {"種類", "開始", "終了"};
              const int widths[] = {70, 175, 150};
              for (int c = 0; c < 3; ++c) {
                char header[32] = {};
                LVCOLUMNA column{};
                column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
                column.pszText = header;
                column.cchTextMax = sizeof header;
                ASSERT_TRUE(SendMessageA(tags, LVM_GETCOLUMNA, c, reinterpret_cast<LPARAM>(&column)));
                EXPECT_STREQ(header, headers[c]);
                EXPECT_EQ(column.cx, widths[c]);
                EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT);
              }
              ASSERT_EQ(SendMessageA(tags, LVM_GETITEMCOUNT, 0, 0), 8);
              Texts rows;
              for (int r = 0; r < 8; ++r) {
                char name[32] = {};
                ListView_GetItemText(tags, r, 0, name, sizeof name);
                const TagPair pair = read_row_tags(tags, r);
                rows.push_back(std::string(name) + "=" + pair.open + "," + pair.close);
              }
              EXPECT_EQ(rows, (Texts{"全体=<PRE>,</PRE>", "ｺﾒﾝﾄ=<FONT COLOR=\"#008040\">,</FONT>",
                                     "ｷｰﾜｰﾄﾞ=<B>,</B>", "文字列=<FONT COLOR=\"#FF0000\">,</FONT>",
                                     "文字定数=<FONT COLOR=\"#FF0000\">,</FONT>",
                                     "定数=<FONT COLOR=\"#FF0000\">,</FONT>", "行番号=,", "行全体=<LI>,"}));
              EXPECT_EQ(SendMessageA(tags, LVM_GETITEMSTATE, 0, LVIS_SELECTED | LVIS_FOCUSED),
                        LVIS_SELECTED | LVIS_FOCUSED);

              // Sorted without regard to case; the sort keeps equal entries apart.
              const Texts files = file_entries(d);
              ASSERT_EQ(files.size(), 4u);
              EXPECT_EQ(lstrcmpiA(files[0].c_str(), "C:\\a.cpp"), 0);
              EXPECT_EQ(lstrcmpiA(files[1].c_str(), "C:\\a.cpp"), 0);
              EXPECT_EQ(files[2], "c:\\b.cpp");
              EXPECT_EQ(files[3], "c:\\b.cpp");
              EXPECT_NE(GetWindowLongA(item(d, IDC_FILE_LIST), GWL_EXSTYLE) & WS_EX_ACCEPTFILES, 0);
              EXPECT_EQ(GetWindowLongA(d, GWL_EXSTYLE) & WS_EX_ACCEPTFILES, 0);
            })
      .then("find the tab width's tooltip",
            [&] {
              TooltipSearch found{driver.dialog(), nullptr};
              EnumThreadWindows(GetCurrentThreadId(), find_tooltip, reinterpret_cast<LPARAM>(&found));
              ASSERT_NE(found.tooltip, nullptr);
              EXPECT_NE(GetWindowLongA(found.tooltip, GWL_STYLE) & TTS_ALWAYSTIP, 0);
              ASSERT_EQ(SendMessageA(found.tooltip, TTM_GETTOOLCOUNT, 0, 0), 1);
              char text[1024] = {};
              TTTOOLINFOA tool{};
              tool.cbSize = sizeof tool;
              tool.lpszText = text;
              ASSERT_TRUE(SendMessageA(found.tooltip, TTM_ENUMTOOLSA, 0, reinterpret_cast<LPARAM>(&tool)));
              EXPECT_STREQ(text, "タブ幅 : 1 ～ 255");
              EXPECT_EQ(reinterpret_cast<HWND>(tool.uId), item(driver.dialog(), IDC_TAB_WIDTH));
              EXPECT_EQ(tool.uFlags & (TTF_IDISHWND | TTF_SUBCLASS),
                        static_cast<UINT>(TTF_IDISHWND | TTF_SUBCLASS));
            })
      .press(IDCANCEL);
  EXPECT_FALSE(show(driver));
}

TEST_F(SettingsDialog, ExpandTabsEnablesTheWidthAtOnce) {
  DialogDriver driver;
  bool enabled[3][2] = {};
  auto look = [&](int at) {
    enabled[at][0] = IsWindowEnabled(item(driver.dialog(), IDC_TAB_WIDTH)) != FALSE;
    enabled[at][1] = IsWindowEnabled(item(driver.dialog(), IDC_TAB_WIDTH_SPIN)) != FALSE;
  };
  driver.wait_for_dialog()
      .then("unchecked at start", [&] { look(0); })
      .then("check", [&] { SendMessageA(item(driver.dialog(), IDC_EXPAND_TABS), BM_CLICK, 0, 0); })
      .then("look", [&] { look(1); })
      .then("uncheck", [&] { SendMessageA(item(driver.dialog(), IDC_EXPAND_TABS), BM_CLICK, 0, 0); })
      .then("look", [&] { look(2); })
      .press(IDCANCEL);
  EXPECT_FALSE(show(driver));
  EXPECT_FALSE(enabled[0][0] || enabled[0][1]);
  EXPECT_TRUE(enabled[1][0] && enabled[1][1]);
  EXPECT_FALSE(enabled[2][0] || enabled[2][1]);
}

}  // namespace
}  // namespace prismet::testing

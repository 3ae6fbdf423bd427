#include "ui/settings_dialog.h"

#include <gtest/gtest.h>
#include <commctrl.h>
#include <commdlg.h>
#include <dlgs.h>
#include <shlobj.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "res/resource.h"
#include "settings/profile_values.h"
#include "settings/settings_file.h"
#include "tests/caption_fit_win32.h"
#include "tests/dialog_driver_win32.h"
#include "tests/test_files.h"
#include "tests/window_teardown_win32.h"
#include "ui/control_helpers.h"
#include "ui/dialog_placement.h"
#include "ui/drag_list_box.h"
#include "ui/file_list.h"
#include "ui/history_combo_box.h"
#include "ui/input_history.h"
#include "ui/tag_dialog.h"
#include "ui/tag_list.h"

namespace prismet {
namespace {

using testing::DialogDriver;
using Texts = std::vector<std::string>;

// Every field of the record in one text, to see at a glance what changed.
std::string describe(const CustomBoxParam& param) {
  const Settings& s = param.settings;
  const OutputStyle& style = s.style;
  std::string text = std::string(s.vocabulary_file) + "|" + s.extension + "|" + style.insert_before + "|" +
                     style.insert_after + "|show " + std::to_string(s.show_settings_dialog) + "|tab " +
                     std::to_string(style.tab_width) + "|numbers " + std::to_string(style.line_numbers) +
                     "|expand " + std::to_string(style.expand_tabs) + "|nbsp " + std::to_string(style.nbsp_spaces);
  for (const TagRow& row : kTagRows) text += "|" + (style.*row.pair).open + "|" + (style.*row.pair).close;
  for (const std::string& file : param.files) text += "|file " + file;
  return text;
}

HWND item(HWND dialog, int id) { return GetDlgItem(dialog, id); }

std::string text_of(HWND dialog, int id) { return dialog_item_text(dialog, id).value_or("(none)"); }

// A control's rectangle in the dialog's client coordinates.
RECT control_rect(HWND dialog, int id) {
  RECT rect{};
  GetWindowRect(item(dialog, id), &rect);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

Texts file_entries(HWND dialog) { return list_box_entries(item(dialog, IDC_FILE_LIST)); }

// A drop of `names` as the shell hands it over; whoever receives it
// finishes it.
HDROP make_drop(const Texts& names) {
  std::size_t bytes = sizeof(DROPFILES) + 1;
  for (const std::string& name : names) bytes += name.size() + 1;
  HGLOBAL memory = GlobalAlloc(GHND, bytes);
  auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
  header->pFiles = sizeof(DROPFILES);
  header->fWide = FALSE;
  char* at = reinterpret_cast<char*>(header + 1);
  for (const std::string& name : names) {
    std::memcpy(at, name.c_str(), name.size() + 1);
    at += name.size() + 1;
  }
  GlobalUnlock(memory);
  return static_cast<HDROP>(memory);
}

// The section names of a settings file, in order.
Texts sections(const std::string& contents) {
  Texts names;
  for (std::size_t at = contents.find('['); at != std::string::npos; at = contents.find('[', at + 1)) {
    if (at != 0 && contents[at - 1] != '\n') continue;
    names.push_back(contents.substr(at + 1, contents.find(']', at) - at - 1));
  }
  return names;
}

Texts history(const HistoryPlace& place) {
  InputHistoryPtr loaded = load_history(place.section, "");
  Texts items;
  for (int i = 0; i < history_count(*loaded); ++i) items.push_back(history_entry(*loaded, i));
  return items;
}

void store_history(const HistoryPlace& place, const Texts& items) {
  InputHistoryPtr stored = create_history();
  for (auto it = items.rbegin(); it != items.rend(); ++it) push_history(*stored, *it);
  save_history(place.section, *stored);
}

// Lets the dialog run for a while: for checking that something does not
// happen.
std::function<bool()> ticks(int count) {
  return [count, seen = 0]() mutable { return ++seen > count; };
}

// The tooltip window that a dialog owns.
struct TooltipSearch {
  HWND dialog;
  HWND tooltip;
};

BOOL CALLBACK find_tooltip(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<TooltipSearch*>(context);
  char name[32] = {};
  GetClassNameA(window, name, sizeof name);
  if (lstrcmpiA(name, TOOLTIPS_CLASSA) == 0 && GetWindow(window, GW_OWNER) == search->dialog) search->tooltip = window;
  return TRUE;
}

class SettingsDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    set_default_settings(param_.settings, "C:\\p\\prismet.top", "C:\\p\\prismet.btm");
    static int counter = 0;
    folder_ = testing::scratch_path("dialog" + std::to_string(++counter));
    testing::make_folder(folder_ + "\\folder.cpp");
  }
  void TearDown() override { free_custom_box_param(param_); }

  // Runs the dialog on param_ with the script; true on OK.
  bool show(DialogDriver& driver) {
    bool accepted = false;
    EXPECT_TRUE(driver.run([&] { accepted = run_settings_dialog(nullptr, param_); }));
    return accepted;
  }
  std::string make_file(const std::string& name) {
    const std::string path = folder_ + "\\" + name;
    testing::write_file(path, "int x;\n");
    return path;
  }
  int placement_value(const char* key) const {
    return read_profile_int(file_.path().c_str(), kSettingsPlacementSection, key, -1);
  }

  testing::ScratchSettingsFile file_;
  CustomBoxParam param_;
  std::string folder_;
};

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
  for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT), ++index) {
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
              EXPECT_EQ(testing::captions_that_do_not_fit(dialog), Texts{});
              SetDlgItemTextA(dialog, IDC_EXPAND_TABS, "タブを展開するタブを展開する");
              EXPECT_EQ(testing::captions_that_do_not_fit(dialog).size(), 1u);
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
              EXPECT_EQ(reinterpret_cast<HWND>(SendMessageA(spin, UDM_GETBUDDY, 0, 0)), item(d, IDC_TAB_WIDTH));
              int lower = 0, upper = 0;
              SendMessageA(spin, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lower), reinterpret_cast<LPARAM>(&upper));
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
              EXPECT_EQ(tool.uFlags & (TTF_IDISHWND | TTF_SUBCLASS), static_cast<UINT>(TTF_IDISHWND | TTF_SUBCLASS));
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

// --- OK and Cancel

TEST_F(SettingsDialog, OkTakesEveryFieldAndRecordsTheHistoriesInOrder) {
  store_history(kExtensionHistory, {".txt"});
  param_.files = {"C:\\z.cpp"};
  DialogDriver driver;
  driver.wait_for_dialog()
      .set_text(IDC_EXTENSION, ".html")
      .set_text(IDC_VOCABULARY_FILE, "C:\\v.txt")
      .set_text(IDC_INSERT_BEFORE, " C:\\head.htm ")
      .set_text(IDC_INSERT_AFTER, "")
      .press(IDC_SHOW_SETTINGS_DIALOG)
      .press(IDC_LINE_NUMBERS)
      .press(IDC_NBSP_SPACES)
      .then("edit two rows",
            [&] {
              HWND tags = item(driver.dialog(), IDC_TAG_LIST);
              write_row_tags(tags, find_tag_row(tags, "定数"), TagPair{"<I>", "</I>"});
              write_row_tags(tags, find_tag_row(tags, "行全体"), TagPair{"", "<BR>"});
            })
      .press(IDOK)
      .wait_for_close();
  EXPECT_TRUE(show(driver));
  const Settings& s = param_.settings;
  EXPECT_STREQ(s.extension, ".html");
  EXPECT_STREQ(s.vocabulary_file, "C:\\v.txt");
  EXPECT_STREQ(s.style.insert_before, " C:\\head.htm ");
  EXPECT_STREQ(s.style.insert_after, "");
  EXPECT_FALSE(s.show_settings_dialog);
  EXPECT_TRUE(s.style.line_numbers);
  EXPECT_TRUE(s.style.nbsp_spaces);
  EXPECT_FALSE(s.style.expand_tabs);
  EXPECT_EQ(s.style.tab_width, 4);
  EXPECT_EQ(s.style.constant.open, "<I>");
  EXPECT_EQ(s.style.constant.close, "</I>");
  EXPECT_EQ(s.style.char_constant.open, "<FONT COLOR=\"#FF0000\">");  // the neighbouring row is its own
  EXPECT_EQ(s.style.line.close, "<BR>");
  EXPECT_EQ(param_.files, (Texts{"C:\\z.cpp"}));

  EXPECT_EQ(history(kExtensionHistory), (Texts{".html", ".txt"}));
  EXPECT_EQ(history(kVocabularyFileHistory), (Texts{"C:\\v.txt"}));
  EXPECT_EQ(history(kInsertBeforeHistory), (Texts{" C:\\head.htm "}));
  EXPECT_EQ(history(kInsertAfterHistory), (Texts{""}));
  // Recorded in this order, each at once; the placement last, at WM_DESTROY.
  EXPECT_EQ(sections(file_.contents()), (Texts{"履歴：拡張子", "履歴：語彙の指定", "履歴：先頭に挿入",
                                                "履歴：末尾に挿入", "設定ダイアログ"}));
}

TEST_F(SettingsDialog, LongPathsAreCutWithoutSplittingACharacter) {
  DialogDriver driver;
  driver.wait_for_dialog()
      .set_text(IDC_VOCABULARY_FILE, std::string(300, 'v'))
      .set_text(IDC_INSERT_BEFORE, std::string(259, 'b') + "表")  // its second byte would be byte 261
      .press(IDOK);
  EXPECT_TRUE(show(driver));
  EXPECT_EQ(std::string(param_.settings.vocabulary_file), std::string(260, 'v'));
  EXPECT_EQ(std::string(param_.settings.style.insert_before), std::string(259, 'b'));
  EXPECT_EQ(history(kVocabularyFileHistory), (Texts{std::string(260, 'v')}));
}

TEST_F(SettingsDialog, CancelAfterEditsChangesNothingButThePlacement) {
  const std::string dropped = make_file("dropped.cpp");
  param_.files = {"C:\\kept.cpp", "C:\\also.cpp"};
  const std::string before = describe(param_);
  for (bool by_key : {false, true}) {
    SCOPED_TRACE(by_key ? "Escape" : "Cancel button");
    DeleteFileA(file_.path().c_str());
    DialogDriver driver;
    driver.wait_for_dialog()
        .set_text(IDC_EXTENSION, ".x")
        .set_text(IDC_VOCABULARY_FILE, "C:\\w.txt")
        .set_text(IDC_INSERT_BEFORE, "C:\\t")
        .set_text(IDC_INSERT_AFTER, "C:\\b")
        .set_text(IDC_TAB_WIDTH, "9")
        .press(IDC_EXPAND_TABS)
        .press(IDC_LINE_NUMBERS)
        .press(IDC_SHOW_SETTINGS_DIALOG)
        .then("edit a row and the file list",
              [&] {
                HWND d = driver.dialog();
                write_row_tags(item(d, IDC_TAG_LIST), 0, TagPair{"<X>", "</X>"});
                SendMessageA(item(d, IDC_FILE_LIST), LB_SETCURSEL, 0, 0);
                SendMessageA(d, WM_COMMAND, IDM_DELETE_FILE, 0);
                SendMessageA(item(d, IDC_FILE_LIST), WM_DROPFILES, reinterpret_cast<WPARAM>(make_drop({dropped})), 0);
                EXPECT_EQ(file_entries(d), (Texts{"C:\\kept.cpp", dropped}));
              });
    if (by_key) driver.then("focus the list", [&] { SetFocus(item(driver.dialog(), IDC_FILE_LIST)); }).key(VK_ESCAPE);
    else driver.press(IDCANCEL);
    driver.wait_for_close();
    EXPECT_FALSE(show(driver));
    EXPECT_EQ(describe(param_), before);
    // No history, only the window state.
    EXPECT_EQ(sections(file_.contents()), (Texts{"設定ダイアログ"}));
    const std::string contents = file_.contents();
    std::size_t at = 0;
    for (const char* key : {"常に最前面に表示=0", "最大化=0", "高さ=", "幅="}) {
      const std::size_t found = contents.find(key, at);
      EXPECT_NE(found, std::string::npos) << key;
      at = found;
    }
  }
}

TEST_F(SettingsDialog, OkWithAnEmptyListLeavesNoFiles) {
  param_.files = {"C:\\only.cpp"};
  DialogDriver driver;
  driver.wait_for_dialog()
      .then("delete the entry",
            [&] {
              SendMessageA(item(driver.dialog(), IDC_FILE_LIST), LB_SETCURSEL, 0, 0);
              SendMessageA(driver.dialog(), WM_COMMAND, IDM_DELETE_FILE, 0);
            })
      .press(IDOK);
  EXPECT_TRUE(show(driver));
  EXPECT_TRUE(param_.files.empty());
}

TEST_F(SettingsDialog, TabWidthIsKeptInsideTheSpinRange) {
  struct Case {
    const char* typed;
    bool expand;
    int stored;
  } const cases[] = {
      {"0", true, 1}, {"", true, 1}, {"300", true, 255}, {"8", true, 8}, {"255", true, 255}, {"1", true, 1},
      {"12", false, 12},  // a disabled field still counts
      // Beyond what an unsigned int holds: the most, not wrapped, not none.
      {"99999999999", true, 255}, {"4294967297", true, 255}, {"4294967295", true, 255},
      {"000000000000000000007", true, 7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    param_.settings.style.tab_width = 4;
    param_.settings.style.expand_tabs = true;
    DialogDriver driver;
    driver.wait_for_dialog().set_text(IDC_TAB_WIDTH, c.typed);
    if (!c.expand) driver.press(IDC_EXPAND_TABS);
    driver.press(IDOK);
    EXPECT_TRUE(show(driver));
    EXPECT_EQ(param_.settings.style.tab_width, c.stored);
    EXPECT_EQ(param_.settings.style.expand_tabs, c.expand);
  }
}

// --- The file list

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
              PostMessageA(list, WM_DROPFILES,
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
      if (c.key == 0) SendMessageA(driver.dialog(), WM_COMMAND, IDM_DELETE_FILE, 0);
      else SendMessageA(list, WM_KEYDOWN, c.key, 1);
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

// --- The tag list

// A double click as the list view sees it, at a point of its client area.
void double_click(HWND list, POINT at) {
  const LPARAM where = MAKELPARAM(at.x, at.y);
  SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, where);
  SendMessageA(list, WM_LBUTTONUP, 0, where);
  PostMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, where);
  PostMessageA(list, WM_LBUTTONUP, 0, where);
}

POINT row_point(HWND list, int row) {
  RECT rect{};
  rect.left = LVIR_LABEL;
  SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rect));
  return POINT{rect.left + 3, (rect.top + rect.bottom) / 2};
}

TEST_F(SettingsDialog, DoubleClickBelowTheRowsOpensNothing) {
  DialogDriver driver;
  int selected_after = 0;
  driver.wait_for_dialog()
      .then("double-click below the last row",
            [&] {
              HWND list = item(driver.dialog(), IDC_TAG_LIST);
              // Rows are found by name, so a few can go to make room below.
              for (int row = 7; row >= 4; --row) SendMessageA(list, LVM_DELETEITEM, static_cast<WPARAM>(row), 0);
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

// --- Releasing what the dialogs hold

// Shown and closed, with the tag dialog opened from it and its file list
// (a drag list box) used: when each window is torn down it holds none of
// the properties the code set and the file list its own procedure again;
// the icons are destroyed; and, where the platform counts them, the
// process holds no more GDI and USER objects than before.
TEST_F(SettingsDialog, ClosingReleasesPropertiesSubclassIconsAndGuiObjects) {
  const std::string dropped = make_file("dropped.cpp");
  // What the two dialogs set on themselves.
  const Texts ours = {kCustomBoxParamProperty,         kSettingsLayoutProperty,
                      kExtensionHistory.property,      kVocabularyFileHistory.property,
                      kInsertBeforeHistory.property,   kInsertAfterHistory.property,
                      kTagDialogProperty,              kOpenTagHistory.property,
                      kCloseTagHistory.property};
  auto show_once = [&](bool accept) {
    testing::TeardownWatch watch;
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
                held_while_open += testing::still_held(testing::named_properties(d), ours).size();
                file_list = item(d, IDC_FILE_LIST);
                EXPECT_EQ(GetWindowLongPtrA(file_list, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&drag_list_proc));
                SendMessageA(item(d, IDC_FILE_LIST), WM_DROPFILES, reinterpret_cast<WPARAM>(make_drop({dropped})), 0);
                HWND list = item(d, IDC_TAG_LIST);
                double_click(list, row_point(list, find_tag_row(list, "全体")));
              })
        .wait_for_dialog()
        .then("note the tag dialog's icons",
              [&] {
                for (WPARAM which : {ICON_BIG, ICON_SMALL}) {
                  icons.push_back(reinterpret_cast<HICON>(SendMessageA(driver.dialog(), WM_GETICON, which, 0)));
                }
                held_while_open += testing::still_held(testing::named_properties(driver.dialog()), ours).size();
              })
        .press(IDOK)
        .wait_for_close()
        .press(accept ? IDOK : IDCANCEL)
        .wait_for_close();
    EXPECT_EQ(show(driver), accept);
    EXPECT_EQ(held_while_open, ours.size()) << "the watched names are not the ones the dialogs set";
    const auto dialogs = watch.of_class("#32770");
    EXPECT_EQ(dialogs.size(), 2u);
    for (const auto& dialog : dialogs) EXPECT_EQ(testing::still_held(dialog.properties, ours), Texts{});
    bool file_list_seen = false;
    for (const auto& list : watch.of_class("ListBox")) {
      if (list.window != file_list) continue;
      file_list_seen = true;
      EXPECT_EQ(list.properties, Texts{}) << "the file list kept properties";
      EXPECT_NE(list.procedure, reinterpret_cast<LONG_PTR>(&drag_list_proc)) << "the file list is still subclassed";
    }
    EXPECT_TRUE(file_list_seen);
    ASSERT_EQ(icons.size(), 4u);
    for (HICON icon : icons) {
      EXPECT_NE(icon, nullptr);
      EXPECT_FALSE(testing::icon_alive(icon)) << "an icon outlived its dialog";
    }
    free_custom_box_param(param_);
    set_default_settings(param_.settings, "C:\\p\\prismet.top", "C:\\p\\prismet.btm");
  };
  // The first run may set up what the system keeps for the process (classes,
  // fonts, common controls); later runs must leave the counts as they were.
  show_once(false);
  testing::expect_gui_counts_kept(4, [&](int run) { show_once(run % 2 == 0); });
}

// --- Browsing for files

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
      {IDC_BROWSE_INSERT_BEFORE, IDC_INSERT_BEFORE, "挿入するファイルを選ぶ", {"HTML ﾌｧｲﾙ (htm; html)", "*.*"}, IDOK},
      {IDC_BROWSE_INSERT_AFTER, IDC_INSERT_AFTER, "挿入するファイルを選ぶ", {"HTML ﾌｧｲﾙ (htm; html)", "*.*"},
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

// --- Size, placement and topmost state

TEST_F(SettingsDialog, ResizingMovesTheRightColumnAndGrowsTheLists) {
  struct Change {
    int id;
    int move;  // moved right by dx
    int wide;  // widened by dx
    int tall;  // made taller by dy
  } const changes[] = {
      {IDOK, 1, 0, 0},          {IDCANCEL, 1, 0, 0},          {IDC_EXTENSION_LABEL, 1, 0, 0},
      {IDC_EXTENSION, 1, 0, 0}, {IDC_EXPAND_TABS, 1, 0, 0},    {IDC_TAB_WIDTH, 1, 0, 0},
      {IDC_TAB_WIDTH_SPIN, 1, 0, 0}, {IDC_NBSP_SPACES, 1, 0, 0}, {IDC_LINE_NUMBERS, 1, 0, 0},
      {IDC_SHOW_SETTINGS_DIALOG, 1, 0, 0}, {IDC_BROWSE_VOCABULARY, 1, 0, 0}, {IDC_BROWSE_INSERT_BEFORE, 1, 0, 0},
      {IDC_BROWSE_INSERT_AFTER, 1, 0, 0}, {IDC_VOCABULARY_FILE, 0, 1, 0}, {IDC_INSERT_BEFORE, 0, 1, 0},
      {IDC_INSERT_AFTER, 0, 1, 0}, {IDC_TAG_LIST, 0, 1, 0},     {IDC_FILE_LIST, 0, 1, 1},
  };
  constexpr int dx = 60, dy = 40;
  std::vector<RECT> before, after, restored;
  SIZE created{};
  MINMAXINFO limits{};
  bool minimized = false;
  HWND dialog = nullptr;
  auto take = [&](std::vector<RECT>& rects) {
    rects.clear();
    for (const Change& c : changes) rects.push_back(control_rect(dialog, c.id));
  };
  DialogDriver driver;
  driver.wait_for_dialog()
      .then("grow the window",
            [&] {
              dialog = driver.dialog();
              take(before);
              RECT window{};
              GetWindowRect(dialog, &window);
              created = SIZE{window.right - window.left, window.bottom - window.top};
              SendMessageA(dialog, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
              SetWindowPos(dialog, nullptr, 0, 0, created.cx + dx, created.cy + dy, SWP_NOMOVE | SWP_NOZORDER);
              take(after);
              ShowWindow(dialog, SW_MINIMIZE);
              minimized = IsIconic(dialog) != FALSE;
              ShowWindow(dialog, SW_RESTORE);
              take(restored);
            })
      .press(IDCANCEL);
  EXPECT_FALSE(show(driver));
  EXPECT_EQ(limits.ptMinTrackSize.x, created.cx);
  EXPECT_EQ(limits.ptMinTrackSize.y, created.cy);
  EXPECT_TRUE(minimized);
  ASSERT_EQ(after.size(), std::size(changes));
  for (std::size_t i = 0; i < std::size(changes); ++i) {
    const Change& c = changes[i];
    SCOPED_TRACE("control " + std::to_string(c.id));
    EXPECT_EQ(after[i].left, before[i].left + c.move * dx);
    EXPECT_EQ(after[i].top, before[i].top);
    EXPECT_EQ(after[i].right, before[i].right + (c.move + c.wide) * dx);
    EXPECT_EQ(after[i].bottom, before[i].bottom + c.tall * dy);
    EXPECT_EQ(restored[i].left, after[i].left);
    EXPECT_EQ(restored[i].right, after[i].right);
    EXPECT_EQ(restored[i].bottom, after[i].bottom);
  }
  EXPECT_EQ(placement_value(kWidthKey), created.cx + dx);
  EXPECT_EQ(placement_value(kHeightKey), created.cy + dy);
}

TEST_F(SettingsDialog, StoredPlacementIsAppliedAndTheRestoredSizeStored) {
  // The size at creation, as a first run stores it.
  DialogDriver first;
  first.wait_for_dialog().press(IDCANCEL);
  EXPECT_FALSE(show(first));
  const int width = placement_value(kWidthKey);
  const int height = placement_value(kHeightKey);
  ASSERT_GT(width, 100);
  ASSERT_GT(height, 100);

  struct Case {
    const char* what;
    std::string stored;
    bool maximized, topmost;
    int width, height;  // the window's restored size while open
  } const cases[] = {
      {"larger", "幅=" + std::to_string(width + 30) + "\r\n高さ=" + std::to_string(height + 20) + "\r\n", false,
       false, width + 30, height + 20},
      {"topmost", "常に最前面に表示=1\r\n幅=" + std::to_string(width + 10) + "\r\n高さ=" + std::to_string(height + 10) + "\r\n",
       false, true, width + 10, height + 10},
      {"smaller than at creation", "幅=10\r\n高さ=-5\r\n", false, false, width, height},
      {"not numbers", "幅=wide\r\n高さ=\r\n最大化=yes\r\n", false, false, width, height},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    file_.write("[設定ダイアログ]\r\n" + c.stored);
    bool zoomed = false, topmost = false;
    RECT restored{};
    DialogDriver driver;
    driver.wait_for_dialog()
        .then("look at the window",
              [&] {
                HWND d = driver.dialog();
                zoomed = IsZoomed(d) != FALSE;
                topmost = (GetWindowLongA(d, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
                WINDOWPLACEMENT placement{};
                placement.length = sizeof placement;
                GetWindowPlacement(d, &placement);
                restored = placement.rcNormalPosition;
              })
        .press(IDCANCEL);
    EXPECT_FALSE(show(driver));
    EXPECT_EQ(zoomed, c.maximized);
    EXPECT_EQ(topmost, c.topmost);
    EXPECT_EQ(restored.right - restored.left, c.width);
    EXPECT_EQ(restored.bottom - restored.top, c.height);
    // Closed as it was: the restored size, not the screen's.
    EXPECT_EQ(placement_value(kWidthKey), c.width);
    EXPECT_EQ(placement_value(kHeightKey), c.height);
    EXPECT_EQ(placement_value(kMaximizedKey), c.maximized ? 1 : 0);
    EXPECT_EQ(placement_value(kTopmostKey), c.topmost ? 1 : 0);
  }
}

// This Wine makes a window topmost only before it is first shown (turning
// it back works at any time), so the dialog starts topmost from the stored
// flag and the toggle turns it off.
TEST_F(SettingsDialog, TopmostToggleAndItsCheckMark) {
  file_.write("[設定ダイアログ]\r\n常に最前面に表示=1\r\n");
  std::vector<std::pair<bool, bool>> seen;  // topmost, checked
  auto look = [&](HWND dialog) {
    SendMessageA(dialog, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(GetSystemMenu(dialog, FALSE)), MAKELPARAM(0, TRUE));
    const UINT state = GetMenuState(GetSystemMenu(dialog, FALSE), IDM_TOPMOST, MF_BYCOMMAND);
    seen.emplace_back((GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0, (state & MF_CHECKED) != 0);
  };
  DialogDriver driver;
  driver.wait_for_dialog()
      .then("toggle",
            [&] {
              HWND d = driver.dialog();
              look(d);
              SendMessageA(d, WM_SYSCOMMAND, IDM_TOPMOST, 0);
              look(d);
              // Other system commands are left to the dialog manager.
              SendMessageA(d, WM_SYSCOMMAND, SC_RESTORE, 0);
              look(d);
            })
      .press(IDCANCEL);
  EXPECT_FALSE(show(driver));
  EXPECT_EQ(seen, (std::vector<std::pair<bool, bool>>{{true, true}, {false, false}, {false, false}}));
  EXPECT_EQ(placement_value(kTopmostKey), 0);
}

// Whether a dialog of this thread was ever maximized.
bool maximized_seen = false;
LRESULT CALLBACK watch_for_maximize(int code, WPARAM wparam, LPARAM lparam) {
  const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lparam);
  if (code == HC_ACTION && call->message == WM_SIZE && call->wParam == SIZE_MAXIMIZED) maximized_seen = true;
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

TEST_F(SettingsDialog, OpensMaximizedAndStoresTheRestoredSize) {
  DialogDriver first;
  first.wait_for_dialog().press(IDCANCEL);
  EXPECT_FALSE(show(first));
  const int width = placement_value(kWidthKey) + 24;
  const int height = placement_value(kHeightKey) + 16;
  file_.write("[設定ダイアログ]\r\n最大化=1\r\n幅=" + std::to_string(width) + "\r\n高さ=" + std::to_string(height) +
              "\r\n");
  maximized_seen = false;
  HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROCRET, watch_for_maximize, nullptr, GetCurrentThreadId());
  bool zoomed = false;
  RECT window{};
  DialogDriver driver;
  driver.wait_for_dialog()
      .then("close it maximized",
            [&] {
              // This Wine's dialog manager shows a dialog with SW_SHOWNORMAL
              // at its first idle moment, which restores it again.
              ShowWindow(driver.dialog(), SW_MAXIMIZE);
              zoomed = IsZoomed(driver.dialog()) != FALSE;
              GetWindowRect(driver.dialog(), &window);
            })
      .press(IDCANCEL);
  EXPECT_FALSE(show(driver));
  UnhookWindowsHookEx(hook);
  EXPECT_TRUE(maximized_seen);
  EXPECT_TRUE(zoomed);
  EXPECT_NE(window.right - window.left, width);  // the screen's size
  EXPECT_EQ(placement_value(kMaximizedKey), 1);
  EXPECT_EQ(placement_value(kWidthKey), width);
  EXPECT_EQ(placement_value(kHeightKey), height);
}

// --- Start-up with the dialog

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
    const Texts names = sections(file_.contents());
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
  EXPECT_TRUE(driver.run([&] { exit_code = run_application(GetModuleHandleA(nullptr), 1, arguments, kPlatform); }));
  EXPECT_EQ(exit_code, 0);
  EXPECT_EQ(testing::read_file(folder_ + "\\dropped.htm"),
            "<PRE><FONT COLOR=\"#0000FF\">int</FONT> x;\r\n</PRE>");
}

}  // namespace
}  // namespace prismet

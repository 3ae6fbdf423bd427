// The settings dialog's OK and Cancel: what OK takes from the controls and
// records, and that Cancel changes nothing but the remembered window state.
#include <cstring>
#include <string>

#include "ui/settings_dialog_test_fixture.h"
#include "ui/tag_list.h"

namespace prismet::testing {
namespace {

// Every field of the record in one text, to see at a glance what changed.
std::string describe(const CustomBoxParam& param) {
  const Settings& s = param.settings;
  const OutputStyle& style = s.style;
  std::string text =
      std::string(s.vocabulary_file) + "|" + s.extension + "|" + style.insert_before + "|" +
      style.insert_after + "|show " + std::to_string(s.show_settings_dialog) + "|tab " +
      std::to_string(style.tab_width) + "|numbers " + std::to_string(style.line_numbers) + "|expand " +
      std::to_string(style.expand_tabs) + "|nbsp " + std::to_string(style.nbsp_spaces) + "|encoding " +
      std::to_string(static_cast<int>(s.encoding)) + "|from settings folder " +
      std::to_string(s.paths_from_settings_folder) + "|variables " + std::to_string(s.insert_file_variables);
  text += "|include links " + std::to_string(s.include_links) + "|include folders " + s.include_folders;
  text += "|cross-references " + std::to_string(s.cross_references);
  for (const TagRow& row : kTagRows) text += "|" + (style.*row.pair).open + "|" + (style.*row.pair).close;
  for (const std::string& file : param.files) text += "|file " + file;
  return text;
}

TEST_F(SettingsDialog, OkTakesEveryFieldAndRecordsTheHistoriesInOrder) {
  store_history(kExtensionHistory, {".txt"});
  param_.files = {"C:\\z.cpp"};
  // Keys the dialog does not show stay as they are.
  param_.settings.encoding = SourceEncoding::kAutomatic;
  param_.settings.paths_from_settings_folder = true;
  param_.settings.insert_file_variables = true;
  param_.settings.include_links = true;
  param_.settings.include_folders = "C:\\inc;lib";
  param_.settings.cross_references = true;
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
  EXPECT_EQ(s.encoding, SourceEncoding::kAutomatic);
  EXPECT_TRUE(s.paths_from_settings_folder);
  EXPECT_TRUE(s.insert_file_variables);
  EXPECT_TRUE(s.include_links);
  EXPECT_EQ(s.include_folders, "C:\\inc;lib");
  EXPECT_TRUE(s.cross_references);

  EXPECT_EQ(stored_history(kExtensionHistory), (Texts{".html", ".txt"}));
  EXPECT_EQ(stored_history(kVocabularyFileHistory), (Texts{"C:\\v.txt"}));
  EXPECT_EQ(stored_history(kInsertBeforeHistory), (Texts{" C:\\head.htm "}));
  EXPECT_EQ(stored_history(kInsertAfterHistory), (Texts{""}));
  // Recorded in this order, each at once; the placement last, at WM_DESTROY.
  EXPECT_EQ(section_names(file_.contents()), (Texts{"履歴：拡張子", "履歴：語彙の指定", "履歴：先頭に挿入",
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
  EXPECT_EQ(stored_history(kVocabularyFileHistory), (Texts{std::string(260, 'v')}));
}

TEST_F(SettingsDialog, CancelAfterEditsChangesNothingButThePlacement) {
  const std::string dropped = make_file("dropped.cpp");
  param_.files = {"C:\\kept.cpp", "C:\\also.cpp"};
  param_.settings.encoding = SourceEncoding::kUtf8;
  param_.settings.insert_file_variables = true;
  param_.settings.include_links = true;
  param_.settings.include_folders = "inc";
  param_.settings.cross_references = true;
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
        .then("edit a row and the file list", [&] {
          HWND d = driver.dialog();
          write_row_tags(item(d, IDC_TAG_LIST), 0, TagPair{"<X>", "</X>"});
          SendMessageA(item(d, IDC_FILE_LIST), LB_SETCURSEL, 0, 0);
          SendMessageA(d, WM_COMMAND, IDM_DELETE_FILE, 0);
          SendMessageA(item(d, IDC_FILE_LIST), WM_DROPFILES, reinterpret_cast<WPARAM>(make_drop({dropped})),
                       0);
          EXPECT_EQ(file_entries(d), (Texts{"C:\\kept.cpp", dropped}));
        });
    if (by_key)
      driver.then("focus the list", [&] { SetFocus(item(driver.dialog(), IDC_FILE_LIST)); }).key(VK_ESCAPE);
    else
      driver.press(IDCANCEL);
    driver.wait_for_close();
    EXPECT_FALSE(show(driver));
    EXPECT_EQ(describe(param_), before);
    // No history, only the window state.
    EXPECT_EQ(section_names(file_.contents()), (Texts{"設定ダイアログ"}));
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
      {"0", true, 1},
      {"", true, 1},
      {"300", true, 255},
      {"8", true, 8},
      {"255", true, 255},
      {"1", true, 1},
      {"12", false, 12},  // a disabled field still counts
      // Beyond what an unsigned int holds: the most, not wrapped, not none.
      {"99999999999", true, 255},
      {"4294967297", true, 255},
      {"4294967295", true, 255},
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

}  // namespace
}  // namespace prismet::testing

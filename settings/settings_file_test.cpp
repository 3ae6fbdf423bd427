#include "settings/settings_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/bounded_copy.h"
#include "common/file_system.h"
#include "common/path_text.h"
#include "settings/profile_values.h"
#include "tests/test_files.h"

namespace prismet {
namespace {

using testing::read_file;
using testing::scratch_path;
using testing::write_file;

void expect_same_style(const OutputStyle& a, const OutputStyle& b) {
  EXPECT_EQ(a.tab_width, b.tab_width);
  EXPECT_EQ(a.line_numbers, b.line_numbers);
  EXPECT_EQ(a.expand_tabs, b.expand_tabs);
  EXPECT_EQ(a.nbsp_spaces, b.nbsp_spaces);
  EXPECT_EQ(a.line_anchors, b.line_anchors);
  for (auto pair :
       {&OutputStyle::whole, &OutputStyle::comment, &OutputStyle::constant, &OutputStyle::char_constant,
        &OutputStyle::string_literal, &OutputStyle::keyword, &OutputStyle::line_number, &OutputStyle::line}) {
    EXPECT_EQ((a.*pair).open, (b.*pair).open);
    EXPECT_EQ((a.*pair).close, (b.*pair).close);
  }
  EXPECT_STREQ(a.insert_before, b.insert_before);
  EXPECT_STREQ(a.insert_after, b.insert_after);
}

void expect_same_settings(const Settings& a, const Settings& b) {
  EXPECT_STREQ(a.vocabulary_file, b.vocabulary_file);
  EXPECT_STREQ(a.extension, b.extension);
  EXPECT_EQ(a.show_settings_dialog, b.show_settings_dialog);
  EXPECT_EQ(a.encoding, b.encoding);
  EXPECT_EQ(a.paths_from_settings_folder, b.paths_from_settings_folder);
  EXPECT_EQ(a.insert_file_variables, b.insert_file_variables);
  expect_same_style(a.style, b.style);
}

// A default insert file: beside the settings file, named as it is.
std::string beside_settings_file(const char* extension) {
  char buffer[kPathCapacity];
  EXPECT_TRUE(settings_file_path(buffer));
  EXPECT_TRUE(replace_extension(buffer, sizeof buffer, extension));
  return buffer;
}

TEST(SettingsFile, ModulePathThatDoesNotFitIsEmpty) {
  char path[kPathCapacity];
  ASSERT_TRUE(module_path_with_extension(path, sizeof path, ".ini"));
  EXPECT_NE(std::string(path).find("settings_tests"), std::string::npos);
  char tiny[8];
  EXPECT_FALSE(module_path_with_extension(tiny, sizeof tiny, ".ini"));
  EXPECT_STREQ(tiny, "");
}

TEST(SettingsFile, NoFileGivesTheDefaults) {
  Settings loaded;
  load_settings_from(scratch_path("none.ini").c_str(), loaded, nullptr);
  Settings expected;
  set_default_settings(expected, beside_settings_file(".top").c_str(), beside_settings_file(".btm").c_str());
  expect_same_settings(loaded, expected);
  EXPECT_TRUE(loaded.show_settings_dialog);
  EXPECT_STREQ(loaded.extension, ".htm");
  EXPECT_EQ(loaded.style.comment.open, "<FONT COLOR=\"#008040\">");
}

TEST(SettingsFile, FirstSaveWritesEveryKeyInOrder) {
  const std::string file = scratch_path("first.ini");
  Settings settings;
  set_default_settings(settings, "/p/prismet.top", "/p/prismet.btm");
  save_settings_to(file.c_str(), settings, nullptr);
  EXPECT_EQ(read_file(file),
            "[prismet]\r\n"
            "ダイアログを表示=1\r\n"
            "拡張子=.htm\r\n"
            "語彙ファイル=\r\n"
            "タブ幅=4\r\n"
            "タブを空白に展開=0\r\n"
            "空白を &nbsp; に変換=0\r\n"
            "行番号を表示=0\r\n"
            "前に挿入=/p/prismet.top\r\n"
            "後に挿入=/p/prismet.btm\r\n"
            "<全体>=<PRE>\r\n"
            "</全体>=</PRE>\r\n"
            "<ｺﾒﾝﾄ>=<FONT COLOR=\"#008040\">\r\n"
            "</ｺﾒﾝﾄ>=</FONT>\r\n"
            "<ｷｰﾜｰﾄﾞ>=<FONT COLOR=\"#0000FF\">\r\n"
            "</ｷｰﾜｰﾄﾞ>=</FONT>\r\n"
            "<文字列>=<FONT COLOR=\"#FF0000\">\r\n"
            "</文字列>=</FONT>\r\n"
            "<文字定数>=<FONT COLOR=\"#FF0000\">\r\n"
            "</文字定数>=</FONT>\r\n"
            "<定数>=<FONT COLOR=\"#FF0000\">\r\n"
            "</定数>=</FONT>\r\n"
            "<行番号>=\r\n"
            "</行番号>=\r\n"
            "<行>=\r\n"
            "</行>=\r\n");
  Settings loaded;
  load_settings_from(file.c_str(), loaded, "");
  expect_same_settings(loaded, settings);
}

TEST(SettingsFile, ModeSectionsAreSeparate) {
  const std::string file = scratch_path("modes.ini");
  Settings web;
  set_default_settings(web, "/w.top", "/w.btm");
  web.show_settings_dialog = false;
  std::memcpy(web.extension, ".html", 6);
  web.style.tab_width = 8;
  web.style.keyword.open = "<B>";
  save_settings_to(file.c_str(), web, "web");
  const std::string bytes = read_file(file);
  const std::string head = "[prismet]\r\nダイアログを表示=0\r\n[web]\r\n拡張子=.html\r\n";
  EXPECT_EQ(bytes.substr(0, head.size()), head);

  Settings plain;
  load_settings_from(file.c_str(), plain, nullptr);
  EXPECT_FALSE(plain.show_settings_dialog) << "the flag is shared by all modes";
  EXPECT_STREQ(plain.extension, ".htm");
  EXPECT_EQ(plain.style.tab_width, 4);
  EXPECT_EQ(plain.style.keyword.open, "<FONT COLOR=\"#0000FF\">");

  Settings again;
  load_settings_from(file.c_str(), again, "WEB");
  expect_same_settings(again, web);
}

TEST(SettingsFile, StoredValuesLoadAsTheEncodingsSay) {
  struct Case {
    const char* stored;  // the lines of the mode section
    int tab_width;
    bool line_numbers;
  };
  const Case cases[] = {
      {"タブ幅=-3", 0, false},       {"タブ幅=0", 0, false},      {"タブ幅=12", 12, false},
      {"タブ幅=1000", 1000, false},  {"タブ幅=", 4, false},       {"タブ幅=abc", 4, false},
      {"タブ幅=4 spaces", 4, false}, {"行番号を表示=2", 4, true}, {"行番号を表示=x", 4, false},
  };
  for (const Case& c : cases) {
    const std::string file = scratch_path("stored.ini");
    write_file(file, std::string("[prismet]\r\n") + c.stored + "\r\n");
    Settings settings;
    load_settings_from(file.c_str(), settings, nullptr);
    EXPECT_EQ(settings.style.tab_width, c.tab_width) << c.stored;
    EXPECT_EQ(settings.style.line_numbers, c.line_numbers) << c.stored;
  }
}

TEST(SettingsFile, TrueFlagIsWrittenBackAsOne) {
  const std::string file = scratch_path("flag.ini");
  write_file(file, "[prismet]\r\n行番号を表示=2\r\n");
  Settings settings;
  load_settings_from(file.c_str(), settings, nullptr);
  save_settings_to(file.c_str(), settings, nullptr);
  EXPECT_NE(read_file(file).find("行番号を表示=1\r\n"), std::string::npos);
}

TEST(SettingsFile, TagsAndPathsLoseOuterBlanksAndQuotes) {
  const std::string file = scratch_path("tags.ini");
  Settings settings;
  set_default_settings(settings, "  /spaced.top  ", "/x.btm");
  settings.style.keyword.open = " <B> ";
  settings.style.keyword.close = "\"</B>\"";
  settings.style.line.open = "";
  save_settings_to(file.c_str(), settings, nullptr);
  Settings loaded;
  load_settings_from(file.c_str(), loaded, nullptr);
  EXPECT_EQ(loaded.style.keyword.open, "<B>");
  EXPECT_EQ(loaded.style.keyword.close, "</B>");
  EXPECT_EQ(loaded.style.line.open, "");
  EXPECT_STREQ(loaded.style.insert_before, "/spaced.top");
}

// Paths and the extension are cut to what a path buffer holds (260 bytes on
// Windows, the system's path limit on Linux), tags to the tag limit.
TEST(SettingsFile, LongTextsAreCutToTheirBuffers) {
  const std::string file = scratch_path("long.ini");
  write_file(file, "[prismet]\r\n拡張子=" + std::string(kPathCapacity + 140, 'e') + "\r\n前に挿入=" +
                       std::string(kPathCapacity + 40, 'p') + "\r\n<行>=" + std::string(40000, 't') + "\r\n");
  Settings settings;
  load_settings_from(file.c_str(), settings, nullptr);
  EXPECT_EQ(std::string(settings.extension), std::string(kPathCapacity - 1, 'e'));
  EXPECT_EQ(std::string(settings.style.insert_before), std::string(kPathCapacity - 1, 'p'));
  EXPECT_EQ(settings.style.line.open.size(), kMaxTagLength);
}

TEST(SettingsFile, StoredInsertPathsWinOverTheProgramsPlace) {
  const std::string file = scratch_path("moved.ini");
  write_file(file, "[prismet]\r\n前に挿入=/old/place/prismet.top\r\n");
  Settings settings;
  load_settings_from(file.c_str(), settings, nullptr);
  EXPECT_STREQ(settings.style.insert_before, "/old/place/prismet.top");
  EXPECT_EQ(std::string(settings.style.insert_after), beside_settings_file(".btm"));
}

// A path of exactly the buffer's text length is kept whole; one byte more
// is cut to it.
TEST(SettingsFile, PathsAtTheBufferEdge) {
  const std::string file = scratch_path("edge.ini");
  const std::string fits(kPathCapacity - 1, 'f');
  write_file(file, "[prismet]\r\n前に挿入=" + fits + "\r\n後に挿入=" + fits + "g\r\n");
  Settings settings;
  load_settings_from(file.c_str(), settings, nullptr);
  EXPECT_EQ(std::string(settings.style.insert_before), fits);
  EXPECT_EQ(std::string(settings.style.insert_after), fits);
}

TEST(SettingsFile, ModeNamesThatCannotBeSections) {
  struct Case {
    const char* mode;
    bool valid;
  };
  const Case cases[] = {
      {nullptr, true},    {"", true},         {"web", true},      {"a]b", true},  {"[x", true},
      {" spaced ", true}, {"\x82\xa0", true}, {"a\nb", false},    {"a\r", false}, {"\nweb", false},
      {" ", false},       {"\t\x1a ", false}, {"\x82\nb", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(is_valid_mode_name(c.mode), c.valid) << (c.mode != nullptr ? c.mode : "(null)");
  }
}

// Whatever mode name is taken, what is saved under it loads again, and
// saving again leaves the file as it was.
TEST(SettingsFile, EveryValidModeReadsBack) {
  for (const char* mode : {"a]b", "[x", " spaced ", "\x82\xa0", "\x82", "Web"}) {
    const std::string file = scratch_path("valid-mode.ini");
    delete_file(file.c_str());
    Settings settings;
    set_default_settings(settings, "/t", "/b");
    settings.style.tab_width = 9;
    EXPECT_TRUE(save_settings_to(file.c_str(), settings, mode));
    const std::string first = read_file(file);
    Settings loaded;
    load_settings_from(file.c_str(), loaded, mode);
    EXPECT_EQ(loaded.style.tab_width, 9) << mode;
    EXPECT_TRUE(save_settings_to(file.c_str(), loaded, mode));
    EXPECT_EQ(read_file(file), first) << mode;
  }
}

// The keys added after the first ones: what a stored value means, and what a
// save writes for it. A key at its default is not written, so a file that
// never had it stays as it was, and one that has it keeps its line.
TEST(SettingsFile, AddedKeysLoadAndSaveOnlyWhenSet) {
  struct Case {
    const char* stored;  // lines of the mode section
    SourceEncoding encoding;
    bool from_settings_folder;
    bool variables;
    const char* saved_tail;  // what the save writes behind "</行>="
  };
  const Case cases[] = {
      {"", SourceEncoding::kShiftJis, false, false, ""},
      {"文字コード=Shift_JIS", SourceEncoding::kShiftJis, false, false, "文字コード=Shift_JIS\r\n"},
      {"文字コード=sjis", SourceEncoding::kShiftJis, false, false, "文字コード=sjis\r\n"},
      {"文字コード=UTF-8", SourceEncoding::kUtf8, false, false, "文字コード=UTF-8\r\n"},
      {"文字コード=utf8", SourceEncoding::kUtf8, false, false, "文字コード=UTF-8\r\n"},
      {"文字コード=自動", SourceEncoding::kAutomatic, false, false, "文字コード=自動\r\n"},
      {"文字コード=AUTO", SourceEncoding::kAutomatic, false, false, "文字コード=自動\r\n"},
      {"文字コード=EUC-JP", SourceEncoding::kShiftJis, false, false, "文字コード=EUC-JP\r\n"},
      {"相対パスの基準=設定ファイル", SourceEncoding::kShiftJis, true, false,
       "相対パスの基準=設定ファイル\r\n"},
      {"相対パスの基準=現在のフォルダー", SourceEncoding::kShiftJis, false, false,
       "相対パスの基準=現在のフォルダー\r\n"},
      {"挿入ファイルの変数=1", SourceEncoding::kShiftJis, false, true, "挿入ファイルの変数=1\r\n"},
      {"挿入ファイルの変数=0", SourceEncoding::kShiftJis, false, false, "挿入ファイルの変数=0\r\n"},
      {"挿入ファイルの変数=7", SourceEncoding::kShiftJis, false, true, "挿入ファイルの変数=1\r\n"},
      {"行のアンカー=1", SourceEncoding::kShiftJis, false, false, "行のアンカー=1\r\n"},
      {"行のアンカー=0", SourceEncoding::kShiftJis, false, false, "行のアンカー=0\r\n"},
  };
  for (const Case& c : cases) {
    const std::string file = scratch_path("added.ini");
    delete_file(file.c_str());
    write_file(file, std::string("[prismet]\r\n") + c.stored + "\r\n");
    Settings settings;
    load_settings_from(file.c_str(), settings, nullptr);
    EXPECT_EQ(settings.encoding, c.encoding) << c.stored;
    EXPECT_EQ(settings.paths_from_settings_folder, c.from_settings_folder) << c.stored;
    EXPECT_EQ(settings.insert_file_variables, c.variables) << c.stored;
    ASSERT_TRUE(save_settings_to(file.c_str(), settings, nullptr));
    const std::string saved = read_file(file);
    const std::string last_key = "</行>=\r\n";
    const std::size_t at = saved.find(last_key);
    ASSERT_NE(at, std::string::npos);
    // A stored line stays where it stood, before the keys the save adds.
    std::string expected_tail = c.saved_tail;
    if (c.stored[0] != '\0') {
      EXPECT_EQ(saved.substr(std::strlen("[prismet]\r\n"), expected_tail.size()), expected_tail) << c.stored;
      expected_tail = "";
    }
    EXPECT_EQ(saved.substr(at + last_key.size()), expected_tail) << c.stored;
  }
}

// Set in the record, the added keys are written behind the others, in this
// order, and read back.
TEST(SettingsFile, AddedKeysAreWrittenBehindTheOthers) {
  const std::string file = scratch_path("added-order.ini");
  delete_file(file.c_str());
  Settings settings;
  set_default_settings(settings, "/t", "/b");
  settings.encoding = SourceEncoding::kAutomatic;
  settings.paths_from_settings_folder = true;
  settings.insert_file_variables = true;
  settings.style.line_anchors = true;
  settings.source_extensions = ".cpp .h";
  copy_string_bounded(settings.output_folder, "site");
  settings.jobs = 3;
  ASSERT_TRUE(save_settings_to(file.c_str(), settings, "html5"));
  const std::string saved = read_file(file);
  const std::string tail =
      "</"
      "行>=\r\n文字コード=自動\r\n相対パスの基準=設定ファイル\r\n挿入ファイルの変数=1\r\n行のアンカー=1\r\n"
      "ソースの拡張子=.cpp .h\r\n出力フォルダ=site\r\n同時変換数=3\r\n";
  ASSERT_GE(saved.size(), tail.size());
  EXPECT_EQ(saved.substr(saved.size() - tail.size()), tail);
  Settings loaded;
  load_settings_from(file.c_str(), loaded, "html5");
  EXPECT_EQ(loaded.encoding, SourceEncoding::kAutomatic);
  EXPECT_TRUE(loaded.paths_from_settings_folder);
  EXPECT_TRUE(loaded.insert_file_variables);
  EXPECT_TRUE(loaded.style.line_anchors);
  EXPECT_EQ(loaded.source_extensions, ".cpp .h");
  EXPECT_STREQ(loaded.output_folder, "site");
  EXPECT_EQ(loaded.jobs, 3);
}

// The tree keys at their defaults are not written; stored ones keep their
// lines; a worker count out of range is held within it.
TEST(SettingsFile, TreeKeysLoadAndSaveOnlyWhenSet) {
  const struct {
    const char* stored;
    const char* extensions;
    const char* output;
    int jobs;
  } cases[] = {
      {"", kDefaultSourceExtensions, "", 0},
      {"ソースの拡張子=.c .h\r\n", ".c .h", "", 0},
      {"出力フォルダ=/srv/www\r\n", kDefaultSourceExtensions, "/srv/www", 0},
      {"同時変換数=4\r\n", kDefaultSourceExtensions, "", 4},
      {"同時変換数=-4\r\n", kDefaultSourceExtensions, "", 0},
      {"同時変換数=99999\r\n", kDefaultSourceExtensions, "", 256},
  };
  for (const auto& c : cases) {
    const std::string file = scratch_path("tree-keys.ini");
    delete_file(file.c_str());
    write_file(file, std::string("[prismet]\r\n") + c.stored);
    Settings settings;
    load_settings_from(file.c_str(), settings, nullptr);
    EXPECT_EQ(settings.source_extensions, c.extensions) << c.stored;
    EXPECT_STREQ(settings.output_folder, c.output) << c.stored;
    EXPECT_EQ(settings.jobs, c.jobs) << c.stored;
    ASSERT_TRUE(save_settings_to(file.c_str(), settings, nullptr));
    const std::string saved = read_file(file);
    EXPECT_EQ(saved.find("ソースの拡張子") != std::string::npos,
              c.extensions != std::string(kDefaultSourceExtensions));
    EXPECT_EQ(saved.find("出力フォルダ") != std::string::npos, c.output[0] != '\0');
    EXPECT_EQ(saved.find("同時変換数") != std::string::npos, std::strstr(c.stored, "同時変換数") != nullptr);
  }
}

// The include keys at their defaults are not written; stored ones keep their
// values.
TEST(SettingsFile, IncludeKeysLoadAndSaveOnlyWhenSet) {
  const struct {
    const char* stored;
    bool links;
    const char* folders;
  } cases[] = {
      {"", false, ""},
      {"インクルードのリンク=1\r\n", true, ""},
      {"インクルードのリンク=0\r\n", false, ""},
      {"インクルードフォルダ=include;../lib/include\r\n", false, "include;../lib/include"},
      {"インクルードのリンク=1\r\nインクルードフォルダ=/usr/include\r\n", true, "/usr/include"},
  };
  for (const auto& c : cases) {
    const std::string file = scratch_path("include-keys.ini");
    delete_file(file.c_str());
    write_file(file, std::string("[prismet]\r\n") + c.stored);
    Settings settings;
    load_settings_from(file.c_str(), settings, nullptr);
    EXPECT_EQ(settings.include_links, c.links) << c.stored;
    EXPECT_EQ(settings.include_folders, c.folders) << c.stored;
    ASSERT_TRUE(save_settings_to(file.c_str(), settings, nullptr));
    const std::string saved = read_file(file);
    // A stored line keeps its place, set or not.
    EXPECT_EQ(saved.find("インクルードのリンク") != std::string::npos,
              std::strstr(c.stored, "インクルードのリンク") != nullptr);
    EXPECT_EQ(saved.find("インクルードフォルダ") != std::string::npos, c.folders[0] != '\0') << saved;
  }
}

// The cross-references key is written only when on; a stored line keeps its
// place either way, and a value that is no number reads as off.
TEST(SettingsFile, CrossReferencesKeyLoadsAndSavesOnlyWhenSet) {
  const struct {
    const char* stored;
    bool on;
    bool written;
  } cases[] = {
      {"", false, false},
      {"相互参照=1\r\n", true, true},
      {"相互参照=0\r\n", false, true},
      {"相互参照=yes\r\n", false, true},
      {"cross-references=1\r\n", false, false},  // the English name is no key of the file
  };
  for (const auto& c : cases) {
    const std::string file = scratch_path("cross-references.ini");
    delete_file(file.c_str());
    write_file(file, std::string("[prismet]\r\n") + c.stored);
    Settings settings;
    load_settings_from(file.c_str(), settings, nullptr);
    EXPECT_EQ(settings.cross_references, c.on) << c.stored;
    ASSERT_TRUE(save_settings_to(file.c_str(), settings, nullptr));
    const std::string saved = read_file(file);
    EXPECT_EQ(saved.find("相互参照") != std::string::npos, c.written) << saved;
    if (c.on) {
      EXPECT_NE(saved.find("相互参照=1\r\n"), std::string::npos) << saved;
    }
  }
  Settings set;
  set.cross_references = true;
  const std::string file = scratch_path("cross-references-new.ini");
  delete_file(file.c_str());
  ASSERT_TRUE(save_settings_to(file.c_str(), set, nullptr));
  EXPECT_NE(read_file(file).find("相互参照=1\r\n"), std::string::npos);
}

TEST(SettingsFile, IncludeFolderListSplitsAtSemicolons) {
  const struct {
    const char* value;
    std::vector<std::string> folders;
  } cases[] = {
      {"", {}},
      {";;", {}},
      {"inc", {"inc"}},
      {" inc ; ../lib/include;", {"inc", "../lib/include"}},
      {"C:\\My Headers;\t/usr/include\t", {"C:\\My Headers", "/usr/include"}},
  };
  for (const auto& c : cases) EXPECT_EQ(include_folder_list(c.value), c.folders) << c.value;
}

// With the settings folder as the base, relative paths are taken from it;
// absolute and empty ones are kept, and one that would not fit is emptied.
TEST(SettingsFile, RelativePathsFromTheSettingsFolder) {
  const std::string sep(1, kPathSeparator);
  Settings settings;
  set_default_settings(settings, "html5.top", "/abs/x.btm");
  std::memcpy(settings.vocabulary_file, "voc/c.voc", 10);
  std::memcpy(settings.output_folder, "site", 5);
  settings.include_folders = "inc; /usr/include;" + std::string(kPathCapacity, 'n') + ";../lib";
  Settings untouched = settings;
  resolve_relative_paths(untouched, "/cfg/prismet/prismet.ini");
  EXPECT_STREQ(untouched.style.insert_before, "html5.top") << "the current folder stays the base";
  EXPECT_STREQ(untouched.output_folder, "site");

  settings.paths_from_settings_folder = true;
  resolve_relative_paths(settings, "/cfg/prismet/prismet.ini");
  EXPECT_EQ(std::string(settings.style.insert_before), "/cfg/prismet" + sep + "html5.top");
  EXPECT_EQ(std::string(settings.vocabulary_file), "/cfg/prismet" + sep + "voc/c.voc");
  EXPECT_STREQ(settings.style.insert_after, "/abs/x.btm");
  EXPECT_EQ(std::string(settings.output_folder), "/cfg/prismet" + sep + "site");
  EXPECT_EQ(settings.include_folders, "/cfg/prismet" + sep + "inc;/usr/include;/cfg/prismet" + sep + "../lib")
      << "a folder too long for a path is left out";
  EXPECT_EQ(untouched.include_folders, "inc; /usr/include;" + std::string(kPathCapacity, 'n') + ";../lib");

  Settings empty;
  set_default_settings(empty, "", "");
  empty.paths_from_settings_folder = true;
  resolve_relative_paths(empty, "/cfg/prismet.ini");
  EXPECT_STREQ(empty.style.insert_before, "");
  EXPECT_STREQ(empty.vocabulary_file, "");

  Settings long_one;
  const std::string name(kPathCapacity - 5, 'n');
  set_default_settings(long_one, name.c_str(), "a.btm");
  long_one.paths_from_settings_folder = true;
  resolve_relative_paths(long_one, "/cfg/prismet.ini");
  EXPECT_STREQ(long_one.style.insert_before, "") << "no file of the current folder in its place";
  EXPECT_EQ(std::string(long_one.style.insert_after), "/cfg" + sep + "a.btm");
}

// The keys of files without an extension: absent, they are empty and off
// and never written; stored, they are read and written back behind the
// others, in this order.
TEST(SettingsFile, ExtensionlessKeysLoadAndSaveOnlyWhenSet) {
  const struct {
    const char* stored;
    const char* patterns;
    bool mode_line;
    const char* saved_tail;
  } cases[] = {
      {"", "", false, ""},
      {"C++のモード行=1\r\n", "", true, "C++のモード行=1\r\n"},
      {"c++のモード行=yes\r\n", "", false, ""},  // a yes/no key reads digits only
      {"C++のモード行=0\r\n", "", false, ""},
      {"拡張子のないソース=vector  Q*\r\n", "vector  Q*", false, "拡張子のないソース=vector  Q*\r\n"},
      {"C++のモード行=1\r\n拡張子のないソース=*\r\n", "*", true,
       "拡張子のないソース=*\r\nC++のモード行=1\r\n"},
  };
  for (const auto& c : cases) {
    const std::string file = scratch_path("extensionless-keys.ini");
    delete_file(file.c_str());
    Settings settings;
    load_settings_from(file.c_str(), settings, nullptr);
    EXPECT_EQ(settings.extensionless_sources, "");
    EXPECT_FALSE(settings.cpp_mode_line);
    write_file(file, std::string("[prismet]\r\n") + c.stored);
    load_settings_from(file.c_str(), settings, nullptr);
    EXPECT_EQ(settings.extensionless_sources, c.patterns) << c.stored;
    EXPECT_EQ(settings.cpp_mode_line, c.mode_line) << c.stored;
    delete_file(file.c_str());
    ASSERT_TRUE(save_settings_to(file.c_str(), settings, nullptr));
    const std::string saved = read_file(file);
    const std::string last_key = "</行>=\r\n";
    ASSERT_NE(saved.find(last_key), std::string::npos);
    EXPECT_EQ(saved.substr(saved.find(last_key) + last_key.size()), c.saved_tail) << c.stored;
  }
}

}  // namespace
}  // namespace prismet

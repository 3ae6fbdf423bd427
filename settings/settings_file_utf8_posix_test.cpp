// The Linux program's settings file saved in UTF-8 by an editor: read as
// UTF-8 and written back in UTF-8, never mixed with code page 932. (Read as
// code page 932, such a file lost every setting without a word, and a save
// appended a code page 932 copy of every key to it.)
#include <gtest/gtest.h>

#include <string>

#include "settings/profile.h"
#include "settings/settings_file.h"
#include "tests/test_files.h"

namespace prismet {
namespace {

using testing::read_file;
using testing::scratch_path;
using testing::write_file;

std::string u8(std::u8string_view text) { return std::string(text.begin(), text.end()); }

// Every key a save writes, with values other than the built-in ones.
const std::u8string_view kWholeFile =
    u8"[prismet]\r\nダイアログを表示=0\r\n[html]\r\n拡張子=.html\r\n語彙ファイル=\r\nタブ幅=8\r\n"
    u8"タブを空白に展開=1\r\n空白を &nbsp; に変換=0\r\n行番号を表示=1\r\n前に挿入=前.txt\r\n後に挿入=\r\n"
    u8"<全体>=<pre class=\"ソース\">\r\n</全体>=</pre>\r\n<ｺﾒﾝﾄ>=<i>\r\n</ｺﾒﾝﾄ>=</i>\r\n"
    u8"<ｷｰﾜｰﾄﾞ>=<b>\r\n</ｷｰﾜｰﾄﾞ>=</b>\r\n<文字列>=<s>\r\n</文字列>=</s>\r\n<文字定数>=<c>\r\n"
    u8"</文字定数>=</c>\r\n<定数>=<n>\r\n</定数>=</n>\r\n<行番号>=\r\n</行番号>=\r\n<行>=\r\n</行>=\r\n"
    u8"未来のキー=そのまま\r\n";

TEST(SettingsFileUtf8, ReadAsUtf8AndWrittenBackByteForByte) {
  for (const bool mark : {false, true}) {
    const std::string file = scratch_path("utf8.ini");
    const std::string bytes = (mark ? "\xEF\xBB\xBF" : "") + u8(kWholeFile);
    write_file(file, bytes);
    Settings settings;
    load_settings_from(file.c_str(), settings, "html");
    EXPECT_STREQ(settings.extension, ".html") << mark;
    EXPECT_EQ(settings.style.tab_width, 8) << mark;
    EXPECT_TRUE(settings.style.line_numbers) << mark;
    EXPECT_TRUE(settings.style.expand_tabs) << mark;
    // The program's texts are code page 932: "前.txt" and "ソース".
    EXPECT_STREQ(settings.style.insert_before, "\x91\x4F.txt") << mark;
    EXPECT_EQ(settings.style.whole.open, "<pre class=\"\x83\x5C\x81\x5B\x83\x58\">") << mark;
    EXPECT_EQ(settings.style.comment.open, "<i>") << mark;
    EXPECT_FALSE(settings.show_settings_dialog) << mark;
    EXPECT_TRUE(save_settings_to(file.c_str(), settings, "html")) << mark;
    EXPECT_EQ(read_file(file), bytes) << mark;
  }
}

TEST(SettingsFileUtf8, KeysAddedToAUtf8FileAreUtf8) {
  const std::string file = scratch_path("utf8-short.ini");
  write_file(file, u8(u8"\uFEFF[prismet]\nタブ幅=2\nlinenumbers=1\n"));
  Settings settings;
  load_settings_from(file.c_str(), settings, nullptr);
  EXPECT_EQ(settings.style.tab_width, 2);
  settings.style.line_numbers = true;
  ASSERT_TRUE(save_settings_to(file.c_str(), settings, nullptr));
  const std::string saved = read_file(file);
  EXPECT_EQ(saved.rfind(u8(u8"\uFEFF[prismet]\r\nタブ幅=2\r\nlinenumbers=1\r\nダイアログを表示="), 0), 0u)
      << saved;
  EXPECT_NE(saved.find(u8(u8"\r\n行番号を表示=1\r\n")), std::string::npos);
  EXPECT_NE(saved.find(u8(u8"\r\n<ｷｰﾜｰﾄﾞ>=<FONT COLOR=\"#0000FF\">\r\n")), std::string::npos);
  // Not a byte of the code page 932 keys: "タブ" there is 83 5E 83 75.
  EXPECT_EQ(saved.find("\x83\x5E\x83\x75"), std::string::npos);
  EXPECT_EQ(saved.find(u8(u8"タブ幅")), saved.rfind(u8(u8"タブ幅"))) << "one key, not two";
}

// A value code page 932 cannot hold reads with "?" and stays as the file
// holds it, while another key of the file changes.
TEST(SettingsFileUtf8, AValueTheProgramCannotHoldIsKept) {
  const std::string file = scratch_path("utf8-euro.ini");
  const std::string bytes =
      u8(u8"[prismet]\r\n<ｺﾒﾝﾄ>=<i title=\"\xE2\x82\xAC \xF0\x9F\x98\x80\">\r\nタブ幅=3\r\n");
  write_file(file, bytes);
  ProfileFile profile(file.c_str());
  char value[64];
  profile.read_string("prismet", "<\xBA\xD2\xDD\xC4>", "", value, sizeof value);
  EXPECT_STREQ(value, "<i title=\"? ?\">");
  EXPECT_TRUE(profile.write_string("prismet", "<\xBA\xD2\xDD\xC4>", value));
  EXPECT_TRUE(profile.write_string("prismet", "\x83\x5E\x83\x75\x95\x9D", "5"));  // タブ幅
  // 0x80 is no character of code page 932: refused rather than written.
  EXPECT_FALSE(profile.write_string("prismet", "x", "\x80"));
  EXPECT_FALSE(profile.save());
  ProfileFile again(file.c_str());
  EXPECT_TRUE(again.write_string("prismet", "\x83\x5E\x83\x75\x95\x9D", "5"));
  EXPECT_TRUE(again.save());
  EXPECT_EQ(read_file(file),
            u8(u8"[prismet]\r\n<ｺﾒﾝﾄ>=<i title=\"\xE2\x82\xAC \xF0\x9F\x98\x80\">\r\nタブ幅=5\r\n"));
}

// Code page 932 files keep their bytes, also one that a save appended a
// code page 932 copy to behind UTF-8 lines: its code page 932 keys count.
TEST(SettingsFileUtf8, CodePage932FilesStaySo) {
  const std::string file = scratch_path("mixed.ini");
  const std::string bytes = u8(u8"[prismet]\r\nタブ幅=9\r\n") + "\x83\x5E\x83\x75\x95\x9D=6\r\n";
  write_file(file, bytes);
  ProfileFile profile(file.c_str());
  char value[16];
  profile.read_string("prismet", "\x83\x5E\x83\x75\x95\x9D", "", value, sizeof value);
  EXPECT_STREQ(value, "6");
  EXPECT_TRUE(profile.write_string("prismet", "\x83\x5E\x83\x75\x95\x9D", "6"));
  EXPECT_TRUE(profile.save());
  EXPECT_EQ(read_file(file), bytes);
  EXPECT_TRUE(profile.write_string("prismet", "\x8D\x73", "1"));  // 行
  EXPECT_TRUE(profile.save());
  EXPECT_EQ(read_file(file), bytes + "\x8D\x73=1\r\n");
}

}  // namespace
}  // namespace prismet

#include "settings/ini_text_encoding.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace prismet::ini {
namespace {

// UTF-8 bytes, whatever the execution character set of normal literals.
std::string u8(std::u8string_view text) { return std::string(text.begin(), text.end()); }

TEST(IniTextEncoding, AFileIsUtf8OnlyWithAMarkOrWhollyWellFormedHighBytes) {
  struct Case {
    const char* what;
    std::string bytes;
    TextEncoding text;
    bool mark;
  };
  const Case cases[] = {
      {"empty", "", TextEncoding::kCp932, false},
      {"ASCII only", "[prismet]\r\nx=1\r\n", TextEncoding::kCp932, false},
      {"mark, ASCII", "\xEF\xBB\xBF[prismet]\r\n", TextEncoding::kUtf8, true},
      {"mark alone", "\xEF\xBB\xBF", TextEncoding::kUtf8, true},
      // "行番号を表示=1" as an editor on Linux saves it.
      {"UTF-8 keys", u8(u8"[prismet]\r\n行番号を表示=1\r\n"), TextEncoding::kUtf8, false},
      // The same key in code page 932: 0x8D is a UTF-8 continuation byte.
      {"code page 932 keys", "[prismet]\r\n\x8D\x73\x94\xD4\x8D\x86\x82\xF0\x95\x5C\x8E\xA6=1\r\n",
       TextEncoding::kCp932, false},
      // UTF-8 keys with a code page 932 copy appended behind them.
      {"both", u8(u8"タブ幅=4\r\n") + "\x83\x5E\x83\x75\x95\x9D=4\r\n", TextEncoding::kCp932, false},
      {"half-width katakana", "\xBA\xD2\xDD\xC4=1\r\n", TextEncoding::kCp932, false},
      {"a cut UTF-8 sequence", "x=\xE8\xA1", TextEncoding::kCp932, false},
  };
  for (const Case& c : cases) {
    const FileEncoding found = detect_file_encoding(c.bytes);
    EXPECT_EQ(found.text, c.text) << c.what;
    EXPECT_EQ(found.byte_order_mark, c.mark) << c.what;
  }
}

TEST(IniTextEncoding, ConversionsRefuseWhatTheOtherSideCannotHold) {
  // "タブ" and the half-width "ｺ" both ways.
  EXPECT_EQ(utf8_of_cp932("\x83\x5E\x83\x75"), u8(u8"タブ"));
  EXPECT_EQ(utf8_of_cp932("a\xBA"), u8(u8"aｺ"));
  EXPECT_EQ(cp932_of_utf8(u8(u8"タブ")), std::string("\x83\x5E\x83\x75"));
  EXPECT_EQ(cp932_of_utf8(u8(u8"aｺ")), std::string("a\xBA"));
  // No character: 0x80, a lead byte without its second byte, a pair that is none.
  EXPECT_EQ(utf8_of_cp932("a\x80"), std::nullopt);
  EXPECT_EQ(utf8_of_cp932("a\x83"), std::nullopt);
  EXPECT_EQ(utf8_of_cp932("\x85\x40"), std::nullopt);
  // The euro sign and an emoji are not in the code page; a cut sequence is no text.
  EXPECT_EQ(cp932_of_utf8(u8(u8"\xE2\x82\xAC")), std::nullopt);
  EXPECT_EQ(cp932_of_utf8(u8(u8"\xF0\x9F\x98\x80")), std::nullopt);
  EXPECT_EQ(cp932_of_utf8("\xE3\x82"), std::nullopt);
  EXPECT_EQ(cp932_of_utf8_or_marks(u8(u8"<i title=\"\xE2\x82\xAC\xF0\x9F\x98\x80\">")), "<i title=\"??\">");
  EXPECT_EQ(utf8_of_cp932_or_marks("a\x80z"), u8(u8"a\uFFFDz"));
  EXPECT_TRUE(is_well_formed_utf8(u8(u8"行")));
  EXPECT_FALSE(is_well_formed_utf8("\x8D\x73"));
}

}  // namespace
}  // namespace prismet::ini

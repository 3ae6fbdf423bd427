#include "common/cp932_encoder.h"

#include <gtest/gtest.h>

#include <string>

#include "common/cp932_table.h"

namespace prismet {
namespace {

// Code points against the codes Windows writes for them, duplicates
// included (a code point that several pairs decode to).
TEST(Cp932Encoder, CodePointsTakeTheCodesWindowsWrites) {
  const struct {
    std::uint32_t code_point;
    int code;
  } cases[] = {
      {'A', 0x41},      {0x5C, 0x5C},     {0x7E, 0x7E},     {0xFF61, 0xA1},    // ｡
      {0xFF9F, 0xDF},   {0x3042, 0x82A0}, {0x8868, 0x955C}, {0x65E5, 0x93FA},  // あ 表 日
      {0x2252, 0x81E0}, {0x2235, 0x81E6}, {0xFFE2, 0x81CA}, {0x2160, 0x8754},  // JIS before NEC
      {0x3231, 0x878A}, {0x2170, 0xFA40}, {0x9AD9, 0xFBFC}, {0xE000, 0xF040},  // NEC, IBM, user
      {0xE757, 0xF9FC}, {0x20AC, -1},     {0x00A5, -1},     {0x0080, -1},      // € ¥ C1
      {0xFFFD, -1},     {0x1F600, -1},    {0x110000, -1},   {0xFF60, -1},
  };
  for (const auto& c : cases) EXPECT_EQ(encode_cp932(c.code_point), c.code) << std::hex << c.code_point;
}

// Every pair the code page decodes encodes to a pair that decodes the same.
TEST(Cp932Encoder, EveryDecodedPairComesBack) {
  int wrong = 0;
  for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
    for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
      const std::uint16_t code_point =
          decode_cp932_pair(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail));
      if (code_point == 0) continue;
      const int code = encode_cp932(code_point);
      if (code < 0x100 || decode_cp932_pair(static_cast<unsigned char>(code >> 8),
                                            static_cast<unsigned char>(code & 0xFF)) != code_point) {
        ++wrong;
      }
    }
  }
  EXPECT_EQ(wrong, 0);
}

TEST(Cp932Encoder, Utf8BecomesCodePage932TextOfAPage) {
  const struct {
    const char* utf8;
    const char* cp932;
  } cases[] = {
      {"", ""},
      {"a.cpp", "a.cpp"},
      {"\xE6\x97\xA5\xE6\x9C\xAC/\xE6\xBC\xA2\xE5\xAD\x97.cpp", "\x93\xFA\x96\x7B/\x8A\xBF\x8E\x9A.cpp"},
      {"\xEF\xBD\xB1&amp;", "\xB1&amp;"},  // ｱ, markup kept
      {"a\xE2\x82\xAC"
       "b",
       "a&#8364;b"},                                             // €
      {"\xF0\x9F\x98\x80", "&#128512;"},                         // an emoji
      {"\x80\xBF\xC0\xFF", "&#65533;&#65533;&#65533;&#65533;"},  // no UTF-8
      {"\xE6\x97", "&#65533;&#65533;"},                          // cut short
      {"\xED\xA0\x80", "&#65533;&#65533;&#65533;"},              // a surrogate
  };
  for (const auto& c : cases) EXPECT_EQ(cp932_html_of_utf8(c.utf8), c.cp932) << c.utf8;
}

TEST(Cp932Encoder, CodePage932NamesInUtf8) {
  const struct {
    std::string_view cp932;
    bool ok;
    std::string_view utf8;
  } cases[] = {
      {"a/b.h", true, "a/b.h"},
      {"\x95\x5C.h", true, "\xE8\xA1\xA8.h"},          // 表, second byte a backslash
      {"\xB1\xDF", true, "\xEF\xBD\xB1\xEF\xBE\x9F"},  // half-width katakana
      {"\x87\x40", true, "\xE2\x91\xA0"},              // the NEC row's circled one
      {"\x5C\x7E", true, "\x5C\x7E"},
      {"\x80", false, ""},
      {"a\x95", false, ""},     // a lead byte without its pair
      {"\x85\x40", false, ""},  // a pair that is no character
      {"\x81\x7F", false, ""},  // no second byte
  };
  for (const auto& c : cases) {
    std::string utf8 = "left over";
    EXPECT_EQ(utf8_of_cp932(c.cp932, utf8), c.ok) << c.cp932;
    if (c.ok) {
      EXPECT_EQ(utf8, c.utf8) << c.cp932;
    }
  }
}

}  // namespace
}  // namespace prismet

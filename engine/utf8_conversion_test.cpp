#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "common/character_encoding.h"
#include "engine/emitter.h"
#include "tests/marker_conversion.h"

namespace prismet {
namespace {

using testing::marker_style;

std::string convert(const std::string& source, const OutputStyle& style, CharacterEncoding encoding) {
  Vocabulary vocabulary;
  set_builtin_vocabulary(vocabulary);
  const std::string page = testing::convert_in_memory(source, style, vocabulary, encoding);
  free_vocabulary(vocabulary);
  return page;
}

std::string printable(const std::string& bytes) {
  std::string out;
  for (unsigned char c : bytes) {
    if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    }
  }
  return out;
}

struct Case {
  const char* name;
  const char* source;
  bool expand_tabs;
  const char* shift_jis;
  const char* utf8;
};

const Case kCases[] = {
    {"string_closes", "const char* s = \"\xE3\x81\x82\"; int x = 1; // x\n", false,
     "{KconstK} {KcharK}* s = {S&quot;\xE3\x81\x82&quot;; int x = 1; // xS}\r\n",
     "{KconstK} {KcharK}* s = {S&quot;\xE3\x81\x82&quot;S}; {KintK} x = {N1N}; {C// xC}\r\n"},
    {"char_constant", "c = '\xE3\x81\x82'; int y;\n", false, "c = {H'\xE3\x81\x82'; int y;H}\r\n",
     "c = {H'\xE3\x81\x82'H}; {KintK} y;\r\n"},
    {"backslash_escapes_character", "\"\\\xE3\x81\x82\" x; \"b\"\n", false,
     "{S&quot;\\\xE3\x81\x82&quot; x; &quot;S}b{S&quot;S}\r\n",
     "{S&quot;\\\xE3\x81\x82&quot;S} x; {S&quot;b&quot;S}\r\n"},
    {"wide_string_over_lines", "L\"\xE3\x83\xAF\xE3\x82\xA4\\\n\xE3\x83\x89\"; int z;\n", false,
     "L{S&quot;\xE3\x83\xAF\xE3\x82\xA4\\S}\r\n{S\xE3\x83\x89&quot;; int z;S}\r\n",
     "L{S&quot;\xE3\x83\xAF\xE3\x82\xA4\\S}\r\n{S\xE3\x83\x89&quot;S}; {KintK} z;\r\n"},
    {"invalid_bytes", "\"\xE3\" \xC0<\x80&\xFF \"\xED\xA0\x80\"\n", false,
     "{S&quot;\xE3&quot; \xC0&lt;\x80&amp;\xFF &quot;S}\xED\xA0\x80{S&quot;S}\r\n",
     "{S&quot;\xE3&quot;S} \xC0&lt;\x80&amp;\xFF {S&quot;\xED\xA0\x80&quot;S}\r\n"},
    {"truncated_at_line_end", "\"ab\xE3\x81\nx\" int\n", false,
     "{S&quot;ab\xE3\x81S}\r\n{Sx&quot;S} {KintK}\r\n", "{S&quot;ab\xE3\x81S}\r\n{Sx&quot;S} {KintK}\r\n"},
    {"truncated_before_quote", "\"\xF0\x9F\x98\" int\n", false, "{S&quot;\xF0\x9F\x98&quot; intS}\r\n",
     "{S&quot;\xF0\x9F\x98&quot;S} {KintK}\r\n"},
    {"four_byte", "\"\xF0\xA0\x80\x8B\" int\n", false, "{S&quot;\xF0\xA0\x80\x8B&quot; intS}\r\n",
     "{S&quot;\xF0\xA0\x80\x8B&quot;S} {KintK}\r\n"},
    {"tabs_after_wide", "\xE3\x81\x82\tx\n\xC3\xA9\ty\n\xF0\x9F\x98\x80\tz\n\xFF\tw\n", true,
     "\xE3\x81\x82 x\r\n\xC3\xA9  y\r\n\xF0\x9F\x98\x80    z\r\n\xFF   w\r\n",
     "\xE3\x81\x82  x\r\n\xC3\xA9   y\r\n\xF0\x9F\x98\x80  z\r\n\xFF   w\r\n"},
    {"tab_in_string", "\"\xE3\x81\x82\t\"\ta\n", true, "{S&quot;\xE3\x81\x82    &quot;S}   a\r\n",
     "{S&quot;\xE3\x81\x82 &quot;S}   a\r\n"},
};

// Each case once in each encoding, with the default style's copied runs
// and with escaped runs (&nbsp; for spaces rewrites the run loop's path).
TEST(Utf8Conversion, CharactersNeverTakeAnAsciiByte) {
  for (const Case& c : kCases) {
    for (const bool nbsp : {false, true}) {
      OutputStyle style = marker_style();
      style.expand_tabs = c.expand_tabs;
      style.tab_width = 4;
      style.nbsp_spaces = nbsp;
      std::string shift_jis = c.shift_jis, utf8 = c.utf8;
      if (nbsp) {
        for (std::string* text : {&shift_jis, &utf8}) {
          for (std::size_t at = 0; (at = text->find(' ', at)) != std::string::npos;)
            text->replace(at, 1, "&nbsp;");
        }
      }
      const std::string sj_page = convert(c.source, style, CharacterEncoding::kShiftJis);
      const std::string u8_page = convert(c.source, style, CharacterEncoding::kUtf8);
      EXPECT_TRUE(sj_page == shift_jis) << c.name << " nbsp " << nbsp << ": " << printable(sj_page);
      EXPECT_TRUE(u8_page == utf8) << c.name << " nbsp " << nbsp << ": " << printable(u8_page);
    }
  }
}

TEST(Utf8Conversion, SequenceLengths) {
  struct Length {
    const char* bytes;
    std::size_t size;
    std::size_t expected;
  };
  const Length lengths[] = {
      {"a", 1, 1},
      {"\xC3\xA9", 2, 2},
      {"\xE3\x81\x82", 3, 3},
      {"\xF0\x9F\x98\x80", 4, 4},
      {"\xF4\x8F\xBF\xBF", 4, 4},  // U+10FFFF
      {"\xF4\x90\x80\x80", 4, 1},  // above U+10FFFF
      {"\xC0\x80", 2, 1},          // overlong
      {"\xC1\xBF", 2, 1},          // overlong
      {"\xE0\x9F\xBF", 3, 1},      // overlong
      {"\xE0\xA0\x80", 3, 3},
      {"\xF0\x8F\xBF\xBF", 4, 1},  // overlong
      {"\xED\xA0\x80", 3, 1},      // surrogate
      {"\xED\x9F\xBF", 3, 3},
      {"\xE3\x81", 2, 1},  // cut short by the end
      {"\xE3\x81"
       "a",
       3, 1},  // cut short by an ASCII byte
      {"\x80", 1, 1},
      {"\xF5\x80\x80\x80", 4, 1},
      {"\xFF", 1, 1},
  };
  for (const Length& l : lengths)
    EXPECT_EQ(utf8_sequence_length(l.bytes, l.bytes + l.size), l.expected) << printable(l.bytes);
}

TEST(Utf8Conversion, Columns) {
  struct Columns {
    const char* text;
    std::int64_t expected;
  };
  const Columns columns[] = {
      {"abc", 3},
      {"\xC3\xA9", 1},
      {"\xE3\x81\x82\xE3\x81\x84", 4},  // two hiragana
      {"\xEF\xBC\xA1", 2},              // fullwidth A
      {"\xEF\xBD\xB1", 1},              // halfwidth katakana
      {"\xF0\x9F\x98\x80", 2},          // emoji
      {"\xF0\xA0\x80\x8B", 2},          // ideographic plane
      {"\xE3\x81", 2},                  // two invalid bytes
      {"\xE2\x82\xAC", 1},              // euro sign
  };
  for (const Columns& c : columns)
    EXPECT_EQ(utf8_columns(c.text, std::strlen(c.text)), c.expected) << printable(c.text);
}

}  // namespace
}  // namespace prismet

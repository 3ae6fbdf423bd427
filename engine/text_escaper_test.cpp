// The escaper looks at sixteen (or eight) bytes at a time and writes
// straight into the writer's buffer; these tests hold it to the
// byte-by-byte rules.
#include "engine/text_escaper.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "tests/reference_converter.h"

namespace prismet {
namespace {

// The rules of write_text, one byte at a time, written out here rather than
// taken from the code's helpers: a tab fills up to the next multiple of the
// width (nothing for a width of 0 or less); a lead byte (0x81-0x9F,
// 0xE0-0xFC) passes with the byte after it when that is a second byte
// (0x40-0xFC but 0x7F).
bool lead_byte(unsigned char byte) {
  return (0x81 <= byte && byte <= 0x9F) || (0xE0 <= byte && byte <= 0xFC);
}
bool second_byte(unsigned char byte) { return 0x40 <= byte && byte <= 0xFC && byte != 0x7F; }

std::string escape_byte_by_byte(const std::string& text, int& column, const OutputStyle& style) {
  std::string out;
  const std::string space = style.nbsp_spaces ? "&nbsp;" : " ";
  for (std::size_t i = 0; i < text.size(); ++i) {
    const unsigned char byte = static_cast<unsigned char>(text[i]);
    if (byte == '&')
      out += "&amp;";
    else if (byte == '<')
      out += "&lt;";
    else if (byte == '>')
      out += "&gt;";
    else if (byte == '"')
      out += "&quot;";
    else if (byte == ' ')
      out += space;
    else if (byte == '\t' && style.expand_tabs) {
      const int fill = style.tab_width > 0 ? style.tab_width - column % style.tab_width : 0;
      for (int k = 0; k < fill; ++k) out += space;
      column += fill - 1;
    } else if (lead_byte(byte) && i + 1 < text.size() &&
               second_byte(static_cast<unsigned char>(text[i + 1]))) {
      out += text.substr(i++, 2);
      ++column;
    } else {
      out += text[i];
    }
    ++column;
  }
  return out;
}

std::string escape(const std::string& text, int& column, const OutputStyle& style) {
  std::string out;
  TextWriter writer;
  writer.open_memory(&out);
  write_text(writer, column, text.data(), text.size(), style);
  writer.close();
  return out;
}

// Text where every byte value turns up, with the bytes that need something
// (and look-alikes the wide test lets through: '$', 0x80, 0xFD) common, in
// runs of every length around eight and sixteen.
std::string random_text(std::mt19937& random, std::size_t size) {
  static const char kCommon[] = "&<>\" \t\x81\x40\x82\xA0\xE0\xFC$\x80\xFD\x7F";
  std::string text;
  while (text.size() < size) {
    const std::size_t plain = random() % 40;
    for (std::size_t i = 0; i < plain; ++i) text += static_cast<char>('a' + random() % 26);
    if (random() % 8 == 0)
      text += static_cast<char>(1 + random() % 255);
    else
      text += kCommon[random() % (sizeof kCommon - 1)];
  }
  text.resize(size);
  return text;
}

TEST(TextEscaper, WritesWhatTheByteRulesWrite) {
  std::mt19937 random(18);
  const struct {
    bool nbsp, expand;
    int tab_width;
  } styles[] = {{false, false, 4}, {true, false, 4}, {false, true, 4}, {true, true, 8},
                {true, true, 1},   {false, true, 0}, {true, true, -3}, {false, true, 300}};
  // Lengths around a word, sixteen bytes and the escaper's reservation of
  // 8192 input bytes.
  const std::size_t sizes[] = {0, 1, 7, 8, 9, 15, 16, 17, 31, 32, 33, 63, 1000, 8191, 8192, 8193, 20000};
  for (const auto& s : styles) {
    OutputStyle style;
    style.nbsp_spaces = s.nbsp;
    style.expand_tabs = s.expand;
    style.tab_width = s.tab_width;
    for (const std::size_t size : sizes) {
      for (const int start_column : {0, 3}) {
        const std::string text = random_text(random, size);
        int expected_column = start_column;
        int column = start_column;
        const std::string expected = escape_byte_by_byte(text, expected_column, style);
        ASSERT_EQ(escape(text, column, style), expected)
            << "nbsp " << s.nbsp << ", tabs " << s.expand << "/" << s.tab_width << ", size " << size;
        EXPECT_EQ(column, expected_column);
      }
    }
  }
}

TEST(TextEscaper, DoubleByteCharacters) {
  OutputStyle style;
  style.nbsp_spaces = true;
  struct Case {
    std::string text, out;
  } const cases[] = {
      {"abcdefg\x81"
       "@z",
       "abcdefg\x81"
       "@z"},  // a pair across the eight-byte boundary
      {"abcdefg\x81"
       "<z",
       "abcdefg\x81&lt;z"},                     // a lead byte before '<' stands alone
      {"\x81 \x81\x81", "\x81&nbsp;\x81\x81"},  // nor does a blank join it
  };
  for (const Case& c : cases) {
    int column = 0;
    EXPECT_EQ(escape(c.text, column, style), c.out) << c.text;
    EXPECT_EQ(column, static_cast<int>(c.text.size()));
  }
}

// Names escape by the page's rules without the style's spaces and tabs, and
// with the apostrophe as "&#39;" when asked.
TEST(TextEscaper, EscapesNames) {
  struct Case {
    std::string text, as_is, with_apostrophe;
  } const cases[] = {
      {"", "", ""},
      {"a.cpp", "a.cpp", "a.cpp"},
      {"a&<b>\"'.h", "a&amp;&lt;b&gt;&quot;'.h", "a&amp;&lt;b&gt;&quot;&#39;.h"},
      {"''", "''", "&#39;&#39;"},
      {"&amp;", "&amp;amp;", "&amp;amp;"},  // an entity in a name is text
      {"a b\tc", "a b\tc", "a b\tc"},       // spaces and tabs stay
      {std::string("a\0b", 3), std::string("a\0b", 3), std::string("a\0b", 3)},
      {"\x83\x5C\x81\x5B\xE2\x82\xAC", "\x83\x5C\x81\x5B\xE2\x82\xAC", "\x83\x5C\x81\x5B\xE2\x82\xAC"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TextEscaper::escaped(c.text, TextEscaper::Apostrophe::kAsIs), c.as_is) << c.text;
    EXPECT_EQ(TextEscaper::escaped(c.text, TextEscaper::Apostrophe::kEntity), c.with_apostrophe) << c.text;
  }
}

TEST(TextEscaper, EscapesNamesAsTheByteRulesDo) {
  std::mt19937 random(35);
  const OutputStyle plain_style;  // no "&nbsp;", no tab expansion
  for (const std::size_t size : {1u, 8u, 17u, 300u, 5000u}) {
    std::string text = random_text(random, size);
    text += '\'';
    int column = 0;
    const std::string as_is = escape_byte_by_byte(text, column, plain_style);
    EXPECT_EQ(TextEscaper::escaped(text, TextEscaper::Apostrophe::kAsIs), as_is) << size;
    std::string with_apostrophe;
    for (const char byte : as_is) {
      if (byte == '\'')
        with_apostrophe += "&#39;";
      else
        with_apostrophe += byte;
    }
    EXPECT_EQ(TextEscaper::escaped(text, TextEscaper::Apostrophe::kEntity), with_apostrophe) << size;
  }
}

}  // namespace
}  // namespace prismet

#include "engine/emitter.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/test_files.h"

namespace prismet {
namespace {

// The default tags, with empty insert paths.
OutputStyle default_style() {
  OutputStyle style;
  set_default_output_style(style, "", "");
  return style;
}

// A style whose tags are short markers, so expectations stay readable.
OutputStyle marker_style() {
  OutputStyle style = default_style();
  style.whole = {"{W", "W}"};
  style.comment = {"{C", "C}"};
  style.constant = {"{N", "N}"};
  style.char_constant = {"{H", "H}"};
  style.string_literal = {"{S", "S}"};
  style.keyword = {"{K", "K}"};
  style.line_number = {"{#", "#}"};
  style.line = {"{L", "L}"};
  return style;
}

class EmitterTest : public ::testing::Test {
 protected:
  void SetUp() override { set_builtin_vocabulary(vocabulary_); }
  void TearDown() override { free_vocabulary(vocabulary_); }

  std::string convert(const std::string& input, const OutputStyle& style) {
    const std::string in_path = testing::scratch_path("emit-in");
    const std::string out_path = testing::scratch_path("emit-out");
    testing::write_file(in_path, input);
    TextReader reader;
    TextWriter writer;
    EXPECT_TRUE(reader.open(in_path.c_str()));
    EXPECT_TRUE(writer.open(out_path.c_str()));
    convert_source(writer, reader, style, vocabulary_);
    EXPECT_TRUE(writer.close());
    return testing::read_file(out_path);
  }

  Vocabulary vocabulary_;
};

TEST_F(EmitterTest, WorkedExampleByteForByte) {
  OutputStyle style = default_style();
  EXPECT_EQ(convert("int a = 1; // x\n", style),
            "<PRE><FONT COLOR=\"#0000FF\">int</FONT> a = <FONT COLOR=\"#FF0000\">1</FONT>; "
            "<FONT COLOR=\"#008040\">// x</FONT>\r\n</PRE>");
  style.nbsp_spaces = true;
  EXPECT_EQ(
      convert("int a = 1; // x\n", style),
      "<PRE><FONT COLOR=\"#0000FF\">int</FONT>&nbsp;a&nbsp;=&nbsp;<FONT COLOR=\"#FF0000\">1</FONT>;&nbsp;"
      "<FONT COLOR=\"#008040\">//&nbsp;x</FONT>\r\n</PRE>");
  style.line_numbers = true;
  EXPECT_EQ(convert("int a = 1; // x\n", style).substr(0, 32), "<PRE>&nbsp;&nbsp;&nbsp;1:&nbsp;<");
}

TEST_F(EmitterTest, LineFramingAndCategoriesOverLines) {
  const OutputStyle style = marker_style();
  struct Case {
    const char* input;
    const char* output;
  } const cases[] = {
      {"", "{WW}"},
      {"a", "{W{LaL}W}"},
      {"a\n", "{W{LaL}\r\nW}"},
      {"a\r\nb\r\n", "{W{LaL}\r\n{LbL}\r\nW}"},
      {"a//b\n", "{W{La{C//bC}L}\r\nW}"},
      {"// t \\\nx\n", "{W{L{C// t \\C}L}\r\n{L{CxC}L}\r\nW}"},
      {"/* a\nb */ c", "{W{L{C/* aC}L}\r\n{L{Cb */C} cL}W}"},
      {"/*\n\n*/", "{W{L{C/*C}L}\r\n{L{CC}L}\r\n{L{C*/C}L}W}"},
      {"\"ab\ncd\nef\"", "{W{L{S&quot;abS}L}\r\n{L{ScdS}L}\r\n{L{Sef&quot;S}L}W}"},
      {"/* open\n", "{W{L{C/* openC}L}\r\nW}"},
      {"x = 'a' + 0x1F;", "{W{Lx = {H'a'H} + {N0x1FN};L}W}"},
      {"#define N 10", "{W{L{K#defineK} N {N10N}L}W}"},
  };
  for (const Case& c : cases) EXPECT_EQ(convert(c.input, style), c.output) << "input: " << c.input;
}

TEST_F(EmitterTest, EscapesCountOneColumnEach) {
  OutputStyle style = marker_style();
  style.whole = {"", ""};
  style.line = {"", ""};
  EXPECT_EQ(convert("a<b && c>d", style), "a&lt;b &amp;&amp; c&gt;d");
  EXPECT_EQ(convert("\"it's\"", style), "{S&quot;it's&quot;S}");
  style.expand_tabs = true;
  // "<&" are two columns, so a tab at column 2 fills two.
  EXPECT_EQ(convert("<&\tx", style), "&lt;&amp;  x");
  style.nbsp_spaces = true;
  EXPECT_EQ(convert("a b\v\f\r", style), "a&nbsp;b\v\f\r");
}

TEST_F(EmitterTest, TabExpansion) {
  OutputStyle style = marker_style();
  style.whole = {"", ""};
  style.line = {"", ""};
  style.expand_tabs = true;
  style.tab_width = 4;
  struct Case {
    std::string input;
    bool nbsp;
    std::string output;
  } const cases[] = {
      {"\tx", false, "    x"},
      {"ab\tx", false, "ab  x"},
      {"\x95\x5C"
       "a\tx",
       false,
       "\x95\x5C"
       "a x"},  // a double-byte character is two columns
      {"abcd\tx", false, "abcd    x"},
      {"//\tx", false, "{C//  xC}"},  // tabs in comments expand too
      {"\"\t\"", false, "{S&quot;   &quot;S}"},
      {"a\tb", true, "a&nbsp;&nbsp;&nbsp;b"},
  };
  for (const Case& c : cases) {
    style.nbsp_spaces = c.nbsp;
    EXPECT_EQ(convert(c.input, style), c.output) << "input: " << c.input;
  }
  style.nbsp_spaces = false;
  style.expand_tabs = false;
  EXPECT_EQ(convert("a\tb", style), "a\tb");
  // Tab stops count from the line's text, never from the line-number prefix.
  style.expand_tabs = true;
  style.line_numbers = true;
  EXPECT_EQ(convert("\tx\n", style), "{#   1: #}    x\r\n");
}

TEST(TabFill, WidthsIncludingZero) {
  struct Case {
    int column, width, fill;
  } const cases[] = {{0, 4, 4}, {3, 4, 1}, {4, 4, 4}, {5, 8, 3}, {0, 1, 1}, {7, 0, 0}, {7, -4, 0}};
  for (const Case& c : cases) EXPECT_EQ(tab_fill(c.column, c.width), c.fill) << c.column << "/" << c.width;
}

TEST_F(EmitterTest, TabWidthZeroDropsTheTabAndGoesOn) {
  OutputStyle style = marker_style();
  style.whole = {"", ""};
  style.line = {"", ""};
  style.expand_tabs = true;
  style.tab_width = 0;
  EXPECT_EQ(convert("a\tb\n", style), "ab\r\n");
}

TEST_F(EmitterTest, LineNumbers) {
  OutputStyle style = marker_style();
  style.whole = {"", ""};
  style.line = {"", ""};
  style.line_numbers = true;
  EXPECT_EQ(convert("a\nb", style), "{#   1: #}a\r\n{#   2: #}b");
  // Five digits take their own width.
  std::string many;
  for (int i = 0; i < 10000; ++i) many += "\n";
  many += "z";
  const std::string out = convert(many, style);
  EXPECT_NE(out.find("{#9999: #}\r\n{#10000: #}\r\n{#10001: #}z"), std::string::npos);
}

TEST_F(EmitterTest, DoubleByteCharactersAndInvalidPairs) {
  OutputStyle style = marker_style();
  style.whole = {"", ""};
  style.line = {"", ""};
  struct Case {
    std::string input, output;
  } const cases[] = {
      {"\x82\xA0", "\x82\xA0"},  // あ passes whole
      {"\"\x95\x5C\"", "{S&quot;\x95\x5C&quot;S}"},
      {"//\x81",
       "{C//\x81"
       "C}"},  // lead byte at the end of the text
      // A lead byte before a byte that cannot be a second byte is written
      // alone; the next byte is escaped as usual, so no markup gets through.
      {"//\x81<img src=x onerror=alert(1)>\x81>", "{C//\x81&lt;img src=x onerror=alert(1)&gt;\x81&gt;C}"},
      {"'\x81\"'", "{H'\x81&quot;'H}"},
      {"\x81&", "\x81&amp;"},
      {"\x81\x7F", "\x81\x7F"},
  };
  for (const Case& c : cases) EXPECT_EQ(convert(c.input, style), c.output) << "input: " << c.input;
  // An invalid pair is two columns, like any two characters.
  style.expand_tabs = true;
  EXPECT_EQ(convert("\x81 \t|", style), "\x81   |");
}

TEST_F(EmitterTest, NulAndEndOfTextBytes) {
  OutputStyle style = marker_style();
  EXPECT_EQ(convert(std::string("ab\0cd\nef\n", 9), style), "{W{LabL}{LefL}\r\nW}");
  EXPECT_EQ(convert("ab\x1A"
                    "cd\n",
                    style),
            "{W{LabL}W}");
}

TEST_F(EmitterTest, EmptyTagsWriteNothing) {
  OutputStyle style = default_style();
  style.keyword = {"", ""};
  style.whole = {"", ""};
  EXPECT_EQ(convert("int x;", style), "int x;");
}

TEST_F(EmitterTest, TagsAreWrittenUnescapedAndTranslated) {
  OutputStyle style = marker_style();
  style.keyword = {"<b class=\"k\">&", "</b>\n"};
  EXPECT_EQ(convert("int", style), "{W{L<b class=\"k\">&int</b>\r\nL}W}");
}

TEST_F(EmitterTest, LongLinesArePiecesWithTheirOwnNumbers) {
  OutputStyle style = marker_style();
  style.whole = {"", ""};
  style.line_numbers = true;
  const std::string long_line(kMaxPieceBytes + 1, 'q');
  EXPECT_TRUE(convert(long_line + "\n", style) ==
              "{#   1: #}{L" + std::string(kMaxPieceBytes, 'q') + "L}{#   2: #}{LqL}\r\n");
}

}  // namespace
}  // namespace prismet

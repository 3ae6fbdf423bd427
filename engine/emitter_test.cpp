#include "engine/emitter.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/reference_converter.h"
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
      // A line of a lone backslash carries the comment on once more.
      {"//\\\n\\\nx\ny", "{W{L{C//\\C}L}\r\n{L{C\\C}L}\r\n{L{CxC}L}\r\n{LyL}W}"},
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

// The ends of both lead-byte ranges and their neighbours, before a double
// quote and before "//": a lead byte takes the next byte into its character,
// so no literal or comment begins there, and the quote is written alone,
// escaped; any other byte stands alone and the literal or comment begins.
// Inside a literal a lead byte takes the closing quote along. Both with runs
// copied as they stand and with runs written through the escaper.
TEST_F(EmitterTest, LeadByteBoundaries) {
  struct Case {
    std::string byte;
    std::string before_quote, before_comment, in_literal;
  } const cases[] = {
      {"\x80", "\x80{S&quot;a&quot;S}", "\x80{C//cC}", "{S&quot;\x80&quot;S}b{S&quot;S}"},
      {"\x81", "\x81&quot;a{S&quot;S}", "\x81//c", "{S&quot;\x81&quot;b&quot;S}"},
      {"\x9F", "\x9F&quot;a{S&quot;S}", "\x9F//c", "{S&quot;\x9F&quot;b&quot;S}"},
      {"\xA0", "\xA0{S&quot;a&quot;S}", "\xA0{C//cC}", "{S&quot;\xA0&quot;S}b{S&quot;S}"},
      {"\xDF", "\xDF{S&quot;a&quot;S}", "\xDF{C//cC}", "{S&quot;\xDF&quot;S}b{S&quot;S}"},
      {"\xE0", "\xE0&quot;a{S&quot;S}", "\xE0//c", "{S&quot;\xE0&quot;b&quot;S}"},
      {"\xFC", "\xFC&quot;a{S&quot;S}", "\xFC//c", "{S&quot;\xFC&quot;b&quot;S}"},
      {"\xFD", "\xFD{S&quot;a&quot;S}", "\xFD{C//cC}", "{S&quot;\xFD&quot;S}b{S&quot;S}"},
  };
  OutputStyle style = marker_style();
  style.whole = {"", ""};
  style.line = {"", ""};
  for (const bool escaped_runs : {false, true}) {
    style.nbsp_spaces = escaped_runs;
    for (const Case& c : cases) {
      SCOPED_TRACE(::testing::PrintToString(c.byte) + (escaped_runs ? ", runs escaped" : ", runs copied"));
      EXPECT_EQ(convert(c.byte + "\"a\"", style), c.before_quote);
      EXPECT_EQ(convert(c.byte + "//c", style), c.before_comment);
      EXPECT_EQ(convert("\"" + c.byte + "\"b\"", style), c.in_literal);
      // Before '<' either way the '<' is escaped, never taken into a pair.
      EXPECT_EQ(convert(c.byte + "<", style), c.byte + "&lt;");
    }
  }
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

// The line count the index shows: a long line split into pieces is one
// line, a last line without a newline counts, CR LF is one ending.
TEST_F(EmitterTest, ConvertCountsSourceLines) {
  const struct {
    std::string source;
    std::uint64_t lines;
  } cases[] = {
      {"", 0},
      {"a", 1},
      {"a\n", 1},
      {"a\nb", 2},
      {"a\r\nb\r\n", 2},
      {"\n\n\n", 3},
      {std::string(70000, 'x') + "\n", 1},
      {std::string(70000, 'x'), 1},
      {"/* a\nb */\n\"c\\\nd\"\n", 4},
  };
  const OutputStyle style = default_style();
  SourceConverter converter(style, vocabulary_);
  for (const auto& c : cases) {
    TextReader reader;
    reader.open_memory(c.source.data(), c.source.size());
    std::string sink;
    TextWriter writer;
    writer.open_memory(&sink);
    EXPECT_EQ(converter.convert(writer, reader), c.lines) << c.source.size();
  }
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

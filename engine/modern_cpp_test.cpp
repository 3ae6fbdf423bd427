// Today's C++ through the vocabulary: the shipped C++26 vocabulary file's
// raw strings, digit separators, preprocessing numbers, encoding prefixes
// and literal suffixes, in both encodings; and that without its sections the
// same sources are coloured as they always were.
#include <gtest/gtest.h>

#include <string>

#include "common/character_encoding.h"
#include "engine/emitter.h"
#include "engine/vocabulary_file.h"
#include "tests/marker_conversion.h"

namespace prismet {
namespace {

using testing::marker_style;

// nullptr: the built-in vocabulary.
std::string convert(const std::string& source, const char* vocabulary_file, CharacterEncoding encoding) {
  Vocabulary vocabulary;
  if (vocabulary_file != nullptr) {
    load_vocabulary(vocabulary, vocabulary_file);
  } else {
    set_builtin_vocabulary(vocabulary);
  }
  const std::string page = testing::convert_in_memory(source, marker_style(), vocabulary, encoding);
  free_vocabulary(vocabulary);
  return page;
}

const char kShipped[] = PRISMET_SOURCE_DIR "/res/share/prismet-cpp26.voc";

struct Case {
  const char* source;
  const char* with_cpp26;  // the page with the shipped vocabulary
  const char* built_in;    // the page with the built-in one
};

const Case kCases[] = {
    {"#include <stdio.h>", "{K#includeK} &lt;stdio.h&gt;", "{K#includeK} &lt;stdio{N.N}h&gt;"},
    {"#elifdef X", "{K#elifdefK} X", "#elifdef X"},
    {"R\"xy(a )\" b\n)xy\" c", "{SR&quot;xy(a )&quot; bS}\r\n{S)xy&quot;S} c",
     "R{S&quot;xy(a )&quot;S} b\r\n)xy{S&quot; cS}"},
    {"u8R\"(a\\)\" x", "{Su8R&quot;(a\\)&quot;S} x", "u8R{S&quot;(a\\)&quot;S} x"},
    {"LR\"--(\n\n)-\")--\"_s;", "{SLR&quot;--(S}\r\n{SS}\r\n{S)-&quot;)--&quot;_sS};",
     "LR{S&quot;--(S}\r\n{SS}\r\n{S)-&quot;S})--{S&quot;_s;S}"},
    // Not raw strings: no "(", a delimiter of 17 characters, a space in it.
    {"R\"ab x\"", "R{S&quot;ab x&quot;S}", "R{S&quot;ab x&quot;S}"},
    {"R\"aaaaaaaaaaaaaaaaa(x)aaaaaaaaaaaaaaaaa\"", "R{S&quot;aaaaaaaaaaaaaaaaa(x)aaaaaaaaaaaaaaaaa&quot;S}",
     "R{S&quot;aaaaaaaaaaaaaaaaa(x)aaaaaaaaaaaaaaaaa&quot;S}"},
    {"1'000'000", "{N1'000'000N}", "{N1N}{H'000'H}{N000N}"},
    {"0xFF'FFu", "{N0xFF'FFuN}", "{N0xFFN}{H'FFuH}"},
    {"0b1010'1010 1.5e+10f 0x1p-3 123ULL .5 12_km",
     "{N0b1010'1010N} {N1.5e+10fN} {N0x1p-3N} {N123ULLN} {N.5N} {N12_kmN}",
     "{N0N}b1010{H'1010 1.5e+10f 0x1p-3 123ULL .5 12_kmH}"},
    {"a.b x.5 1'", "a.b x{N.5N} {N1N}{H'H}", "a{N.N}b x{N.5N} {N1N}{H'H}"},
    {"\"abc\"s + 'a'_c + u8\"x\" + L'y' + U\"z\"sv",
     "{S&quot;abc&quot;sS} + {H'a'_cH} + {Su8&quot;x&quot;S} + {HL'y'H} + {SU&quot;z&quot;svS}",
     "{S&quot;abc&quot;S}s + {H'a'H}_c + u8{S&quot;x&quot;S} + L{H'y'H} + U{S&quot;z&quot;S}sv"},
    {"constexpr auto p = nullptr; co_await x; requires final and",
     "{KconstexprK} {KautoK} p = {KnullptrK}; {Kco_awaitK} x; {KrequiresK} final {KandK}",
     "constexpr {KautoK} p = nullptr; co_await x; requires final and"},
};

TEST(ModernCpp, ShippedVocabularyColoursTodaysCpp) {
  for (const CharacterEncoding encoding : {CharacterEncoding::kShiftJis, CharacterEncoding::kUtf8}) {
    for (const Case& c : kCases) {
      EXPECT_EQ(convert(c.source, kShipped, encoding), c.with_cpp26) << c.source;
      EXPECT_EQ(convert(c.source, nullptr, encoding), c.built_in) << c.source;
    }
  }
}

// Directives with blanks after the '#', the text of #error and #warning, and
// literals that end with their line, as a compiler reads them; with the
// built-in vocabulary the same sources keep their old colours.
const Case kDirectiveCases[] = {
    {"#  include <x>", "{K#  includeK} &lt;x&gt;", "#  include &lt;x&gt;"},
    {"#if A\n#  if B\n#  elif C\n#  endif\n#endif",
     "{K#ifK} A\r\n{K#  ifK} B\r\n{K#  elifK} C\r\n{K#  endifK}\r\n{K#endifK}",
     "{K#ifK} A\r\n#  {KifK} B\r\n#  elif C\r\n#  endif\r\n{K#endifK}"},
    {"  #\tpragma once", "  {K#\tpragmaK} once", "  #\tpragma once"},
    // Not a directive: not first on its line, a word the list lacks, no word.
    {"x # define y; a = b; #define", "x # define y; a = b; {K#defineK}", "x # define y; a = b; {K#defineK}"},
    {"#  includes x\n# 1\n#", "#  includes x\r\n# {N1N}\r\n#", "#  includes x\r\n# {N1N}\r\n#"},
    {"/* c */ #  if", "{C/* c */C} #  {KifK}", "{C/* c */C} #  {KifK}"},
    // The text of #error and #warning is not code, over continued lines too.
    {"#warning don't use this\nint x;", "{K#warningK} don't use this\r\n{KintK} x;",
     "#warning don{H't use thisH}\r\n{Hint x;H}"},
    {"#  error missing \"quote <b>\nint x;", "{K#  errorK} missing &quot;quote &lt;b&gt;\r\n{KintK} x;",
     "#  error missing {S&quot;quote &lt;b&gt;S}\r\n{Sint x;S}"},
    {"#error a \\\n'b\nc", "{K#errorK} a \\\r\n'b\r\nc", "{K#errorK} a \\\r\n{H'bH}\r\n{HcH}"},
    {"#error\n'b'", "{K#errorK}\r\n{H'b'H}", "{K#errorK}\r\n{H'b'H}"},
    // Literals not closed on their line end there, unless it ends in a backslash.
    {"s = \"abc\nx = 'y\nz", "s = {S&quot;abcS}\r\nx = {H'yH}\r\nz",
     "s = {S&quot;abcS}\r\n{Sx = 'yS}\r\n{SzS}"},
    {"#define S \"abc\\\n def\" x\nint", "{K#defineK} S {S&quot;abc\\S}\r\n{S def&quot;S} x\r\n{KintK}",
     "{K#defineK} S {S&quot;abc\\S}\r\n{S def&quot;S} x\r\n{KintK}"},
    {"R\"(a\nb)\" c", "{SR&quot;(aS}\r\n{Sb)&quot;S} c", "R{S&quot;(aS}\r\n{Sb)&quot;S} c"},
};

TEST(ModernCpp, DirectivesAndLiteralsAsACompilerReadsThem) {
  for (const CharacterEncoding encoding : {CharacterEncoding::kShiftJis, CharacterEncoding::kUtf8}) {
    for (const Case& c : kDirectiveCases) {
      EXPECT_EQ(convert(c.source, kShipped, encoding), c.with_cpp26) << c.source;
      EXPECT_EQ(convert(c.source, nullptr, encoding), c.built_in) << c.source;
    }
  }
}

// Japanese text inside a raw string over lines, in each encoding.
TEST(ModernCpp, RawStringsHoldAnyCharacters) {
  EXPECT_EQ(convert("R\"(\xE3\x81\x82)\"\n)\" x", kShipped, CharacterEncoding::kUtf8),
            "{SR&quot;(\xE3\x81\x82)&quot;S}\r\n){S&quot; xS}");
  EXPECT_EQ(convert("R\"(\x95\x5C)\" x", kShipped, CharacterEncoding::kShiftJis),
            "{SR&quot;(\x95\x5C)&quot;S} x");
}

// Raw-string delimiters of 15 and 16 characters (C++'s longest) open a raw
// string that runs over lines to its own end, past an end one character
// short; one of 17 opens none, and the quote starts an ordinary literal.
TEST(ModernCpp, RawStringDelimitersUpToSixteenCharacters) {
  const std::string longest = "ABCDEFGHIJKLMNOP";
  for (const CharacterEncoding encoding : {CharacterEncoding::kShiftJis, CharacterEncoding::kUtf8}) {
    for (const std::size_t length : {15u, 16u, 17u}) {
      const std::string d = (longest + "Q").substr(0, length);
      const std::string short_d = d.substr(0, length - 1);
      const std::string source = "R\"" + d + "(a)" + short_d + "\" b\n)" + d + "\" c";
      const std::string expected =
          length <= 16 ? "{SR&quot;" + d + "(a)" + short_d + "&quot; bS}\r\n{S)" + d + "&quot;S} c"
                       : "R{S&quot;" + d + "(a)" + short_d + "&quot;S} b\r\n)" + d + "{S&quot; cS}";
      EXPECT_EQ(convert(source, kShipped, encoding), expected) << length;
    }
  }
}

// The vocabulary made from `text` (after the version line).
std::string convert_with(const std::string& source, const std::string& text, CharacterEncoding encoding) {
  const std::string file = "#version 00000000\n" + text;
  Vocabulary vocabulary;
  load_vocabulary_from_memory(vocabulary, file.data(), file.size());
  const std::string page = testing::convert_in_memory(source, marker_style(), vocabulary, encoding);
  free_vocabulary(vocabulary);
  return page;
}

// A digit separator ends no number: at the end of a number and of the line,
// doubled or before a non-digit, it is left to the char constant it begins, whether the vocabulary has
// separators without the preprocessing-number rule, that rule without separators, or neither.
TEST(ModernCpp, ADigitSeparatorAtTheEndOfANumber) {
  const struct {
    const char* vocabulary;
    const char* source;
    const char* page;
  } cases[] = {
      {"[digit_separator]\n'\n", "1'", "{N1N}{H'H}"},
      {"[digit_separator]\n'\n", "1'000'", "{N1'000N}{H'H}"},
      {"[digit_separator]\n'\n", "0x1F'", "{N0x1FN}{H'H}"},
      {"[digit_separator]\n'\n", "1''2", "{N1N}{H''H}{N2N}"},
      {"[digit_separator]\n'\n", "7'u", "{N7N}{H'uH}"},
      {"[number_rule]\npp_number\n", "1'", "{N1N}{H'H}"},
      {"[number_rule]\npp_number\n", "1e+'", "{N1e+N}{H'H}"},
      {"[+keyword]\nfoo\n", "1'", "{N1N}{H'H}"},
      {"[+keyword]\nfoo\n", "1'000'", "{N1N}{H'000'H}"},
  };
  for (const CharacterEncoding encoding : {CharacterEncoding::kShiftJis, CharacterEncoding::kUtf8}) {
    for (const auto& c : cases) {
      EXPECT_EQ(convert_with(c.source, c.vocabulary, encoding), c.page) << c.vocabulary << c.source;
    }
  }
}

}  // namespace
}  // namespace prismet

namespace prismet {
namespace {

// Line anchors: each line's id, and with line numbers a link on the number.
TEST(LineAnchors, EveryLineHasItsId) {
  const struct {
    bool numbers;
    const char* page;
  } cases[] = {
      // A comment over lines is closed before each line's end and opened
      // again after the next line's anchor, so the tags stay nested.
      {false, "<span id=\"L1\"></span>a\r\n<span id=\"L2\"></span>{C/* xC}\r\n<span id=\"L3\"></span>{C*/C}"},
      {true,
       "<a id=\"L1\" href=\"#L1\">   1: </a>a\r\n<a id=\"L2\" href=\"#L2\">   2: </a>{C/* xC}\r\n"
       "<a id=\"L3\" href=\"#L3\">   3: </a>{C*/C}"},
  };
  for (const auto& c : cases) {
    OutputStyle style = marker_style();
    style.line_anchors = true;
    style.line_numbers = c.numbers;
    Vocabulary vocabulary;
    set_builtin_vocabulary(vocabulary);
    const std::string page =
        testing::convert_in_memory("a\n/* x\n*/", style, vocabulary, CharacterEncoding::kShiftJis);
    free_vocabulary(vocabulary);
    EXPECT_EQ(page, c.page) << c.numbers;
  }
}

}  // namespace
}  // namespace prismet

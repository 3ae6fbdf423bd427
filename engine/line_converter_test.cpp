// Lines kept whole in UTF-8 and with line anchors: ids and numbers follow the
// source's lines however long they are, no character is cut in two, and a
// NUL neither drops the rest of its line nor its end. Without those, every
// piece of a long line is a line of its own and a NUL ends its piece.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "engine/emitter.h"
#include "engine/scanner.h"
#include "tests/marker_conversion.h"

namespace prismet {
namespace {

using testing::marker_style;

constexpr CharacterEncoding kUtf8 = CharacterEncoding::kUtf8;
constexpr CharacterEncoding kShiftJis = CharacterEncoding::kShiftJis;

const std::string kA32765(32765, 'a');  // one byte short of a piece
const std::string kNul(1, '\0');

struct Page {
  std::string text;
  std::uint64_t lines = 0;
};

Page convert(const std::string& source, CharacterEncoding encoding, bool anchors, bool numbers = false,
             TagPair line_tags = {}, SourceEncoding reading = SourceEncoding::kShiftJis) {
  OutputStyle style = marker_style();
  style.line_anchors = anchors;
  style.line_numbers = numbers;
  style.line = line_tags;
  Vocabulary vocabulary;
  set_builtin_vocabulary(vocabulary);
  Page page;
  {
    TextReader input;
    input.open_memory(source.data(), source.size());
    input.decode_as(reading);
    TextWriter output;
    output.open_memory(&page.text);
    page.lines = SourceConverter(style, vocabulary).convert(output, input, encoding);
    output.close();
  }
  free_vocabulary(vocabulary);
  return page;
}

std::string span(int line) { return "<span id=\"L" + std::to_string(line) + "\"></span>"; }

TEST(WholeLines, AnchorsFollowTheSourcesLinesAfterALongLine) {
  const struct {
    const char* name;
    CharacterEncoding encoding;
    std::string character;  // the two or three bytes the piece's end falls into
  } cases[] = {{"UTF-8", kUtf8, "\xE3\x81\x82"}, {"Shift_JIS", kShiftJis, "\x82\xA0"}};
  for (const auto& c : cases) {
    const std::string long_line = kA32765 + c.character + kA32765 + kA32765;
    const std::string source = long_line + "\nb\n";
    EXPECT_EQ(convert(source, c.encoding, true).text, span(1) + long_line + "\r\n" + span(2) + "b\r\n")
        << c.name;
    EXPECT_EQ(
        convert(source, c.encoding, true, true).text,
        "<a id=\"L1\" href=\"#L1\">   1: </a>" + long_line + "\r\n<a id=\"L2\" href=\"#L2\">   2: </a>b\r\n")
        << c.name;
    // The line tags too stand once around the whole line.
    EXPECT_EQ(convert(source, c.encoding, true, false, {"{L", "L}"}).text,
              span(1) + "{L" + long_line + "L}\r\n" + span(2) + "{LbL}\r\n")
        << c.name;
    EXPECT_EQ(convert(source, c.encoding, true).lines, 2u) << c.name;
  }
}

TEST(WholeLines, ANulKeepsTheRestOfItsLineAndItsEnd) {
  const struct {
    const char* name;
    CharacterEncoding encoding;
    bool anchors;
    SourceEncoding reading;
    std::string source;
    std::string page;
  } cases[] = {
      {"UTF-8", kUtf8, false, SourceEncoding::kUtf8, "a" + kNul + "b\nc\n",
       "a\xEF\xBF\xBD"
       "b\r\nc\r\n"},
      {"UTF-8, in a comment", kUtf8, false, SourceEncoding::kUtf8, "x // c" + kNul + kNul + "d\ny",
       "x {C// c\xEF\xBF\xBD\xEF\xBF\xBD"
       "dC}\r\ny"},
      {"automatic, UTF-16", kUtf8, false, SourceEncoding::kAutomatic,
       std::string("\xFF\xFE"
                   "a\0\0\0b\0\n\0c\0",
                   12),
       "a\xEF\xBF\xBD"
       "b\r\nc"},
      {"automatic, ASCII", kUtf8, false, SourceEncoding::kAutomatic, kNul + "q\n", "\xEF\xBF\xBDq\r\n"},
      {"Shift_JIS with anchors", kShiftJis, true, SourceEncoding::kShiftJis, "a" + kNul + "b\nc\n",
       span(1) + "a?b\r\n" + span(2) + "c\r\n"},
      {"UTF-8 with anchors", kUtf8, true, SourceEncoding::kUtf8, "a" + kNul + "\n" + kNul + "\nc",
       span(1) + "a\xEF\xBF\xBD\r\n" + span(2) + "\xEF\xBF\xBD\r\n" + span(3) + "c"},
  };
  for (const auto& c : cases) {
    const Page page = convert(c.source, c.encoding, c.anchors, false, {}, c.reading);
    EXPECT_EQ(page.text, c.page) << c.name;
  }
}

TEST(WholeLines, NoCharacterIsCutAtAPiecesEnd) {
  // A comment runs over the piece's end: it is closed and opened again
  // there, but only between whole characters, and stays a comment.
  const std::string comment = "// " + std::string(32762, 'x');  // one byte short of a piece
  const std::string utf8 = comment + "\xE3\x81\x82z\n";
  EXPECT_EQ(convert(utf8, kUtf8, false, false, {"{L", "L}"}).text,
            "{L{C" + comment + "C}{C\xE3\x81\x82zC}L}\r\n");
  // Every cut: a four-byte character at each offset around the piece's end.
  for (std::size_t shift = 0; shift < 4; ++shift) {
    const std::string line = std::string(32763 + shift, 'a') + "\xF0\x9F\x98\x80" + "b";
    EXPECT_EQ(convert(line + "\n", kUtf8, false, true).text, "   1: " + line + "\r\n") << shift;
  }
  const std::string shift_jis = comment + "\x82\xA0z\n";
  EXPECT_EQ(convert(shift_jis, kShiftJis, true, false, {"{L", "L}"}).text,
            span(1) + "{L{C" + comment + "C}{C\x82\xA0zC}L}\r\n");
}

// Shift_JIS without anchors keeps its pieces: a long line is numbered and
// tagged piece by piece, a double-byte character at a piece's end is cut
// from its second byte, and a NUL ends its piece's text, newline included.
TEST(WholeLines, ShiftJisWithoutAnchorsKeepsItsPieces) {
  const std::string comment = "// " + std::string(32762, 'x');
  EXPECT_EQ(convert(comment + "\x82\xA0z\n", kShiftJis, false, false, {"{L", "L}"}).text,
            "{L{C" + comment +
                "\x82"
                "C}L}{L\xA0zL}\r\n");
  EXPECT_EQ(convert(std::string(32766, 'a') + "bc\nd\n", kShiftJis, false, true).text,
            "   1: " + std::string(32766, 'a') + "   2: bc\r\n   3: d\r\n");
  EXPECT_EQ(convert("a" + kNul + "b\nc\n", kShiftJis, false, true).text, "   1: a   2: c\r\n");
}

// The count a site's index shows: the source's lines, whatever the mode.
TEST(WholeLines, TheLineCountIsTheSourcesLines) {
  const struct {
    std::string source;
    std::uint64_t lines;
  } cases[] = {
      {"", 0},
      {"x", 1},
      {"\n", 1},
      {"a\nb", 2},
      {"a" + kNul + "b\nc\n", 2},
      {kNul + "\n" + kNul + "\n" + kNul, 3},
      {std::string(40000, 'a') + "\nb", 2},
      {std::string(32766, 'a'), 1},
      {std::string(32766, 'a') + "\n", 1},
      {std::string(100000, 'a') + "\n\n", 2},
  };
  for (const auto& c : cases) {
    for (const CharacterEncoding encoding : {kShiftJis, kUtf8}) {
      for (const bool anchors : {false, true}) {
        EXPECT_EQ(convert(c.source, encoding, anchors).lines, c.lines)
            << c.source.size() << " bytes, " << (encoding == kUtf8 ? "UTF-8" : "Shift_JIS")
            << (anchors ? ", anchors" : "");
      }
    }
  }
}

TEST(WholeLines, CutCharacterBytes) {
  const struct {
    const char* text;
    CharacterEncoding encoding;
    std::size_t cut;
  } cases[] = {
      {"a", kUtf8, 0},
      {"a\xC3", kUtf8, 1},
      {"a\xC3\xA9", kUtf8, 0},
      {"a\xE3", kUtf8, 1},
      {"a\xE3\x81", kUtf8, 2},
      {"a\xE3\x81\x82", kUtf8, 0},
      {"\xF0\x9F\x98", kUtf8, 3},
      {"\xF0\x9F\x98\x80", kUtf8, 0},
      {"\xE0\x80", kUtf8, 0},  // no sequence begins so: nothing to keep together
      {"\xF4\x90", kUtf8, 0},
      {"\xED\xA0", kUtf8, 0},
      {"\x80\x80\x80", kUtf8, 0},
      {"\xF5", kUtf8, 0},
      {"\xC0", kUtf8, 0},
      {"", kUtf8, 0},
      {"a\x82", kShiftJis, 1},
      {"\x82\x82", kShiftJis, 0},  // a lead byte and its second byte
      {"\x82\x82\x82", kShiftJis, 1},
      {"\x82\xA0\x82", kShiftJis, 1},
      {"\xA0\x82", kShiftJis, 1},
      {"a", kShiftJis, 0},
      {"", kShiftJis, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(cut_character_bytes(c.text, std::char_traits<char>::length(c.text), c.encoding), c.cut)
        << ::testing::PrintToString(std::string(c.text));
  }
}

}  // namespace
}  // namespace prismet

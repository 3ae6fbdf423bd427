#include "engine/scanner.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/char_sets.h"
#include "tests/test_files.h"

namespace prismet {
namespace {

const char* kind_name(TokenKind kind) {
  switch (kind) {
    case TokenKind::Whitespace:
      return "ws";
    case TokenKind::LineCommentStart:
      return "lc<";
    case TokenKind::LineCommentText:
      return "lc";
    case TokenKind::LineCommentEnd:
      return "lc>";
    case TokenKind::BlockCommentStart:
      return "bc<";
    case TokenKind::BlockCommentText:
      return "bc";
    case TokenKind::BlockCommentEnd:
      return "bc>";
    case TokenKind::StringStart:
      return "s<";
    case TokenKind::StringText:
      return "s";
    case TokenKind::StringEnd:
      return "s>";
    case TokenKind::CharStart:
      return "c<";
    case TokenKind::CharText:
      return "c";
    case TokenKind::CharEnd:
      return "c>";
    case TokenKind::Constant:
      return "num";
    case TokenKind::Keyword:
      return "kw";
    case TokenKind::Plain:
      return "p";
    case TokenKind::Directive:
      return "dir";
    case TokenKind::DirectiveText:
      return "dt";
  }
  return "?";
}

ScanState state_after(TokenKind kind) {
  switch (kind) {
    case TokenKind::LineCommentStart:
    case TokenKind::LineCommentText:
      return ScanState::LineComment;
    case TokenKind::BlockCommentStart:
    case TokenKind::BlockCommentText:
      return ScanState::BlockComment;
    case TokenKind::StringStart:
    case TokenKind::StringText:
      return ScanState::StringLiteral;
    case TokenKind::CharStart:
    case TokenKind::CharText:
      return ScanState::CharConstant;
    default:
      return ScanState::Code;
  }
}

class ScannerTest : public ::testing::Test {
 protected:
  void SetUp() override { set_builtin_vocabulary(vocabulary_); }
  void TearDown() override { free_vocabulary(vocabulary_); }

  // Scans `input` and describes its tokens as "kind:text", with "|" ending
  // each piece ("|\n" when the piece carried a line ending).
  std::string scan(const std::string& input) {
    const std::string path = testing::scratch_path("scan-input");
    testing::write_file(path, input);
    TextReader reader;
    EXPECT_TRUE(reader.open(path.c_str()));
    const VocabularyIndex index(vocabulary_);
    auto line = std::make_unique<SourceLine>();
    ScanState state = ScanState::Code;
    std::string out;
    while (read_source_line(reader, *line)) {
      Token token;
      while (next_token(*line, token, index, state)) {
        if (!out.empty() && out.back() != '\n' && out.back() != '|') out += ' ';
        out += kind_name(token.kind);
        out += ':';
        out.append(token.text, token.length);
        state = state_after(token.kind);
      }
      out += line->line_ending[0] == '\n' ? "|\n" : "|";
    }
    return out;
  }

  Vocabulary vocabulary_;
};

TEST_F(ScannerTest, TokenSequences) {
  struct Case {
    const char* input;
    const char* tokens;
  } const cases[] = {
      {"a//b\n", "p:a lc<:// lc:b lc>:|\n"},
      {"int a = 1; // x\n", "kw:int ws:  p:a ws:  p:= ws:  num:1 p:; ws:  lc<:// lc: x lc>:|\n"},
      {"/* /* */ */", "bc<:/* bc: /*  bc>:*/ ws:  p:* p:/|"},
      {"\"a\\\"b\"", "s<:\" s:a\\\"b s>:\"|"},
      {"'\\\\'", "c<:' c:\\\\ c>:'|"},
      {"\"a\"\"b\"", "s<:\" s:a s>:\" s<:\" s:b s>:\"|"},
      {"x.y", "p:x num:. p:y|"},
      {"1.5e10", "num:1.5 p:e10|"},
      {"0x1F 0X1F 0xg 0x", "num:0x1F ws:  num:0 p:X1F ws:  p:0xg ws:  p:0x|"},
      {"... 1.2.3", "num:... ws:  num:1.2.3|"},
      {"#include # include", "kw:#include ws:  p:# ws:  p:include|"},
      {"int Int int32 print If", "kw:int ws:  p:Int ws:  p:int32 ws:  p:print ws:  p:If|"},
      {"\x95\x5C+", "p:\x95\x5C p:+|"},  // a double-byte character is one token
      {"a\x81", "p:a p:\x81|"},          // lead byte at the very end
      {"a\rb\r\n", "p:a ws:\r p:b|\n"},  // lone CR is whitespace in code
      {"\t\v\f x", "ws:\t\v\f  p:x|"},
      {"a\x1A"
       "b\n",
       "p:a|"},  // 0x1A ends the input
      {"", ""},
      {"\n\n", "|\n|\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(scan(c.input), c.tokens) << "input: " << c.input;
}

TEST_F(ScannerTest, ConstructsRunningOverLines) {
  struct Case {
    const char* input;
    const char* tokens;
  } const cases[] = {
      // A backslash before the newline continues a line comment.
      {"// text \\\nnext\nx", "lc<:// lc: text \\|\nlc:next lc>:|\np:x|"},
      // ... also when it is the second byte of a double-byte character.
      {"//\x95\x5C\nnext", "lc<:// lc:\x95\x5C|\nlc:next lc>:|"},
      // An empty continued line still ends the comment.
      {"//\\\n\nx", "lc<:// lc:\\|\nlc>:|\np:x|"},
      // A line of a lone backslash is continued too, and continues.
      {"// a\\\n\\\nnext\nx", "lc<:// lc: a\\|\nlc:\\|\nlc:next lc>:|\np:x|"},
      // In code a lone backslash continues nothing.
      {"\\\nx", "p:\\|\np:x|"},
      {"/* a\nb */ c", "bc<:/* bc: a|\nbc:b  bc>:*/ ws:  p:c|"},
      {"/*\n\n*/", "bc<:/*|\n|\nbc>:*/|"},  // an empty line in a comment has no token
      {"\"ab\ncd\"e", "s<:\" s:ab|\ns:cd s>:\" p:e|"},
      {"\"ab\\\ncd\"", "s<:\" s:ab\\|\ns:cd s>:\"|"},  // no escape across the line end
      {"/* \"x\" // */ 'y'", "bc<:/* bc: \"x\" //  bc>:*/ ws:  c<:' c:y c>:'|"},
      {"\"/* 12 int\"", "s<:\" s:/* 12 int s>:\"|"},
  };
  for (const Case& c : cases) EXPECT_EQ(scan(c.input), c.tokens) << "input: " << c.input;
}

TEST_F(ScannerTest, EscapesAndDoubleByteCharactersInLiterals) {
  // A backslash escapes a whole double-byte character; the quote after a
  // lead byte is its (unvalidated) second byte, so the literal goes on.
  EXPECT_EQ(scan("\"\\\x95\x5C\" x"), "s<:\" s:\\\x95\x5C s>:\" ws:  p:x|");
  EXPECT_EQ(scan("\"\x81\"\" x"), "s<:\" s:\x81\" s>:\" ws:  p:x|");
  // Block comments end at a plain byte search, even inside a character.
  EXPECT_EQ(scan("/*\x81*/"), "bc<:/* bc:\x81 bc>:*/|");
}

TEST_F(ScannerTest, NulEndsThePieceText) { EXPECT_EQ(scan(std::string("ab\0cd\nef\n", 9)), "p:ab|p:ef|\n"); }

TEST_F(ScannerTest, LongLinesArriveInPieces) {
  const std::string word(kMaxPieceBytes + 10, 'w');
  // (EXPECT_TRUE: a failure should not print 32 KiB strings.)
  EXPECT_TRUE(scan(word + "\n") ==
              "p:" + std::string(kMaxPieceBytes, 'w') + "|p:" + std::string(10, 'w') + "|\n");
  // A line comment ends with its piece; the next piece is code again.
  const std::string comment = "//" + std::string(kMaxPieceBytes - 2, ' ') + "int\n";
  EXPECT_TRUE(scan(comment) == "lc<:// lc:" + std::string(kMaxPieceBytes - 2, ' ') + " lc>:|kw:int|\n");
  // A double-byte character cut at the boundary is two one-byte tokens.
  const std::string cut = std::string(kMaxPieceBytes - 1, ' ') + "\x95\x5C";
  EXPECT_TRUE(scan(cut) == "ws:" + std::string(kMaxPieceBytes - 1, ' ') + " p:\x95|p:\x5C|");
  // A piece of exactly the limit leaves the newline for a piece of its own.
  EXPECT_TRUE(scan(std::string(kMaxPieceBytes, 'a') + "\nb") ==
              "p:" + std::string(kMaxPieceBytes, 'a') + "||\np:b|");
}

TEST_F(ScannerTest, FirstMatchingDelimiterWinsNotTheLongest) {
  add_entry(*vocabulary_.block_comment, "/**", "**/");
  EXPECT_EQ(scan("/** a */ b **/"), "bc<:/* bc:* a  bc>:*/ ws:  p:b ws:  p:* p:* p:/|");
  clear_list(*vocabulary_.block_comment);
  add_entry(*vocabulary_.block_comment, "/**", "**/");
  add_entry(*vocabulary_.block_comment, "/*", "*/");
  EXPECT_EQ(scan("/** a */ b **/"), "bc<:/** bc: a */ b  bc>:**/|");
}

TEST_F(ScannerTest, EmptyListsAndDegenerateEntriesNeverLoop) {
  clear_list(*vocabulary_.keyword);
  clear_list(*vocabulary_.string_literal);
  EXPECT_EQ(scan("int \"a\""), "p:int ws:  p:\" p:a p:\"|");
  // Entries with empty delimiters are never matched and never stall.
  add_entry(*vocabulary_.block_comment, "", "");
  add_entry(*vocabulary_.line_comment, "", std::nullopt);
  add_entry(*vocabulary_.string_literal, "<", "");
  EXPECT_EQ(scan("a<b\nc"), "p:a s<:< s:b|\ns:c|");
}

TEST_F(ScannerTest, KeywordsAreWholeWordsOnly) {
  add_entry(*vocabulary_.keyword, "a-b", std::nullopt);  // holds a non-word byte: never matches
  add_entry(*vocabulary_.keyword, "nullptr", std::nullopt);
  EXPECT_EQ(scan("a-b nullptr nullptrx"), "p:a p:- p:b ws:  kw:nullptr ws:  p:nullptrx|");
}

TEST(FindEndDelimiter, HonoursEscapes) {
  struct Case {
    const char* text;
    const char* end_text;
    int expected;  // -1: none
  } const cases[] = {
      {"ab\"", "\"", 2}, {"a\\\"b\"", "\"", 4}, {"\\\\\"", "\"", 2}, {"abc", "\"", -1},
      {"a\\", "\"", -1}, {"x]]y]]", "]]", 1},   {"\\]]]]", "]]", 2}, {"", "\"", -1},
  };
  for (const Case& c : cases) {
    const char* end = c.text + std::strlen(c.text);
    const char* found = find_end_delimiter(c.text, end, c.end_text);
    EXPECT_EQ(found == nullptr ? -1 : found - c.text, c.expected) << c.text;
  }
}

// A word's end, found sixteen bytes at a time: the bytes on either side of
// each range of word bytes end it, and so does any byte at or above 0x80,
// wherever in the sixteen it falls. The bytes after the end are junk, as
// a piece's padding is.
TEST(WordRunEnd, StopsAtTheFirstByteThatIsNoWordByte) {
  struct Case {
    std::string text;
    std::size_t expected;
  };
  const Case cases[] = {
      {"abc def", 3},
      {"#if_x9Z(", 7},
      {"/", 0},
      {"a@", 1},
      {"Z[", 1},
      {"z{", 1},
      {"a`", 1},
      {"9:", 1},
      {"0/", 1},
      {"_$", 1},
      {"A\x7f", 1},
      {"Ab\x80", 2},
      {"ab\xC1", 2},
      {"abc\xE0", 3},
      {"ab\xDA", 2},  // 0xDA | 0x20 is no letter either
      {std::string(15, 'q') + ";", 15},
      {std::string(16, 'q') + ";", 16},
      {std::string(17, 'q') + ";", 17},
      {std::string(47, 'k') + "-", 47},
      {std::string(5, 'w') + std::string(1, '\0') + "abc", 5},
  };
  for (const Case& c : cases) {
    std::string buffer = c.text;
    buffer.append(48, 'j');  // junk word bytes after the end
    EXPECT_EQ(static_cast<std::size_t>(word_run_end(buffer.data()) - buffer.data()), c.expected) << c.text;
  }
}

}  // namespace
}  // namespace prismet

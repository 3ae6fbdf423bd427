// The token scanner: splits a source text, line piece by line piece, into
// typed tokens with a state machine whose state carries over from one line to
// the next. What counts as a comment, literal or keyword comes from the
// vocabulary; whitespace, numbers and word bytes are fixed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "common/character_encoding.h"
#include "common/text_stream.h"
#include "engine/vocabulary_index.h"

namespace prismet {

enum class ScanState : std::int32_t {
  LineComment = 1,
  BlockComment = 2,
  StringLiteral = 3,
  CharConstant = 4,
  Code = 5,
};

enum class TokenKind : std::int32_t {
  Whitespace = 100,
  LineCommentStart = 101,
  LineCommentText = 102,
  LineCommentEnd = 103,
  BlockCommentStart = 104,
  BlockCommentText = 105,
  BlockCommentEnd = 106,
  StringStart = 107,
  StringText = 108,
  StringEnd = 109,
  CharStart = 110,
  CharText = 111,
  CharEnd = 112,
  Constant = 113,
  Keyword = 114,
  Plain = 115,
  // Produced only by vocabularies with directives: "#  include" (written
  // with the keyword's tags) and the text after "#error" (written as text).
  Directive = 116,
  DirectiveText = 117,
};

// One scanned piece of a line. The text is a view of the bytes the token
// consumed inside the line piece (never holding a NUL); it stays valid until
// the next piece is read. LineCommentEnd has empty text.
struct Token {
  TokenKind kind;
  const char* text;
  std::size_t length;
};

// The longest text of one line piece.
inline constexpr std::size_t kMaxPieceBytes = 32766;
// Bytes after a piece's NUL that may be read but mean nothing: the run loop
// looks for a word's end 16 bytes at a time.
inline constexpr std::size_t kPiecePadding = 16;

// The line cursor of one conversion. start_source sets it before the first
// line of each source.
struct SourceLine {
  bool continuation;             // the piece ended with a newline right after a backslash
  bool goes_on;                  // the piece goes on with the line of the one before
  bool line_open;                // the piece read last did not end its line (goes_on of the next)
  bool directive_text;           // the rest of the line is a directive's text ("#error ...")
  const char* position;          // where scanning goes on
  std::string_view pending_end;  // closes the open block comment or literal; empty: none
  bool raw;                      // the open literal is a raw string: no escapes, pending_end in raw_end
  char raw_end[64];              // ")", the delimiter and the raw string's end
  char line_ending[2];           // "\n" or ""
  std::size_t length;            // bytes of text before its first NUL; text[length] is that NUL
  // The bytes read ended with a newline (which a NUL before it may have
  // kept out of the text): the piece ends a line of the source.
  bool ends_source_line;
  // Whole lines only: the start of a character cut off at the end of the
  // last piece, which begins the next one.
  std::uint8_t carried;
  char carry[4];
  char text[kMaxPieceBytes + 1 + kPiecePadding];
};

// Starts a source: no open comment or literal, an empty piece. The text
// buffer is left as it is: every read writes the text and its NUL before
// anything looks at it, so starting a small file costs no more than its bytes.
inline void start_source(SourceLine& line) {
  line.continuation = false;
  line.goes_on = false;
  line.line_open = false;
  line.directive_text = false;
  line.position = line.text;
  line.pending_end = std::string_view();
  line.raw = false;
  line.line_ending[0] = line.line_ending[1] = '\0';
  line.length = 0;
  line.ends_source_line = false;
  line.carried = 0;
  line.text[0] = '\0';
}

// Reads the next piece (up to and including a newline, at most 32,766 bytes)
// into the line. False at the end of the input. The pending end is kept.
// Inline: the emitter's line loop calls it for every line.
inline bool read_source_line(TextReader& input, SourceLine& line) {
  line.position = line.text;
  std::size_t length = 0;
  const std::size_t stored = input.read_line(line.text, kMaxPieceBytes, &length);
  if (stored == 0) return false;
  line.goes_on = line.line_open;
  // A directive's text runs on while its line does.
  line.directive_text = line.directive_text && line.goes_on;
  line.continuation = false;
  line.line_ending[0] = '\0';
  line.ends_source_line = line.text[stored - 1] == '\n';
  // The text ends at its first NUL; a piece cut short by one has no newline.
  if (length == stored && line.ends_source_line) {
    line.text[--length] = '\0';
    line.line_ending[0] = '\n';
    line.line_ending[1] = '\0';
    if (length >= 1 && line.text[length - 1] == '\\') line.continuation = true;
  }
  line.line_open = line.line_ending[0] == '\0' || line.continuation;
  line.length = length;
  return true;
}

// What read_whole_line_piece delivers in place of a NUL byte: U+FFFD in
// UTF-8; in code page 932, which has no such character, a question mark.
inline constexpr std::string_view kUtf8NulReplacement = "\xEF\xBF\xBD";
inline constexpr std::string_view kShiftJisNulReplacement = "?";

// The bytes at the end of `text` that begin a character the end cuts off:
// a lead byte that the walk from `text` on (which starts at a character's
// start) leaves alone in code page 932; a lead byte and the continuation
// bytes that may follow it in UTF-8. 0 when the last character is whole.
std::size_t cut_character_bytes(const char* text, std::size_t size, CharacterEncoding encoding);

// read_source_line for the modes that keep whole lines: the input must
// deliver NULs replaced (TextReader::replace_nuls with the replacement
// above), so that no NUL cuts a line short. A line longer than one piece
// still arrives in pieces, but a piece never ends inside a character: the
// cut character's first bytes are carried over into the next piece. A
// piece that does not end its line sets `continuation`, so that a line
// comment runs on into the rest of its line.
// The end of read_whole_line_piece for a piece that holds a NUL or does not
// end with a newline; returns the text's length.
std::size_t end_cut_piece(SourceLine& line, std::size_t stored, std::size_t read, std::size_t before_nul,
                          CharacterEncoding encoding);
// Inline: the line loop calls it for every line.
inline bool read_whole_line_piece(TextReader& input, SourceLine& line, CharacterEncoding encoding) {
  line.position = line.text;
  const std::size_t carried = line.carried;
  if (carried != 0) {
    std::memcpy(line.text, line.carry, carried);
    line.carried = 0;
  }
  std::size_t before_nul = 0;
  const std::size_t read = input.read_line(line.text + carried, kMaxPieceBytes - carried, &before_nul);
  std::size_t stored = carried + read;
  if (stored == 0) return false;
  line.goes_on = line.line_open;
  line.directive_text = line.directive_text && line.goes_on;
  line.line_ending[0] = '\0';
  line.ends_source_line = line.text[stored - 1] == '\n';
  if (before_nul == read && line.ends_source_line) {
    line.text[--stored] = '\0';
    line.line_ending[0] = '\n';
    line.line_ending[1] = '\0';
    line.continuation = stored >= 1 && line.text[stored - 1] == '\\';
  } else {
    stored = end_cut_piece(line, stored, read, before_nul, encoding);
  }
  line.line_open = line.line_ending[0] == '\0' || line.continuation;
  line.length = stored;
  return true;
}

// Produces the next token of the line for the state; false when the state has
// no further token on this line. The encoding decides which bytes form one
// character: a token never ends inside one.
bool next_token(SourceLine& line, Token& token, const VocabularyIndex& index, ScanState state,
                CharacterEncoding encoding = CharacterEncoding::kShiftJis);

// The first entry of `list` whose whole start begins at `position`, or
// nullptr. `end` bounds the comparison (the piece's NUL).
const VocabularyEntry* find_start_delimiter(const char* position, const char* end, const EntryList* list);

// The position of `end_text` at or after `position`, stepping character by
// character of the encoding and over a backslash together with the
// character it escapes; nullptr when the end text does not occur before
// `end` (the piece's NUL).
const char* find_end_delimiter(const char* position, const char* end, std::string_view end_text,
                               CharacterEncoding encoding = CharacterEncoding::kShiftJis);

}  // namespace prismet

// The token scanner: splits a source text, line piece by line piece, into
// typed tokens with a state machine whose state carries over from one line to
// the next. What counts as a comment, literal or keyword comes from the
// vocabulary; whitespace, numbers and word bytes are fixed.
//
// Here are the line cursor and its reads, and every recogniser (in
// prismet::scan, at the end): the code state (words, numbers, delimiters that
// open comments and literals, raw strings) and the states inside comments,
// string literals and char constants, with scan_token choosing among them.
// Each recogniser consumes the bytes of one token from the line's position
// and never ends inside a character of the encoding. They are inline so that
// the emitter's run loop (which copies tokens that need no markup in one
// piece) and next_token share one definition without a call per token.
#pragma once

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "common/character_encoding.h"
#include "common/cp932.h"
#include "common/text_padding.h"
#include "common/text_stream.h"
#include "engine/char_sets.h"
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
// Bytes after a piece's NUL that may be read but mean nothing
// (text_padding.h).
inline constexpr std::size_t kPiecePadding = kPieceReadPadding;

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

static_assert(sizeof(SourceLine::text) == kMaxPieceBytes + 1 + kPieceReadPadding,
              "a piece's text, its NUL and the bytes its loads may read past the NUL");
static_assert(kMaxPieceBytes >= kShortLineCopyBytes, "a short line is read with one copy of fixed length");
static_assert(KeywordSet::kShortKey <= kPieceReadPadding,
              "a word of the keyword table is loaded whole from any byte before the NUL");

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
  assert(line.text[length] == '\0');
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
  assert(line.text[stored] == '\0');
  return true;
}

// The first entry of `list` whose whole start begins at `position`, or
// nullptr. `end` bounds the comparison (the piece's NUL).
const VocabularyEntry* find_start_delimiter(const char* position, const char* end, const EntryList* list);

// For tests and the fuzz targets only: the recognisers one call at a time,
// with the encoding chosen at run time (the emitter's loop instantiates
// scan::scan_token for its encoding instead).

// Produces the next token of the line for the state; false when the state has
// no further token on this line. The encoding decides which bytes form one
// character: a token never ends inside one.
bool next_token(SourceLine& line, Token& token, const VocabularyIndex& index, ScanState state,
                CharacterEncoding encoding = CharacterEncoding::kShiftJis);

// The position of `end_text` at or after `position`, stepping character by
// character of the encoding and over a backslash together with the
// character it escapes; nullptr when the end text does not occur before
// `end` (the piece's NUL).
const char* find_end_delimiter(const char* position, const char* end, std::string_view end_text,
                               CharacterEncoding encoding = CharacterEncoding::kShiftJis);

}  // namespace prismet

// The recognisers of the token scanner, inline: see the top of this file.
namespace prismet::scan {

enum DelimiterList { kLineCommentList = 0, kBlockCommentList, kStringList, kCharList, kRawList };

// The longest delimiter of a raw string, as C++ has it.
inline constexpr std::size_t kMaxRawDelimiter = 16;

// Delimiters are a few bytes long: compared in a loop, without a call.
inline bool begins_with(const char* position, const char* end, std::string_view text) {
  if (text.empty() || static_cast<std::size_t>(end - position) < text.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (position[i] != text[i]) return false;
  }
  return true;
}

inline const char* text_end(const SourceLine& line) { return line.text + line.length; }

inline void produce(SourceLine& line, Token& token, TokenKind kind, std::size_t length) {
  token.kind = kind;
  token.text = line.position;
  token.length = length;
  line.position += length;
}

// The start delimiter of `list` at the position, if any; sets the pending
// end for the pair lists.
inline bool start_delimiter(SourceLine& line, Token& token, const EntryList* list, TokenKind kind,
                            bool opens_pair) {
  const VocabularyEntry* entry = find_start_delimiter(line.position, text_end(line), list);
  if (entry == nullptr) return false;
  produce(line, token, kind, entry->start.size());
  line.pending_end =
      opens_pair && entry->end.has_value() ? std::string_view(*entry->end) : std::string_view();
  return true;
}

// A raw string's start at the position: an entry's start, at most 16
// delimiter characters (none of space, parentheses, backslash, control
// characters) and "(". The end to look for, ")" with the delimiter and the
// entry's end, is kept in the line; an opener that is not whole is no raw
// string (the other recognisers then take it).
inline bool raw_string_start(SourceLine& line, Token& token, const EntryList* list) {
  if (list == nullptr) return false;
  const char* end = text_end(line);
  for (auto* node = list->first(); node != nullptr; node = node->next()) {
    const VocabularyEntry& entry = node->item();
    if (!entry.end.has_value() || !begins_with(line.position, end, entry.start)) continue;
    const char* delimiter = line.position + entry.start.size();
    const char* p = delimiter;
    while (p < end && static_cast<std::size_t>(p - delimiter) <= kMaxRawDelimiter) {
      const unsigned char c = static_cast<unsigned char>(*p);
      if (c == '(' || c <= ' ' || c == ')' || c == '\\' || c >= 0x7F) break;
      ++p;
    }
    const std::size_t length = static_cast<std::size_t>(p - delimiter);
    if (p == end || *p != '(' || length > kMaxRawDelimiter) continue;
    if (1 + length + entry.end->size() > sizeof line.raw_end) continue;
    line.raw_end[0] = ')';
    std::memcpy(line.raw_end + 1, delimiter, length);
    std::memcpy(line.raw_end + 1 + length, entry.end->data(), entry.end->size());
    produce(line, token, TokenKind::StringStart, entry.start.size() + length + 1);
    line.pending_end = std::string_view(line.raw_end, 1 + length + entry.end->size());
    line.raw = true;
    return true;
  }
  return false;
}

// The preprocessing number at `p`, which begins with a digit or a point and
// a digit: digits, letters, '_', points, an exponent's sign after e, E, p or
// P, and a separator followed by a digit or letter.
inline bool is_identifier_byte(unsigned char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

inline std::size_t pp_number_length(const char* p, const VocabularyIndex& index) {
  std::size_t i = p[0] == '.' ? 2 : 1;
  for (;;) {
    const unsigned char c = static_cast<unsigned char>(p[i]);
    if ((c == 'e' || c == 'E' || c == 'p' || c == 'P') && (p[i + 1] == '+' || p[i + 1] == '-')) {
      i += 2;
    } else if (is_identifier_byte(c) || c == '.') {
      ++i;
    } else if (index.digit_separator[c] && is_identifier_byte(static_cast<unsigned char>(p[i + 1]))) {
      i += 2;
    } else {
      return i;
    }
  }
}

// A run of `set` that separators may split: each separator must be
// followed by a byte of the set. No bound is needed: the piece's NUL ends it.
inline std::size_t separated_run_length(const char* p, CharSet set, const VocabularyIndex& index) {
  std::size_t i = run_length_to_nul(p, set);
  while (index.digit_separator[static_cast<unsigned char>(p[i])] && in_set(p[i + 1], set)) {
    i += 1 + run_length_to_nul(p + i + 1, set);
  }
  return i;
}

// The position after the character at `position` of a piece whose NUL is
// at `end`: a Shift_JIS lead byte takes the byte after it unless that is the
// NUL; a UTF-8 character is a well-formed sequence or one byte.
// In UTF-8, delimiters are matched at character starts (a block comment's
// end by a byte search, which finds only character starts for any end that
// begins with an ASCII byte or a lead byte), but a delimiter that is itself
// cut or invalid UTF-8 may still begin or end inside a character and is
// taken: the page's bytes stay the source's, only a tag may fall inside the
// character.
template <CharacterEncoding E>
inline const char* character_end(const char* position, const char* end) {
  if constexpr (E == CharacterEncoding::kShiftJis) {
    return next_char(position);
  } else {
    if (position >= end) return position;
    return position + utf8_sequence_length(position, end);
  }
}

// Runs of the fixed byte sets (words, whitespace, digits) need no bound: they
// stop at the piece's terminating NUL at the latest.
template <CharacterEncoding E>
inline void word_or_character(SourceLine& line, Token& token, const VocabularyIndex& index) {
  const std::size_t run = run_length_to_nul(line.position, kWordByte);
  if (run > 0) {
    const bool keyword = index.keywords.contains_padded(line.position, run);
    produce(line, token, keyword ? TokenKind::Keyword : TokenKind::Plain, run);
    return;
  }
  produce(line, token, TokenKind::Plain,
          static_cast<std::size_t>(character_end<E>(line.position, text_end(line)) - line.position));
}

// A number by the vocabulary's rules (digit separators, the
// preprocessing-number rule) at a point or digit; false when there is none
// (a point not followed by a digit under the preprocessing-number rule, or
// "0x" without a hexadecimal digit).
inline bool vocabulary_number(SourceLine& line, Token& token, const VocabularyIndex& index) {
  const char* p = line.position;
  if (index.pp_numbers) {
    if (p[0] == '.' && !(p[1] >= '0' && p[1] <= '9')) return false;
    produce(line, token, TokenKind::Constant, pp_number_length(p, index));
    return true;
  }
  if (p[0] == '0' && p[1] == 'x') {
    const std::size_t digits = separated_run_length(p + 2, kHexDigitByte, index);
    if (digits == 0) return false;
    produce(line, token, TokenKind::Constant, 2 + digits);
    return true;
  }
  produce(line, token, TokenKind::Constant, separated_run_length(p, kDecimalByte, index));
  return true;
}

// A directive at the position, a '#' that is the first byte of its line but
// for whitespace: the whitespace after it and a directive word make one
// token with it ("#  include"). A word whose rest of line is text marks the
// line for it. False when the vocabulary knows no such word there.
inline bool directive(SourceLine& line, Token& token, const VocabularyIndex& index) {
  if (line.goes_on) return false;
  for (const char* p = line.text; p < line.position; ++p) {
    if (!in_set(*p, kWhitespaceByte)) return false;
  }
  const char* word = line.position + 1;
  word += run_length_to_nul(word, kWhitespaceByte);
  std::size_t length = 0;
  while (is_identifier_byte(static_cast<unsigned char>(word[length]))) ++length;
  if (length == 0) return false;
  // The piece's padding lets 16 bytes be read at any word of it.
  const bool text = index.directive_text_words.contains_padded(word, length);
  if (!text && !index.directive_words.contains_padded(word, length)) return false;
  produce(line, token, TokenKind::Directive, static_cast<std::size_t>(word + length - line.position));
  line.directive_text = text;
  return true;
}

// The recognisers of code, in their fixed order: whitespace, the four start
// delimiters, a number, a word or one character. The byte at the position
// decides which of them can produce anything at all.
template <CharacterEncoding E>
inline bool scan_code(SourceLine& line, Token& token, const VocabularyIndex& index) {
  const char* end = text_end(line);
  const char* p = line.position;
  if (line.directive_text) [[unlikely]] {
    produce(line, token, TokenKind::DirectiveText, static_cast<std::size_t>(end - p));
    return true;
  }
  const unsigned char byte = static_cast<unsigned char>(*p);
  const std::uint8_t sets = kCharSets.bits[byte];
  if (sets & kWhitespaceByte) {
    produce(line, token, TokenKind::Whitespace, run_length_to_nul(p, kWhitespaceByte));
    return true;
  }
  if (const std::uint8_t lists = index.can_start[byte]) {
    const Vocabulary& vocabulary = index.vocabulary;
    if (((lists & (1u << kRawList)) && raw_string_start(line, token, vocabulary.raw_string.get())) ||
        ((lists & (1u << kLineCommentList)) &&
         start_delimiter(line, token, vocabulary.line_comment.get(), TokenKind::LineCommentStart, false)) ||
        ((lists & (1u << kBlockCommentList)) &&
         start_delimiter(line, token, vocabulary.block_comment.get(), TokenKind::BlockCommentStart, true)) ||
        ((lists & (1u << kStringList)) &&
         start_delimiter(line, token, vocabulary.string_literal.get(), TokenKind::StringStart, true)) ||
        ((lists & (1u << kCharList)) &&
         start_delimiter(line, token, vocabulary.char_constant.get(), TokenKind::CharStart, true))) {
      return true;
    }
  }
  if (sets & kDecimalByte) {
    if (index.number_rules) [[unlikely]] {
      if (vocabulary_number(line, token, index)) return true;
    } else if (byte == '0' && end - p >= 2 && p[1] == 'x') {
      // "0x" needs a hexadecimal digit; without one the number declines and
      // the word recogniser takes "0x..." as a word.
      const std::size_t digits = run_length_to_nul(p + 2, kHexDigitByte);
      if (digits > 0) {
        produce(line, token, TokenKind::Constant, 2 + digits);
        return true;
      }
    } else {
      produce(line, token, TokenKind::Constant, run_length_to_nul(p, kDecimalByte));
      return true;
    }
  }
  if (byte == '#' && index.directives && directive(line, token, index)) return true;
  word_or_character<E>(line, token, index);
  return true;
}

// Inside comments, string literals and char constants.
// Byte-wise search for the first occurrence of `needle` in [from, end).
inline const char* search(const char* from, const char* end, std::string_view needle) {
  if (needle.empty()) return nullptr;
  const unsigned char first = static_cast<unsigned char>(needle[0]);
  while (static_cast<std::size_t>(end - from) >= needle.size()) {
    const void* hit = std::memchr(from, first, static_cast<std::size_t>(end - from) - needle.size() + 1);
    if (hit == nullptr) return nullptr;
    const char* candidate = static_cast<const char*>(hit);
    if (begins_with(candidate, end, needle)) return candidate;
    from = candidate + 1;
  }
  return nullptr;
}

// find_end_delimiter for one encoding: the end text at a character start,
// a backslash stepping over the character after it.
template <CharacterEncoding E>
inline const char* find_end_delimiter_in(const char* position, const char* end, std::string_view end_text) {
  if (end_text.empty()) return nullptr;
  while (position < end) {
    if (begins_with(position, end, end_text)) return position;
    if (*position == '\\') ++position;
    // The piece is NUL-terminated at `end`, so the step stops there.
    position = character_end<E>(position, end);
  }
  return nullptr;
}

// Recognisers shared by the block comment, string and char states: the end
// delimiter, then the text up to it.
// With `suffix`, the letters, digits and '_' right after the end delimiter
// belong to it (a literal's suffix keeps its colour).
inline bool end_delimiter(SourceLine& line, Token& token, TokenKind kind, bool suffix = false) {
  if (!begins_with(line.position, text_end(line), line.pending_end)) return false;
  std::size_t length = line.pending_end.size();
  if (suffix) {
    while (is_identifier_byte(static_cast<unsigned char>(line.position[length]))) ++length;
  }
  produce(line, token, kind, length);
  line.pending_end = std::string_view();
  line.raw = false;
  return true;
}

inline bool scan_block_comment(SourceLine& line, Token& token) {
  if (end_delimiter(line, token, TokenKind::BlockCommentEnd)) return true;
  const char* end = text_end(line);
  const char* found = search(line.position, end, line.pending_end);
  produce(line, token, TokenKind::BlockCommentText,
          static_cast<std::size_t>((found != nullptr ? found : end) - line.position));
  return true;
}

// A raw string's text runs to its end as it stands: no escapes, and its end
// begins with ')', which is never part of a character.
inline bool scan_raw_string(SourceLine& line, Token& token, bool suffix) {
  if (end_delimiter(line, token, TokenKind::StringEnd, suffix)) return true;
  const char* end = text_end(line);
  const char* found = search(line.position, end, line.pending_end);
  produce(line, token, TokenKind::StringText,
          static_cast<std::size_t>((found != nullptr ? found : end) - line.position));
  return true;
}

template <CharacterEncoding E>
inline bool scan_literal(SourceLine& line, Token& token, TokenKind end_kind, TokenKind text_kind,
                         bool suffix) {
  if (end_delimiter(line, token, end_kind, suffix)) return true;
  const char* end = text_end(line);
  const char* found = find_end_delimiter_in<E>(line.position, end, line.pending_end);
  produce(line, token, text_kind, static_cast<std::size_t>((found != nullptr ? found : end) - line.position));
  return true;
}

inline bool scan_line_comment(SourceLine& line, Token& token) {
  const char* end = text_end(line);
  if (line.position < end) {
    produce(line, token, TokenKind::LineCommentText, static_cast<std::size_t>(end - line.position));
    return true;
  }
  if (line.continuation) return false;
  produce(line, token, TokenKind::LineCommentEnd, 0);
  return true;
}

// At the end of a line that does not end in a backslash, a literal of a
// list that ends with its line ends there, with an empty end token.
inline bool literal_line_end(SourceLine& line, Token& token, const VocabularyIndex& index, ScanState state) {
  const bool ends = state == ScanState::StringLiteral  ? index.string_ends_with_line && !line.raw
                    : state == ScanState::CharConstant ? index.char_ends_with_line
                                                       : false;
  if (!ends || line.line_ending[0] == '\0' || line.continuation) return false;
  produce(line, token, state == ScanState::StringLiteral ? TokenKind::StringEnd : TokenKind::CharEnd, 0);
  line.pending_end = std::string_view();
  return true;
}

// next_token: the recognisers of the state.
template <CharacterEncoding E>
[[gnu::always_inline]] inline bool scan_token(SourceLine& line, Token& token, const VocabularyIndex& index,
                                              ScanState state) {
  if (state == ScanState::LineComment) return scan_line_comment(line, token);
  if (line.position >= text_end(line)) return literal_line_end(line, token, index, state);
  switch (state) {
    case ScanState::BlockComment:
      return scan_block_comment(line, token);
    case ScanState::StringLiteral:
      if (line.raw) return scan_raw_string(line, token, index.raw_suffix);
      return scan_literal<E>(line, token, TokenKind::StringEnd, TokenKind::StringText, index.string_suffix);
    case ScanState::CharConstant:
      return scan_literal<E>(line, token, TokenKind::CharEnd, TokenKind::CharText, index.char_suffix);
    case ScanState::Code:
      return scan_code<E>(line, token, index);
    default:
      return false;
  }
}

}  // namespace prismet::scan

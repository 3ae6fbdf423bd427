// Turns the source's line pieces into page text: the line and category tags around
// the token loop, and in the code state a run loop. Most of code is written
// exactly as it stands (or only escaped): whitespace, words that are no
// keyword, punctuation. Those bytes are gathered into runs and written in
// one piece; keywords and numbers get their tags on the way, and only the
// delimiters that change the state leave the run loop. A table built once
// per conversion tells, byte by byte, what may begin at a token boundary.
// Internal to the engine.
#pragma once

#include <cstdint>

#include "engine/page_writer.h"
#include "engine/scanner.h"
#include "engine/vocabulary_index.h"
#include "settings/output_style.h"

namespace prismet {

class LineConverter {
 public:
  // The index must outlive the converter.
  LineConverter(const VocabularyIndex& index, const OutputStyle& style);

  // Converts every line piece the input still holds, from the code state,
  // each after its line-number prefix when the style asks for one. `line` is
  // the file's cursor. Returns the number of source lines: the newlines
  // read (one that a NUL kept off the page included), and a last line
  // without one.
  // In UTF-8, and with line anchors, lines are kept whole: each line of the
  // source gets one prefix, one anchor and one pair of line tags however
  // many pieces it is read in, no piece ends inside a character, and a NUL
  // is replaced (the input's NUL replacement is set for that) rather than
  // ending its piece's text. Otherwise every piece is a line of its own and
  // a NUL ends its piece's text, its newline included.
  std::uint64_t convert_lines(PageWriter& page, TextReader& input, SourceLine& line,
                              CharacterEncoding encoding) const;

 private:
  // The conversion for one encoding: the stepping is chosen once per file,
  // not per character.
  template <CharacterEncoding E>
  std::uint64_t convert_lines_as(PageWriter& page, TextReader& input, SourceLine& line) const;
  template <CharacterEncoding E>
  std::uint64_t convert_whole_lines_as(PageWriter& page, TextReader& input, SourceLine& line) const;
  // Scans the code state from the line's position and writes it, keywords
  // and numbers with their tags, up to the next token that opens a comment,
  // string literal or char constant: returns true with that token (the
  // position after it) after writing the text before it, or false at the
  // line's end after writing the rest. Writes exactly what next_token and
  // the reference converter of the tests would write token by token. With
  // `kLinks`, identifiers that the page's links know are written inside a
  // link, and nothing else changes.
  template <CharacterEncoding E, bool kLinks>
  bool write_code_until_opener(PageWriter& page, SourceLine& line, Token& token, std::int64_t& column) const;
  // A word the run loop meets: a keyword with its tags
  // or, with `kLinks`, an identifier inside its link, each after the run
  // before it. Returns where the run goes on.
  template <bool kLinks>
  const char* write_word(PageWriter& page, const SourceLine& line, const char* run, const char* word,
                         const char* word_end, std::int64_t& column) const;
  // The identifier [begin, end) of the line inside its link when the page's
  // links know it: the run up to it is written first, and true returned.
  // False, with nothing written, when it links nowhere.
  bool write_identifier_link(PageWriter& page, const SourceLine& line, const char* run, const char* begin,
                             const char* end, std::int64_t& column) const;
  // The token loop of the code state and the other states, up to the
  // piece's end.
  template <CharacterEncoding E, bool kLinks>
  ScanState scan_rest(PageWriter& page, SourceLine& line, ScanState state, std::int64_t& column) const;
  // scan_rest with identifier links, out of the line loop of pages without.
  template <CharacterEncoding E>
  ScanState scan_linked(PageWriter& page, SourceLine& line, ScanState state, std::int64_t& column) const;
  // The token loop of one line piece, reopening and closing the category
  // that runs over the piece's start and end; `column` goes on from where
  // the line's last piece left it.
  template <CharacterEncoding E>
  ScanState scan_tokens(PageWriter& page, SourceLine& line, ScanState state, std::int64_t& column) const;
  // At the start of a line in the code state: when the line is an include
  // directive whose header name the page's links know, writes the line's
  // tokens one by one up to the name's end, the name inside a link.
  template <CharacterEncoding E>
  void write_include_link(PageWriter& page, SourceLine& line, ScanState& state, std::int64_t& column) const;
  // One line piece between the line tags, with its line ending; returns the
  // state at the line's end.
  template <CharacterEncoding E>
  ScanState convert_one_line(PageWriter& page, SourceLine& line, ScanState state) const;

  void flush(PageWriter& page, const char* from, const char* to, std::int64_t& column) const;
  template <CharacterEncoding E>
  bool stays_in_run(const Token& token) const;

  const VocabularyIndex& index_;
  // Runs go through the escaper when spaces or tabs are rewritten (columns
  // are counted there); otherwise they hold nothing to escape and are copied.
  bool escaped_;
  bool line_numbers_;
  bool line_anchors_;
  bool nbsp_spaces_;
  // What a byte at a token boundary starts, by byte value (ByteClass), in
  // Shift_JIS and in UTF-8.
  std::uint8_t class_[256];
  std::uint8_t utf8_class_[256];
};

}  // namespace prismet

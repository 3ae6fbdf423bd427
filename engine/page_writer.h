// Where every byte of a page goes on its way out: the style's tags,
// prepared once per conversion so that a tag without an LF is copied as it
// stands, and the text escaper for the source's own bytes. Nothing reaches
// the writer unescaped but the tags. Internal to the engine.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "common/text_stream.h"
#include "engine/char_sets.h"
#include "engine/page_links.h"
#include "engine/scanner.h"
#include "engine/text_escaper.h"
#include "settings/output_style.h"

namespace prismet {

// A tag of the style; `raw` when it holds no LF, so nothing in it is
// translated.
struct PreparedTag {
  const char* data = "";
  std::size_t size = 0;
  bool raw = true;
};

struct PreparedTagPair {
  PreparedTag open;
  PreparedTag close;
};

class PageWriter {
 public:
  // The style must outlive the writer; its tags must not change meanwhile.
  PageWriter(TextWriter& output, const OutputStyle& style,
             CharacterEncoding encoding = CharacterEncoding::kShiftJis);

  // WARNING: performance-critical. Tags and short runs of the line go out
  // with one copy of fixed length (the tags padded for it, the line's text
  // padded by its buffer) instead of a call of memcpy whose branches depend
  // on the length: 3.5% fewer instructions and 19% fewer mispredicted
  // branches of the engine (bench/engine_rows.py, 10 MB corpus, default row).
  void tag(const PreparedTag& tag) {
    if (tag.size == 0) return;
    if (!tag.raw)
      output_.write(tag.data, tag.size);
    else if (tag.size <= TextWriter::kShort)
      output_.write_short(tag.data, tag.size);  // padded
    else
      output_.write_raw(tag.data, tag.size);
  }
  // The line whose text is written next: its buffer may be read beyond the
  // text, so short pieces of it are copied with one fixed-length copy.
  void set_line(const SourceLine& line) { line_end_ = line.text + sizeof line.text; }
  // Writes bytes of the line's text that need no escape.
  void line_raw(const char* text, std::size_t length) {
    if (length <= TextWriter::kShort && line_end_ != nullptr &&
        static_cast<std::size_t>(line_end_ - text) >= TextWriter::kShort) {
      output_.write_short(text, length);
    } else {
      output_.write_raw(text, length);
    }
  }
  // Writes text of the line escaped, starting at `column`, which it moves on.
  void text(const char* text, std::size_t length, std::int64_t& column) {
    column = escaper_.write(output_, text, length, column);
  }
  // Writes bytes that need no escape and hold no LF.
  void raw(const char* text, std::size_t length) { output_.write_raw(text, length); }
  // The same from a buffer that holds kShortCopyBytes readable bytes at
  // `text` (the line prefixes): one copy of fixed length when it is short.
  // With the last digit counted inline (line_number_text.h), took what line
  // numbers and anchors cost over plain lines from 48.5 M to 31.5 M
  // instructions (the headers of bench/run.py's include-links rows,
  // counted by callgrind).
  void padded_raw(const char* text, std::size_t length) {
    if (length <= TextWriter::kShort)
      output_.write_short(text, length);
    else
      output_.write_raw(text, length);
  }
  void line_ending() { output_.put('\n'); }
  // False once a write of the page has failed.
  bool ok() const { return output_.ok(); }
  // What the page's include directives link to; null: no links.
  PageLinks* links() const { return links_; }
  void set_links(PageLinks* links) {
    links_ = links;
    identifier_links_ = links != nullptr && links->links_identifiers();
  }
  // Whether the page's identifiers in code are asked about.
  bool identifier_links() const { return identifier_links_; }
  // The 1-based line of the source being written, for the identifiers'
  // links.
  std::uint64_t source_line() const { return source_line_; }
  void set_source_line(std::uint64_t line) { source_line_ = line; }

  // Writes a token with its tags; returns the state that follows it. Inline:
  // the line loop calls it for every token that has tags.
  ScanState emit(const Token& token, ScanState state, std::int64_t& column);

  // The pair that frames a category running over a line's start or end, or
  // nullptr in the code state.
  const PreparedTagPair* category(ScanState state) const {
    switch (state) {
      case ScanState::LineComment:
      case ScanState::BlockComment:
        return &comment_;
      case ScanState::StringLiteral:
        return &string_literal_;
      case ScanState::CharConstant:
        return &char_constant_;
      default:
        return nullptr;
    }
  }

  PreparedTagPair whole;
  PreparedTagPair line;
  PreparedTagPair line_number;

 private:
  PreparedTagPair prepare(const TagPair& pair);

  // The pieces of emit(). Words and numbers hold only letters, digits, '#',
  // '_' and '.': nothing in them is escaped, so they are copied whole.
  [[gnu::always_inline]] void plain_text(const Token& token, std::int64_t& column) {
    line_raw(token.text, token.length);
    column += static_cast<std::int64_t>(token.length);
  }
  // A word or number framed by its category's tags.
  [[gnu::always_inline]] ScanState framed_plain(const PreparedTagPair& pair, const Token& token,
                                                std::int64_t& column) {
    tag(pair.open);
    plain_text(token, column);
    tag(pair.close);
    return ScanState::Code;
  }
  // The start delimiter of a category after its open tag.
  [[gnu::always_inline]] ScanState opening(const PreparedTagPair& pair, const Token& token,
                                           std::int64_t& column, ScanState inside) {
    tag(pair.open);
    text(token.text, token.length, column);
    return inside;
  }
  // The end delimiter of a category before its close tag.
  [[gnu::always_inline]] ScanState closing(const PreparedTagPair& pair, const Token& token,
                                           std::int64_t& column) {
    text(token.text, token.length, column);
    tag(pair.close);
    return ScanState::Code;
  }

  // The tags, each followed by TextWriter::kShort bytes of padding.
  std::string tag_bytes_;
  const char* line_end_ = nullptr;
  PageLinks* links_ = nullptr;
  bool identifier_links_ = false;
  std::uint64_t source_line_ = 0;
  TextWriter& output_;
  const OutputStyle& style_;
  TextEscaper escaper_;
  PreparedTagPair comment_;
  PreparedTagPair constant_;
  PreparedTagPair char_constant_;
  PreparedTagPair string_literal_;
  PreparedTagPair keyword_;
};

inline ScanState PageWriter::emit(const Token& token, ScanState state, std::int64_t& column) {
  switch (token.kind) {
    case TokenKind::Plain:
      if (token.length > 0 && in_set(token.text[0], kWordByte))
        plain_text(token, column);
      else
        text(token.text, token.length, column);
      return ScanState::Code;
    case TokenKind::Whitespace:
      if (style_.nbsp_spaces || style_.expand_tabs)
        text(token.text, token.length, column);
      else
        plain_text(token, column);
      return ScanState::Code;
    case TokenKind::LineCommentStart:
      return opening(comment_, token, column, ScanState::LineComment);
    case TokenKind::BlockCommentStart:
      return opening(comment_, token, column, ScanState::BlockComment);
    case TokenKind::StringStart:
      return opening(string_literal_, token, column, ScanState::StringLiteral);
    case TokenKind::CharStart:
      return opening(char_constant_, token, column, ScanState::CharConstant);
    case TokenKind::Constant:
      return framed_plain(constant_, token, column);
    case TokenKind::Keyword:
      return framed_plain(keyword_, token, column);
    case TokenKind::Directive:
      tag(keyword_.open);
      text(token.text, token.length, column);
      tag(keyword_.close);
      return ScanState::Code;
    case TokenKind::DirectiveText:
      text(token.text, token.length, column);
      return ScanState::Code;
    case TokenKind::LineCommentText:
    case TokenKind::BlockCommentText:
    case TokenKind::StringText:
    case TokenKind::CharText:
      text(token.text, token.length, column);
      return state;
    case TokenKind::LineCommentEnd:
    case TokenKind::BlockCommentEnd:
      return closing(comment_, token, column);
    case TokenKind::StringEnd:
      return closing(string_literal_, token, column);
    case TokenKind::CharEnd:
      return closing(char_constant_, token, column);
  }
  text(token.text, token.length, column);
  return state;
}

}  // namespace prismet

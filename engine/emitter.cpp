#include "engine/emitter.h"

#include <cstdio>
#include <memory>

#include "common/cp932.h"
#include "engine/char_sets.h"
#include "engine/code_state.h"
#include "engine/text_escaper.h"

namespace prismet {

namespace {

void write_tag(TextWriter& output, const std::string& tag) {
  if (!tag.empty()) output.write(tag.data(), tag.size());
}

const TagPair* category_of(const OutputStyle& style, ScanState state) {
  switch (state) {
    case ScanState::LineComment:
    case ScanState::BlockComment: return &style.comment;
    case ScanState::StringLiteral: return &style.string_literal;
    case ScanState::CharConstant: return &style.char_constant;
    default: return nullptr;
  }
}

// True for a token of the code state that the emitter writes exactly as it
// stands when neither tabs nor spaces are rewritten: whitespace, a word that
// is no keyword, and one character that needs no escape (a lead byte with a
// valid second byte, or alone, is written as it is).
bool copied_as_is(const Token& token) {
  if (token.kind == TokenKind::Whitespace) return true;
  if (token.kind != TokenKind::Plain) return false;
  const unsigned char first = static_cast<unsigned char>(token.text[0]);
  if (in_set(token.text[0], kWordByte)) return true;
  if (token.length == 2) return is_second_byte(static_cast<unsigned char>(token.text[1]));
  return first != '&' && first != '<' && first != '>' && first != '"';
}

// The code state of a line when neither tabs nor spaces are rewritten: the
// tokens copied as they are stand side by side in the line, so they are
// gathered into one run and written in one piece. Returns the next token
// that needs the emitter (tags, escapes or a change of state) after writing
// the run before it, or false at the line's end after writing the run.
bool next_marked_token(TextWriter& output, SourceLine& line, Token& token, const VocabularyIndex& index) {
  const char* run = line.position;
  const char* end = code_state::text_end(line);
  while (line.position < end) {
    code_state::scan_code(line, token, index);
    if (copied_as_is(token)) continue;
    output.write_raw(run, static_cast<std::size_t>(token.text - run));
    return true;
  }
  output.write_raw(run, static_cast<std::size_t>(end - run));
  return false;
}

}  // namespace

int tab_fill(int column, int tab_width) {
  if (tab_width <= 0) return 0;
  return tab_width - column % tab_width;
}

void write_text(TextWriter& output, int& column, const char* text, std::size_t length, const OutputStyle& style) {
  column = static_cast<int>(TextEscaper(style).write(output, text, length, column));
}

void write_line_number(TextWriter& output, int line_number, const OutputStyle& style) {
  write_tag(output, style.line_number.open);
  char prefix[1024];
  const int length = std::snprintf(prefix, sizeof prefix, "%4d: ", line_number);
  int ignored_column = 0;
  write_text(output, ignored_column, prefix, length > 0 ? static_cast<std::size_t>(length) : 0, style);
  write_tag(output, style.line_number.close);
}

ScanState emit_token(TextWriter& output, int& column, const Token& token, const OutputStyle& style,
                     ScanState state) {
  auto text = [&] { write_text(output, column, token.text, token.length, style); };
  // Words and numbers hold only letters, digits, '#', '_' and '.': nothing in
  // them is escaped, so they are copied whole.
  auto plain_text = [&] {
    output.write_raw(token.text, token.length);
    column += static_cast<int>(token.length);
  };
  switch (token.kind) {
    case TokenKind::Plain:
      if (token.length > 0 && in_set(token.text[0], kWordByte)) plain_text();
      else text();
      return ScanState::Code;
    case TokenKind::Whitespace:
      if (style.nbsp_spaces || style.expand_tabs) text();
      else plain_text();
      return ScanState::Code;
    case TokenKind::LineCommentStart:
      write_tag(output, style.comment.open);
      text();
      return ScanState::LineComment;
    case TokenKind::BlockCommentStart:
      write_tag(output, style.comment.open);
      text();
      return ScanState::BlockComment;
    case TokenKind::StringStart:
      write_tag(output, style.string_literal.open);
      text();
      return ScanState::StringLiteral;
    case TokenKind::CharStart:
      write_tag(output, style.char_constant.open);
      text();
      return ScanState::CharConstant;
    case TokenKind::Constant:
      write_tag(output, style.constant.open);
      plain_text();
      write_tag(output, style.constant.close);
      return ScanState::Code;
    case TokenKind::Keyword:
      write_tag(output, style.keyword.open);
      plain_text();
      write_tag(output, style.keyword.close);
      return ScanState::Code;
    case TokenKind::LineCommentText:
    case TokenKind::BlockCommentText:
    case TokenKind::StringText:
    case TokenKind::CharText:
      text();
      return state;
    case TokenKind::LineCommentEnd:
    case TokenKind::BlockCommentEnd:
      text();
      write_tag(output, style.comment.close);
      return ScanState::Code;
    case TokenKind::StringEnd:
      text();
      write_tag(output, style.string_literal.close);
      return ScanState::Code;
    case TokenKind::CharEnd:
      text();
      write_tag(output, style.char_constant.close);
      return ScanState::Code;
  }
  text();
  return state;
}

ScanState scan_line(TextWriter& output, SourceLine& line, const OutputStyle& style, const VocabularyIndex& index,
                    ScanState state) {
  if (const TagPair* category = category_of(style, state)) write_tag(output, category->open);
  int column = 0;
  Token token;
  // Columns only matter for tab expansion, so the run loop may skip them.
  const bool runs = !style.nbsp_spaces && !style.expand_tabs;
  for (;;) {
    const bool more = runs && state == ScanState::Code ? next_marked_token(output, line, token, index)
                                                       : next_token(line, token, index, state);
    if (!more) break;
    state = emit_token(output, column, token, style, state);
  }
  if (const TagPair* category = category_of(style, state)) write_tag(output, category->close);
  return state;
}

ScanState convert_line(TextWriter& output, SourceLine& line, const OutputStyle& style,
                       const VocabularyIndex& index, ScanState state) {
  write_tag(output, style.line.open);
  state = scan_line(output, line, style, index, state);
  write_tag(output, style.line.close);
  if (line.line_ending[0] != '\0') output.put('\n');
  return state;
}

void convert_source(TextWriter& output, TextReader& input, const OutputStyle& style, const Vocabulary& vocabulary) {
  const VocabularyIndex index(vocabulary);
  write_tag(output, style.whole.open);
  // One cursor per file; large, so it lives on the heap rather than the stack.
  auto line = std::make_unique<SourceLine>();
  ScanState state = ScanState::Code;
  int line_number = 1;
  while (read_source_line(input, *line)) {
    if (style.line_numbers) write_line_number(output, line_number, style);
    state = convert_line(output, *line, style, index, state);
    ++line_number;
  }
  write_tag(output, style.whole.close);
}

}  // namespace prismet

#include "engine/page_writer.h"

#include <cstring>

#include "engine/char_sets.h"

namespace prismet {

PageWriter::PageWriter(TextWriter& output, const OutputStyle& style) : output_(output), style_(style), escaper_(style) {
  std::size_t size = 0;
  for (const TagPair* pair : {&style.whole, &style.line, &style.line_number, &style.comment, &style.constant,
                              &style.char_constant, &style.string_literal, &style.keyword}) {
    size += pair->open.size() + pair->close.size() + 2 * TextWriter::kShort;
  }
  tag_bytes_.reserve(size);  // so that the tags' addresses below stay valid
  whole = prepare(style.whole);
  line = prepare(style.line);
  line_number = prepare(style.line_number);
  comment_ = prepare(style.comment);
  constant_ = prepare(style.constant);
  char_constant_ = prepare(style.char_constant);
  string_literal_ = prepare(style.string_literal);
  keyword_ = prepare(style.keyword);
}

PreparedTagPair PageWriter::prepare(const TagPair& pair) {
  const auto one = [&](const std::string& tag) {
    const std::size_t at = tag_bytes_.size();
    tag_bytes_ += tag;
    tag_bytes_.append(TextWriter::kShort, '\0');
    return PreparedTag{tag_bytes_.data() + at, tag.size(), tag.find('\n') == std::string::npos};
  };
  PreparedTagPair prepared;
  prepared.open = one(pair.open);
  prepared.close = one(pair.close);
  return prepared;
}

ScanState PageWriter::emit(const Token& token, ScanState state, std::int64_t& column) {
  // Words and numbers hold only letters, digits, '#', '_' and '.': nothing in
  // them is escaped, so they are copied whole.
  auto plain_text = [&] {
    line_raw(token.text, token.length);
    column += static_cast<std::int64_t>(token.length);
  };
  switch (token.kind) {
    case TokenKind::Plain:
      if (token.length > 0 && in_set(token.text[0], kWordByte)) plain_text();
      else text(token.text, token.length, column);
      return ScanState::Code;
    case TokenKind::Whitespace:
      if (style_.nbsp_spaces || style_.expand_tabs) text(token.text, token.length, column);
      else plain_text();
      return ScanState::Code;
    case TokenKind::LineCommentStart:
      tag(comment_.open);
      text(token.text, token.length, column);
      return ScanState::LineComment;
    case TokenKind::BlockCommentStart:
      tag(comment_.open);
      text(token.text, token.length, column);
      return ScanState::BlockComment;
    case TokenKind::StringStart:
      tag(string_literal_.open);
      text(token.text, token.length, column);
      return ScanState::StringLiteral;
    case TokenKind::CharStart:
      tag(char_constant_.open);
      text(token.text, token.length, column);
      return ScanState::CharConstant;
    case TokenKind::Constant:
      tag(constant_.open);
      plain_text();
      tag(constant_.close);
      return ScanState::Code;
    case TokenKind::Keyword:
      tag(keyword_.open);
      plain_text();
      tag(keyword_.close);
      return ScanState::Code;
    case TokenKind::LineCommentText:
    case TokenKind::BlockCommentText:
    case TokenKind::StringText:
    case TokenKind::CharText:
      text(token.text, token.length, column);
      return state;
    case TokenKind::LineCommentEnd:
    case TokenKind::BlockCommentEnd:
      text(token.text, token.length, column);
      tag(comment_.close);
      return ScanState::Code;
    case TokenKind::StringEnd:
      text(token.text, token.length, column);
      tag(string_literal_.close);
      return ScanState::Code;
    case TokenKind::CharEnd:
      text(token.text, token.length, column);
      tag(char_constant_.close);
      return ScanState::Code;
  }
  text(token.text, token.length, column);
  return state;
}

}  // namespace prismet

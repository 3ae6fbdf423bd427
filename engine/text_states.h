// The recognisers of the states inside comments, string literals and char
// constants, and next_token's choice among all states. Inline so that the
// emitter's line loop and next_token share one definition without a call
// per token. Internal to the engine.
#pragma once

#include <cstddef>
#include <cstring>
#include <string_view>

#include "engine/code_state.h"
#include "engine/scanner.h"

namespace prismet::code_state {

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

// next_token: the recognisers of the state.
template <CharacterEncoding E>
inline bool scan_token(SourceLine& line, Token& token, const VocabularyIndex& index, ScanState state) {
  if (state == ScanState::LineComment) return scan_line_comment(line, token);
  if (line.position >= text_end(line)) return false;
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

}  // namespace prismet::code_state

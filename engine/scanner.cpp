#include "engine/scanner.h"

#include <cstdint>
#include <cstring>

#include "common/cp932.h"
#include "engine/char_sets.h"

namespace prismet {

namespace {

enum DelimiterList { kLineCommentList = 0, kBlockCommentList, kStringList, kCharList };

bool begins_with(const char* position, const char* end, std::string_view text) {
  return !text.empty() && static_cast<std::size_t>(end - position) >= text.size() &&
         std::memcmp(position, text.data(), text.size()) == 0;
}

const char* text_end(const SourceLine& line) { return line.text + line.length; }

void produce(SourceLine& line, Token& token, TokenKind kind, std::size_t length) {
  token.kind = kind;
  token.text = line.position;
  token.length = length;
  line.position += length;
}

// Byte-wise search for the first occurrence of `needle` in [from, end).
const char* search(const char* from, const char* end, std::string_view needle) {
  if (needle.empty()) return nullptr;
  const unsigned char first = static_cast<unsigned char>(needle[0]);
  while (static_cast<std::size_t>(end - from) >= needle.size()) {
    const void* hit = std::memchr(from, first, static_cast<std::size_t>(end - from) - needle.size() + 1);
    if (hit == nullptr) return nullptr;
    const char* candidate = static_cast<const char*>(hit);
    if (std::memcmp(candidate, needle.data(), needle.size()) == 0) return candidate;
    from = candidate + 1;
  }
  return nullptr;
}

// Recognisers shared by the block comment, string and char states: the end
// delimiter, then the text up to it.
bool end_delimiter(SourceLine& line, Token& token, TokenKind kind) {
  if (!begins_with(line.position, text_end(line), line.pending_end)) return false;
  produce(line, token, kind, line.pending_end.size());
  line.pending_end = std::string_view();
  return true;
}

bool scan_block_comment(SourceLine& line, Token& token) {
  if (end_delimiter(line, token, TokenKind::BlockCommentEnd)) return true;
  const char* end = text_end(line);
  const char* found = search(line.position, end, line.pending_end);
  produce(line, token, TokenKind::BlockCommentText,
          static_cast<std::size_t>((found != nullptr ? found : end) - line.position));
  return true;
}

bool scan_literal(SourceLine& line, Token& token, TokenKind end_kind, TokenKind text_kind) {
  if (end_delimiter(line, token, end_kind)) return true;
  const char* end = text_end(line);
  const char* found = find_end_delimiter(line.position, end, line.pending_end);
  produce(line, token, text_kind, static_cast<std::size_t>((found != nullptr ? found : end) - line.position));
  return true;
}

bool scan_line_comment(SourceLine& line, Token& token) {
  const char* end = text_end(line);
  if (line.position < end) {
    produce(line, token, TokenKind::LineCommentText, static_cast<std::size_t>(end - line.position));
    return true;
  }
  if (line.continuation) return false;
  produce(line, token, TokenKind::LineCommentEnd, 0);
  return true;
}

// The start delimiter of `list` at the position, if any; sets the pending
// end for the pair lists.
bool start_delimiter(SourceLine& line, Token& token, const EntryList* list, TokenKind kind, bool opens_pair) {
  const VocabularyEntry* entry = find_start_delimiter(line.position, text_end(line), list);
  if (entry == nullptr) return false;
  produce(line, token, kind, entry->start.size());
  line.pending_end = opens_pair && entry->end.has_value() ? std::string_view(*entry->end) : std::string_view();
  return true;
}

void word_or_character(SourceLine& line, Token& token, const VocabularyIndex& index) {
  const std::size_t run = run_length(line.position, text_end(line), kWordByte);
  if (run > 0) {
    const bool keyword = index.keywords.contains(line.position, run);
    produce(line, token, keyword ? TokenKind::Keyword : TokenKind::Plain, run);
    return;
  }
  produce(line, token, TokenKind::Plain, static_cast<std::size_t>(next_char(line.position) - line.position));
}

// The recognisers of code, in their fixed order: whitespace, the four start
// delimiters, a number, a word or one character. The byte at the position
// decides which of them can produce anything at all.
bool scan_code(SourceLine& line, Token& token, const VocabularyIndex& index) {
  const char* end = text_end(line);
  const char* p = line.position;
  const unsigned char byte = static_cast<unsigned char>(*p);
  const std::uint8_t sets = kCharSets.bits[byte];
  if (sets & kWhitespaceByte) {
    produce(line, token, TokenKind::Whitespace, run_length(p, end, kWhitespaceByte));
    return true;
  }
  if (const std::uint8_t lists = index.can_start[byte]) {
    const Vocabulary& vocabulary = index.vocabulary;
    if (((lists & (1u << kLineCommentList)) &&
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
    if (byte == '0' && end - p >= 2 && p[1] == 'x') {
      // "0x" needs a hexadecimal digit; without one the number declines and
      // the word recogniser takes "0x..." as a word.
      const std::size_t digits = run_length(p + 2, end, kHexDigitByte);
      if (digits > 0) {
        produce(line, token, TokenKind::Constant, 2 + digits);
        return true;
      }
    } else {
      produce(line, token, TokenKind::Constant, run_length(p, end, kDecimalByte));
      return true;
    }
  }
  word_or_character(line, token, index);
  return true;
}

}  // namespace

bool read_source_line(TextReader& input, SourceLine& line) {
  line.position = line.text;
  const std::size_t stored = input.read_line(line.text, kMaxPieceBytes);
  if (stored == 0) return false;
  line.continuation = false;
  line.line_ending[0] = '\0';
  std::size_t length = std::strlen(line.text);
  if (length >= 1 && line.text[length - 1] == '\n') {
    line.text[--length] = '\0';
    line.line_ending[0] = '\n';
    line.line_ending[1] = '\0';
    if (length >= 1 && line.text[length - 1] == '\\') line.continuation = true;
  }
  line.length = length;
  return true;
}

bool next_token(SourceLine& line, Token& token, const VocabularyIndex& index, ScanState state) {
  if (state == ScanState::LineComment) return scan_line_comment(line, token);
  if (line.position >= text_end(line)) return false;
  switch (state) {
    case ScanState::BlockComment:
      return scan_block_comment(line, token);
    case ScanState::StringLiteral:
      return scan_literal(line, token, TokenKind::StringEnd, TokenKind::StringText);
    case ScanState::CharConstant:
      return scan_literal(line, token, TokenKind::CharEnd, TokenKind::CharText);
    case ScanState::Code:
      return scan_code(line, token, index);
    default:
      return false;
  }
}

const VocabularyEntry* find_start_delimiter(const char* position, const char* end, const EntryList* list) {
  if (list == nullptr) return nullptr;
  for (auto* node = list->first(); node != nullptr; node = node->next()) {
    // An empty start would match everywhere without consuming anything.
    if (begins_with(position, end, node->item().start)) return &node->item();
  }
  return nullptr;
}

const char* find_end_delimiter(const char* position, const char* end, std::string_view end_text) {
  if (end_text.empty()) return nullptr;
  while (position < end) {
    if (begins_with(position, end, end_text)) return position;
    if (*position == '\\') ++position;
    // The piece is NUL-terminated at `end`, so next_char stops there.
    position = next_char(position);
  }
  return nullptr;
}

}  // namespace prismet

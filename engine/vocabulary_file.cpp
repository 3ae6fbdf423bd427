#include "engine/vocabulary_file.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <memory>
#include <new>
#include <optional>
#include <string_view>

#include "common/file_system.h"
#include "common/text_stream.h"
#include "engine/staged_list.h"

namespace prismet {

namespace {

// Lines are read in pieces of at most this many bytes; a longer line goes on
// in the next piece, which counts as a line of its own.
constexpr std::size_t kMaxPieceLength = 32767;

enum class VocabularyMode { kNone, kReplace, kAdd, kRemove };

struct Header {
  std::string_view name;  // without the brackets and the mode sign
  std::unique_ptr<EntryList> Vocabulary::*list;
  bool pairs;  // entries hold a start and an end delimiter
};

constexpr Header kHeaders[] = {
    {"keyword", &Vocabulary::keyword, false},
    {"line_comment", &Vocabulary::line_comment, false},
    {"block_comment", &Vocabulary::block_comment, true},
    {"string_literal", &Vocabulary::string_literal, true},
    {"char_constant", &Vocabulary::char_constant, true},
    {"raw_string", &Vocabulary::raw_string, true},
    {"digit_separator", &Vocabulary::digit_separator, false},
    {"number_rule", &Vocabulary::number_rule, false},
    {"literal_suffix", &Vocabulary::literal_suffix, false},
    {"directive", &Vocabulary::directive, false},
    {"directive_text", &Vocabulary::directive_text, false},
    {"line_literal", &Vocabulary::line_literal, false},
};

bool is_blank(char byte) {
  return byte == ' ' || byte == '\t' || byte == '\r' || byte == '\n' || byte == '\b' || byte == '\v' ||
         byte == '\f' || byte == '\a';
}

// Splits off up to `wanted` tokens from the front of `line`; returns how many
// there were.
std::size_t take_tokens(std::string_view line, std::string_view* tokens, std::size_t wanted) {
  std::size_t found = 0;
  std::size_t i = 0;
  while (found < wanted) {
    while (i < line.size() && is_blank(line[i])) ++i;
    if (i == line.size()) break;
    const std::size_t start = i;
    while (i < line.size() && !is_blank(line[i])) ++i;
    tokens[found++] = line.substr(start, i - start);
  }
  return found;
}

bool is_version_line(std::string_view line) {
  std::string_view tokens[2];
  return take_tokens(line, tokens, 2) == 2 && tokens[0] == "#version" && tokens[1] == "00000000";
}

// What the lines after the version line have set up so far.
struct ReaderState {
  VocabularyMode mode = VocabularyMode::kNone;
  const Header* header = nullptr;  // the current list; none before the first header
  std::uint64_t line = 0;          // of the line being applied, counted from the second
  // The changes to each list, by header; none for a list that is missing.
  std::optional<StagedList> lists[std::size(kHeaders)];
};

// "[name]" or "[name" with an optional "+" or "-" after the bracket.
bool parse_header(std::string_view token, const Header*& header, VocabularyMode& mode) {
  if (token.size() < 2 || token.front() != '[') return false;
  token.remove_prefix(1);
  mode = VocabularyMode::kReplace;
  if (token.front() == '+' || token.front() == '-') {
    mode = token.front() == '+' ? VocabularyMode::kAdd : VocabularyMode::kRemove;
    token.remove_prefix(1);
  }
  if (!token.empty() && token.back() == ']') token.remove_suffix(1);
  for (const Header& candidate : kHeaders) {
    if (token == candidate.name) {
      header = &candidate;
      return true;
    }
  }
  return false;
}

bool is_header_line(std::string_view line, const Header*& header, VocabularyMode& mode) {
  std::string_view first;
  if (take_tokens(line, &first, 1) == 0 || first.front() != '[') return false;
  if (line.find(']') == std::string_view::npos) return false;
  return parse_header(first, header, mode);
}

void apply_line(ReaderState& state, std::string_view line) {
  ++state.line;
  const Header* header = nullptr;
  VocabularyMode mode = VocabularyMode::kNone;
  if (is_header_line(line, header, mode)) {
    state.header = header;
    state.mode = mode;
    if (mode == VocabularyMode::kReplace) {
      if (auto& list = state.lists[header - kHeaders]) list->clear();
      state.mode = VocabularyMode::kAdd;
    }
    return;
  }
  if (state.header == nullptr) return;
  auto& list = state.lists[state.header - kHeaders];
  if (!list) return;
  std::string_view tokens[2];
  const std::size_t wanted = state.header->pairs ? 2 : 1;
  if (take_tokens(line, tokens, wanted) < wanted) return;
  std::optional<std::string_view> end;
  if (state.header->pairs) end = tokens[1];
  if (state.mode == VocabularyMode::kAdd) {
    list->add(tokens[0], end, state.line);
  } else if (state.mode == VocabularyMode::kRemove) {
    list->remove(tokens[0], end, state.line);
  }
}

// The piece as a C string sees it: a NUL byte ends it.
std::string_view piece_text(const char* buffer, std::size_t length) {
  const void* nul = std::memchr(buffer, '\0', length);
  return std::string_view(
      buffer, nul != nullptr ? static_cast<std::size_t>(static_cast<const char*>(nul) - buffer) : length);
}

// Applies the lines `reader` delivers to the vocabulary, which already holds
// the built-in lists. Without memory for its buffers the file is not read.
void apply_vocabulary_text(Vocabulary& vocabulary, TextReader& reader) {
  const std::unique_ptr<char[]> buffer(new (std::nothrow) char[kMaxPieceLength + 1]);
  if (!buffer) return;
  std::optional<ReaderState> state;
  try {
    state.emplace();
    for (std::size_t i = 0; i < std::size(kHeaders); ++i) {
      if (EntryList* list = (vocabulary.*kHeaders[i].list).get()) state->lists[i].emplace(*list);
    }
  } catch (const std::bad_alloc&) {
    return;
  }

  std::size_t length = reader.read_line(buffer.get(), kMaxPieceLength);
  if (length == 0 || !is_version_line(piece_text(buffer.get(), length))) return;
  while ((length = reader.read_line(buffer.get(), kMaxPieceLength)) > 0) {
    apply_line(*state, piece_text(buffer.get(), length));
  }
  for (auto& list : state->lists) {
    if (list) list->finish();
  }
}

}  // namespace

bool load_vocabulary(Vocabulary& vocabulary, const char* path) {
  set_builtin_vocabulary(vocabulary);
  if (path == nullptr || !path_exists(path)) return true;
  TextReader reader;
  if (!reader.open(path)) return true;
  apply_vocabulary_text(vocabulary, reader);
  return true;
}

void load_vocabulary_from_memory(Vocabulary& vocabulary, const char* data, std::size_t size) {
  set_builtin_vocabulary(vocabulary);
  TextReader reader;
  reader.open_memory(data, size);
  apply_vocabulary_text(vocabulary, reader);
}

}  // namespace prismet

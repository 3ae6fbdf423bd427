#include "convert/source_definitions.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>

#include "common/text_stream.h"
#include "convert/definition_texts.h"
#include "engine/definition_finder.h"
#include "engine/scanner.h"
#include "engine/vocabulary_index.h"

namespace prismet {

namespace {

// The state after a token, as the page writer takes it.
ScanState state_after(TokenKind kind, ScanState state) {
  switch (kind) {
    case TokenKind::LineCommentStart:
      return ScanState::LineComment;
    case TokenKind::BlockCommentStart:
      return ScanState::BlockComment;
    case TokenKind::StringStart:
      return ScanState::StringLiteral;
    case TokenKind::CharStart:
      return ScanState::CharConstant;
    case TokenKind::LineCommentText:
    case TokenKind::BlockCommentText:
    case TokenKind::StringText:
    case TokenKind::CharText:
      return state;
    default:
      return ScanState::Code;
  }
}

}  // namespace

struct SourceDefinitions::State {
  State(const Settings& settings, const Vocabulary& vocabulary) : settings(settings), index(vocabulary) {}

  CharacterEncoding encoding() const {
    return settings.encoding == SourceEncoding::kShiftJis ? CharacterEncoding::kShiftJis
                                                          : CharacterEncoding::kUtf8;
  }
  template <CharacterEncoding E>
  void scan(TextReader& input, std::vector<Definition>& out, bool keep_texts);
  bool open(const char* source_path, TextReader& input, std::optional<FileFailure>& failure) const;
  void fill_texts(const char* source_path, std::vector<Definition>& out, std::size_t first);

  const Settings& settings;
  const VocabularyIndex index;
  // The line cursor is large: on the heap, made once.
  std::unique_ptr<SourceLine> line = std::make_unique_for_overwrite<SourceLine>();
  DefinitionFinder finder;
  std::unique_ptr<DefinitionTexts> texts = std::make_unique<DefinitionTexts>();
  std::vector<Definition> found;
};

// Lines are read whole, as pages with line anchors read them, so that a
// definition's line is its anchor's. With `keep_texts`, each new
// definition's text is taken from the lines kept.
template <CharacterEncoding E>
void SourceDefinitions::State::scan(TextReader& input, std::vector<Definition>& out, bool keep_texts) {
  input.replace_nuls(E == CharacterEncoding::kUtf8 ? kUtf8NulReplacement : kShiftJisNulReplacement);
  SourceLine& piece = *line;
  start_source(piece);
  finder.start(out);
  texts->start(E);
  ScanState state = ScanState::Code;
  std::uint32_t number = 0;
  bool in_line = false;
  Token token;
  while (read_whole_line_piece(input, piece, E)) {
    if (!in_line) {
      if (number != UINT32_MAX) ++number;
      texts->begin_line(number);
    }
    texts->add(piece.text, piece.length);
    finder.begin_piece(number, in_line);
    const std::size_t before = out.size();
    while (scan::scan_token<E>(piece, token, index, state)) {
      finder.token(token);
      state = state_after(token.kind, state);
    }
    in_line = !piece.ends_source_line;
    if (!in_line) finder.end_line(piece.continuation);
    if (keep_texts) {
      for (std::size_t i = before; i < out.size(); ++i) texts->find(out[i].line, out[i].text);
    }
  }
}

bool SourceDefinitions::State::open(const char* source_path, TextReader& input,
                                    std::optional<FileFailure>& failure) const {
  bool not_regular = false;
  if (!input.open_regular(source_path, not_regular)) {
    failure = failure_of(Culprit::kSource, input.error());
    if (not_regular) failure->reason = "not a regular file";
    return false;
  }
  input.decode_as(settings.encoding);
  return true;
}

SourceDefinitions::SourceDefinitions(const Settings& settings, const Vocabulary& vocabulary)
    : state_(std::make_unique<State>(settings, vocabulary)) {}

SourceDefinitions::~SourceDefinitions() = default;

bool SourceDefinitions::find(const char* source_path, std::vector<Definition>& out,
                             std::optional<FileFailure>& failure) {
  State& s = *state_;
  TextReader input;
  if (!s.open(source_path, input, failure)) return false;
  s.found.clear();
  if (s.encoding() == CharacterEncoding::kUtf8) {
    s.scan<CharacterEncoding::kUtf8>(input, s.found, true);
  } else {
    s.scan<CharacterEncoding::kShiftJis>(input, s.found, true);
  }
  if (input.failed()) {
    failure = failure_of(Culprit::kSource, input.error());
    return false;
  }
  std::stable_sort(s.found.begin(), s.found.end(),
                   [](const Definition& a, const Definition& b) { return a.line < b.line; });
  s.fill_texts(source_path, s.found, 0);
  out.insert(out.end(), std::make_move_iterator(s.found.begin()), std::make_move_iterator(s.found.end()));
  s.found.clear();
  return true;
}

// A definition settled more lines after its name than are kept (a long
// parameter list, say) gets its text from a second reading of the source.
void SourceDefinitions::State::fill_texts(const char* source_path, std::vector<Definition>& out,
                                          std::size_t first) {
  bool missing = false;
  for (std::size_t i = first; i < out.size() && !missing; ++i) missing = out[i].text.empty();
  if (!missing) return;
  TextReader input;
  std::optional<FileFailure> failure;
  if (!open(source_path, input, failure)) return;
  input.replace_nuls(encoding() == CharacterEncoding::kUtf8 ? kUtf8NulReplacement : kShiftJisNulReplacement);
  SourceLine& piece = *line;
  start_source(piece);
  std::uint32_t number = 0;
  bool in_line = false;
  std::size_t next = first;  // the definitions are in the order of their lines
  while (next < out.size() && read_whole_line_piece(input, piece, encoding())) {
    if (!in_line) {
      if (number != UINT32_MAX) ++number;
      texts->begin_line(number);
    }
    texts->add(piece.text, piece.length);
    in_line = !piece.ends_source_line;
    if (in_line) continue;
    while (next < out.size() && out[next].line <= number) {
      if (out[next].line == number && out[next].text.empty()) texts->find(number, out[next].text);
      ++next;
    }
  }
}

}  // namespace prismet

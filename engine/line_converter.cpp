#include "engine/line_converter.h"

#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>

#include "common/cp932.h"
#include "engine/char_sets.h"
#include "engine/include_directive.h"
#include "engine/line_number_text.h"
#include "engine/scanner.h"
#include "engine/text_escaper.h"

namespace prismet {

namespace {

// The end of a line number's link to its line, padded for a copy of fixed
// length.
constexpr char kLinkEnd[kShortCopyBytes] = "</a>";

// What the byte at a token boundary starts, as far as the run is concerned.
enum ByteClass : std::uint8_t {
  kRunByte,    // a token of its own that stays in the run (blanks, punctuation)
  kWordStart,  // a word: a keyword leaves the run, any other word stays
  kEntity,     // one character written as an entity (only when runs are copied as they stand)
  kOther,      // the recognisers decide: delimiters, numbers, lead bytes, the end
};

// The classes that do not depend on the vocabulary, in the order of the code
// state's recognisers: whitespace comes first, then (in the constructor) a
// delimiter may start, then a number; a word or one character last. A lead
// byte takes the byte after it into its token, so that byte never starts
// one: the recognisers step over both.
struct FixedClasses {
  std::uint8_t of[256];
  constexpr explicit FixedClasses(bool escaped) : of() {
    for (int b = 0; b < 256; ++b) {
      const char byte = static_cast<char>(b);
      std::uint8_t c = kRunByte;  // with escaped runs the escaper writes the entities
      if (in_set(byte, kWhitespaceByte))
        c = kRunByte;
      else if (in_set(byte, kDecimalByte) || is_lead_byte(static_cast<unsigned char>(b)) || b == 0)
        c = kOther;
      else if (in_set(byte, kWordByte))
        c = kWordStart;
      else if (!escaped && (byte == '&' || byte == '<' || byte == '>' || byte == '"'))
        c = kEntity;
      of[b] = c;
    }
  }
};

bool is_identifier_start(char byte) {
  return (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || byte == '_';
}

// Whether the name at `name` follows ".", "->" or "::" (blanks between)
// within the line that begins at `line`; "..." is no member access.
bool follows_member_access(const char* line, const char* name) {
  const char* p = name;
  while (p > line && (p[-1] == ' ' || p[-1] == '\t')) --p;
  if (p - line < 1) return false;
  if (p[-1] == '.') return p - line < 2 || p[-2] != '.';
  if (p - line < 2) return false;
  return (p[-1] == '>' && p[-2] == '-') || (p[-1] == ':' && p[-2] == ':');
}

constexpr FixedClasses kCopiedRunClasses(false);
constexpr FixedClasses kEscapedRunClasses(true);

// A token that leaves the state as it is and writes no tag that stays open:
// a link may hold it whole.
bool fits_in_link(TokenKind kind) {
  switch (kind) {
    case TokenKind::Whitespace:
    case TokenKind::Plain:
    case TokenKind::Keyword:
    case TokenKind::Constant:
    case TokenKind::LineCommentText:
    case TokenKind::BlockCommentText:
    case TokenKind::StringText:
    case TokenKind::CharText:
      return true;
    default:
      return false;
  }
}

}  // namespace

LineConverter::LineConverter(const VocabularyIndex& index, const OutputStyle& style)
    : index_(index),
      escaped_(style.nbsp_spaces || style.expand_tabs),
      line_numbers_(style.line_numbers),
      line_anchors_(style.line_anchors),
      nbsp_spaces_(style.nbsp_spaces) {
  std::memcpy(class_, (escaped_ ? kEscapedRunClasses : kCopiedRunClasses).of, sizeof class_);
  // A byte that may begin a delimiter goes to the recognisers, unless it is
  // whitespace (whitespace is taken first).
  bool high_delimiter = false;
  for (int b = 0; b < 256; ++b) {
    if (index.can_start[b] != 0 && !in_set(static_cast<char>(b), kWhitespaceByte)) class_[b] = kOther;
    if (index.can_start[b] != 0 && b >= 0x80) high_delimiter = true;
  }
  // UTF-8: no byte of 0x80-0xFF is a word byte, an entity or ASCII, so a
  // character of such bytes stays in the run byte by byte, written as it
  // stands. Only when a delimiter may begin with one of them do they go to
  // the recognisers, which step whole characters, so that no delimiter is
  // found inside a character.
  // With directives, a '#' that may begin one goes to the recognisers too.
  if (index.directives) class_[static_cast<unsigned char>('#')] = kOther;
  std::memcpy(utf8_class_, class_, sizeof utf8_class_);
  for (int b = 0x80; b < 256; ++b) utf8_class_[b] = high_delimiter ? kOther : kRunByte;
}

[[gnu::always_inline]] inline void LineConverter::flush(PageWriter& page, const char* from, const char* to,
                                                        std::int64_t& column) const {
  if (from == to) return;
  if (escaped_)
    page.text(from, static_cast<std::size_t>(to - from), column);
  else
    page.line_raw(from, static_cast<std::size_t>(to - from));  // no tab is expanded: columns go uncounted
}

template <CharacterEncoding E>
bool LineConverter::stays_in_run(const Token& token) const {
  if (token.kind == TokenKind::Whitespace) return true;
  if (token.kind != TokenKind::Plain) return false;
  if (escaped_) return true;
  // Copied as it stands: a word, a character that needs no escape, a lead
  // byte with its valid second byte.
  const unsigned char first = static_cast<unsigned char>(token.text[0]);
  if (in_set(token.text[0], kWordByte)) return true;
  if constexpr (E == CharacterEncoding::kUtf8) {
    if (first >= 0x80) return true;  // a character or an invalid byte, never escaped
  }
  if (E == CharacterEncoding::kShiftJis && token.length == 2)
    return is_second_byte(static_cast<unsigned char>(token.text[1]));
  return first != '&' && first != '<' && first != '>' && first != '"';
}

template <bool kLinks>
[[gnu::always_inline]] inline const char* LineConverter::write_word(PageWriter& page, const SourceLine& line,
                                                                    const char* run, const char* word,
                                                                    const char* word_end,
                                                                    std::int64_t& column) const {
  const std::size_t length = static_cast<std::size_t>(word_end - word);
  if (index_.keywords.contains_padded(word, length)) {
    flush(page, run, word, column);
    page.emit({TokenKind::Keyword, word, length}, ScanState::Code, column);
    return word_end;
  }
  if constexpr (kLinks) {
    if (write_identifier_link(page, line, run, word, word_end, column)) return word_end;
  }
  return run;
}

template <CharacterEncoding E, bool kLinks>
[[gnu::always_inline]] inline bool LineConverter::write_code_until_opener(PageWriter& page, SourceLine& line,
                                                                          Token& token,
                                                                          std::int64_t& column) const {
  const char* run = line.position;
  const char* p = run;
  const char* const end = scan::text_end(line);
  if (line.directive_text) [[unlikely]] {
    // The rest of the line is a directive's text ("#error ..."): one token.
    if (p == end) return false;
    scan::scan_code<E>(line, token, index_);
    return true;
  }
  const std::uint8_t* const classes = E == CharacterEncoding::kUtf8 ? utf8_class_ : class_;
  for (;;) {
    std::uint8_t byte_class = classes[static_cast<unsigned char>(*p)];
    while (byte_class == kRunByte) byte_class = classes[static_cast<unsigned char>(*++p)];
    if (byte_class == kWordStart) {
      // The piece's NUL ends the word at the latest.
      const char* const word_end = word_run_end(p + 1);
      run = write_word<kLinks>(page, line, run, p, word_end, column);
      p = word_end;
      continue;
    }
    if (byte_class == kEntity) {
      flush(page, run, p, column);
      const std::string_view entity = TextEscaper::entity(*p);
      page.raw(entity.data(), entity.size());
      run = ++p;
      continue;
    }
    if (p == end) {
      flush(page, run, p, column);
      line.position = p;
      return false;
    }
    line.position = p;
    scan::scan_code<E>(line, token, index_);
    // A word whose first byte may also begin a delimiter ("R", "u8").
    if (kLinks && token.kind == TokenKind::Plain &&
        write_identifier_link(page, line, run, token.text, token.text + token.length, column)) {
      run = p = line.position;
      continue;
    }
    if (stays_in_run<E>(token)) {
      p = line.position;
      continue;
    }
    if (token.kind == TokenKind::Keyword || token.kind == TokenKind::Constant) {
      // Tags, but the state stays: written here, and the run goes on.
      flush(page, run, p, column);
      page.emit(token, ScanState::Code, column);
      run = p = line.position;
      continue;
    }
    break;
  }
  flush(page, run, token.text, column);
  return true;
}

template <CharacterEncoding E>
void LineConverter::write_include_link(PageWriter& page, SourceLine& line, ScanState& state,
                                       std::int64_t& column) const {
  const std::optional<IncludeName> name = include_name(std::string_view(line.text, line.length));
  if (!name) return;
  const char* const begin = line.text + name->begin;
  const char* const end = line.text + name->end;
  const std::string_view target =
      page.links()->include_target(std::string_view(begin, name->end - name->begin), name->angled);
  if (target.empty()) return;
  // Token by token, as the run loop would write them; the link opens before
  // the token that begins the name and closes after the one that ends it.
  // A token that would leave a tag open inside the link, or run past the
  // name, closes the link first, so that the tags always nest.
  bool open = false;
  Token token;
  while (scan::scan_token<E>(line, token, index_, state)) {
    const char* const token_end = token.text + token.length;
    if (!open && token.text >= begin) {
      if (token.text != begin || !fits_in_link(token.kind) || token_end > end) {
        state = page.emit(token, state, column);
        return;
      }
      page.raw("<a href=\"", 9);
      page.raw(target.data(), target.size());
      page.raw("\">", 2);
      open = true;
    }
    if (open && (token_end > end || !fits_in_link(token.kind))) {
      page.raw("</a>", 4);
      state = page.emit(token, state, column);
      return;
    }
    state = page.emit(token, state, column);
    if (open && token_end == end) {
      page.raw("</a>", 4);
      return;
    }
  }
  if (open) page.raw("</a>", 4);
}

bool LineConverter::write_identifier_link(PageWriter& page, const SourceLine& line, const char* run,
                                          const char* begin, const char* end, std::int64_t& column) const {
  if (!is_identifier_start(*begin)) return false;
  for (const char* p = begin; p < end; ++p) {
    if (*p == '#') return false;  // a word, but no identifier
  }
  // A number's suffix ("1.5f") or a literal's prefix ("u8\"", "L'") is
  // part of the literal, whatever the vocabulary scans it as.
  if (begin > line.text && in_set(begin[-1], kDecimalByte) && begin[-1] != '.') return false;
  if (*end == '"' || *end == '\'') return false;
  // Nor is a part of a name that holds other characters ("αx").
  if ((begin > line.text && static_cast<unsigned char>(begin[-1]) >= 0x80) ||
      static_cast<unsigned char>(*end) >= 0x80)
    return false;
  IdentifierUse use;
  use.name = std::string_view(begin, static_cast<std::size_t>(end - begin));
  use.line_text = std::string_view(line.text, line.length);
  use.line = page.source_line();
  use.after_member = follows_member_access(line.text, begin);
  const std::string_view target = page.links()->identifier_target(use);
  if (target.empty()) return false;
  flush(page, run, begin, column);
  page.raw("<a href=\"", 9);
  page.raw(target.data(), target.size());
  page.raw("\">", 2);
  flush(page, begin, end, column);
  page.raw("</a>", 4);
  return true;
}

template <CharacterEncoding E, bool kLinks>
[[gnu::always_inline]] inline ScanState LineConverter::scan_rest(PageWriter& page, SourceLine& line,
                                                                 ScanState state,
                                                                 std::int64_t& column) const {
  Token token;
  for (;;) {
    const bool more = state == ScanState::Code ? write_code_until_opener<E, kLinks>(page, line, token, column)
                                               : scan::scan_token<E>(line, token, index_, state);
    if (!more) break;
    state = page.emit(token, state, column);
  }
  return state;
}

template <CharacterEncoding E>
[[gnu::noinline]] ScanState LineConverter::scan_linked(PageWriter& page, SourceLine& line, ScanState state,
                                                       std::int64_t& column) const {
  return scan_rest<E, true>(page, line, state, column);
}

// The token loop, inlined into the line so that a line costs no call of it.
template <CharacterEncoding E>
[[gnu::always_inline]] inline ScanState LineConverter::scan_tokens(PageWriter& page, SourceLine& line,
                                                                   ScanState state,
                                                                   std::int64_t& column) const {
  page.set_line(line);
  if (const PreparedTagPair* category = page.category(state)) page.tag(category->open);
  bool identifiers = page.identifier_links();
  if (page.links() != nullptr && state == ScanState::Code && !line.goes_on) [[unlikely]] {
    // Only a line whose first byte but blanks is '#' may be one: the others
    // cost this look alone. No name of an include line links to a definition.
    const char* first = line.text;
    while (*first == ' ' || *first == '\t') ++first;
    if (*first == '#') {
      if (identifiers && is_include_line(std::string_view(line.text, line.length))) identifiers = false;
      write_include_link<E>(page, line, state, column);
    }
  }
  if (identifiers) [[unlikely]]
    state = scan_linked<E>(page, line, state, column);
  else
    state = scan_rest<E, false>(page, line, state, column);
  if (const PreparedTagPair* category = page.category(state)) page.tag(category->close);
  return state;
}

// One line between its tags, inlined into the line loop.
template <CharacterEncoding E>
[[gnu::always_inline]] inline ScanState LineConverter::convert_one_line(PageWriter& page, SourceLine& line,
                                                                        ScanState state) const {
  page.tag(page.line.open);
  std::int64_t column = 0;
  state = scan_tokens<E>(page, line, state, column);
  page.tag(page.line.close);
  if (line.line_ending[0] != '\0') page.line_ending();
  return state;
}

std::uint64_t LineConverter::convert_lines(PageWriter& page, TextReader& input, SourceLine& line,
                                           CharacterEncoding encoding) const {
  if (encoding == CharacterEncoding::kUtf8)
    return convert_whole_lines_as<CharacterEncoding::kUtf8>(page, input, line);
  if (line_anchors_) return convert_whole_lines_as<CharacterEncoding::kShiftJis>(page, input, line);
  return convert_lines_as<CharacterEncoding::kShiftJis>(page, input, line);
}

template <CharacterEncoding E>
std::uint64_t LineConverter::convert_lines_as(PageWriter& page, TextReader& input, SourceLine& line) const {
  ScanState state = ScanState::Code;
  LineNumberText number(nbsp_spaces_);
  // A failed write ends the page at once: the rest of the source is not
  // read, which also ends the conversion of an input that never ends.
  std::uint64_t ended_lines = 0;
  bool open_line = false;  // the last piece has no newline yet
  while (page.ok() && read_source_line(input, line)) {
    // A NUL keeps a piece's newline off the page, not out of the count.
    page.set_source_line(ended_lines + 1);
    ended_lines += line.ends_source_line;
    open_line = !line.ends_source_line;
    if (line_numbers_) {
      page.tag(page.line_number.open);
      page.padded_raw(number.text().data(), number.text().size());
      page.tag(page.line_number.close);
      number.next();
    }
    state = convert_one_line<E>(page, line, state);
  }
  return ended_lines + open_line;
}

template <CharacterEncoding E>
std::uint64_t LineConverter::convert_whole_lines_as(PageWriter& page, TextReader& input,
                                                    SourceLine& line) const {
  input.replace_nuls(E == CharacterEncoding::kUtf8 ? kUtf8NulReplacement : kShiftJisNulReplacement);
  ScanState state = ScanState::Code;
  LineNumberText number(nbsp_spaces_);
  LineAnchorText anchor(line_numbers_);
  std::uint64_t lines = 0;
  bool in_line = false;  // the last piece did not end its line
  std::int64_t column = 0;
  while (page.ok() && read_whole_line_piece(input, line, E)) {
    if (!in_line) {
      // The line's prefix and open tag come once, before its first piece.
      ++lines;
      page.set_source_line(lines);
      if (line_anchors_) {
        page.padded_raw(anchor.text().data(), anchor.text().size());
        anchor.next();
      }
      if (line_numbers_) {
        page.tag(page.line_number.open);
        page.padded_raw(number.text().data(), number.text().size());
        page.tag(page.line_number.close);
        number.next();
        if (line_anchors_) page.padded_raw(kLinkEnd, 4);
      }
      page.tag(page.line.open);
      column = 0;
    }
    state = scan_tokens<E>(page, line, state, column);
    in_line = !line.ends_source_line;
    if (!in_line) {
      page.tag(page.line.close);
      page.line_ending();
    }
  }
  if (in_line) page.tag(page.line.close);
  return lines;
}

}  // namespace prismet

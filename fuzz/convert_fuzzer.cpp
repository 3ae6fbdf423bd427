// Fuzzes the scanner and the emitter together: arbitrary source bytes, with
// the layout options taken from the first byte. Checks, besides memory
// safety, that the page is sound HTML for the source:
// - every '<' in the page begins a tag (text never puts one there), and no
//   '>' or '"' is left once the tags are taken out;
// - every '&' begins one of the five entities written;
// - the tags nest: every line's tags are balanced within the line;
// - taking out the tags and undoing the escapes gives back the source as
//   the text-mode reader delivers it, line piece by line piece, with every
//   tab expanded to the next tab stop when tabs are expanded;
// - the scanner's tokens lie inside their piece, one right after the other,
//   and cover it whole; in UTF-8 none ends inside a well-formed sequence;
// - with every identifier linked, taking the links out gives the page
//   without links.
// The definition finder is fed the same tokens: it must end, and every
// definition it finds must have a name and a line that the source has.
// Every input is checked in Shift_JIS and in UTF-8.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/definition_finder.h"
#include "engine/emitter.h"
#include "engine/vocabulary_file.h"
#include "fuzz/page_check.h"
#include "tests/reference_converter.h"

using prismet::OutputStyle;

namespace {

// In UTF-8, no token may end inside a well-formed sequence.
bool ends_inside_character(const char* line_start, const char* at, const char* end) {
  for (std::ptrdiff_t k = 1; k <= 3 && at - k >= line_start; ++k) {
    if (static_cast<std::ptrdiff_t>(prismet::utf8_sequence_length(at - k, end)) > k) return true;
  }
  return false;
}

void check_tokens(const char* source, std::size_t size, const OutputStyle& style,
                  const prismet::Vocabulary& vocabulary, prismet::CharacterEncoding encoding) {
  prismet::TextReader reader;
  reader.open_memory(source, size);
  std::string sink;
  prismet::TextWriter writer;
  writer.open_memory(&sink);
  const prismet::VocabularyIndex index(vocabulary);
  auto line = std::make_unique<prismet::SourceLine>();
  prismet::ScanState state = prismet::ScanState::Code;
  prismet::DefinitionFinder finder;
  std::vector<prismet::Definition> definitions;
  finder.start(definitions);
  std::uint32_t lines = 0;
  bool in_line = false;
  while (prismet::read_source_line(reader, *line)) {
    if (!in_line) ++lines;
    finder.begin_piece(lines, in_line);
    const char* next = line->text;
    const char* end = line->text + line->length;
    int column = 0;
    prismet::Token token;
    while (prismet::next_token(*line, token, index, state, encoding)) {
      if (token.text != next || token.length > static_cast<std::size_t>(end - token.text)) __builtin_trap();
      next += token.length;
      if (encoding == prismet::CharacterEncoding::kUtf8 && ends_inside_character(line->text, next, end))
        __builtin_trap();
      finder.token(token);
      state = prismet::emit_token(writer, column, token, style, state, encoding);
      sink.clear();
    }
    if (next != end) __builtin_trap();
    in_line = !line->ends_source_line;
    if (!in_line) finder.end_line(line->continuation);
  }
  writer.close();
  for (const prismet::Definition& definition : definitions) {
    if (definition.name.empty() || definition.line == 0 || definition.line > lines) __builtin_trap();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t options = data[0];
  const char* source = reinterpret_cast<const char*>(data + 1);
  const std::size_t source_size = size - 1;

  // The built-in vocabulary, and one with every section of today's C++
  // (raw strings, separators, the number rule, prefixes and suffixes,
  // directives and literals that end with their line).
  static prismet::Vocabulary vocabulary;
  static prismet::Vocabulary modern;
  static bool ready = false;
  if (!ready) {
    prismet::set_builtin_vocabulary(vocabulary);
    static const char kModern[] =
        "#version 00000000\n[+string_literal]\nu8\" \"\nL\" \"\n[+char_constant]\nu8' '\n"
        "[raw_string]\nR\" \"\nu8R\" \"\nLR\" )\n[digit_separator]\n'\n[number_rule]\npp_number\n"
        "[literal_suffix]\nstring_literal\nchar_constant\nraw_string\n[directive]\ninclude\nif\n"
        "[directive_text]\nerror\n[line_literal]\nstring_literal\nchar_constant\n";
    prismet::load_vocabulary_from_memory(modern, kModern, sizeof kModern - 1);
    ready = true;
  }

  OutputStyle style;
  prismet::set_default_output_style(style, "", "");
  prismet::fuzz::set_check_tags(style);
  style.line_numbers = options & 1;
  style.expand_tabs = options & 2;
  style.nbsp_spaces = options & 4;
  style.tab_width = (options >> 3) % 9;  // 0 included: must not divide by zero

  // Every input in both encodings, so that the seeds keep their options byte.
  for (const auto encoding : {prismet::CharacterEncoding::kShiftJis, prismet::CharacterEncoding::kUtf8}) {
    for (const prismet::Vocabulary* words : {&vocabulary, &modern}) {
      prismet::fuzz::check_conversion(source, source_size, style, *words, encoding);
      check_tokens(source, source_size, style, *words, encoding);
      prismet::fuzz::check_name_links(source, source_size, style, *words, encoding);
    }
  }
  return 0;
}

#include "engine/emitter.h"

#include <cstdio>
#include <memory>

#include "engine/line_converter.h"
#include "engine/page_writer.h"
#include "engine/text_escaper.h"

namespace prismet {

int tab_fill(int column, int tab_width) {
  if (tab_width <= 0) return 0;
  return tab_width - column % tab_width;
}

void write_text(TextWriter& output, int& column, const char* text, std::size_t length,
                const OutputStyle& style) {
  column = static_cast<int>(TextEscaper(style).write(output, text, length, column));
}

void write_line_number(TextWriter& output, int line_number, const OutputStyle& style) {
  PageWriter page(output, style);
  page.tag(page.line_number.open);
  char prefix[1024];
  const int length = std::snprintf(prefix, sizeof prefix, "%4d: ", line_number);
  int ignored_column = 0;
  write_text(output, ignored_column, prefix, length > 0 ? static_cast<std::size_t>(length) : 0, style);
  page.tag(page.line_number.close);
}

ScanState emit_token(TextWriter& output, int& column, const Token& token, const OutputStyle& style,
                     ScanState state, CharacterEncoding encoding) {
  PageWriter page(output, style, encoding);
  std::int64_t wide_column = column;
  state = page.emit(token, state, wide_column);
  column = static_cast<int>(wide_column);
  return state;
}

struct SourceConverter::Parts {
  Parts(const OutputStyle& style, const Vocabulary& vocabulary)
      : style(style), index(vocabulary), converter(index, style) {}
  const OutputStyle& style;
  const VocabularyIndex index;
  const LineConverter converter;
  // The file's cursor; large, so it lives on the heap rather than the stack.
  // Every read writes the text (and its NUL) before anything looks at it, so
  // only the cursor's own fields are set for each file, not its 32 KB of
  // text: a conversion of a small file costs no more than its bytes.
  std::unique_ptr<SourceLine> line = std::make_unique_for_overwrite<SourceLine>();
};

SourceConverter::SourceConverter(const OutputStyle& style, const Vocabulary& vocabulary)
    : parts_(std::make_unique<Parts>(style, vocabulary)) {}

SourceConverter::~SourceConverter() = default;

std::uint64_t SourceConverter::convert(TextWriter& output, TextReader& input, CharacterEncoding encoding) {
  PageWriter page(output, parts_->style, encoding);
  page.tag(page.whole.open);
  SourceLine& line = *parts_->line;
  line.continuation = false;
  line.position = line.text;
  line.pending_end = std::string_view();
  line.raw = false;
  line.line_ending[0] = line.line_ending[1] = '\0';
  line.length = 0;
  line.text[0] = '\0';
  const std::uint64_t lines = parts_->converter.convert_lines(page, input, line, encoding);
  page.tag(page.whole.close);
  return lines;
}

void convert_source(TextWriter& output, TextReader& input, const OutputStyle& style,
                    const Vocabulary& vocabulary, CharacterEncoding encoding) {
  SourceConverter(style, vocabulary).convert(output, input, encoding);
}

}  // namespace prismet

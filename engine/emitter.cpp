#include "engine/emitter.h"

#include <memory>

#include "engine/line_converter.h"
#include "engine/page_writer.h"
#include "engine/text_escaper.h"

namespace prismet {

struct SourceConverter::Parts {
  Parts(const OutputStyle& style, const Vocabulary& vocabulary)
      : style(style), index(vocabulary), converter(index, style) {}
  const OutputStyle& style;
  const VocabularyIndex index;
  const LineConverter converter;
  // The file's cursor; large, so it lives on the heap rather than the stack.
  // start_source sets it for each file without touching its 32 KB of text.
  std::unique_ptr<SourceLine> line = std::make_unique_for_overwrite<SourceLine>();
};

SourceConverter::SourceConverter(const OutputStyle& style, const Vocabulary& vocabulary)
    : parts_(std::make_unique<Parts>(style, vocabulary)) {}

SourceConverter::~SourceConverter() = default;

std::uint64_t SourceConverter::convert(TextWriter& output, TextReader& input, CharacterEncoding encoding,
                                       PageLinks* links) {
  PageWriter page(output, parts_->style, encoding);
  page.set_links(links);
  page.tag(page.whole.open);
  SourceLine& line = *parts_->line;
  start_source(line);
  const std::uint64_t lines = parts_->converter.convert_lines(page, input, line, encoding);
  page.tag(page.whole.close);
  return lines;
}

void convert_source(TextWriter& output, TextReader& input, const OutputStyle& style,
                    const Vocabulary& vocabulary, CharacterEncoding encoding) {
  SourceConverter(style, vocabulary).convert(output, input, encoding);
}

}  // namespace prismet

#include "tests/reference_converter.h"

#include <cstdint>
#include <cstdio>

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

}  // namespace prismet

// Fuzzes the scanner and the emitter together: arbitrary source bytes, with
// the layout options taken from the first byte. Checks, besides memory
// safety, that the page is sound HTML for the source:
// - every '<' in the page begins a tag (text never puts one there), and no
//   '>' or '"' is left once the tags are taken out;
// - every '&' begins one of the five entities written;
// - taking out the tags and undoing the escapes gives back the source as
//   the text-mode reader delivers it, line piece by line piece.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "common/text_stream.h"
#include "engine/emitter.h"

namespace {

using prismet::OutputStyle;

[[noreturn]] void fail(const char* what) {
  std::fprintf(stderr, "invariant broken: %s\n", what);
  __builtin_trap();
}

// What the converted text of `source` must read as: each line piece (up to
// and including LF, at most 32,766 bytes after CR LF became LF and before
// 0x1A), cut at its first NUL, with "\n" where the piece kept its line end.
std::string expected_text(const char* data, std::size_t size) {
  prismet::TextReader reader;
  reader.open_memory(data, size);
  std::string expected;
  std::string piece(prismet::kMaxPieceBytes + 1, '\0');
  while (std::size_t got = reader.read_line(piece.data(), prismet::kMaxPieceBytes)) {
    const std::size_t length = std::strlen(piece.c_str());
    expected.append(piece.data(), length);  // a NUL drops the rest, line end included
    (void)got;
  }
  return expected;
}

// The page without tags (and without the line-number prefixes, which sit
// between "<n>" and "</n>"), escapes undone, CR LF back to LF.
std::string page_text(const std::string& page) {
  std::string text;
  for (std::size_t i = 0; i < page.size();) {
    const char c = page[i];
    if (c == '<') {
      const std::size_t close = page.find('>', i);
      if (close == std::string::npos) fail("unterminated tag");
      if (page.compare(i, 3, "<n>") == 0) {
        const std::size_t end = page.find("</n>", i);
        if (end == std::string::npos) fail("unclosed line number");
        i = end + 4;
      } else {
        i = close + 1;
      }
      continue;
    }
    if (c == '>' || c == '"') fail("raw > or \" in text");
    if (c == '&') {
      static const struct {
        const char* entity;
        char byte;
      } kEntities[] = {{"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&nbsp;", ' '}};
      bool known = false;
      for (const auto& e : kEntities) {
        const std::size_t n = std::strlen(e.entity);
        if (page.compare(i, n, e.entity) == 0) {
          text += e.byte;
          i += n;
          known = true;
          break;
        }
      }
      if (!known) fail("stray &");
      continue;
    }
    if (c == '\r' && i + 1 < page.size() && page[i + 1] == '\n') {
      text += '\n';
      i += 2;
      continue;
    }
    if (c == '\n') fail("LF without CR");
    text += c;
    ++i;
  }
  return text;
}

std::string without_blanks(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c != ' ' && c != '\t') out += c;
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t options = data[0];
  const char* source = reinterpret_cast<const char*>(data + 1);
  const std::size_t source_size = size - 1;

  static prismet::Vocabulary vocabulary;
  static bool ready = false;
  if (!ready) {
    prismet::set_builtin_vocabulary(vocabulary);
    ready = true;
  }

  OutputStyle style;
  prismet::set_default_output_style(style, "", "");
  style.whole = {"<w>", "</w>"};
  style.line = {"<l>", "</l>"};
  style.line_number = {"<n>", "</n>"};
  style.comment = {"<c>", "</c>"};
  style.keyword = {"<k>", "</k>"};
  style.line_numbers = options & 1;
  style.expand_tabs = options & 2;
  style.nbsp_spaces = options & 4;
  style.tab_width = (options >> 3) % 9;  // 0 included: must not divide by zero

  prismet::TextReader input;
  input.open_memory(source, source_size);
  std::string page;
  prismet::TextWriter output;
  output.open_memory(&page);
  prismet::convert_source(output, input, style, vocabulary);
  output.close();

  std::string expected = expected_text(source, source_size);
  std::string actual = page_text(page);
  if (style.expand_tabs) {
    // Tabs became a column-dependent number of spaces.
    expected = without_blanks(expected);
    actual = without_blanks(actual);
  }
  if (actual != expected) fail("the text does not round-trip");
  return 0;
}

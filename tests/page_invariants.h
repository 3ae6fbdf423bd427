// What a converted page must satisfy for any source: its tags nest, source
// text never puts a raw '<', '>', '&' or '"' into it, and taking out the tags
// and undoing the escapes gives back the source as the text-mode reader
// delivers it. Used by the property tests and the fuzz targets; each check
// returns an empty text when the page passes, else what is wrong.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

#include "common/character_encoding.h"
#include "common/text_stream.h"
#include "engine/emitter.h"
#include "engine/page_links.h"
#include "engine/scanner.h"
#include "settings/output_style.h"

namespace prismet::testing {

// Short one-letter tags for every category, so that a page can be checked
// tag by tag.
inline void set_check_tags(OutputStyle& style) {
  style.whole = {"<w>", "</w>"};
  style.line = {"<l>", "</l>"};
  style.line_number = {"<n>", "</n>"};
  style.comment = {"<c>", "</c>"};
  style.keyword = {"<k>", "</k>"};
  style.constant = {"<d>", "</d>"};
  style.char_constant = {"<h>", "</h>"};
  style.string_literal = {"<s>", "</s>"};
}

// The tags of a page written with set_check_tags nest properly: one "<w>"
// around everything; "<l>" and the line number "<n>" only directly inside
// it; every category opened inside a line closed again before that line's
// "</l>". Every '<' must begin such a tag.
inline std::string tag_nesting_error(const std::string& page) {
  std::string open;  // the letters of the tags open now, outermost first
  for (std::size_t i = page.find('<'); i != std::string::npos; i = page.find('<', i + 1)) {
    const bool closing = i + 1 < page.size() && page[i + 1] == '/';
    const std::size_t letter = i + (closing ? 2 : 1);
    if (letter + 1 >= page.size() || page[letter + 1] != '>') return "a '<' that begins no tag";
    const char tag = page[letter];
    if (closing) {
      if (open.empty() || open.back() != tag) return std::string("</") + tag + "> closed out of order";
      open.pop_back();
    } else {
      if (tag == 'w' && !open.empty()) return "nested whole-text tag";
      if ((tag == 'l' || tag == 'n') && open != "w") return std::string("<") + tag + "> inside another tag";
      if (tag != 'w' && tag != 'l' && tag != 'n' && (open.size() < 2 || open[1] != 'l')) {
        return std::string("<") + tag + "> outside a line";
      }
      open += tag;
    }
  }
  return open.empty() ? "" : "tags left open at the end: " + open;
}

// The text of a page: without tags and without the line-number prefixes
// (between "<n>" and "</n>"), escapes undone, CR LF back to LF. Fails on a
// raw '>' or '"' outside a tag, an '&' that begins none of the five entities
// written, or an LF without CR.
inline std::string page_text(const std::string& page, std::string& text) {
  text.clear();
  for (std::size_t i = 0; i < page.size();) {
    const char c = page[i];
    if (c == '<') {
      const std::size_t close = page.find('>', i);
      if (close == std::string::npos) return "unterminated tag";
      if (page.compare(i, 3, "<n>") == 0) {
        const std::size_t end = page.find("</n>", i);
        if (end == std::string::npos) return "unclosed line number";
        i = end + 4;
      } else {
        i = close + 1;
      }
      continue;
    }
    if (c == '>' || c == '"') return std::string("raw ") + c + " in the text";
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
      if (!known) return "stray &";
      continue;
    }
    if (c == '\r' && i + 1 < page.size() && page[i + 1] == '\n') {
      text += '\n';
      i += 2;
      continue;
    }
    if (c == '\n') return "LF without CR";
    text += c;
    ++i;
  }
  return "";
}

// What the text of the page converted from `source` must read as. In
// Shift_JIS without line anchors: each line piece the reader delivers (up
// to and including LF, at most kMaxPieceBytes bytes after CR LF became LF
// and before 0x1A), cut at its first NUL, with its LF where the piece kept
// it. In UTF-8 and with line anchors: the whole text, each NUL as U+FFFD
// (UTF-8) or '?' (Shift_JIS). With `style.expand_tabs`, every tab becomes
// the spaces up to the next multiple of the tab width (none for a width of
// 0 or less), counting one column per byte from the start of the piece in
// Shift_JIS, and in UTF-8 one per character, two for a wide one, from the
// start of the line.
inline std::string expected_text(const char* source, std::size_t size, const OutputStyle& style,
                                 CharacterEncoding encoding = CharacterEncoding::kShiftJis) {
  TextReader reader;
  reader.open_memory(source, size);
  std::string expected;
  std::string piece(kMaxPieceBytes + 1, '\0');
  if (encoding == CharacterEncoding::kUtf8 || style.line_anchors) {
    std::string text;
    while (const std::size_t stored = reader.read_line(piece.data(), kMaxPieceBytes)) {
      for (std::size_t i = 0; i < stored; ++i) {
        if (piece[i] != '\0')
          text += piece[i];
        else
          text += encoding == CharacterEncoding::kUtf8 ? "\xEF\xBF\xBD" : "?";
      }
    }
    if (!style.expand_tabs) return text;
    int column = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '\t') {
        const int fill = style.tab_width > 0 ? style.tab_width - column % style.tab_width : 0;
        expected.append(static_cast<std::size_t>(fill), ' ');
        column += fill;
      } else if (text[i] == '\n') {
        expected += '\n';
        column = 0;
      } else if (encoding == CharacterEncoding::kUtf8) {
        const std::size_t n = utf8_sequence_length(text.data() + i, text.data() + text.size());
        expected.append(text.data() + i, n);
        column += static_cast<int>(utf8_columns(text.data() + i, n));
        i += n - 1;
      } else {
        expected += text[i];
        ++column;
      }
    }
    return expected;
  }
  while (reader.read_line(piece.data(), kMaxPieceBytes) > 0) {
    const std::size_t length = std::strlen(piece.c_str());  // a NUL drops the rest, line end included
    if (!style.expand_tabs) {
      expected.append(piece.data(), length);
      continue;
    }
    int column = 0;
    for (std::size_t i = 0; i < length; ++i) {
      if (piece[i] == '\t') {
        const int fill = style.tab_width > 0 ? style.tab_width - column % style.tab_width : 0;
        expected.append(static_cast<std::size_t>(fill), ' ');
        column += fill;
      } else {
        expected += piece[i];
        ++column;
      }
    }
  }
  return expected;
}

// The page convert_source makes of `source`, converted in memory.
inline std::string convert_in_memory(const std::string& source, const OutputStyle& style,
                                     const Vocabulary& vocabulary,
                                     CharacterEncoding encoding = CharacterEncoding::kShiftJis) {
  TextReader input;
  input.open_memory(source.data(), source.size());
  std::string page;
  TextWriter output;
  output.open_memory(&page);
  convert_source(output, input, style, vocabulary, encoding);
  output.close();
  return page;
}

// Links every identifier it is asked about to `kEveryNameTarget`.
class EveryNameLinks : public PageLinks {
 public:
  static constexpr std::string_view kTarget = "@";
  EveryNameLinks() { set_links_identifiers(true); }
  std::string_view include_target(std::string_view, bool) override { return {}; }
  std::string_view identifier_target(const IdentifierUse&) override { return kTarget; }
};

// The page with every identifier's link of EveryNameLinks taken out: the
// opening tag and the first "</a>" after it. False when an opening tag has
// no end, or its link holds a tag.
inline bool without_name_links(const std::string& page, std::string& unlinked) {
  static constexpr std::string_view kOpen = "<a href=\"@\">";
  unlinked.clear();
  std::size_t from = 0;
  for (std::size_t at = page.find(kOpen); at != std::string::npos; at = page.find(kOpen, from)) {
    const std::size_t name = at + kOpen.size();
    const std::size_t close = page.find("</a>", name);
    if (close == std::string::npos || page.find('<', name) != close) return false;
    unlinked.append(page, from, at - from);
    unlinked.append(page, name, close - name);
    from = close + 4;
  }
  unlinked.append(page, from, std::string::npos);
  return true;
}

// The page of `source` converted with EveryNameLinks, which must be the
// page without links once they are taken out; an empty text when it is.
inline std::string name_links_error(const std::string& source, const OutputStyle& style,
                                    const Vocabulary& vocabulary, CharacterEncoding encoding) {
  const auto convert = [&](PageLinks* links) {
    TextReader input;
    input.open_memory(source.data(), source.size());
    std::string page;
    TextWriter output;
    output.open_memory(&page);
    SourceConverter(style, vocabulary).convert(output, input, encoding, links);
    output.close();
    return page;
  };
  EveryNameLinks links;
  const std::string linked = convert(&links);
  std::string unlinked;
  if (!without_name_links(linked, unlinked)) return "a name's link is not closed right after the name";
  if (unlinked != convert(nullptr)) return "the page with name links differs from the page without";
  return "";
}

// Converts `source` and checks every invariant above.
inline std::string conversion_error(const std::string& source, const OutputStyle& style,
                                    const Vocabulary& vocabulary,
                                    CharacterEncoding encoding = CharacterEncoding::kShiftJis) {
  const std::string page = convert_in_memory(source, style, vocabulary, encoding);
  std::string error = tag_nesting_error(page);
  if (!error.empty()) return error;
  std::string text;
  error = page_text(page, text);
  if (!error.empty()) return error;
  const std::string expected = expected_text(source.data(), source.size(), style, encoding);
  if (text == expected) return "";
  std::size_t at = 0;
  while (at < text.size() && at < expected.size() && text[at] == expected[at]) ++at;
  return "the page's text differs from the source at byte " + std::to_string(at) + " of " +
         std::to_string(expected.size());
}

}  // namespace prismet::testing

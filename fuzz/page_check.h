// Checks shared by the fuzz targets that convert text: what a page must give
// back once its tags are taken out and its escapes undone.
#pragma once

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>

#include "common/text_stream.h"
#include "engine/scanner.h"
#include "settings/output_style.h"

namespace prismet::fuzz {

[[noreturn]] inline void fail(const char* what) {
  std::fprintf(stderr, "invariant broken: %s\n", what);
  __builtin_trap();
}

// What the converted text of `source` must read as: each line piece (up to
// and including LF, at most 32,766 bytes after CR LF became LF and before
// 0x1A), cut at its first NUL, with "\n" where the piece kept its line end.
inline std::string expected_text(const char* data, std::size_t size) {
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
inline std::string page_text(const std::string& page) {
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

inline std::string without_blanks(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c != ' ' && c != '\t') out += c;
  }
  return out;
}

// Short one-letter tags for every category, so that a page can be checked
// tag by tag.
inline void set_check_tags(prismet::OutputStyle& style) {
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
// around everything, "<l>" only directly inside it, and every category
// opened inside a line closed again before that line's "</l>"; the line
// number stands before its line, also directly inside "<w>".
inline void check_tags_balanced(const std::string& page) {
  std::string open;  // the letters of the tags open now, outermost first
  for (std::size_t i = page.find('<'); i != std::string::npos; i = page.find('<', i + 1)) {
    const bool closing = i + 1 < page.size() && page[i + 1] == '/';
    const std::size_t letter = i + (closing ? 2 : 1);
    if (letter + 1 >= page.size() || page[letter + 1] != '>') fail("not a tag");
    const char tag = page[letter];
    if (closing) {
      if (open.empty() || open.back() != tag) fail("tag closed out of order");
      open.pop_back();
    } else {
      if (tag == 'w' && !open.empty()) fail("nested whole-text tag");
      if ((tag == 'l' || tag == 'n') && open != "w") fail("line or line number inside another tag");
      if (tag != 'w' && tag != 'l' && tag != 'n' && (open.size() < 2 || open[1] != 'l')) {
        fail("category outside a line");
      }
      open += tag;
    }
  }
  if (!open.empty()) fail("tag left open at the end");
}

}  // namespace prismet::fuzz

// The one HTML escaper of pages, titles and indexes. TextEscaper writes
// source text into the page escaped for HTML: "&", "<", ">" and the double
// quote as entities, spaces as "&nbsp;" and tabs expanded when the style asks
// for it. Built once per conversion; the text goes straight into the
// writer's buffer, sixteen bytes at a time with SSE2 (eight elsewhere) where
// none of them needs anything (unless spaces are rewritten).
// TextEscaper::escaped escapes a name (a file's, a folder's) by the same
// table, with the apostrophe as "&#39;" too when asked.
//
// UTF-8 needs nothing either: no byte of a multi-byte sequence is ASCII;
// only its columns differ (character_encoding.h, utf8_columns), and only
// tab expansion looks at them.
//
// Double-byte characters need nothing here: the scanner passes a lead byte
// with its second byte only when that byte lies in 0x40-0xFC, and no byte
// there is ever rewritten, so writing every byte by the ordinary rules gives
// the same bytes and the same columns.
#pragma once

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/character_encoding.h"
#include "common/text_stream.h"
#include "settings/output_style.h"

namespace prismet {

class TextEscaper {
 public:
  // Columns count bytes in Shift_JIS (a double-byte character fills two) and
  // display columns in UTF-8.
  explicit TextEscaper(const OutputStyle& style, CharacterEncoding encoding = CharacterEncoding::kShiftJis);

  // Writes `length` bytes of text that starts at `column` (columns of the
  // line's text written before it); returns the column after it. The text
  // holds no LF.
  std::int64_t write(TextWriter& output, const char* text, std::size_t length, std::int64_t column) const;

  // What a byte needs, by byte value.
  enum Action : std::uint8_t { kPlain = 0, kAmp, kLt, kGt, kQuot, kApos, kNbsp, kTab };

  // Whether escaped() writes the apostrophe as "&#39;" (as names need, so
  // that they may stand in attributes quoted either way) or as it is.
  enum class Apostrophe : bool { kAsIs, kEntity };
  // `text` with "&", "<", ">", the double quote and, with kEntity, the
  // apostrophe written as entities, by the table write() uses; every other
  // byte (spaces and tabs too) as it is.
  static std::string escaped(std::string_view text, Apostrophe apostrophe);

  // The entity write() writes for '&', '<', '>' or the double quote; the
  // caller passes no other byte.
  static std::string_view entity(char byte) {
    assert(byte == '&' || byte == '<' || byte == '>' || byte == '"');
    const Action action = byte == '&' ? kAmp : byte == '<' ? kLt : byte == '>' ? kGt : kQuot;
    return {kEntities[action].text, kEntities[action].length};
  }

 private:
  // The entities by action, padded to eight bytes so that one store writes
  // any of them.
  struct Entity {
    char text[8];
    std::size_t length;
  };
  static constexpr Entity kEntities[] = {{"", 0},       {"&amp;", 5}, {"&lt;", 4},  {"&gt;", 4},
                                         {"&quot;", 6}, {"&#39;", 5}, {"&nbsp;", 6}};

  // The columns of write(): the column of the byte at p is base + (p -
  // text), a tab moving base by what it fills beyond one column. UTF-8
  // columns are counted by character instead: `synced_column` is the column
  // at `synced`, the byte after the last tab, and the text between them
  // holds no tab.
  struct Columns {
    std::int64_t base;
    const char* synced;
    std::int64_t synced_column;
  };
  // Writes the tab at `tab` of the text that begins at `text`; moves the
  // columns on.
  [[gnu::always_inline]] void expand_tab(TextWriter& output, Columns& columns, const char* text,
                                         const char* tab) const;
  std::int64_t write_tab(TextWriter& output, std::int64_t column) const;
  // The fast paths over bytes that need nothing (text_escaper.cpp).
  class PlainBlocks;
  [[gnu::always_inline]] bool skip_plain_word(const char*& p, char*& o) const;

  const std::uint8_t* action_;
  // Bytes that may need something are found sixteen (or eight) at a time
  // with three byte comparisons: (x | or_first) == eq_first, (x | 2) == '>'
  // (finds '<' and '>') and x == eq_third. The set found is a superset of
  // the bytes that need anything; the byte table decides.
  // WARNING: performance-critical. Eight bytes at a time bought 6% of the
  // engine's time in the default row, sixteen another 4% (2% fewer
  // instructions); where spaces become "&nbsp;" a space stops them every
  // few bytes, and the byte loop alone is 7% faster there
  // (bench/engine_rows.py, 10 MB corpus, default and full rows, wall time),
  // so they are used only without "&nbsp;".
  std::uint64_t or_first_;
  std::uint64_t eq_first_;
  std::uint64_t eq_third_;
  std::int32_t tab_width_;
  bool nbsp_;
  bool utf8_columns_;
};

}  // namespace prismet

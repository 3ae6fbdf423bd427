#include "engine/text_escaper.h"

#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace prismet {

namespace {

static_assert(std::endian::native == std::endian::little, "the lowest byte of a loaded word is the first");

struct ActionTable {
  std::uint8_t action[256];
  constexpr ActionTable(bool nbsp, bool expand) : action() {
    action[static_cast<unsigned char>('&')] = TextEscaper::kAmp;
    action[static_cast<unsigned char>('<')] = TextEscaper::kLt;
    action[static_cast<unsigned char>('>')] = TextEscaper::kGt;
    action[static_cast<unsigned char>('"')] = TextEscaper::kQuot;
    if (nbsp) action[static_cast<unsigned char>(' ')] = TextEscaper::kNbsp;
    if (expand) action[static_cast<unsigned char>('\t')] = TextEscaper::kTab;
  }
};

// Indexed by nbsp_spaces * 2 + expand_tabs.
constexpr ActionTable kActionTables[4] = {ActionTable(false, false), ActionTable(false, true),
                                          ActionTable(true, false), ActionTable(true, true)};

constexpr std::uint64_t kOnes = 0x0101010101010101ull;
constexpr std::uint64_t kHighs = kOnes * 0x80;

// The high bit of every zero byte of `v` is set. Bytes above a zero byte may
// be set as well, so only the lowest set byte is certain to be zero.
inline std::uint64_t zero_bytes(std::uint64_t v) { return (v - kOnes) & ~v & kHighs; }

inline std::uint64_t load8(const char* p) {
  std::uint64_t v;
  std::memcpy(&v, p, 8);
  return v;
}
inline void store8(char* p, std::uint64_t v) { std::memcpy(p, &v, 8); }

// Input bytes per reservation: every one may become six output bytes, and
// the stores of sixteen (or eight) bytes may reach sixteen bytes further.
constexpr std::size_t kChunk = 8192;
constexpr std::size_t reservation(std::size_t bytes) { return bytes * 6 + 16; }
static_assert(reservation(kChunk) <= TextWriter::kMaxReserve);

constexpr char kSpaces[] = "                                                                ";
constexpr char kNbsps[] =
    "&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;";

}  // namespace

TextEscaper::TextEscaper(const OutputStyle& style, CharacterEncoding encoding)
    : action_(kActionTables[(style.nbsp_spaces ? 2 : 0) + (style.expand_tabs ? 1 : 0)].action),
      or_first_(kOnes * (style.nbsp_spaces ? 0x06 : 0x04)),
      eq_first_(kOnes * '&'),
      eq_third_(kOnes * (style.expand_tabs ? '\t' : '&')),
      tab_width_(style.tab_width),
      nbsp_(style.nbsp_spaces),
      utf8_columns_(encoding == CharacterEncoding::kUtf8 && style.expand_tabs) {}

std::int64_t TextEscaper::write_tab(TextWriter& output, std::int64_t column) const {
  if (tab_width_ <= 0) return column;  // the tab fills nothing
  std::int64_t fill = tab_width_ - column % tab_width_;
  const std::int64_t after = column + fill;
  const char* block = nbsp_ ? kNbsps : kSpaces;
  const std::int64_t per_block = nbsp_ ? (sizeof kNbsps - 1) / 6 : sizeof kSpaces - 1;
  const std::size_t width = nbsp_ ? 6 : 1;
  while (fill > 0) {
    const std::int64_t now = std::min(fill, per_block);
    output.write_raw(block, static_cast<std::size_t>(now) * width);
    fill -= now;
  }
  return after;
}

std::int64_t TextEscaper::write(TextWriter& output, const char* text, std::size_t length,
                                std::int64_t column) const {
  // The column of the byte at p is base + (p - text); a tab moves base by
  // what it fills beyond one column. UTF-8 columns are counted by character
  // instead: `synced_column` is the column at `synced`, the byte after the
  // last tab, and the text between them holds no tab.
  std::int64_t base = column;
  const char* synced = text;
  std::int64_t synced_column = column;
  const char* p = text;
  const char* const end = text + length;
#if defined(__SSE2__)
  // The three comparisons in registers: the stores into the page may alias
  // the members, which would be loaded again for every sixteen bytes.
  const __m128i or_first = _mm_set1_epi64x(static_cast<long long>(or_first_));
  const __m128i eq_first = _mm_set1_epi64x(static_cast<long long>(eq_first_));
  const __m128i eq_third = _mm_set1_epi64x(static_cast<long long>(eq_third_));
#endif
  while (p < end) {
    const char* const chunk_end = p + std::min(static_cast<std::size_t>(end - p), kChunk);
    char* o = output.reserve(reservation(static_cast<std::size_t>(chunk_end - p)));
    if (o == nullptr) return base + static_cast<std::int64_t>(length);
    while (p < chunk_end) {
#if defined(__SSE2__)
      if (!nbsp_ && chunk_end - p >= 16) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i found = _mm_or_si128(
            _mm_or_si128(_mm_cmpeq_epi8(_mm_or_si128(x, or_first), eq_first),
                         _mm_cmpeq_epi8(_mm_or_si128(x, _mm_set1_epi8(0x02)), _mm_set1_epi8('>'))),
            _mm_cmpeq_epi8(x, eq_third));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(o), x);
        const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(found));
        if (mask == 0) {
          p += 16;
          o += 16;
          continue;
        }
        const int plain = std::countr_zero(mask);
        p += plain;
        o += plain;
      } else
#endif
          if (!nbsp_ && chunk_end - p >= 8) {
        const std::uint64_t x = load8(p);
        const std::uint64_t found = zero_bytes((x | or_first_) ^ eq_first_) |
                                    zero_bytes((x | kOnes * 0x02) ^ kOnes * '>') | zero_bytes(x ^ eq_third_);
        store8(o, x);
        if (found == 0) {
          p += 8;
          o += 8;
          continue;
        }
        const int plain = std::countr_zero(found) / 8;
        p += plain;
        o += plain;
      }
      const std::uint8_t action = action_[static_cast<unsigned char>(*p)];
      if (action == kPlain) {
        *o++ = *p++;
      } else if (action <= kNbsp) {
        std::memcpy(o, kEntities[action].text, 8);
        o += kEntities[action].length;
        ++p;
      } else {  // a tab to expand
        output.commit(o);
        if (utf8_columns_) {
          synced_column =
              write_tab(output, synced_column + utf8_columns(synced, static_cast<std::size_t>(p - synced)));
          synced = p + 1;
        } else {
          const std::int64_t at = base + (p - text);
          base += write_tab(output, at) - at - 1;
        }
        ++p;
        o = output.reserve(reservation(static_cast<std::size_t>(chunk_end > p ? chunk_end - p : 0)));
        if (o == nullptr) return base + static_cast<std::int64_t>(length);
      }
    }
    output.commit(o);
  }
  if (utf8_columns_) return synced_column + utf8_columns(synced, static_cast<std::size_t>(end - synced));
  return base + static_cast<std::int64_t>(length);
}

}  // namespace prismet

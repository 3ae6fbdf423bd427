#include "engine/text_escaper.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "common/simd.h"
#include "common/text_padding.h"

namespace prismet {

namespace {

static_assert(std::endian::native == std::endian::little, "the lowest byte of a loaded word is the first");

struct ActionTable {
  std::uint8_t action[256];
  constexpr ActionTable(bool nbsp, bool expand, bool apostrophe = false) : action() {
    action[static_cast<unsigned char>('&')] = TextEscaper::kAmp;
    action[static_cast<unsigned char>('<')] = TextEscaper::kLt;
    action[static_cast<unsigned char>('>')] = TextEscaper::kGt;
    action[static_cast<unsigned char>('"')] = TextEscaper::kQuot;
    if (apostrophe) action[static_cast<unsigned char>('\'')] = TextEscaper::kApos;
    if (nbsp) action[static_cast<unsigned char>(' ')] = TextEscaper::kNbsp;
    if (expand) action[static_cast<unsigned char>('\t')] = TextEscaper::kTab;
  }
};

// Indexed by nbsp_spaces * 2 + expand_tabs.
constexpr ActionTable kActionTables[4] = {ActionTable(false, false), ActionTable(false, true),
                                          ActionTable(true, false), ActionTable(true, true)};
// Names: the page text's entities and the apostrophe's.
constexpr ActionTable kNameActions(false, false, true);

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
// the stores of whole blocks and entities may reach further (text_padding.h).
constexpr std::size_t kChunk = 8192;
constexpr std::size_t reservation(std::size_t bytes) { return bytes * 6 + kEscapeStoreSlack; }
static_assert(reservation(kChunk) <= TextWriter::kMaxReserve);
static_assert(kEscapeStoreSlack >= 8, "an entity is stored with 8 bytes, a block of the word path too");

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

std::string TextEscaper::escaped(std::string_view text, Apostrophe apostrophe) {
  const std::uint8_t* const action =
      apostrophe == Apostrophe::kEntity ? kNameActions.action : kActionTables[0].action;
  std::string escaped;
  escaped.reserve(text.size());
  for (const char byte : text) {
    const std::uint8_t what = action[static_cast<unsigned char>(byte)];
    if (what == kPlain)
      escaped += byte;
    else
      escaped.append(kEntities[what].text, kEntities[what].length);
  }
  return escaped;
}

// Copies the 8 bytes at p to o, and moves both past those of them that
// need nothing: true when all of them did.
[[gnu::always_inline]] inline bool TextEscaper::skip_plain_word(const char*& p, char*& o) const {
  const std::uint64_t x = load8(p);
  const std::uint64_t found = zero_bytes((x | or_first_) ^ eq_first_) |
                              zero_bytes((x | kOnes * 0x02) ^ kOnes * '>') | zero_bytes(x ^ eq_third_);
  store8(o, x);
  if (found == 0) {
    p += 8;
    o += 8;
    return true;
  }
  const int plain = std::countr_zero(found) / 8;
  p += plain;
  o += plain;
  return false;
}

// The bytes from p on that need nothing, copied to o a block at a time:
// skip() is true when a whole block needed nothing, false when p stands at
// a byte that the byte table decides (fewer than eight bytes before `end`,
// or one that may need something).
#if PRISMET_SSE2
static_assert(kEscapeStoreSlack >= sizeof(__m128i), "a block is stored whole");

class TextEscaper::PlainBlocks {
 public:
  // The comparisons in registers: the stores into the page may alias the
  // escaper's members, which would be loaded again for every block.
  explicit PlainBlocks(const TextEscaper& escaper)
      : escaper_(escaper),
        or_first_(_mm_set1_epi64x(static_cast<long long>(escaper.or_first_))),
        eq_first_(_mm_set1_epi64x(static_cast<long long>(escaper.eq_first_))),
        eq_third_(_mm_set1_epi64x(static_cast<long long>(escaper.eq_third_))) {}

  [[gnu::always_inline]] bool skip(const char*& p, char*& o, const char* end) const {
    if (end - p < 16) return end - p >= 8 && escaper_.skip_plain_word(p, o);
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i found =
        _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(_mm_or_si128(x, or_first_), eq_first_),
                                  _mm_cmpeq_epi8(_mm_or_si128(x, _mm_set1_epi8(0x02)), _mm_set1_epi8('>'))),
                     _mm_cmpeq_epi8(x, eq_third_));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(o), x);
    const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(found));
    if (mask == 0) {
      p += 16;
      o += 16;
      return true;
    }
    const int plain = std::countr_zero(mask);
    p += plain;
    o += plain;
    return false;
  }

 private:
  const TextEscaper& escaper_;
  __m128i or_first_;
  __m128i eq_first_;
  __m128i eq_third_;
};
#else
class TextEscaper::PlainBlocks {
 public:
  explicit PlainBlocks(const TextEscaper& escaper) : escaper_(escaper) {}

  [[gnu::always_inline]] bool skip(const char*& p, char*& o, const char* end) const {
    return end - p >= 8 && escaper_.skip_plain_word(p, o);
  }

 private:
  const TextEscaper& escaper_;
};
#endif

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

inline void TextEscaper::expand_tab(TextWriter& output, Columns& columns, const char* text,
                                    const char* tab) const {
  if (utf8_columns_) {
    columns.synced_column =
        write_tab(output, columns.synced_column +
                              utf8_columns(columns.synced, static_cast<std::size_t>(tab - columns.synced)));
    columns.synced = tab + 1;
  } else {
    const std::int64_t at = columns.base + (tab - text);
    columns.base += write_tab(output, at) - at - 1;
  }
}

std::int64_t TextEscaper::write(TextWriter& output, const char* text, std::size_t length,
                                std::int64_t column) const {
  Columns columns{column, text, column};
  const PlainBlocks blocks(*this);
  const char* p = text;
  const char* const end = text + length;
  while (p < end) {
    const char* const chunk_end = p + std::min(static_cast<std::size_t>(end - p), kChunk);
    char* o = output.reserve(reservation(static_cast<std::size_t>(chunk_end - p)));
    if (o == nullptr) return columns.base + static_cast<std::int64_t>(length);
    while (p < chunk_end) {
      if (!nbsp_ && blocks.skip(p, o, chunk_end)) continue;
      const std::uint8_t action = action_[static_cast<unsigned char>(*p)];
      if (action == kPlain) {
        *o++ = *p++;
      } else if (action <= kNbsp) {
        std::memcpy(o, kEntities[action].text, 8);
        o += kEntities[action].length;
        ++p;
      } else {  // a tab to expand
        output.commit(o);
        expand_tab(output, columns, text, p);
        ++p;
        o = output.reserve(reservation(static_cast<std::size_t>(chunk_end > p ? chunk_end - p : 0)));
        if (o == nullptr) return columns.base + static_cast<std::int64_t>(length);
      }
    }
    output.commit(o);
  }
  if (utf8_columns_)
    return columns.synced_column +
           utf8_columns(columns.synced, static_cast<std::size_t>(end - columns.synced));
  return columns.base + static_cast<std::int64_t>(length);
}

}  // namespace prismet

// Lookup tables built from a Vocabulary for one conversion. They give exactly
// the answers of the linear walks over the lists (first matching delimiter in
// list order, keyword equality) without walking on every byte:
// - per delimiter list, which bytes can begin any start delimiter;
// - the keywords that consist of word bytes only, in a hash set.
// The vocabulary must not change while an index built from it is in use.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "engine/vocabulary.h"
#include "engine/word_hash.h"

namespace prismet {

// The bytes a key of n bytes (at most 16) keeps of its two eight-byte
// halves, by n: a table rather than a branch on the length.
struct ShortKeyMasks {
  std::uint64_t low[17];
  std::uint64_t high[17];
  constexpr ShortKeyMasks() : low(), high() {
    const auto keep = [](std::size_t bytes) {
      return bytes >= 8 ? ~std::uint64_t{0} : (std::uint64_t{1} << (8 * bytes)) - 1;
    };
    for (std::size_t n = 0; n <= 16; ++n) {
      low[n] = keep(n);
      high[n] = n > 8 ? keep(n - 8) : 0;
    }
  }
};
inline constexpr ShortKeyMasks kShortKeyMasks;

// The distinct keywords, hashed over every byte into buckets; a bucket holds
// its keywords sorted by length, then bytes, in one flat array, and is
// searched by halving. However many keywords share a bucket, a lookup costs
// a logarithm of them and the build sorts each bucket once: no key set
// makes either quadratic.
//
// Beside it, for the scanner's loop, the keywords of at most 16 bytes of a
// vocabulary of at most 4,096 of them in an open-addressed table of their
// bytes, zero-padded: a word is looked up with two loads, one multiply and,
// mostly, one compare. The table is built only when no keyword is placed
// more than eight slots after its own (a few multipliers are tried), and
// three quarters of it stay empty, so lookups stay short whatever the
// keywords are.
class KeywordSet {
 public:
  void build(const EntryList* keywords);

  // The longest key of the table.
  static constexpr std::size_t kShortKey = 16;

  // contains() for a word of which 16 bytes can be read at `word` whatever
  // its length (a line piece's text is padded for that; the bytes after the
  // word are not looked at).
  // WARNING: performance-critical. Against contains(): 7% fewer
  // instructions and 11% fewer mispredicted branches of the engine
  // (bench/engine_rows.py, 10 MB corpus, default row).
  [[gnu::always_inline]] bool contains_padded(const char* word, std::size_t length) const {
    if (length > kShortKey || short_mask_ == 0) return contains(word, length);
    // Most words fail here: no keyword of this length begins with this byte.
    if ((lengths_by_first_byte_[static_cast<unsigned char>(word[0])] >> length & 1) == 0) return false;
    const ShortKey key = short_key(word, length);
    for (std::size_t slot = short_slot(key);; slot = (slot + 1) & short_mask_) {
      const ShortKey& at = short_keys_[slot];
      if (at.low == key.low && at.high == key.high) return true;
      if (at.low == 0) return false;  // no keyword begins with a NUL: an empty slot
    }
  }
  // Whether `word`, a run of word bytes, equals a keyword. Inline: the
  // scanner asks for every word of the source.
  bool contains(const char* word, std::size_t length) const {
    // Most words fail here: no keyword of this length begins with this byte.
    const std::uint64_t lengths = lengths_by_first_byte_[static_cast<unsigned char>(word[0])];
    if ((lengths >> (length < 64 ? length : 0) & 1) == 0) return false;
    if (length > longest_) return false;
    const std::uint32_t bucket = static_cast<std::uint32_t>(hash_bytes(word, length)) & mask_;
    const std::string_view* low = words_.data() + bucket_starts_[bucket];
    const std::string_view* high = words_.data() + bucket_starts_[bucket + 1];
    while (low < high) {
      const std::string_view* middle = low + (high - low) / 2;
      const int order = compare(*middle, word, length);
      if (order == 0) return true;
      if (order < 0)
        low = middle + 1;
      else
        high = middle;
    }
    return false;
  }

 private:
  // The order of a bucket: shorter first, then byte by byte as unsigned
  // values. Keywords are short: a loop costs less than a call.
  static int compare(std::string_view keyword, const char* word, std::size_t length) {
    if (keyword.size() != length) return keyword.size() < length ? -1 : 1;
    for (std::size_t i = 0; i < length; ++i) {
      const unsigned char a = static_cast<unsigned char>(keyword[i]);
      const unsigned char b = static_cast<unsigned char>(word[i]);
      if (a != b) return a < b ? -1 : 1;
    }
    return 0;
  }

  struct ShortKey {
    std::uint64_t low = 0;
    std::uint64_t high = 0;
  };
  // The word's bytes, the rest of the 16 zero.
  static ShortKey short_key(const char* word, std::size_t length) {
    std::uint64_t low;
    std::uint64_t high;
    std::memcpy(&low, word, 8);
    std::memcpy(&high, word + 8, 8);
    return {low & kShortKeyMasks.low[length], high & kShortKeyMasks.high[length]};
  }

  std::size_t short_slot(const ShortKey& key) const {
    return static_cast<std::size_t>(((key.low ^ (key.high * 0xC2B2AE3D27D4EB4Full)) * short_multiplier_) >>
                                    short_shift_);
  }
  // The steps of build(): the keywords that can match a word (noting their
  // lengths and first bytes), counted into their buckets, each bucket
  // sorted without duplicates, then the table of short keys where one fits.
  std::vector<std::string_view> indexed_words(const EntryList* keywords);
  void place_in_buckets(const std::vector<std::string_view>& indexed);
  void order_buckets();
  void build_short_table();
  bool build_short_keys(std::uint64_t multiplier);

  std::vector<ShortKey> short_keys_;
  std::size_t short_mask_ = 0;  // 0: no table
  std::uint64_t short_multiplier_ = 0;
  int short_shift_ = 63;

  // The keywords of bucket b are words_[bucket_starts_[b]] up to
  // words_[bucket_starts_[b + 1]]; they view the vocabulary's strings.
  std::vector<std::string_view> words_;
  std::vector<std::uint32_t> bucket_starts_ = {0, 0};
  std::uint32_t mask_ = 0;
  std::size_t longest_ = 0;
  // Quick rejection before hashing: bit n of the entry for byte b is set
  // when some keyword of n bytes begins with b; bit 0 stands for the
  // keywords of 64 bytes or more.
  std::uint64_t lengths_by_first_byte_[256] = {};
};

struct VocabularyIndex {
  explicit VocabularyIndex(const Vocabulary& vocabulary);

  const Vocabulary& vocabulary;
  // can_start[b] bit k: some start of delimiter list k (line comment, block
  // comment, string literal, char constant) begins with byte b.
  // Bit 4 (kRawList): some raw string start begins with byte b.
  std::uint8_t can_start[256] = {};
  KeywordSet keywords;
  // Bytes that continue a number when a digit or letter follows them.
  bool digit_separator[256] = {};
  bool has_digit_separators = false;
  bool pp_numbers = false;    // the preprocessing-number rule
  bool number_rules = false;  // either of the two above: numbers leave the fixed rule
  // Literals that take an identifier suffix into their colour.
  bool string_suffix = false;
  bool char_suffix = false;
  bool raw_suffix = false;
  // Directive words, and those whose rest of line is text; `directives`
  // when either holds one, so that a '#' goes to the recognisers.
  KeywordSet directive_words;
  KeywordSet directive_text_words;
  bool directives = false;
  // Literals that end at the end of their line.
  bool string_ends_with_line = false;
  bool char_ends_with_line = false;
};

}  // namespace prismet

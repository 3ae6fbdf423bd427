#include "engine/vocabulary_index.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "engine/char_sets.h"

namespace prismet {

namespace {
// The short-key table is built for vocabularies of at most this many
// keywords (4,096 keywords take 256 KiB), each placed at most eight slots
// after its own.
constexpr std::size_t kMaxShortKeys = 4096;
constexpr int kMaxShortProbes = 8;
}  // namespace

void KeywordSet::build(const EntryList* keywords) {
  words_.clear();
  bucket_starts_.assign(2, 0);
  mask_ = 0;
  longest_ = 0;
  std::fill(std::begin(lengths_by_first_byte_), std::end(lengths_by_first_byte_), 0);
  short_keys_.clear();
  short_mask_ = 0;
  if (keywords == nullptr) return;
  place_in_buckets(indexed_words(keywords));
  order_buckets();
  build_short_table();
}

std::vector<std::string_view> KeywordSet::indexed_words(const EntryList* keywords) {
  // A keyword holding any byte outside the word bytes can never match a
  // word, and an empty one never equals a word: neither is indexed.
  std::vector<std::string_view> indexed;
  indexed.reserve(static_cast<std::size_t>(keywords->count()));
  for (auto* node = keywords->first(); node != nullptr; node = node->next()) {
    const std::string& word = node->item().start;
    if (word.empty() || !is_word_run(word.data(), word.size())) continue;
    indexed.push_back(word);
    if (word.size() > longest_) longest_ = word.size();
    const std::size_t length_bit = word.size() < 64 ? word.size() : 0;
    lengths_by_first_byte_[static_cast<unsigned char>(word[0])] |= std::uint64_t{1} << length_bit;
  }
  return indexed;
}

void KeywordSet::place_in_buckets(const std::vector<std::string_view>& indexed) {
  // About two buckets a keyword, so that most hold none or one.
  std::size_t buckets = 16;
  while (buckets < indexed.size() * 2) buckets *= 2;
  mask_ = static_cast<std::uint32_t>(buckets - 1);
  const auto bucket_of = [&](std::string_view word) {
    return static_cast<std::uint32_t>(hash_bytes(word.data(), word.size())) & mask_;
  };

  // Sorted into their buckets by counting: bucket_starts_[b] first counts
  // the keywords of b, then is the end of b, and after the placing, which
  // counts down, its start.
  bucket_starts_.assign(buckets + 1, 0);
  for (const std::string_view word : indexed) ++bucket_starts_[bucket_of(word)];
  for (std::size_t b = 1; b < buckets; ++b) bucket_starts_[b] += bucket_starts_[b - 1];
  bucket_starts_[buckets] = static_cast<std::uint32_t>(indexed.size());
  words_.resize(indexed.size());
  for (const std::string_view word : indexed) words_[--bucket_starts_[bucket_of(word)]] = word;
}

void KeywordSet::order_buckets() {
  // Each bucket in its order, without duplicates, moved up to close the gaps.
  const auto before = [](std::string_view a, std::string_view b) {
    return compare(a, b.data(), b.size()) < 0;
  };
  const std::size_t buckets = static_cast<std::size_t>(mask_) + 1;
  std::uint32_t kept = 0;
  for (std::size_t b = 0; b < buckets; ++b) {
    const std::uint32_t begin = bucket_starts_[b];
    const std::uint32_t end = bucket_starts_[b + 1];
    std::sort(words_.begin() + begin, words_.begin() + end, before);
    bucket_starts_[b] = kept;
    for (std::uint32_t i = begin; i < end; ++i) {
      if (kept == bucket_starts_[b] || words_[kept - 1] != words_[i]) words_[kept++] = words_[i];
    }
  }
  bucket_starts_[buckets] = kept;
  words_.resize(kept);
}

void KeywordSet::build_short_table() {
  if (words_.size() > kMaxShortKeys) return;
  for (const std::uint64_t multiplier :
       {0x9E3779B97F4A7C15ull, 0xD6E8FEB86659FD93ull, 0xFF51AFD7ED558CCDull, 0xC4CEB9FE1A85EC53ull}) {
    if (build_short_keys(multiplier)) return;
  }
  short_keys_.clear();
  short_mask_ = 0;
}

bool KeywordSet::build_short_keys(std::uint64_t multiplier) {
  // At most a quarter of the slots taken: most words that are no keyword
  // meet an empty slot at once.
  std::size_t slots = 16;
  int bits = 4;
  while (slots < words_.size() * 4) {
    slots *= 2;
    ++bits;
  }
  short_keys_.assign(slots, ShortKey{});
  short_mask_ = slots - 1;
  short_multiplier_ = multiplier;
  short_shift_ = 64 - bits;
  for (const std::string_view word : words_) {
    if (word.size() > kShortKey) continue;
    char padded[kShortKey] = {};
    std::memcpy(padded, word.data(), word.size());
    const ShortKey key = short_key(padded, word.size());
    std::size_t slot = short_slot(key);
    for (int probes = 0; short_keys_[slot].low != 0; ++probes) {
      if (probes == kMaxShortProbes) return false;
      slot = (slot + 1) & short_mask_;
    }
    short_keys_[slot] = key;  // the words are distinct
  }
  return true;
}

VocabularyIndex::VocabularyIndex(const Vocabulary& vocab) : vocabulary(vocab) {
  const EntryList* lists[4] = {vocab.line_comment.get(), vocab.block_comment.get(),
                               vocab.string_literal.get(), vocab.char_constant.get()};
  for (int k = 0; k < 4; ++k) {
    if (lists[k] == nullptr) continue;
    for (auto* node = lists[k]->first(); node != nullptr; node = node->next()) {
      const std::string& start = node->item().start;
      if (!start.empty())
        can_start[static_cast<unsigned char>(start[0])] |= static_cast<std::uint8_t>(1u << k);
    }
  }
  keywords.build(vocab.keyword.get());
  const auto each = [](const EntryList* list, auto take) {
    if (list == nullptr) return;
    for (auto* node = list->first(); node != nullptr; node = node->next()) take(node->item());
  };
  each(vocab.raw_string.get(), [&](const VocabularyEntry& entry) {
    if (!entry.start.empty()) can_start[static_cast<unsigned char>(entry.start[0])] |= 1u << 4;
  });
  each(vocab.digit_separator.get(), [&](const VocabularyEntry& entry) {
    if (entry.start.size() != 1) return;
    digit_separator[static_cast<unsigned char>(entry.start[0])] = true;
    has_digit_separators = true;
  });
  each(vocab.number_rule.get(), [&](const VocabularyEntry& entry) {
    if (entry.start == "pp_number") pp_numbers = true;
  });
  number_rules = pp_numbers || has_digit_separators;
  each(vocab.literal_suffix.get(), [&](const VocabularyEntry& entry) {
    if (entry.start == "string_literal") string_suffix = true;
    if (entry.start == "char_constant") char_suffix = true;
    if (entry.start == "raw_string") raw_suffix = true;
  });
  directive_words.build(vocab.directive.get());
  directive_text_words.build(vocab.directive_text.get());
  each(vocab.directive.get(), [&](const VocabularyEntry&) { directives = true; });
  each(vocab.directive_text.get(), [&](const VocabularyEntry&) { directives = true; });
  each(vocab.line_literal.get(), [&](const VocabularyEntry& entry) {
    if (entry.start == "string_literal") string_ends_with_line = true;
    if (entry.start == "char_constant") char_ends_with_line = true;
  });
}

}  // namespace prismet

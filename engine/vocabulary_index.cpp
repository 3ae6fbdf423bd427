#include "engine/vocabulary_index.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "engine/char_sets.h"

namespace prismet {

void KeywordSet::build(const EntryList* keywords) {
  slots_.clear();
  longest_ = 0;
  mask_ = 0;
  std::fill(std::begin(lengths_by_first_byte_), std::end(lengths_by_first_byte_), 0);
  if (keywords == nullptr) return;
  std::size_t capacity = 16;
  while (capacity < static_cast<std::size_t>(keywords->count()) * 2) capacity *= 2;
  slots_.assign(capacity, std::string_view());
  mask_ = static_cast<std::uint32_t>(capacity - 1);
  for (auto* node = keywords->first(); node != nullptr; node = node->next()) {
    const std::string& word = node->item().start;
    // A keyword holding any byte outside the word bytes can never match a
    // word, and an empty one never equals a word: neither is indexed.
    if (word.empty() || !is_word_run(word.data(), word.size())) continue;
    if (contains(word.data(), word.size())) continue;
    std::uint32_t slot = hash(word.data(), word.size()) & mask_;
    while (!slots_[slot].empty()) slot = (slot + 1) & mask_;
    slots_[slot] = word;
    if (word.size() > longest_) longest_ = word.size();
    const std::size_t length_bit = word.size() < 64 ? word.size() : 0;
    lengths_by_first_byte_[static_cast<unsigned char>(word[0])] |= std::uint64_t{1} << length_bit;
  }
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
}

}  // namespace prismet

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

namespace prismet {

class KeywordSet {
 public:
  void build(const EntryList* keywords);
  // Inline: the scanner asks for every word of the source.
  bool contains(const char* word, std::size_t length) const {
    if (length > longest_ || length == 0) return false;
    if (length < 64 && (lengths_ & (std::uint64_t{1} << length)) == 0) return false;
    if (!first_bytes_[static_cast<unsigned char>(word[0])]) return false;
    std::uint32_t slot = hash(word, length) & mask_;
    while (!slots_[slot].empty()) {
      const std::string_view& candidate = slots_[slot];
      if (candidate.size() == length && std::memcmp(candidate.data(), word, length) == 0) return true;
      slot = (slot + 1) & mask_;
    }
    return false;
  }

 private:
  // Costs the same for every length: the length and the two bytes at either
  // end of the word (a word of one byte uses it four times), mixed by one
  // multiplication. Words that agree there only share a probe sequence.
  static std::uint32_t hash(const char* word, std::size_t length) {
    const auto byte = [&](std::size_t i) { return static_cast<std::uint32_t>(static_cast<unsigned char>(word[i])); };
    const std::size_t second = length > 1 ? 1 : 0;
    const std::uint32_t ends = byte(0) | byte(second) << 8 | byte(length - 1 - second) << 16 | byte(length - 1) << 24;
    const std::uint32_t mixed = (ends ^ static_cast<std::uint32_t>(length) * 0x9E3779B9u) * 0x85EBCA6Bu;
    return mixed ^ (mixed >> 15);
  }
  std::vector<std::string_view> slots_;  // empty view: free slot
  std::uint32_t mask_ = 0;
  std::size_t longest_ = 0;
  // Quick rejection before hashing: the lengths (below 64) and first bytes
  // that some keyword has.
  std::uint64_t lengths_ = 0;
  bool first_bytes_[256] = {};
};

struct VocabularyIndex {
  explicit VocabularyIndex(const Vocabulary& vocabulary);

  const Vocabulary& vocabulary;
  // can_start[b] bit k: some start of delimiter list k (line comment, block
  // comment, string literal, char constant) begins with byte b.
  std::uint8_t can_start[256] = {};
  KeywordSet keywords;
};

}  // namespace prismet

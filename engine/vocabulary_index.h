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
    // Most words fail here: no keyword of this length begins with this byte.
    const std::uint64_t lengths = lengths_by_first_byte_[static_cast<unsigned char>(word[0])];
    if ((lengths >> (length < 64 ? length : 0) & 1) == 0) return false;
    if (length > longest_) return false;
    std::uint32_t slot = hash(word, length) & mask_;
    while (!slots_[slot].empty()) {
      const std::string_view& candidate = slots_[slot];
      if (candidate.size() == length && same_bytes(candidate.data(), word, length)) return true;
      slot = (slot + 1) & mask_;
    }
    return false;
  }

 private:
  // Costs the same for every length: the length and the two bytes at either
  // end of the word (a word of one byte uses it four times), mixed by one
  // multiplication. Words that agree there only share a probe sequence.
  static std::uint32_t hash(const char* word, std::size_t length) {
    const auto byte = [&](std::size_t i) {
      return static_cast<std::uint32_t>(static_cast<unsigned char>(word[i]));
    };
    const std::size_t second = length > 1 ? 1 : 0;
    const std::uint32_t ends =
        byte(0) | byte(second) << 8 | byte(length - 1 - second) << 16 | byte(length - 1) << 24;
    const std::uint32_t mixed = (ends ^ static_cast<std::uint32_t>(length) * 0x9E3779B9u) * 0x85EBCA6Bu;
    return mixed ^ (mixed >> 15);
  }
  // Keywords are short: a loop costs less than a call.
  static bool same_bytes(const char* a, const char* b, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i) {
      if (a[i] != b[i]) return false;
    }
    return true;
  }
  std::vector<std::string_view> slots_;  // empty view: free slot
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
  std::uint8_t can_start[256] = {};
  KeywordSet keywords;
};

}  // namespace prismet

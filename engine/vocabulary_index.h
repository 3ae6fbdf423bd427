// Lookup tables built from a Vocabulary for one conversion. They give exactly
// the answers of the linear walks over the lists (first matching delimiter in
// list order, keyword equality) without walking on every byte:
// - per delimiter list, which bytes can begin any start delimiter;
// - the keywords that consist of word bytes only, in a hash set.
// The vocabulary must not change while an index built from it is in use.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/vocabulary.h"

namespace prismet {

class KeywordSet {
 public:
  void build(const EntryList* keywords);
  bool contains(const char* word, std::size_t length) const;

 private:
  static std::uint32_t hash(const char* word, std::size_t length);
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

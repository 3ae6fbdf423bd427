// A hash continued with bytes read eight at a time (the last ones
// zero-padded): the names' hash of a site's symbol table and the digest of
// its symbol pages. Cheap, and the same in every run and build, since both
// are kept in files that a later run compares.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

namespace prismet {

inline constexpr std::uint64_t kWordMixMultiplier = 0x9E3779B97F4A7C15ull;

inline std::uint64_t mix_word(std::uint64_t hash, std::uint64_t word) {
  hash = (hash ^ word) * kWordMixMultiplier;
  return hash ^ (hash >> 29);
}

// `hash` continued with the bytes; their length is not mixed in.
inline std::uint64_t mix_words(std::uint64_t hash, std::string_view bytes) {
  const char* at = bytes.data();
  std::size_t left = bytes.size();
  for (; left >= 8; left -= 8, at += 8) {
    std::uint64_t word;
    std::memcpy(&word, at, 8);
    hash = mix_word(hash, word);
  }
  if (left > 0) {
    std::uint64_t word = 0;
    std::memcpy(&word, at, left);
    hash = mix_word(hash, word);
  }
  return hash;
}

}  // namespace prismet

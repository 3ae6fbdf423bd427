// The 64-bit FNV-1a hash, the one the digests and fingerprints of a run are
// made with: cheap, and the same on every platform and in every build, so
// that what one run records the next one compares.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace prismet {

inline constexpr std::uint64_t kFnv1aBasis = 0xcbf29ce484222325ull;
inline constexpr std::uint64_t kFnv1aPrime = 0x100000001b3ull;

// `hash` continued with the bytes.
inline std::uint64_t fnv1a(std::uint64_t hash, const void* data, std::size_t size) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  for (std::size_t i = 0; i < size; ++i) hash = (hash ^ bytes[i]) * kFnv1aPrime;
  return hash;
}

inline std::uint64_t fnv1a(std::uint64_t hash, std::string_view text) {
  return fnv1a(hash, text.data(), text.size());
}

// `hash` continued with the eight bytes of `number`, the lowest first.
inline std::uint64_t fnv1a_number(std::uint64_t hash, std::uint64_t number) {
  for (int i = 0; i < 8; ++i, number >>= 8) hash = (hash ^ (number & 0xFFu)) * kFnv1aPrime;
  return hash;
}

}  // namespace prismet

// A hash of a run of bytes for the vocabulary's lookup tables. Internal to
// the engine.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace prismet {

// Every byte and the length count: the bytes are read eight at a time, the
// last eight overlapping the ones before (four and four overlapping below
// eight bytes, three single bytes below four), never beyond the end. Inline:
// the scanner hashes words that may be keywords.
inline std::uint64_t hash_bytes(const char* bytes, std::size_t length) {
  constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15ull;
  std::uint64_t h = length * 0xD6E8FEB86659FD93ull;
  const auto mix = [&](std::uint64_t part) {
    h = (h ^ part) * kMultiplier;
    h ^= h >> 32;
  };
  const auto load8 = [](const char* at) {
    std::uint64_t part;
    std::memcpy(&part, at, 8);
    return part;
  };
  const auto load4 = [](const char* at) {
    std::uint32_t part;
    std::memcpy(&part, at, 4);
    return static_cast<std::uint64_t>(part);
  };
  if (length >= 8) {
    std::size_t i = 0;
    for (; i + 8 <= length; i += 8) mix(load8(bytes + i));
    if (i < length) mix(load8(bytes + length - 8));
  } else if (length >= 4) {
    mix(load4(bytes) | load4(bytes + length - 4) << 32);
  } else if (length > 0) {
    const auto byte = [&](std::size_t i) {
      return static_cast<std::uint64_t>(static_cast<unsigned char>(bytes[i]));
    };
    mix(byte(0) | byte(length / 2) << 8 | byte(length - 1) << 16);
  }
  return h ^ (h >> 29);
}

}  // namespace prismet

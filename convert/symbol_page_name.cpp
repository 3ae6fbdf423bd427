#include "convert/symbol_page_name.h"

#include <cstdint>

#include "common/fnv1a.h"

namespace prismet {

namespace {

constexpr std::size_t kLongestStem = 96;
constexpr std::size_t kKeptOfLongStem = 72;
constexpr char kHexDigits[] = "0123456789ABCDEF";

void append_hex(std::string& out, std::uint64_t value, int digits) {
  for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) out += kHexDigits[(value >> shift) & 0xF];
}

}  // namespace

std::string symbol_page_name(std::string_view name, std::string_view page_extension) {
  std::string stem;
  stem.reserve(name.size() + 8);
  for (const char c : name) {
    if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_') {
      stem += c;
    } else if (c >= 'A' && c <= 'Z') {
      stem += '-';
      stem += static_cast<char>(c - 'A' + 'a');
    } else {
      stem += '+';
      append_hex(stem, static_cast<unsigned char>(c), 2);
    }
  }
  if (stem.size() > kLongestStem) {
    stem.resize(kKeptOfLongStem);
    stem += '~';
    append_hex(stem, fnv1a(kFnv1aBasis, name), 16);
  }
  stem += page_extension;
  return stem;
}

}  // namespace prismet

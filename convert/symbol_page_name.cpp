#include "convert/symbol_page_name.h"

#include "common/fnv1a.h"

namespace prismet {

namespace {

constexpr std::size_t kLongestAnchor = 96;
constexpr std::size_t kKeptOfLongAnchor = 72;
constexpr int kGroupBits = 10;
static_assert(kSymbolGroups == 1u << kGroupBits);

void append_hex(std::string& out, std::uint64_t value, int digits, const char* hex_digits) {
  for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) out += hex_digits[(value >> shift) & 0xF];
}

}  // namespace

std::uint32_t symbol_group(std::string_view name) {
  std::uint64_t hash = kFnv1aBasis;
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    hash = (hash ^ (byte >= 'A' && byte <= 'Z' ? byte - 'A' + 'a' : byte)) * kFnv1aPrime;
  }
  // FNV-1a leaves the last bytes out of its top bits ("_10" to "_29" would
  // share a group); a finishing mix (MurmurHash3's) spreads every bit.
  hash ^= hash >> 33;
  hash *= 0xFF51AFD7ED558CCDull;
  hash ^= hash >> 33;
  hash *= 0xC4CEB9FE1A85EC53ull;
  hash ^= hash >> 33;
  return static_cast<std::uint32_t>(hash >> (64 - kGroupBits));
}

namespace {

void append_group_page(std::string& out, std::uint32_t group, std::string_view page_extension) {
  append_hex(out, group % kSymbolGroups, 3, "0123456789abcdef");
  out += page_extension;
}

void append_symbol_anchor(std::string& out, std::string_view name) {
  const std::size_t start = out.size();
  for (const char c : name) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '~') {
      out += c;
    } else {
      out += '.';
      append_hex(out, static_cast<unsigned char>(c), 2, "0123456789ABCDEF");
    }
  }
  if (out.size() - start > kLongestAnchor) {
    out.resize(start + kKeptOfLongAnchor);
    out += '-';
    append_hex(out, fnv1a(kFnv1aBasis, name), 16, "0123456789abcdef");
  }
}

}  // namespace

std::string symbol_group_page(std::uint32_t group, std::string_view page_extension) {
  std::string page;
  append_group_page(page, group, page_extension);
  return page;
}

std::string symbol_anchor(std::string_view name) {
  std::string anchor;
  anchor.reserve(name.size() + 8);
  append_symbol_anchor(anchor, name);
  return anchor;
}

std::string symbol_uses_anchor(std::string_view name) {
  std::string anchor = symbol_anchor(name);
  anchor += kSymbolUsesSuffix;
  return anchor;
}

void append_symbol_href(std::string& out, std::string_view name, std::string_view page_extension) {
  append_group_page(out, symbol_group(name), page_extension);
  out += '#';
  append_symbol_anchor(out, name);
}

std::string symbol_href(std::string_view name, std::string_view page_extension) {
  std::string href;
  append_symbol_href(href, name, page_extension);
  return href;
}

}  // namespace prismet

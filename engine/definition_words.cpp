#include "engine/definition_words.h"

#include <cstdint>
#include <iterator>
#include <string_view>

namespace prismet {

namespace {

struct WordEntry {
  std::string_view text;
  DeclarationWord word;
};

using W = DeclarationWord;

// In the order of their bytes.
constexpr WordEntry kWords[] = {
    {"_Alignas", W::kAttribute},
    {"_Pragma", W::kNotCallee},
    {"_Static_assert", W::kNotCallee},
    {"__asm__", W::kNotCallee},
    {"__attribute__", W::kAttribute},
    {"__declspec", W::kAttribute},
    {"__extension__", W::kKeyword},
    {"__inline", W::kKeyword},
    {"__restrict", W::kKeyword},
    {"__restrict__", W::kKeyword},
    {"alignas", W::kAttribute},
    {"alignof", W::kNotCallee},
    {"and", W::kKeyword},
    {"asm", W::kNotCallee},
    {"auto", W::kKeyword},
    {"bool", W::kKeyword},
    {"break", W::kKeyword},
    {"case", W::kKeyword},
    {"catch", W::kNotCallee},
    {"char", W::kKeyword},
    {"char16_t", W::kKeyword},
    {"char32_t", W::kKeyword},
    {"char8_t", W::kKeyword},
    {"class", W::kClass},
    {"co_await", W::kNotCallee},
    {"co_return", W::kNotCallee},
    {"co_yield", W::kNotCallee},
    {"concept", W::kConcept},
    {"const", W::kTrailing},
    {"const_cast", W::kNotCallee},
    {"consteval", W::kKeyword},
    {"constexpr", W::kKeyword},
    {"constinit", W::kKeyword},
    {"continue", W::kKeyword},
    {"decltype", W::kNotCallee},
    {"default", W::kDefault},
    {"delete", W::kDelete},
    {"do", W::kKeyword},
    {"double", W::kKeyword},
    {"dynamic_cast", W::kNotCallee},
    {"else", W::kKeyword},
    {"enum", W::kEnum},
    {"explicit", W::kNotCallee},
    {"export", W::kKeyword},
    {"extern", W::kExtern},
    {"false", W::kKeyword},
    {"final", W::kTrailing},
    {"float", W::kKeyword},
    {"for", W::kNotCallee},
    {"friend", W::kFriend},
    {"goto", W::kKeyword},
    {"if", W::kNotCallee},
    {"inline", W::kInline},
    {"int", W::kKeyword},
    {"long", W::kKeyword},
    {"mutable", W::kTrailing},
    {"namespace", W::kNamespace},
    {"new", W::kNotCallee},
    {"noexcept", W::kTrailing},
    {"not", W::kKeyword},
    {"nullptr", W::kKeyword},
    {"operator", W::kOperator},
    {"or", W::kKeyword},
    {"override", W::kTrailing},
    {"private", W::kAccess},
    {"protected", W::kAccess},
    {"public", W::kAccess},
    {"register", W::kKeyword},
    {"reinterpret_cast", W::kNotCallee},
    {"requires", W::kRequires},
    {"return", W::kNotCallee},
    {"short", W::kKeyword},
    {"signed", W::kKeyword},
    {"sizeof", W::kNotCallee},
    {"static", W::kKeyword},
    {"static_assert", W::kNotCallee},
    {"static_cast", W::kNotCallee},
    {"struct", W::kStruct},
    {"switch", W::kNotCallee},
    {"template", W::kTemplate},
    {"this", W::kKeyword},
    {"thread_local", W::kKeyword},
    {"throw", W::kTrailing},
    {"true", W::kKeyword},
    {"try", W::kTrailing},
    {"typedef", W::kTypedef},
    {"typeid", W::kNotCallee},
    {"typename", W::kKeyword},
    {"union", W::kUnion},
    {"unsigned", W::kKeyword},
    {"using", W::kUsing},
    {"virtual", W::kKeyword},
    {"void", W::kKeyword},
    {"volatile", W::kTrailing},
    {"wchar_t", W::kKeyword},
    {"while", W::kNotCallee},
};

constexpr std::size_t kLongestWord = 16;

constexpr bool fits() {
  for (const WordEntry& entry : kWords) {
    if (entry.text.empty() || entry.text.size() > kLongestWord) return false;
  }
  return true;
}
static_assert(fits(), "every word is indexed by its length");

// The words grouped by length, and which first and last bytes the words of
// each length have: most names are no keyword, which this tells without a
// comparison, and a keyword is compared with the few words of its length
// and first byte only.
struct WordIndex {
  std::uint8_t order[std::size(kWords)] = {};
  std::uint8_t begin[kLongestWord + 2] = {};
  std::uint32_t first_bits[kLongestWord + 1][8] = {};
  std::uint32_t last_bits[kLongestWord + 1][8] = {};
  constexpr WordIndex() {
    std::size_t next = 0;
    for (std::size_t length = 0; length <= kLongestWord; ++length) {
      begin[length] = static_cast<std::uint8_t>(next);
      for (std::size_t i = 0; i < std::size(kWords); ++i) {
        if (kWords[i].text.size() == length) order[next++] = static_cast<std::uint8_t>(i);
      }
    }
    begin[kLongestWord + 1] = static_cast<std::uint8_t>(next);
    for (const WordEntry& entry : kWords) {
      const auto first = static_cast<unsigned char>(entry.text.front());
      const auto last = static_cast<unsigned char>(entry.text.back());
      first_bits[entry.text.size()][first / 32] |= 1u << (first % 32);
      last_bits[entry.text.size()][last / 32] |= 1u << (last % 32);
    }
  }
  constexpr bool may_be_word(const char* text, std::size_t length) const {
    if (length > kLongestWord) return false;
    const auto first = static_cast<unsigned char>(text[0]);
    const auto last = static_cast<unsigned char>(text[length - 1]);
    return ((first_bits[length][first / 32] >> (first % 32)) & 1u) != 0 &&
           ((last_bits[length][last / 32] >> (last % 32)) & 1u) != 0;
  }
};
constexpr WordIndex kIndex;
static_assert(std::size(kWords) < 256, "the index holds a word's place in one byte");

}  // namespace

DeclarationWord declaration_word(const char* text, std::size_t length) {
  if (length == 0 || !kIndex.may_be_word(text, length)) return DeclarationWord::kName;
  const std::string_view word(text, length);
  for (std::size_t i = kIndex.begin[length]; i < kIndex.begin[length + 1]; ++i) {
    const WordEntry& entry = kWords[kIndex.order[i]];
    if (entry.text[0] == text[0] && entry.text == word) return entry.word;
  }
  return DeclarationWord::kName;
}

bool looks_like_macro(const char* text, std::size_t length) {
  if (length < 2) return false;
  bool capital = false;
  for (std::size_t i = 0; i < length; ++i) {
    const char c = text[i];
    if (c >= 'A' && c <= 'Z') {
      capital = true;
    } else if (!(c == '_' || (c >= '0' && c <= '9'))) {
      return false;
    }
  }
  return capital;
}

}  // namespace prismet

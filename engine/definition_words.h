// The words that steer the definition finder: the keywords that start or
// shape a declaration, the keywords that name nothing, and the test for a
// word that looks like a macro (capitals, digits and '_').
#pragma once

#include <cstddef>
#include <cstdint>

namespace prismet {

enum class DeclarationWord : std::uint8_t {
  kName,       // not a keyword: may be defined
  kKeyword,    // a keyword that names nothing (int, static, constexpr, ...)
  kNotCallee,  // a keyword followed by parentheses that are no parameters (decltype, sizeof, alignas, ...)
  kNamespace,
  kClass,
  kStruct,
  kUnion,
  kEnum,
  kTypedef,
  kUsing,
  kTemplate,
  kOperator,
  kFriend,
  kExtern,
  kConcept,
  kAccess,  // public, protected, private
  kRequires,
  kTrailing,  // after a function's parameters: const, noexcept, throw, try, override, final, ...
  kDefault,
  kDelete,
  kInline,
  kAttribute,  // __attribute__, __declspec, alignas: parentheses that leave the declaration as it was
};

// The word's part in a declaration; `text` holds `length` identifier bytes.
DeclarationWord declaration_word(const char* text, std::size_t length);

// Capitals, digits and '_' only, with at least one capital and two bytes:
// a name such as FMT_API or BOOST_NOEXCEPT that a macro gives meaning.
bool looks_like_macro(const char* text, std::size_t length);

}  // namespace prismet

// A name that a source defines or declares, as the definition finder sees
// it: its scope, its line and what kind of thing it names.
#pragma once

#include <cstdint>
#include <string>

namespace prismet {

enum class SymbolKind : std::uint8_t {
  Namespace,
  Class,
  Struct,
  Union,
  Enum,
  Enumerator,
  TypeAlias,
  Function,
  Macro,
  Concept,
  Variable,
  Member,
};

struct Definition {
  std::string name;        // the identifier, in the page's bytes
  std::string scope;       // enclosing namespaces and classes joined by "::"; "" at global scope
  std::string text;        // its line as in the source, blanks at both ends trimmed, at most 240 bytes
  std::uint32_t line = 0;  // 1-based line of the name's token
  SymbolKind kind = SymbolKind::Function;
  bool declaration_only = false;  // a prototype or forward declaration: no body
};

}  // namespace prismet

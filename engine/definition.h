// A name that a source defines or declares, as the definition finder sees
// it: its scope, its line and what kind of thing it names.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

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

// The same fields as views of bytes kept elsewhere: a site's record, or the
// definitions a symbol table keeps.
struct DefinitionView {
  std::string_view name;
  std::string_view scope;
  std::string_view text;
  std::uint32_t line = 0;
  SymbolKind kind = SymbolKind::Function;
  bool declaration_only = false;
};

inline DefinitionView view_of(const Definition& d) {
  return {d.name, d.scope, d.text, d.line, d.kind, d.declaration_only};
}

}  // namespace prismet

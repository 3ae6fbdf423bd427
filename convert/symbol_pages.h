// The symbols of a site as its symbol pages list them: each defined name
// with its definitions and the lines that use it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/definition.h"

namespace prismet {

struct SymbolPlace {
  std::string page;        // the page's path from the site's root, '/'-separated ("src/a.cpp.html")
  std::uint32_t line = 0;  // 1-based
  std::string text;  // the line as in the source, in the pages' encoding, unescaped, blanks at both ends
                     // trimmed, at most 240 bytes
};
struct SymbolDefinition : SymbolPlace {
  SymbolKind kind = SymbolKind::Function;
  std::string scope;
  bool declaration_only = false;
};
struct Symbol {
  std::string name;
  std::vector<SymbolDefinition> definitions;  // by page, then line
  std::vector<SymbolPlace> uses;              // by page, then line; a definition's own line is no use
};

}  // namespace prismet

// The page of one name: where it is defined (each definition's kind, scope,
// place and line) and, under the element "uses", every line that uses it,
// grouped by the page it is on.
//
// Stable hooks: the name is `h1.prismet-symbol`, the definitions
// `table.prismet-definitions`, the uses `section#uses`, each page's uses a
// `table.prismet-uses` under a heading that links the page.
#pragma once

#include <string>

#include "convert/symbol_pages.h"

namespace prismet {

std::string render_symbol_page(const Symbol& symbol, const SymbolPagesStyle& style);

}  // namespace prismet

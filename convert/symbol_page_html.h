// The page of a group of names (symbol_page_name.h): each name a section,
// in the index's order, with where it is defined (each definition's kind,
// scope, place and line) and every line that uses it, grouped by the page
// it is on.
//
// Stable hooks: each name is a `section.prismet-name` whose id is its anchor,
// headed by `h2.prismet-symbol`; its definitions `table.prismet-definitions`;
// its uses a `section.prismet-name-uses` whose id is its uses anchor, each
// page's uses a `table.prismet-uses` under a heading that links the page.
#pragma once

#include <span>
#include <string>

#include "convert/symbol_pages.h"

namespace prismet {

std::string render_symbol_group(std::span<const Symbol* const> names, const SymbolPagesStyle& style);

}  // namespace prismet

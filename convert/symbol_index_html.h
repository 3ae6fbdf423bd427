// The symbol index of a site: a page that links one page per initial (A to
// Z, '_' and every other byte), each listing the names of that initial in
// alphabetical order with their kinds and how many definitions and uses
// each has. The index has the search box of the site's indexes.
//
// Stable hooks: the index's initials are `table.prismet-initials`, an
// initial's names `table.prismet-symbols`.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "convert/symbol_pages.h"

namespace prismet {

// The order of the index: bytes compared with ASCII letters folded to one
// case, names equal so compared by their bytes.
bool symbol_name_before(std::string_view a, std::string_view b);

// The initials: 0 to 25 for the letters, then '_', then every other byte.
inline constexpr int kSymbolInitials = 28;
int symbol_initial(std::string_view name);

// The file name of the page of an initial: "+index-a.html" to
// "+index-z.html", "+index-_.html" and "+index-other.html".
std::string symbol_initial_page(int initial);

// The index, given how many names each initial has.
std::string render_symbol_index(std::span<const std::size_t, kSymbolInitials> counts,
                                const SymbolPagesStyle& style);

// The page of `initial`, its names given in their order.
std::string render_symbol_initial(int initial, std::span<const Symbol* const> names,
                                  const SymbolPagesStyle& style);

}  // namespace prismet

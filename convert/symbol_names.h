// The names script of a site's symbols, beside their pages: it sets the
// global `prismetSymbols` ({extension, names}) and then makes the search box
// of an index that loads it (after the site's names script, site_names.h)
// find names too: below the files it finds, the names that hold what is
// typed (in any case), those equal to it first, each a link to its section.
// ASCII whatever the pages' encoding, as the site's names script is.
//
// Each name is [name, group], its link the group's page with the extension,
// '#' and the name, where the name is its own anchor (symbol_href); else
// [name, group, anchor].
#pragma once

#include <string>
#include <string_view>

namespace prismet {

// Appends `name` in the pages' encoding (UTF-8, else Shift_JIS) to the
// list, one line.
void append_symbol_name(std::string& list, std::string_view name, bool utf8);

// The script in pieces, as the site's names script is written: what comes
// before the list and after it.
std::string symbol_names_head(std::string_view extension);
std::string_view symbol_names_tail();

// How many bytes from its start tell the script from any other file, and
// whether `head` (up to that many bytes) begins so.
inline constexpr std::size_t kSymbolNamesHeadSize = 32;
bool begins_like_symbol_names(std::string_view head);

}  // namespace prismet

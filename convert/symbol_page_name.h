// Where a symbol's page lies in a site: one page per defined name, in the
// folder "prismet-symbols" at the site's root. The file name is made of the
// name so that two names never share a page, even on a file system that
// does not tell capital letters from small ones, and never grows past what
// a Windows path can hold.
#pragma once

#include <string>
#include <string_view>

namespace prismet {

// The folder of the symbol pages, below the site's root.
inline constexpr std::string_view kSymbolFolder = "prismet-symbols";

// The file name of the page of `name` (no folder), with `page_extension`
// (".html", ".htm") behind: small letters, digits and '_' as they are, a
// capital letter as '-' and its small letter ("Foo" -> "-foo"), any other
// byte as '+' and two capital hexadecimal digits. A name whose file name
// would pass 96 bytes keeps its first 72 and ends in '~' and the 16
// hexadecimal digits of a hash of the whole name.
std::string symbol_page_name(std::string_view name, std::string_view page_extension);

}  // namespace prismet

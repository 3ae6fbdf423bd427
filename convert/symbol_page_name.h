// Where a name is shown in a site: every defined name is a section of one
// of a fixed number of group pages in the folder "prismet-symbols" at the
// site's root. Both the page and the section's id are made of the name
// alone (and the pages' extension), never of the other names, so that a
// name defined or gone elsewhere moves no link of any other name.
//
// The group is a hash of the name with its ASCII letters folded to one case,
// written as three small hexadecimal digits ("0a3.html"): a name and its
// capitalised twin share a page, and no two group pages differ only in case,
// so a file system that does not tell capital letters from small ones keeps
// them apart. The section's id tells the twins apart.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace prismet {

// The folder of the symbol pages, below the site's root.
inline constexpr std::string_view kSymbolFolder = "prismet-symbols";

// How many group pages a site can have. 1,024 keeps the libstdc++ headers'
// 12,000 names to 1,024 files of 25 KB (median), where 256 made pages of
// 124 KB and 4,096 made 3,900 files: a third off the headers' first run
// (the cross-reference peer row of bench/run.py; docs/performance.md,
// "Symbol pages in groups").
inline constexpr std::uint32_t kSymbolGroups = 1024;

// The group of `name`: below kSymbolGroups.
std::uint32_t symbol_group(std::string_view name);

// The file name of a group's page (no folder): three small hexadecimal
// digits, then `page_extension` (".html", ".htm").
std::string symbol_group_page(std::uint32_t group, std::string_view page_extension);

// The id of the name's section in its group's page: ASCII letters, digits,
// '_' and '~' as they are, any other byte as '.' and two capital
// hexadecimal digits ("operator==" -> "operator.3D.3D"). An id that would
// pass 96 bytes keeps its first 72 and ends in '-' and the 16 small
// hexadecimal digits of a hash of the whole name. Never empty for a name
// that is not; only characters a URL keeps as they are, so that it needs no
// percent-encoding.
std::string symbol_anchor(std::string_view name);

// The id of the list of the name's uses, in the same section: its anchor
// and ".uses", which no name's anchor ends in.
std::string symbol_uses_anchor(std::string_view name);
inline constexpr std::string_view kSymbolUsesSuffix = ".uses";

// The name's place from the folder of the symbol pages: its group's page,
// '#' and its anchor ("0a3.html#Point"). Every link to a name is made of
// this.
std::string symbol_href(std::string_view name, std::string_view page_extension);
// The same appended to `out`.
void append_symbol_href(std::string& out, std::string_view name, std::string_view page_extension);

}  // namespace prismet

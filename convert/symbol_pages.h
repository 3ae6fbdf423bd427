// What a site's names lead to, below its folder "prismet-symbols"
// (symbol_page_name.h): a page for each group of defined names, listing
// where each is defined and where it is used; the symbol index, a page per
// initial that lists every name of that initial; and the names script that
// lets the indexes' search box find names as well as files.
//
// Every file is written as the pages are: through a temporary file and a
// rename, never through a symbolic link, never over a file this program did
// not make, and only when its bytes change. The pages of groups that no
// longer have a name go; anyone else's files in the folder stay.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "convert/progress.h"
#include "engine/definition.h"

namespace prismet {

// A site's names as the symbol pages show them. Every text is a view of
// bytes kept elsewhere for as long as the symbols are used: the symbol
// table's definitions and the record of the pages' uses during a run,
// SiteSymbols for a caller after it. Views, because a site's uses are
// hundreds of thousands of places whose page and line text are already
// held once.
struct SymbolPlace {
  std::string_view page;   // the page's path from the site's root, '/'-separated ("src/a.cpp.html")
  std::uint32_t line = 0;  // 1-based
  std::string_view text;   // the line as in the source, in the pages' encoding, unescaped, blanks at
                           // both ends trimmed, at most 240 bytes
};

struct SymbolDefinition : SymbolPlace {
  SymbolKind kind = SymbolKind::Function;
  std::string_view scope;
  bool declaration_only = false;
};

struct Symbol {
  std::string_view name;
  std::vector<SymbolDefinition> definitions;  // by page, then line
  std::vector<SymbolPlace> uses;              // by page, then line; a definition's own line is no use
  // A name whose page is left as it stands has no `uses` filled in: how
  // many it has, for the indexes.
  std::uint32_t settled_uses = 0;

  std::size_t use_count() const { return uses.empty() ? settled_uses : uses.size(); }
};

// Symbols that hold the bytes their views show: what a run gives a caller
// who asked for its symbols, after the run's own stores are gone.
struct SiteSymbols {
  std::vector<Symbol> symbols;
  std::vector<std::unique_ptr<std::string>> bytes;  // one a keep(); never moved once filled

  // Appends `more`, every view of theirs pointed at a copy kept here.
  void keep(std::vector<Symbol> more);
};

// What the symbol pages are written with, as the site's own pages and
// indexes are.
struct SymbolPagesStyle {
  std::string extension = ".html";  // the pages' extension, the names' pages' too
  bool utf8 = true;                 // the pages' encoding: UTF-8, else Shift_JIS
  std::string root_name;            // the site's root as its trail names it; empty for "index"
  bool navigation = true;           // the site has navigation: the symbol index has its search box
  int argument = 0;                 // what the progress is told a failure with
  int threads = 1;                  // how many threads write the groups' pages at once
};

// The file names of the symbol index, of the page of each initial and of
// the names script in the folder of the symbol pages. No group's page is
// ever named so: its name is hexadecimal digits.
inline constexpr char kSymbolIndexName[] = "+index.html";
inline constexpr char kSymbolNamesName[] = "+names.js";

// Writes the pages of `symbols` below `site_root` (the site's output
// folder) and removes the pages this program made there for groups with no
// name among them any more. Each file that cannot be written (or removed)
// is told to `progress` as failed and the others are still written; false
// when any failed. A name that comes twice gets the section of its first
// coming; an empty name gets none.
bool write_symbol_pages(const std::string& site_root, const std::vector<Symbol>& symbols,
                        const SymbolPagesStyle& style, FileProgress& progress);

// write_symbol_pages for a run that knows which names show what they
// showed: those `settled` marks (by their place in `symbols`) need no uses
// (a settled name's `uses` need only be as many as it has, for the
// indexes), and a page whose names are all settled is left alone while it
// is as its record says. When one is not, nothing but the other pages is
// written: kNeedsAll asks for write_symbol_pages with every name's uses.
enum class SymbolPagesUpdate { kWritten, kFailed, kNeedsAll };
SymbolPagesUpdate update_symbol_pages(const std::string& site_root, const std::vector<Symbol>& symbols,
                                      const std::vector<char>* settled, const SymbolPagesStyle& style,
                                      FileProgress& progress);

// A digest of what in `style` the symbol pages' bytes depend on (their
// extension, the root's name, the encoding, navigation), so that a later
// run knows whether pages written with another style stand.
std::uint64_t symbol_pages_style_digest(const SymbolPagesStyle& style);

// Removes what write_symbol_pages made below `site_root` (a site with no
// pages left, or none with cross-references any more): every file of this
// program in its folder, and the folder when nothing else is in it. Anyone
// else's files stay, and so does a folder that is a symbolic link. False,
// each file told to `progress`, when one of ours could not be deleted.
bool remove_symbol_pages(const std::string& site_root, const SymbolPagesStyle& style, FileProgress& progress);

}  // namespace prismet

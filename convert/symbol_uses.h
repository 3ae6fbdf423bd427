// The uses of a site's names, put together page by page in the site's
// order after the pages are written, and the symbols they make for the
// symbol pages. Nothing is copied: the places are views of the record's
// bytes, which hold each page's path and each line's text once.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "convert/site_records.h"
#include "convert/symbol_pages.h"
#include "convert/symbol_table.h"

namespace prismet {

class SymbolUses {
 public:
  // `symbols` must be finished and outlive this.
  explicit SymbolUses(const SymbolTable& symbols) : symbols_(symbols), uses_(symbols.name_count()) {}
  // What the page at `page_path` (from the site's root) linked, in the
  // order of its lines; pages come in the site's order. The path and the
  // texts must outlive the symbols taken. A name used more than once on a
  // line is one use.
  void add_page(std::string_view page_path, std::span<const RecordedUse> uses);
  // Every defined name in the order of its bytes, with its definitions and
  // uses; what is left is empty.
  std::vector<Symbol> take_symbols();

 private:
  const SymbolTable& symbols_;
  std::vector<std::vector<SymbolPlace>> uses_;  // by the table's number
};

}  // namespace prismet

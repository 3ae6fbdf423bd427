// The uses of a site's names, put together page by page in the site's
// order after the pages are written, and the symbols they make for the
// symbol pages. Kept compact until then: twelve bytes a use, each page's
// path once and each line's text once.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "convert/page_references.h"
#include "convert/symbol_pages.h"
#include "convert/symbol_table.h"

namespace prismet {

class SymbolUses {
 public:
  // `symbols` must be finished and outlive this.
  explicit SymbolUses(const SymbolTable& symbols) : symbols_(symbols), uses_(symbols.name_count()) {}
  // What the page at `page_path` (from the site's root) recorded; pages come
  // in the site's order. A name used more than once on a line is one use.
  void add_page(const std::string& page_path, PageUses&& page);
  // Every defined name in the order of its bytes, with its definitions and
  // uses; what is left is empty.
  std::vector<Symbol> take_symbols();

 private:
  struct Use {
    std::uint32_t page = 0;  // into pages_
    std::uint32_t line = 0;
    std::uint32_t text = 0;  // into texts_
  };
  const SymbolTable& symbols_;
  std::vector<std::string> pages_;
  std::vector<std::string> texts_;
  std::vector<std::vector<Use>> uses_;  // by the table's number
};

}  // namespace prismet

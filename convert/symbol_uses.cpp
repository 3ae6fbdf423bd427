#include "convert/symbol_uses.h"

#include <utility>

namespace prismet {

void SymbolUses::add_page(std::string_view page_path, std::span<const RecordedUse> uses) {
  for (const RecordedUse& use : uses) {
    if (use.name >= uses_.size()) continue;
    std::vector<SymbolPlace>& places = uses_[use.name];
    // The same view of the path: the same page.
    if (!places.empty() && places.back().page.data() == page_path.data() && places.back().line == use.line)
      continue;
    places.push_back({page_path, use.line, use.text});
  }
}

std::vector<Symbol> SymbolUses::take_symbols() {
  std::vector<Symbol> symbols = symbols_.symbols();
  for (std::size_t i = 0; i < symbols.size() && i < uses_.size(); ++i) symbols[i].uses = std::move(uses_[i]);
  std::vector<std::vector<SymbolPlace>>().swap(uses_);
  return symbols;
}

}  // namespace prismet

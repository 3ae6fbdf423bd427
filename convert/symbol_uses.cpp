#include "convert/symbol_uses.h"

namespace prismet {

void SymbolUses::add_page(const std::string& page_path, const PageUses& page) {
  for (const PageUses::Use& use : page.uses) {
    if (use.name >= uses_.size() || use.text >= page.texts.size()) continue;
    std::vector<SymbolPlace>& places = uses_[use.name];
    if (!places.empty() && places.back().line == use.line && places.back().page == page_path) continue;
    places.push_back({page_path, use.line, page.texts[use.text]});
  }
}

std::vector<Symbol> SymbolUses::take_symbols() {
  std::vector<Symbol> symbols = symbols_.symbols();
  for (std::size_t i = 0; i < symbols.size() && i < uses_.size(); ++i) symbols[i].uses = std::move(uses_[i]);
  uses_.assign(uses_.size(), {});
  return symbols;
}

}  // namespace prismet

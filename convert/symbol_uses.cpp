#include "convert/symbol_uses.h"

#include <utility>

namespace prismet {

void SymbolUses::add_page(const std::string& page_path, PageUses&& page) {
  if (page.uses.empty()) return;
  const auto number = static_cast<std::uint32_t>(pages_.size());
  pages_.push_back(page_path);
  const auto first_text = static_cast<std::uint32_t>(texts_.size());
  for (std::string& text : page.texts) texts_.push_back(std::move(text));
  for (const PageUses::Use& use : page.uses) {
    if (use.name >= uses_.size() || use.text >= page.texts.size()) continue;
    std::vector<Use>& places = uses_[use.name];
    if (!places.empty() && places.back().page == number && places.back().line == use.line) continue;
    places.push_back({number, use.line, first_text + use.text});
  }
  page = PageUses();  // its memory goes now
}

std::vector<Symbol> SymbolUses::take_symbols() {
  std::vector<Symbol> symbols = symbols_.symbols();
  for (std::size_t i = 0; i < symbols.size() && i < uses_.size(); ++i) {
    symbols[i].uses.reserve(uses_[i].size());
    for (const Use& use : uses_[i]) symbols[i].uses.push_back({pages_[use.page], use.line, texts_[use.text]});
    std::vector<Use>().swap(uses_[i]);
  }
  std::vector<std::string>().swap(pages_);
  std::vector<std::string>().swap(texts_);
  return symbols;
}

}  // namespace prismet

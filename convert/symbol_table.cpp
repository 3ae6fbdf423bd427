#include "convert/symbol_table.h"

#include <algorithm>
#include <cstring>

#include "common/fnv1a.h"
#include "convert/site_index.h"
#include "convert/symbol_page_name.h"

namespace prismet {

namespace {

// Ends the text, so that "ab" "c" differs from "a" "bc".
std::uint64_t hashed(std::uint64_t hash, std::string_view text) {
  return (fnv1a(hash, text) ^ 0xFFu) * kFnv1aPrime;
}

std::uint64_t hashed(std::uint64_t hash, std::uint64_t number) { return fnv1a_number(hash, number); }

// The path's names percent-encoded, joined by '/'.
std::string url_of_path(std::string_view path) {
  std::string url;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = path.find('/', start);
    url +=
        url_of_name(path.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
    if (end == std::string_view::npos) return url;
    url += '/';
    start = end + 1;
  }
}

// The name's first eight bytes, as unsigned, as one number whose order is
// theirs: names whose numbers differ are in that order.
std::uint64_t name_prefix(std::string_view name) {
  std::uint64_t prefix = 0;
  const std::size_t size = std::min<std::size_t>(name.size(), 8);
  for (std::size_t i = 0; i < 8; ++i)
    prefix = prefix << 8 | (i < size ? static_cast<unsigned char>(name[i]) : 0u);
  return prefix;
}

}  // namespace

std::size_t SymbolTable::ViewHash::operator()(std::string_view text) const noexcept {
  return static_cast<std::size_t>(hashed(kFnv1aBasis, text));
}

std::uint32_t SymbolTable::add_page(std::string path, std::vector<Definition> definitions) {
  if (definitions.empty()) return kNone;
  const auto page = static_cast<std::uint32_t>(pages_.size());
  digest_ = hashed(digest_, path);
  for (Definition& definition : definitions) {
    digest_ = hashed(hashed(hashed(digest_, definition.name), definition.line), definition.declaration_only);
    entries_.push_back({page, std::move(definition)});
  }
  pages_.push_back({std::move(path), std::string()});
  return page;
}

void SymbolTable::reserve(std::size_t pages, std::size_t definitions) {
  pages_.reserve(pages_.size() + pages);
  entries_.reserve(entries_.size() + definitions);
}

namespace {

// Whether a use of the name may lead to this definition of it: not to a
// declaration, nor to a constructor or destructor, which is named as its
// class (the last name of its scope): a use of the name means the class.
// Counting the constructors cost 2 points of the uses that link to their
// name's one definition (bench/xref_quality.py: 67.9% then 69.9%, both
// before the sources without an extension were in the first pass).
bool leads_a_use(const Definition& definition) {
  if (definition.declaration_only) return false;
  if (definition.kind != SymbolKind::Function) return true;
  const std::string_view scope = definition.scope;
  const std::size_t colons = scope.rfind("::");
  const std::string_view last = colons == std::string_view::npos ? scope : scope.substr(colons + 2);
  std::string_view name = definition.name;
  if (!name.empty() && name.front() == '~') name.remove_prefix(1);
  return last != name;
}

}  // namespace

void SymbolTable::finish(std::string_view page_extension) {
  for (Page& page : pages_) {
    page.url = url_of_path(page.path);
    by_page_.emplace(page.path, static_cast<std::uint32_t>(&page - pages_.data()));
  }
  // The entries of each name together, by page and line within it, and
  // in the site's order where those are equal too. Each is sorted by a key
  // beside it, the name's first eight bytes as one number, so that most
  // comparisons read no entry (the sort: 15 ms then 12 on the headers' tree
  // of bench/run.py's cross-reference rows).
  struct Key {
    std::uint64_t prefix;
    std::uint32_t index;
  };
  std::vector<Key> keys(entries_.size());
  for (std::uint32_t i = 0; i < keys.size(); ++i) keys[i] = {name_prefix(entries_[i].definition.name), i};
  std::sort(keys.begin(), keys.end(), [this](const Key& a, const Key& b) {
    if (a.prefix != b.prefix) return a.prefix < b.prefix;
    const Entry& x = entries_[a.index];
    const Entry& y = entries_[b.index];
    if (x.definition.name != y.definition.name) return x.definition.name < y.definition.name;
    if (x.page != y.page) return x.page < y.page;
    if (x.definition.line != y.definition.line) return x.definition.line < y.definition.line;
    return a.index < b.index;
  });
  std::vector<std::uint32_t> order(keys.size());
  std::size_t names = 0;
  for (std::size_t i = 0; i < keys.size(); ++i) {
    order[i] = keys[i].index;
    names += i == 0 || entries_[order[i]].definition.name != entries_[order[i - 1]].definition.name;
  }
  std::vector<Key>().swap(keys);
  names_.reserve(names);
  for (std::size_t i = 0; i < order.size();) {
    Name name;
    name.name = entries_[order[i]].definition.name;
    for (; i < order.size() && entries_[order[i]].definition.name == name.name; ++i) {
      name.entries.push_back(order[i]);
      if (leads_a_use(entries_[order[i]].definition)) {
        if (name.targets++ == 0) name.target = order[i];
      }
    }
    if (name.targets == 0) {
      // Declarations only: they are what a use leads to.
      name.targets = static_cast<std::uint32_t>(name.entries.size());
      name.target = name.entries.front();
    }
    // The href needs no percent-encoding: its page and anchor are made of
    // characters a URL keeps.
    const std::string href = symbol_href(name.name, page_extension);
    name.symbol_url.reserve(kSymbolFolder.size() + 1 + href.size());
    name.symbol_url += kSymbolFolder;
    name.symbol_url += '/';
    name.symbol_url += href;
    names_.push_back(std::move(name));
  }
  std::size_t size = 16;
  while (size < 2 * names_.size()) size *= 2;
  slots_.assign(size, Slot{});
  for (std::uint32_t i = 0; i < names_.size(); ++i) {
    const std::uint64_t hash = name_hash(names_[i].name);
    std::size_t at = hash & (size - 1);
    while (slots_[at].name != kNone) at = (at + 1) & (size - 1);
    slots_[at] = {hash, i};
  }
}

std::uint64_t SymbolTable::name_hash(std::string_view name) {
  constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15ull;
  std::uint64_t hash = name.size() * kMultiplier;
  const char* p = name.data();
  std::size_t left = name.size();
  for (; left >= 8; left -= 8, p += 8) {
    std::uint64_t word;
    std::memcpy(&word, p, 8);
    hash = (hash ^ word) * kMultiplier;
    hash ^= hash >> 29;
  }
  if (left > 0) {
    std::uint64_t word = 0;
    std::memcpy(&word, p, left);
    hash = (hash ^ word) * kMultiplier;
    hash ^= hash >> 29;
  }
  return hash ^ (hash >> 32);
}

std::uint32_t SymbolTable::find(std::string_view name, std::uint64_t hash) const {
  if (slots_.empty()) return kNone;
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
    const Slot& slot = slots_[at];
    if (slot.name == kNone) return kNone;
    if (slot.hash == hash && names_[slot.name].name == name) return slot.name;
  }
}

std::uint32_t SymbolTable::page_of(std::string_view path) const {
  const auto found = by_page_.find(path);
  return found == by_page_.end() ? kNone : found->second;
}

SymbolTable::Link SymbolTable::link(std::uint32_t name, std::uint32_t page, std::uint64_t line,
                                    bool after_member) const {
  const Name& entry = names_[name];
  if (page != kNone) {
    const auto own =
        std::lower_bound(entry.entries.begin(), entry.entries.end(), std::pair(page, line),
                         [this](std::uint32_t index, const std::pair<std::uint32_t, std::uint64_t>& at) {
                           const Entry& e = entries_[index];
                           return e.page != at.first ? e.page < at.first : e.definition.line < at.second;
                         });
    if (own != entry.entries.end() && entries_[*own].page == page && entries_[*own].definition.line == line)
      return {LinkKind::kUses, 0, 0};
  }
  if (entry.targets == 1) {
    const Entry& target = entries_[entry.target];
    return {LinkKind::kDefinition, target.page, target.definition.line};
  }
  if (after_member) return {};
  return {LinkKind::kSymbolPage, 0, 0};
}

std::vector<std::pair<std::uint64_t, std::uint64_t>> SymbolTable::link_signatures() const {
  std::vector<std::uint64_t> page_hashes(pages_.size());
  for (std::size_t i = 0; i < pages_.size(); ++i) page_hashes[i] = hashed(kFnv1aBasis, pages_[i].path);
  std::vector<std::pair<std::uint64_t, std::uint64_t>> signatures;
  signatures.reserve(names_.size());
  for (const Name& name : names_) {
    // A use elsewhere leads to the one target or, for more, to the name's
    // symbol page (or nowhere after a member access), whichever they are; a
    // use on a page's own definition's line depends on that page's source
    // alone, which makes the page again when it changes.
    std::uint64_t signature = kFnv1aBasis;
    if (name.targets == 1) {
      const Entry& target = entries_[name.target];
      signature = hashed(hashed(signature, page_hashes[target.page]), target.definition.line);
    }
    signatures.emplace_back(name_hash(name.name), signature);
  }
  std::sort(signatures.begin(), signatures.end());
  // Names whose hashes collide share one signature made of all of theirs,
  // which changes when any of them does.
  std::size_t kept = 0;
  for (std::size_t i = 0; i < signatures.size(); ++i) {
    if (kept > 0 && signatures[kept - 1].first == signatures[i].first) {
      signatures[kept - 1].second = hashed(signatures[kept - 1].second, signatures[i].second);
    } else {
      signatures[kept++] = signatures[i];
    }
  }
  signatures.resize(kept);
  return signatures;
}

std::vector<Symbol> SymbolTable::symbols() const& {
  std::vector<Symbol> symbols(names_.size());
  for (std::size_t i = 0; i < names_.size(); ++i) {
    const Name& name = names_[i];
    Symbol& symbol = symbols[i];
    symbol.name = name.name;
    symbol.definitions.resize(name.entries.size());
    for (std::size_t d = 0; d < name.entries.size(); ++d) {
      const Entry& entry = entries_[name.entries[d]];
      SymbolDefinition& definition = symbol.definitions[d];
      definition.page = pages_[entry.page].path;
      definition.line = entry.definition.line;
      definition.text = entry.definition.text;
      definition.kind = entry.definition.kind;
      definition.scope = entry.definition.scope;
      definition.declaration_only = entry.definition.declaration_only;
    }
  }
  return symbols;
}

}  // namespace prismet

#include "convert/symbol_table.h"

#include <algorithm>

#include "common/fnv1a.h"
#include "common/word_mix.h"
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
  // Kept where they are: a vector moved keeps its elements in place.
  const std::vector<Definition>& kept = owned_.emplace_back(std::move(definitions));
  std::vector<DefinitionView> views;
  views.reserve(kept.size());
  for (const Definition& definition : kept) views.push_back(view_of(definition));
  return add_viewed_page(std::move(path), views);
}

std::uint32_t SymbolTable::add_viewed_page(std::string path, std::span<const DefinitionView> definitions) {
  if (definitions.empty()) return kNone;
  const auto page = static_cast<std::uint32_t>(pages_.size());
  digest_ = hashed(digest_, path);
  for (const DefinitionView& definition : definitions) {
    digest_ = hashed(hashed(hashed(digest_, definition.name), definition.line), definition.declaration_only);
    entries_.push_back({page, definition});
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
bool leads_a_use(const DefinitionView& definition) {
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
  // The entries of each name together: each entry's name found in a table
  // of the names met so far (open addressing on the name's hash), the
  // entries of a name then in the site's order, which is by page and line.
  // Only the distinct names are sorted, a quarter of the entries on the
  // headers' tree (bench/run.py's cross-reference rows: the whole table
  // sorted by name took 12 ms of every run, a run after an edit too).
  std::vector<std::uint64_t> hashes;  // of the distinct names, by their group
  std::vector<std::uint32_t> firsts;  // the first entry of each
  std::vector<std::uint32_t> group_of(entries_.size());
  {
    std::size_t size = 16;
    while (size < 2 * entries_.size()) size *= 2;
    std::vector<std::uint32_t> groups(size, kNone);
    for (std::uint32_t i = 0; i < entries_.size(); ++i) {
      const std::string_view name = entries_[i].definition.name;
      const std::uint64_t hash = name_hash(name);
      std::size_t at = hash & (size - 1);
      for (;; at = (at + 1) & (size - 1)) {
        const std::uint32_t group = groups[at];
        if (group == kNone) {
          groups[at] = static_cast<std::uint32_t>(firsts.size());
          group_of[i] = static_cast<std::uint32_t>(firsts.size());
          hashes.push_back(hash);
          firsts.push_back(i);
          break;
        }
        if (hashes[group] == hash && entries_[firsts[group]].definition.name == name) {
          group_of[i] = group;
          break;
        }
      }
    }
  }
  // Each group's entries in one array, in the site's order.
  std::vector<std::uint32_t> starts(firsts.size() + 1, 0);
  for (const std::uint32_t group : group_of) ++starts[group + 1];
  for (std::size_t g = 0; g < firsts.size(); ++g) starts[g + 1] += starts[g];
  std::vector<std::uint32_t> members(entries_.size());
  {
    std::vector<std::uint32_t> next(starts.begin(), starts.end() - 1);
    for (std::uint32_t i = 0; i < entries_.size(); ++i) members[next[group_of[i]]++] = i;
  }
  // The names in the order of their bytes, by a key of their first eight
  // bytes beside each, so that most comparisons read no entry.
  struct Key {
    std::uint64_t prefix;
    std::uint32_t group;
  };
  std::vector<Key> keys(firsts.size());
  for (std::uint32_t g = 0; g < keys.size(); ++g)
    keys[g] = {name_prefix(entries_[firsts[g]].definition.name), g};
  std::sort(keys.begin(), keys.end(), [this, &firsts](const Key& a, const Key& b) {
    if (a.prefix != b.prefix) return a.prefix < b.prefix;
    return entries_[firsts[a.group]].definition.name < entries_[firsts[b.group]].definition.name;
  });
  names_.reserve(keys.size());
  members_.clear();
  members_.reserve(entries_.size());
  urls_.clear();
  std::vector<std::uint64_t> name_hashes;
  name_hashes.reserve(keys.size());
  for (const Key& key : keys) {
    Name name;
    name.name = entries_[firsts[key.group]].definition.name;
    name.first = static_cast<std::uint32_t>(members_.size());
    name.count = starts[key.group + 1] - starts[key.group];
    members_.insert(members_.end(), members.begin() + starts[key.group],
                    members.begin() + starts[key.group + 1]);
    const auto own = members_.begin() + name.first;
    // By page and line, as the site's order has them unless a page gave its
    // definitions out of the order of their lines.
    const auto by_place = [this](std::uint32_t a, std::uint32_t b) {
      const Entry& x = entries_[a];
      const Entry& y = entries_[b];
      return x.page != y.page ? x.page < y.page : x.definition.line < y.definition.line;
    };
    if (!std::is_sorted(own, members_.end(), by_place)) std::stable_sort(own, members_.end(), by_place);
    for (auto index = own; index != members_.end(); ++index) {
      if (leads_a_use(entries_[*index].definition)) {
        if (name.targets++ == 0) name.target = *index;
      }
    }
    if (name.targets == 0) {
      // Declarations only: they are what a use leads to.
      name.targets = name.count;
      name.target = *own;
    }
    // The href needs no percent-encoding: its page and anchor are made of
    // characters a URL keeps.
    name.url_at = static_cast<std::uint32_t>(urls_.size());
    urls_ += kSymbolFolder;
    urls_ += '/';
    append_symbol_href(urls_, name.name, page_extension);
    name.url_size = static_cast<std::uint32_t>(urls_.size() - name.url_at);
    names_.push_back(name);
    name_hashes.push_back(hashes[key.group]);
  }
  std::size_t size = 16;
  while (size < 2 * names_.size()) size *= 2;
  slots_.assign(size, Slot{});
  for (std::uint32_t i = 0; i < names_.size(); ++i) {
    const std::uint64_t hash = name_hashes[i];
    std::size_t at = hash & (size - 1);
    while (slots_[at].name != kNone) at = (at + 1) & (size - 1);
    slots_[at] = {hash, i};
  }
}

std::uint64_t SymbolTable::name_hash(std::string_view name) {
  const std::uint64_t hash = mix_words(name.size() * kWordMixMultiplier, name);
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
    const std::span<const std::uint32_t> entries = entries_of(entry);
    const auto own =
        std::lower_bound(entries.begin(), entries.end(), std::pair(page, line),
                         [this](std::uint32_t index, const std::pair<std::uint32_t, std::uint64_t>& at) {
                           const Entry& e = entries_[index];
                           return e.page != at.first ? e.page < at.first : e.definition.line < at.second;
                         });
    if (own != entries.end() && entries_[*own].page == page && entries_[*own].definition.line == line)
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
    const std::span<const std::uint32_t> entries = entries_of(name);
    symbol.definitions.resize(entries.size());
    for (std::size_t d = 0; d < entries.size(); ++d) {
      const Entry& entry = entries_[entries[d]];
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

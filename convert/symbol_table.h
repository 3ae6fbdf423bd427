// The names a site defines, found before any of its pages is written, and
// where a use of each leads: one definition (declarations count only for a
// name that has no definition), straight to its line; several, to the
// name's symbol page; a name on one of its own definition's lines, to the
// list of its uses. After ".", "->" or "::" only a name defined once links.
// Looked up by the bytes of the name in place, from any thread once
// finished.
#pragma once

#include <cstdint>
#include <deque>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "common/fnv1a.h"
#include "convert/symbol_pages.h"
#include "engine/definition.h"

namespace prismet {

class SymbolTable {
 public:
  static constexpr std::uint32_t kNone = 0xFFFFFFFFu;

  SymbolTable() = default;
  // Its names and pages are views of its own strings and of the definitions
  // it keeps: moved, never copied.
  SymbolTable(const SymbolTable&) = delete;
  SymbolTable& operator=(const SymbolTable&) = delete;
  SymbolTable(SymbolTable&&) = default;
  SymbolTable& operator=(SymbolTable&&) = default;

  // A page of the site, in the site's order, by its path from the site's
  // root ('/'-separated, the file system's bytes), with the definitions of
  // its source in the order of their lines. Returns its number.
  std::uint32_t add_page(std::string path, std::vector<Definition> definitions);
  // The same with views of definitions whose bytes outlive the table (the
  // site's record read), which are not copied.
  std::uint32_t add_viewed_page(std::string path, std::span<const DefinitionView> definitions);
  // Room for `pages` more pages of `definitions` in all, so that the
  // definitions are not moved again as pages are added.
  void reserve(std::size_t pages, std::size_t definitions);
  // Readies the table for look-ups, the symbol pages named with
  // `page_extension` behind: called once, after every page is added.
  void finish(std::string_view page_extension);

  // What a use links to.
  enum class LinkKind : std::uint8_t {
    kNone,        // nothing: plain text
    kDefinition,  // the line `line` of the page `page`
    kSymbolPage,  // the name's section of its symbol page
    kUses,        // the list of the name's uses in that section
  };
  struct Link {
    LinkKind kind = LinkKind::kNone;
    std::uint32_t page = 0;
    std::uint32_t line = 0;
  };

  // After finish(), from any thread, and without allocating: the number of
  // the defined `name`, or kNone.
  std::uint32_t find(std::string_view name) const { return find(name, name_hash(name)); }
  // The same with the name's hash (name_hash) already had.
  std::uint32_t find(std::string_view name, std::uint64_t hash) const;
  // A hash of the bytes, eight at a time; the same in every run and build.
  static std::uint64_t name_hash(std::string_view name);
  // Where a use of the name `name` (find's number) at the 1-based `line` of
  // the page `page` (kNone: a page with no definitions of its own) leads.
  Link link(std::uint32_t name, std::uint32_t page, std::uint64_t line, bool after_member) const;
  // The page's number, or kNone for a page that defines nothing.
  std::uint32_t page_of(std::string_view path) const;
  const std::string& page_path(std::uint32_t page) const { return pages_[page].path; }
  // A page's path as a URL from the site's root: its names percent-encoded.
  const std::string& page_url(std::uint32_t page) const { return pages_[page].url; }
  // The URL of the name's section of its symbol page from the site's root
  // (symbol_href); the list of its uses is that and kSymbolUsesSuffix.
  std::string_view symbol_url(std::uint32_t name) const {
    return std::string_view(urls_).substr(names_[name].url_at, names_[name].url_size);
  }
  std::size_t name_count() const { return names_.size(); }
  std::string_view name(std::uint32_t name) const { return names_[name].name; }

  // What the pages' links depend on: every name with its pages, lines and
  // whether each is a declaration only.
  std::uint64_t digest() const { return digest_; }

  // For every name, by its hash (name_hash), a signature of where a use of
  // it on a page leads besides the page's own definitions: the page and
  // line of its one target, or that it has several. Two runs whose
  // signatures of a name are equal link it alike from every page whose
  // source is the same. Sorted by the hash, each hash once: names whose
  // hashes collide share one signature made of theirs.
  std::vector<std::pair<std::uint64_t, std::uint64_t>> link_signatures() const;

  // The defined names in the order of their bytes, each with its
  // definitions by page and line; no uses. Views of the table's own
  // strings, which stay while it does: not to be had of a table about to go.
  std::vector<Symbol> symbols() const&;
  std::vector<Symbol> symbols() const&& = delete;

 private:
  struct Page {
    std::string path;
    std::string url;
  };
  struct Entry {
    std::uint32_t page = 0;
    DefinitionView definition;  // of owned_ or of bytes that outlive the table
  };
  // A name, all in place, not three allocations of its own: every run
  // finishes the table, and an unchanged second run of the headers' site
  // took 240 M instructions instead of 257 M (callgrind).
  struct Name {
    std::string_view name;    // its first entry's, in entries_
    std::uint32_t first = 0;  // its entries: members_[first, first + count)
    std::uint32_t count = 0;
    std::uint32_t targets = 0;  // the definitions a use may lead to
    std::uint32_t target = 0;   // the one, when there is one
    std::uint32_t url_at = 0;   // its symbol URL in urls_
    std::uint32_t url_size = 0;
  };
  std::span<const std::uint32_t> entries_of(const Name& name) const {
    return std::span<const std::uint32_t>(members_).subspan(name.first, name.count);
  }
  struct ViewHash {
    std::size_t operator()(std::string_view text) const noexcept;
  };
  // A slot of the names' table: open addressing, at most half full.
  struct Slot {
    std::uint64_t hash = 0;
    std::uint32_t name = kNone;  // kNone: empty
  };

  std::vector<Page> pages_;
  std::vector<Entry> entries_;                 // in the site's order: by page, then line
  std::deque<std::vector<Definition>> owned_;  // the definitions given, where they stay
  std::vector<Name> names_;                    // by name, once finished; views of entries_' names
  std::vector<std::uint32_t> members_;         // into entries_, each name's by page and line
  std::string urls_;                           // every name's symbol URL, one after another
  std::vector<Slot> slots_;                    // a power of two of them
  // Views of pages_' strings, which no longer move once finished.
  std::unordered_map<std::string_view, std::uint32_t, ViewHash> by_page_;
  std::uint64_t digest_ = kFnv1aBasis;
};

}  // namespace prismet

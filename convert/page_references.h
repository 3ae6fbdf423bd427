// The links of one page of a site with cross-references: its identifiers
// in code as the site's symbol table resolves them, URLs relative to the
// page, its include directives as the include links' table says (when
// those are on), and a record of the uses it links, for the symbol pages.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "convert/symbol_table.h"
#include "engine/page_links.h"

namespace prismet {

// The uses one page links, in the order of its lines.
struct PageUses {
  struct Use {
    std::uint32_t name = 0;  // the symbol table's number
    std::uint32_t line = 0;
    std::uint32_t text = 0;  // into `texts`
  };
  std::vector<Use> uses;
  std::vector<std::string> texts;  // one for each line with uses
  // The 32-bit hashes (SymbolTable::name_hash) of every name it looked up,
  // defined or not, but on a line of its own definition of it, in any order
  // and repeated: a name that comes to lead elsewhere makes the page again.
  std::vector<std::uint32_t> looked_up;
};

// Marks in `changed` (by the symbol table's number) every name whose uses
// differ between what a page linked before and what it links now: another
// line, another line text, a use more or less. A page made again with the
// same uses (an edit that moved none of them) marks nothing, so the
// symbol pages of its names stand.
void mark_changed_uses(const PageUses& before, const PageUses& now, std::vector<char>& changed);

// At most 240 bytes of the line, blanks (and a line ending) at both ends
// trimmed, never cut inside a character of the page's encoding.
std::string_view trimmed_line_text(std::string_view line, bool utf8);

class PageReferences final : public PageLinks {
 public:
  // The page at `page_path` from the site's root ('/'-separated); its
  // include links from `includes` (null: none); its uses into `uses` (null:
  // not recorded). `symbols` must be finished and outlive this.
  PageReferences(const SymbolTable& symbols, std::string_view page_path, bool utf8_page, PageLinks* includes,
                 PageUses* uses);

  std::string_view include_target(std::string_view name, bool angled) override;
  std::string_view identifier_target(const IdentifierUse& use) override;

 private:
  void record(std::uint32_t name, const IdentifierUse& use);

  const SymbolTable& symbols_;
  std::uint32_t page_;
  std::string root_;  // "../" for each folder of the page's path
  bool utf8_page_;
  PageLinks* includes_;
  PageUses* uses_;
  std::uint64_t text_line_ = 0;  // the line of the last text recorded
  std::string target_;
  // The hashes last put in `looked_up`, one slot by the low bits of each:
  // a name met again (most are) is not put in again. A slot starts with a
  // value whose low bits are not its own, which no hash it holds matches.
  // Sorting the lists took 19 ms of CPU then 6 (the headers' tree of
  // bench/run.py's cross-reference rows, -j 1).
  static constexpr std::size_t kSeenSlots = 256;
  std::array<std::uint32_t, kSeenSlots> seen_;
};

}  // namespace prismet

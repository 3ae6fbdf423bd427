// Fuzzes the reading of a site's record of cross-references: a valid record
// with arbitrary bytes laid over all but its opening and fingerprint, its
// checksum made right again so that the parser, not the checksum, meets
// them. Checks that any such bytes are read without a fault, and that what
// a record that loads yields can be used as a run uses it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "convert/site_records.h"
#include "convert/symbol_table.h"

namespace {

constexpr std::uint64_t kFingerprint = 0x5EED;

prismet::Definition definition(std::string name, std::uint32_t line) {
  prismet::Definition made;
  made.name = std::move(name);
  made.line = line;
  made.text = "int " + made.name + "();";
  return made;
}

// A small record of each section: two sources, their signatures, one page.
std::string valid_record(const prismet::SymbolTable& symbols) {
  prismet::SiteRecordWriter writer(kFingerprint);
  const std::vector<prismet::Definition> a{definition("area", 1), definition("Box", 3)};
  const std::vector<prismet::Definition> b{definition("size", 2)};
  writer.add_source("a.cpp.html", prismet::FileStamp(), a);
  writer.add_source("sub/b.h.html", prismet::FileStamp(), b);
  writer.end_sources();
  writer.add_signatures(
      {{prismet::SymbolTable::name_hash("area"), 1}, {prismet::SymbolTable::name_hash("size"), 2}});
  prismet::PageUses uses;
  uses.uses.push_back({symbols.find("size"), 4, 0});
  uses.texts.push_back("return size();");
  writer.add_page("a.cpp.html", prismet::FileStamp(), prismet::FileStamp(), uses, symbols);
  return writer.finish(1, prismet::FileStamp(), {{prismet::SymbolTable::name_hash("size"), 1}});
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const prismet::SymbolTable* symbols = [] {
    auto* table = new prismet::SymbolTable;
    table->add_page("a.cpp.html", {definition("area", 1), definition("Box", 3)});
    table->add_page("sub/b.h.html", {definition("size", 2)});
    table->finish(".html");
    return table;
  }();
  static const std::string base = valid_record(*symbols);

  // The opening and fingerprint stay; the rest of the body is the input's
  // bytes laid over the valid ones (and beyond them), then the checksum.
  std::string body = base.substr(0, base.size() - 8);
  for (std::size_t i = 0; i < size; ++i) {
    const std::size_t at = prismet::kSiteRecordsHeadSize + i;
    if (at < body.size()) {
      body[at] = static_cast<char>(data[i]);
    } else {
      body += static_cast<char>(data[i]);
    }
  }
  const std::uint64_t checksum = prismet::site_records_checksum(body);
  for (int shift = 0; shift < 64; shift += 8) body += static_cast<char>((checksum >> shift) & 0xFF);

  prismet::SiteRecord record;
  if (!record.load(body, kFingerprint)) {
    if (record.loaded() || !record.pages().empty()) std::abort();
    return 0;
  }
  for (const std::string_view name : record.names_not_taken()) (void)symbols->find(name);
  for (const auto& [path, page] : record.pages()) {
    prismet::PageUses uses;
    if (prismet::SiteRecord::uses_of(page, *symbols, uses)) {
      for (const prismet::PageUses::Use& use : uses.uses) {
        if (use.name >= symbols->name_count() || use.text >= uses.texts.size()) std::abort();
      }
    }
    (void)prismet::SiteRecord::names_of(page.uses);
    std::vector<prismet::RecordedUse> wanted;
    if (prismet::SiteRecord::wanted_uses(page.uses, *symbols, std::vector<char>(symbols->name_count(), 1),
                                         wanted)) {
      for (const prismet::RecordedUse& use : wanted) {
        if (use.name >= symbols->name_count() || use.text.data() < page.uses.data() ||
            use.text.data() + use.text.size() > page.uses.data() + page.uses.size())
          std::abort();
      }
    }
  }
  std::vector<prismet::DefinitionView> taken;
  std::string_view entry;
  (void)record.take_definitions("a.cpp.html", prismet::FileStamp(), taken, entry);
  return 0;
}

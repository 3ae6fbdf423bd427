// The records kept beside the symbol pages: written and read back line by
// line, lines of no use left out, and a digest that tells apart any two
// groups of names whose pages would differ.
#include "convert/symbol_records.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace prismet {
namespace {

TEST(SymbolRecords, EachPageIsALineOfItsDigestAndStampReadBackAsWritten) {
  NamedRecord records[] = {
      {"alpha.html", {0x0123456789abcdefull, {1, 2, 3, 4, 5}}},
      {"-box.html", {0, {9, 9, 9, 9, 9}}},  // no digest: left out
      {"+24x.html", {0xffffffffffffffffull, {0, 18446744073709551615ull, 0, 7, 0}}},
  };
  const std::string text = render_symbol_records(records);
  EXPECT_EQ(text,
            "prismet-symbol-records 1\n"
            "0123456789abcdef 1 2 3 4 5 alpha.html\n"
            "ffffffffffffffff 0 18446744073709551615 0 7 0 +24x.html\n");
  SymbolRecords read;
  ASSERT_TRUE(read_symbol_records(text, read));
  ASSERT_EQ(read.size(), 2u);
  EXPECT_EQ(read.at("alpha.html").digest, 0x0123456789abcdefull);
  EXPECT_EQ(read.at("alpha.html").page, (FileStamp{1, 2, 3, 4, 5}));
  EXPECT_EQ(read.at("+24x.html").page.index, 18446744073709551615ull);
}

TEST(SymbolRecords, LinesOfNoUseAreLeftOutAndOtherFilesHoldNone) {
  SymbolRecords read;
  ASSERT_TRUE(
      read_symbol_records("prismet-symbol-records 1\n"
                          "00000000000000aa 1 2 3 4 5 good.html\n"
                          "0000000000000000 1 2 3 4 5 zero.html\n"
                          "zz 1 2 3 4 5 hex.html\n"
                          "00000000000000aa 1 2 3 4 short.html\n"
                          "00000000000000aa 1 2 3 4 18446744073709551616 big.html\n"
                          "00000000000000aa 1 2 3 4 5 two names.html\n"
                          "00000000000000aa 1 2 3 4 5 \n"
                          "00000000000000aa 1 2 3 4 5 cut.html",
                          read));
  ASSERT_EQ(read.size(), 1u);
  EXPECT_EQ(read.count("good.html"), 1u);
  for (const char* bytes : {"", "prismet-symbol-records 2\n", "<!DOCTYPE html>\n", "prismet-symbol-record"}) {
    EXPECT_FALSE(read_symbol_records(bytes, read)) << bytes;
    EXPECT_TRUE(read.empty());
  }
}

Symbol sample() {
  Symbol symbol;
  symbol.name = "size";
  symbol.definitions.resize(1);
  symbol.definitions[0].page = "a.cpp.html";
  symbol.definitions[0].line = 12;
  symbol.definitions[0].text = "int size();";
  symbol.definitions[0].scope = "ns";
  symbol.uses.push_back({"b.cpp.html", 3, "size();"});
  return symbol;
}

// The digest of a group's page: its names, in the page's order.
std::uint64_t digest_of(const std::vector<Symbol>& names, const SymbolPagesStyle& style) {
  std::vector<const Symbol*> pointers;
  for (const Symbol& symbol : names) pointers.push_back(&symbol);
  return symbol_group_digest(pointers, style);
}

TEST(SymbolRecords, EveryChangeAGroupsPageWouldShowChangesTheDigest) {
  const SymbolPagesStyle style;
  Symbol other = sample();
  other.name = "Size";
  const std::vector<Symbol> group = {other, sample()};
  const std::uint64_t base = digest_of(group, style);
  EXPECT_EQ(digest_of(group, style), base);
  EXPECT_NE(base, 0u);
  const std::vector<std::function<void(std::vector<Symbol>&, SymbolPagesStyle&)>> changes = {
      [](std::vector<Symbol>& g, SymbolPagesStyle&) { g[1].name = "siZe"; },
      [](std::vector<Symbol>& g, SymbolPagesStyle&) { g[1].definitions[0].page = "b.cpp.html"; },
      [](std::vector<Symbol>& g, SymbolPagesStyle&) { g[1].definitions[0].line = 13; },
      [](std::vector<Symbol>& g, SymbolPagesStyle&) { g[1].definitions[0].text = "int size() ;"; },
      [](std::vector<Symbol>& g, SymbolPagesStyle&) { g[1].definitions[0].kind = SymbolKind::Macro; },
      [](std::vector<Symbol>& g, SymbolPagesStyle&) { g[1].definitions[0].scope = "ns::in"; },
      [](std::vector<Symbol>& g, SymbolPagesStyle&) { g[1].definitions[0].declaration_only = true; },
      [](std::vector<Symbol>& g, SymbolPagesStyle&) { g[1].uses[0].line = 4; },
      [](std::vector<Symbol>& g, SymbolPagesStyle&) { g[1].uses.push_back(g[1].uses[0]); },
      [](std::vector<Symbol>& g, SymbolPagesStyle&) { g[1].uses.clear(); },
      // Bytes moved from one field to the next.
      [](std::vector<Symbol>& g, SymbolPagesStyle&) {
        g[1].definitions[0].text = "int size();n";
        g[1].definitions[0].scope = "s";
      },
      [](std::vector<Symbol>& g, SymbolPagesStyle&) {
        std::swap(g[1].definitions[0].page, g[1].uses[0].page);
      },
      // A use moved from one name to the other, a name gone or come, the
      // names in another order.
      [](std::vector<Symbol>& g, SymbolPagesStyle&) {
        g[0].uses.push_back(g[1].uses[0]);
        g[1].uses.clear();
      },
      [](std::vector<Symbol>& g, SymbolPagesStyle&) { g.pop_back(); },
      [](std::vector<Symbol>& g, SymbolPagesStyle&) { g.push_back(sample()); },
      [](std::vector<Symbol>& g, SymbolPagesStyle&) { std::swap(g[0], g[1]); },
      [](std::vector<Symbol>&, SymbolPagesStyle& st) { st.utf8 = false; },
      [](std::vector<Symbol>&, SymbolPagesStyle& st) { st.extension = ".htm"; },
      [](std::vector<Symbol>&, SymbolPagesStyle& st) { st.root_name = "proj"; },
  };
  for (std::size_t i = 0; i < changes.size(); ++i) {
    std::vector<Symbol> changed_group = group;
    SymbolPagesStyle changed;
    changes[i](changed_group, changed);
    EXPECT_NE(digest_of(changed_group, changed), base) << i;
  }
}

}  // namespace
}  // namespace prismet

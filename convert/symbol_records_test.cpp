// The records kept beside the symbol pages: written and read back line by
// line, lines of no use left out, and a digest that tells apart any two
// names whose pages would differ.
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

TEST(SymbolRecords, EveryChangeAPageWouldShowChangesTheDigest) {
  const SymbolPagesStyle style;
  const std::uint64_t base = symbol_digest(sample(), style);
  EXPECT_EQ(symbol_digest(sample(), style), base);
  EXPECT_NE(base, 0u);
  const std::vector<std::function<void(Symbol&, SymbolPagesStyle&)>> changes = {
      [](Symbol& s, SymbolPagesStyle&) { s.name = "Size"; },
      [](Symbol& s, SymbolPagesStyle&) { s.definitions[0].page = "b.cpp.html"; },
      [](Symbol& s, SymbolPagesStyle&) { s.definitions[0].line = 13; },
      [](Symbol& s, SymbolPagesStyle&) { s.definitions[0].text = "int size() ;"; },
      [](Symbol& s, SymbolPagesStyle&) { s.definitions[0].kind = SymbolKind::Macro; },
      [](Symbol& s, SymbolPagesStyle&) { s.definitions[0].scope = "ns::in"; },
      [](Symbol& s, SymbolPagesStyle&) { s.definitions[0].declaration_only = true; },
      [](Symbol& s, SymbolPagesStyle&) { s.uses[0].line = 4; },
      [](Symbol& s, SymbolPagesStyle&) { s.uses.push_back(s.uses[0]); },
      [](Symbol& s, SymbolPagesStyle&) { s.uses.clear(); },
      // Bytes moved from one field to the next.
      [](Symbol& s, SymbolPagesStyle&) {
        s.definitions[0].text = "int size();n";
        s.definitions[0].scope = "s";
      },
      [](Symbol& s, SymbolPagesStyle&) { std::swap(s.definitions[0].page, s.uses[0].page); },
      [](Symbol&, SymbolPagesStyle& st) { st.utf8 = false; },
      [](Symbol&, SymbolPagesStyle& st) { st.extension = ".htm"; },
      [](Symbol&, SymbolPagesStyle& st) { st.root_name = "proj"; },
  };
  for (std::size_t i = 0; i < changes.size(); ++i) {
    Symbol symbol = sample();
    SymbolPagesStyle changed;
    changes[i](symbol, changed);
    EXPECT_NE(symbol_digest(symbol, changed), base) << i;
  }
}

}  // namespace
}  // namespace prismet

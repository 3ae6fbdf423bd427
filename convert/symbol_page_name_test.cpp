#include "convert/symbol_page_name.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace prismet {
namespace {

// The groups as another implementation of the same hash (FNV-1a over the
// case-folded bytes, MurmurHash3's finishing mix, the top ten bits) makes
// them: a change here moves every link of every site made before.
TEST(SymbolPageName, AGroupIsTheNamesHashAloneWrittenInThreeSmallHexDigits) {
  struct Case {
    std::string_view name;
    std::string_view page;
  };
  const Case cases[] = {
      {"size", "2dd.html"}, {"Point", "382.html"}, {"_M_impl", "2e2.html"},  {"std", "27d.html"},
      {"_Tp", "044.html"},  {"x", "01a.html"},     {"\x95\x5C", "318.html"},  // Shift_JIS bytes, the second a
                                                                              // backslash in ASCII
  };
  for (const Case& c : cases) EXPECT_EQ(symbol_group_page(symbol_group(c.name), ".html"), c.page) << c.name;
  EXPECT_EQ(symbol_group_page(0, ".htm"), "000.htm");
  EXPECT_EQ(symbol_group_page(kSymbolGroups - 1, ""), "3ff");
}

TEST(SymbolPageName, NamesThatDifferOnlyInCaseShareAPageButNotAnAnchor) {
  const char* twins[] = {"point", "Point", "POINT", "pOINT"};
  std::set<std::string> anchors;
  for (const char* name : twins) {
    EXPECT_EQ(symbol_group(name), symbol_group("point")) << name;
    EXPECT_TRUE(anchors.insert(symbol_anchor(name)).second) << name;
  }
  // Group pages are small hexadecimal digits: no two differ only in case.
  for (std::uint32_t group = 0; group < kSymbolGroups; group += 37) {
    const std::string page = symbol_group_page(group, ".html");
    EXPECT_EQ(page.size(), 8u);
    EXPECT_TRUE(std::all_of(page.begin(), page.begin() + 3, [](char c) {
      return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
    })) << page;
  }
}

TEST(SymbolPageName, ManyNamesSpreadOverTheGroupsAndNoneLiesOutside) {
  std::vector<int> counts(kSymbolGroups);
  constexpr int kNames = 50000;
  for (int i = 0; i < kNames; ++i) {
    const std::uint32_t group = symbol_group("name" + std::to_string(i));
    ASSERT_LT(group, kSymbolGroups);
    ++counts[group];
  }
  // About 49 a group; a group of twice that would be a hash that clusters.
  EXPECT_LT(*std::max_element(counts.begin(), counts.end()), 2 * kNames / static_cast<int>(kSymbolGroups));
  EXPECT_GT(*std::min_element(counts.begin(), counts.end()), 0);
  // Names that differ only in their last byte do not crowd into one group.
  std::set<std::uint32_t> groups;
  for (int i = 10; i < 30; ++i) groups.insert(symbol_group("_" + std::to_string(i)));
  EXPECT_GE(groups.size(), 15u);
}

TEST(SymbolPageName, AnchorsKeepWhatAUrlKeepsAndWriteOtherBytesInHex) {
  struct Case {
    std::string_view name;
    std::string_view anchor;
  };
  const Case cases[] = {
      {"size", "size"},
      {"Point", "Point"},
      {"_M_impl2", "_M_impl2"},
      {"~Box", "~Box"},
      {"operator==", "operator.3D.3D"},
      {"$x", ".24x"},
      {"a-b", "a.2Db"},
      {"a.b", "a.2Eb"},
      {"a b", "a.20b"},
      {"\xC3\xA9t\xC3\xA9", ".C3.A9t.C3.A9"},
      {"\x95\x5C\x8E\xA6", ".95.5C.8E.A6"},
      {std::string_view("a\0b", 3), "a.00b"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(symbol_anchor(c.name), c.anchor) << c.name;
    EXPECT_EQ(symbol_uses_anchor(c.name), std::string(c.anchor) + ".uses") << c.name;
  }
}

TEST(SymbolPageName, NoTwoNamesShareAnIdOnAPage) {
  // Names made to look like other names' anchors, escapes and uses ids.
  const std::string long_a(300, 'a');
  std::string long_b = long_a;
  long_b.back() = 'b';
  const std::string names[] = {"x",   "X",    "x.uses", "x.2Euses", ".2E",  ".",     "..",        "a.2Eb",
                               "a.b", "uses", "Uses",   "a-b",      "a~b",  "a~",    "~a",        "x.75ses",
                               "_",   "__",   long_a,   long_b,     "\xFF", "\xFF.", long_a + "-"};
  std::set<std::string> ids;
  for (const std::string& name : names) {
    for (const std::string& id : {symbol_anchor(name), symbol_uses_anchor(name)}) {
      EXPECT_TRUE(ids.insert(id).second) << name << " -> " << id;
      EXPECT_FALSE(id.empty());
      for (const char c : id) {
        const bool kept = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                          c == '_' || c == '~' || c == '.' || c == '-';
        EXPECT_TRUE(kept) << name << " -> " << id;
      }
    }
  }
}

TEST(SymbolPageName, ALongNameIsCutAndKeptApartByAHash) {
  const std::string a(300, 'a');
  std::string b = a;
  b.back() = 'b';
  EXPECT_EQ(symbol_anchor(a), std::string(72, 'a') + "-ee7717eba7a17e21");
  EXPECT_NE(symbol_anchor(a), symbol_anchor(b));
  // 96 bytes of anchor stay as they are; one more is cut, escapes counted.
  EXPECT_EQ(symbol_anchor(std::string(96, 'x')), std::string(96, 'x'));
  EXPECT_EQ(symbol_anchor(std::string(97, 'x')).size(), 72u + 1 + 16);
  std::string escaped;
  for (int i = 0; i < 32; ++i) escaped += ".3D";
  EXPECT_EQ(symbol_anchor(std::string(32, '=')), escaped);
  EXPECT_EQ(symbol_anchor(std::string(33, '=')).size(), 72u + 1 + 16);
}

TEST(SymbolPageName, AHrefIsTheGroupsPageAndTheAnchor) {
  EXPECT_EQ(symbol_href("Point", ".html"), "382.html#Point");
  EXPECT_EQ(symbol_href("operator==", ".htm"),
            symbol_group_page(symbol_group("operator=="), ".htm") + "#operator.3D.3D");
  // What other names there are changes nothing: the function has only the name.
  const std::string before = symbol_href("size", ".html");
  for (int i = 0; i < 100; ++i) symbol_href("other" + std::to_string(i), ".html");
  EXPECT_EQ(symbol_href("size", ".html"), before);
  EXPECT_EQ(before, "2dd.html#size");
}

}  // namespace
}  // namespace prismet

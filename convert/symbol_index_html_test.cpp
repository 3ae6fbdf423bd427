// The symbol index and the pages of its initials: the order of names, the
// initial each belongs to, and the pages byte for byte.
#include "convert/symbol_index_html.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace prismet {
namespace {

std::string body_of(const std::string& page) {
  const std::size_t at = page.find("</head>\n<body>\n");
  return at == std::string::npos ? std::string() : page.substr(at + 15);
}

TEST(SymbolIndexHtml, NamesAreInFoldedByteOrderAndCaseBreaksTies) {
  std::vector<std::string> names = {
      "beta", "Zeta", "_x", "alpha", "Alpha", "ALPHA", "a", "\xC3\xA9t\xC3\xA9", "a_b", "ab", "9lives"};
  std::sort(names.begin(), names.end(), symbol_name_before);
  // '_' (0x5F) comes before every letter folded to small ('a' is 0x61).
  const std::vector<std::string> expected = {
      "9lives", "_x", "a", "a_b", "ab", "ALPHA", "Alpha", "alpha", "beta", "Zeta", "\xC3\xA9t\xC3\xA9"};
  EXPECT_EQ(names, expected);
  EXPECT_FALSE(symbol_name_before("same", "same"));
}

TEST(SymbolIndexHtml, EachNameHasAnInitialAndEachInitialAPage) {
  const struct {
    const char* name;
    const char* page;
  } cases[] = {
      {"alpha", "+index-a.html"}, {"Alpha", "+index-a.html"},        {"zed", "+index-z.html"},
      {"Z", "+index-z.html"},     {"_impl", "+index-_.html"},        {"$x", "+index-other.html"},
      {"9", "+index-other.html"}, {"\xC3\xA9", "+index-other.html"}, {"", "+index-other.html"},
  };
  for (const auto& c : cases) EXPECT_EQ(symbol_initial_page(symbol_initial(c.name)), c.page) << c.name;
}

TEST(SymbolIndexHtml, TheIndexLinksTheInitialsThatHaveNames) {
  std::array<std::size_t, kSymbolInitials> counts{};
  counts[0] = 2;    // A
  counts[25] = 1;   // Z
  counts[26] = 10;  // _
  counts[27] = 1;   // other
  SymbolPagesStyle style;
  style.root_name = "proj";
  EXPECT_EQ(
      body_of(render_symbol_index(counts, style)),
      "<h1 class=\"prismet-breadcrumbs\"><a href=\"../index.html\">proj</a> / Symbols</h1>\n"
      "<p><input type=\"search\" id=\"prismet-search\" placeholder=\"Find a file or a symbol by name\" "
      "aria-label=\"Find a file or a symbol by name\" autocomplete=\"off\" spellcheck=\"false\" hidden></p>\n"
      "<ol id=\"prismet-found\"></ol>\n"
      "<table class=\"prismet-initials\">\n"
      "<thead><tr><th>Initial</th><th>Names</th></tr></thead>\n<tbody>\n"
      "<tr><td><a href=\"+index-a.html\">A</a></td><td class=\"prismet-count\">2</td></tr>\n"
      "<tr><td><a href=\"+index-z.html\">Z</a></td><td class=\"prismet-count\">1</td></tr>\n"
      "<tr><td><a href=\"+index-_.html\">_</a></td><td class=\"prismet-count\">10</td></tr>\n"
      "<tr><td><a href=\"+index-other.html\">other</a></td><td class=\"prismet-count\">1</td></tr>\n"
      "</tbody>\n</table>\n"
      "<script src=\"../prismet-files.js\"></script>\n<script src=\"+names.js\"></script>\n"
      "</body>\n</html>\n");
  // A site without navigation has no names script of its files: no search
  // box either.
  style.navigation = false;
  style.root_name.clear();
  EXPECT_EQ(body_of(render_symbol_index(counts, style)),
            "<h1 class=\"prismet-breadcrumbs\"><a href=\"../index.html\">index</a> / Symbols</h1>\n"
            "<table class=\"prismet-initials\">\n"
            "<thead><tr><th>Initial</th><th>Names</th></tr></thead>\n<tbody>\n"
            "<tr><td><a href=\"+index-a.html\">A</a></td><td class=\"prismet-count\">2</td></tr>\n"
            "<tr><td><a href=\"+index-z.html\">Z</a></td><td class=\"prismet-count\">1</td></tr>\n"
            "<tr><td><a href=\"+index-_.html\">_</a></td><td class=\"prismet-count\">10</td></tr>\n"
            "<tr><td><a href=\"+index-other.html\">other</a></td><td class=\"prismet-count\">1</td></tr>\n"
            "</tbody>\n</table>\n</body>\n</html>\n");
}

TEST(SymbolIndexHtml, AnInitialsPageListsNamesDifferingOnlyInCaseEachWithItsOwnSection) {
  Symbol lower;
  lower.name = "value";
  lower.definitions.resize(2);
  lower.definitions[0].kind = SymbolKind::Variable;
  lower.definitions[1].kind = SymbolKind::Function;
  lower.uses.resize(3);
  Symbol upper;
  upper.name = "Value";
  upper.definitions.resize(1);
  upper.definitions[0].kind = SymbolKind::Class;
  upper.definitions[0].declaration_only = true;
  Symbol odd;
  odd.name = "v<w>";
  const Symbol* names[] = {&upper, &lower, &odd};
  SymbolPagesStyle style;
  style.extension = ".htm";
  const std::string page = render_symbol_initial(21, names, style);
  EXPECT_NE(page.find("<title>Symbols: V</title>"), std::string::npos);
  EXPECT_EQ(
      body_of(page),
      "<h1 class=\"prismet-breadcrumbs\"><a href=\"../index.html\">index</a> / "
      "<a href=\"+index.html\">Symbols</a> / V</h1>\n"
      "<table class=\"prismet-symbols\">\n"
      "<thead><tr><th>Name</th><th>Kind</th><th>Definitions</th><th>Uses</th></tr></thead>\n<tbody>\n"
      "<tr><td><a href=\"010.htm#Value\">Value</a></td><td>class</td><td class=\"prismet-count\">1</td>"
      "<td class=\"prismet-count\">0</td></tr>\n"
      "<tr><td><a href=\"010.htm#value\">value</a></td><td>function, variable</td>"
      "<td class=\"prismet-count\">2</td><td class=\"prismet-count\">3</td></tr>\n"
      "<tr><td><a href=\"395.htm#v.3Cw.3E\">v&lt;w&gt;</a></td><td></td><td class=\"prismet-count\">0</td>"
      "<td class=\"prismet-count\">0</td></tr>\n"
      "</tbody>\n</table>\n</body>\n</html>\n");
}

}  // namespace
}  // namespace prismet

// The page of a group of names, byte for byte as a reader's browser gets
// it: a section for each name with its definitions and their places and its
// uses grouped by page, each with its own ids, and its text kept in the
// pages' encoding and escaped.
#include "convert/symbol_page_html.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "tests/test_files.h"

namespace prismet {
namespace {

// The document's head and style, the same on every page of the folder.
std::string head(const std::string& title, const char* charset) {
  return std::string("<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"") + charset +
         "\">\n"
         "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
         "<meta name=\"generator\" content=\"prismet\">\n"
         "<meta name=\"prismet-symbols\" content=\"1\">\n"
         "<title>" +
         title + "</title>\n";
}

// The page's body: what follows the style sheet.
std::string body_of(const std::string& page) {
  const std::size_t at = page.find("</head>\n<body>\n");
  return at == std::string::npos ? std::string() : page.substr(at + 15);
}

SymbolDefinition definition(std::string page, std::uint32_t line, std::string text, SymbolKind kind,
                            std::string scope, bool declaration_only = false) {
  SymbolDefinition d;
  d.page = testing::kept_text(std::move(page));
  d.line = line;
  d.text = testing::kept_text(std::move(text));
  d.kind = kind;
  d.scope = testing::kept_text(std::move(scope));
  d.declaration_only = declaration_only;
  return d;
}

SymbolPlace use(std::string page, std::uint32_t line, std::string text) {
  SymbolPlace p;
  p.page = testing::kept_text(std::move(page));
  p.line = line;
  p.text = testing::kept_text(std::move(text));
  return p;
}

// The group's page of the names given.
std::string render(std::initializer_list<const Symbol*> names, const SymbolPagesStyle& style) {
  return render_symbol_group(std::vector<const Symbol*>(names), style);
}

TEST(SymbolPageHtml, EachNameASectionOfDefinitionsThenUsesGroupedByPage) {
  Symbol symbol;
  symbol.name = "size";
  symbol.definitions = {
      definition("src/a b.cpp.html", 12, "int size() const {", SymbolKind::Function, "ns::Box"),
      definition("x.h.html", 3, "int size(int);", SymbolKind::Function, "", true),
  };
  symbol.uses = {
      use("src/a b.cpp.html", 30, "if (size() < 2 && ok) return \"<\";"),
      use("src/a b.cpp.html", 31, "n = size();"),
      use("x.h.html", 9, "size(1);"),
  };
  Symbol twin;
  twin.name = "Size";
  twin.definitions = {definition("x.h.html", 1, "struct Size {};", SymbolKind::Struct, "")};
  twin.uses = {use("x.h.html", 2, "Size s;")};
  SymbolPagesStyle style;
  style.root_name = "proj";
  const std::string page = render({&twin, &symbol}, style);
  EXPECT_EQ(page.substr(0, head("Symbols: Size, size", "utf-8").size()),
            head("Symbols: Size, size", "utf-8"));
  EXPECT_EQ(
      body_of(page),
      "<nav class=\"prismet-nav prismet-breadcrumbs\"><a href=\"../index.html\">proj</a> / "
      "<a href=\"+index.html\">Symbols</a></nav>\n"
      "<section class=\"prismet-name\" id=\"Size\">\n<h2 class=\"prismet-symbol\">Size</h2>\n"
      "<h3>Definitions</h3>\n<table class=\"prismet-definitions\">\n"
      "<thead><tr><th>Kind</th><th>Scope</th><th>Place</th><th>Line</th></tr></thead>\n<tbody>\n"
      "<tr><td>struct</td><td></td><td><a href=\"../x.h.html#L1\">x.h:1</a></td>"
      "<td><code>struct Size {};</code></td></tr>\n"
      "</tbody>\n</table>\n"
      "<section class=\"prismet-name-uses\" id=\"Size.uses\">\n<h3>Uses</h3>\n<p>1 use in 1 file.</p>\n"
      "<h4><a href=\"../x.h.html\">x.h</a></h4>\n<table class=\"prismet-uses\">\n"
      "<tr><td><a href=\"../x.h.html#L2\">2</a></td><td><code>Size s;</code></td></tr>\n"
      "</table>\n</section>\n</section>\n"
      "<section class=\"prismet-name\" id=\"size\">\n<h2 class=\"prismet-symbol\">size</h2>\n"
      "<h3>Definitions</h3>\n<table class=\"prismet-definitions\">\n"
      "<thead><tr><th>Kind</th><th>Scope</th><th>Place</th><th>Line</th></tr></thead>\n<tbody>\n"
      "<tr><td>function</td><td>ns::Box</td><td><a href=\"../src/a%20b.cpp.html#L12\">src/a b.cpp:12</a>"
      "</td><td><code>int size() const {</code></td></tr>\n"
      "<tr><td>function declaration</td><td></td><td><a href=\"../x.h.html#L3\">x.h:3</a></td>"
      "<td><code>int size(int);</code></td></tr>\n"
      "</tbody>\n</table>\n"
      "<section class=\"prismet-name-uses\" id=\"size.uses\">\n<h3>Uses</h3>\n<p>3 uses in 2 files.</p>\n"
      "<h4><a href=\"../src/a%20b.cpp.html\">src/a b.cpp</a></h4>\n<table class=\"prismet-uses\">\n"
      "<tr><td><a href=\"../src/a%20b.cpp.html#L30\">30</a></td>"
      "<td><code>if (size() &lt; 2 &amp;&amp; ok) return &quot;&lt;&quot;;</code></td></tr>\n"
      "<tr><td><a href=\"../src/a%20b.cpp.html#L31\">31</a></td><td><code>n = size();</code></td></tr>\n"
      "</table>\n"
      "<h4><a href=\"../x.h.html\">x.h</a></h4>\n<table class=\"prismet-uses\">\n"
      "<tr><td><a href=\"../x.h.html#L9\">9</a></td><td><code>size(1);</code></td></tr>\n"
      "</table>\n</section>\n</section>\n</body>\n</html>\n");
}

TEST(SymbolPageHtml, ANameWithoutUsesSaysSoAndKeepsItsUsesElement) {
  Symbol symbol;
  symbol.name = "operator<";
  symbol.definitions = {definition("a.h.htm", 1, "struct Tag;", SymbolKind::Struct, "", true)};
  SymbolPagesStyle style;
  style.extension = ".htm";
  const std::string page = render({&symbol}, style);
  EXPECT_NE(page.find("<title>Symbols: operator&lt;</title>"), std::string::npos);
  EXPECT_EQ(body_of(page),
            "<nav class=\"prismet-nav prismet-breadcrumbs\"><a href=\"../index.html\">index</a> / "
            "<a href=\"+index.html\">Symbols</a></nav>\n"
            "<section class=\"prismet-name\" id=\"operator.3C\">\n"
            "<h2 class=\"prismet-symbol\">operator&lt;</h2>\n"
            "<h3>Definitions</h3>\n<table class=\"prismet-definitions\">\n"
            "<thead><tr><th>Kind</th><th>Scope</th><th>Place</th><th>Line</th></tr></thead>\n<tbody>\n"
            "<tr><td>struct declaration</td><td></td><td><a href=\"../a.h.htm#L1\">a.h:1</a></td>"
            "<td><code>struct Tag;</code></td></tr>\n"
            "</tbody>\n</table>\n"
            "<section class=\"prismet-name-uses\" id=\"operator.3C.uses\">\n<h3>Uses</h3>\n<p>No uses.</p>\n"
            "</section>\n</section>\n</body>\n</html>\n");
}

TEST(SymbolPageHtml, TheTitleNamesTheFirstThreeNames) {
  std::vector<Symbol> symbols(5);
  const char* names[] = {"a", "b", "c<", "d", "e"};
  std::vector<const Symbol*> pointers;
  for (std::size_t i = 0; i < symbols.size(); ++i) {
    symbols[i].name = names[i];
    pointers.push_back(&symbols[i]);
  }
  EXPECT_NE(render_symbol_group(pointers, SymbolPagesStyle())
                .find("<title>Symbols: a, b, c&lt; and 2 more</title>"),
            std::string::npos);
  pointers.resize(3);
  EXPECT_NE(render_symbol_group(pointers, SymbolPagesStyle()).find("<title>Symbols: a, b, c&lt;</title>"),
            std::string::npos);
}

TEST(SymbolPageHtml, EveryKindIsNamed) {
  const struct {
    SymbolKind kind;
    const char* text;
  } cases[] = {
      {SymbolKind::Namespace, "namespace"},
      {SymbolKind::Class, "class"},
      {SymbolKind::Struct, "struct"},
      {SymbolKind::Union, "union"},
      {SymbolKind::Enum, "enum"},
      {SymbolKind::Enumerator, "enumerator"},
      {SymbolKind::TypeAlias, "type alias"},
      {SymbolKind::Function, "function"},
      {SymbolKind::Macro, "macro"},
      {SymbolKind::Concept, "concept"},
      {SymbolKind::Variable, "variable"},
      {SymbolKind::Member, "member"},
  };
  for (const auto& c : cases) {
    Symbol symbol;
    symbol.name = "x";
    symbol.definitions = {definition("a.html", 1, "x", c.kind, "")};
    const std::string page = render({&symbol}, SymbolPagesStyle());
    EXPECT_NE(page.find(std::string("<tr><td>") + c.text + "</td><td></td>"), std::string::npos) << c.text;
  }
}

TEST(SymbolPageHtml, AShiftJisSiteKeepsItsBytesAndDeclaresItsCharset) {
  // "表示" in Shift_JIS: the second byte of 表 is 0x5C, a backslash in ASCII.
  const std::string hyouji = "\x95\x5C\x8E\xA6";
  Symbol symbol;
  symbol.name = "show";
  symbol.definitions = {
      definition(hyouji + "/a.cpp.html", 2, "void show(); // " + hyouji + " <", SymbolKind::Function, "")};
  symbol.uses = {use(hyouji + "/a.cpp.html", 5, "show(); // \"" + hyouji + "\"")};
  SymbolPagesStyle style;
  style.utf8 = false;
  Symbol local;
  local.name = hyouji;
  local.definitions = {
      definition(hyouji + "/a.cpp.html", 3, "int " + hyouji + ";", SymbolKind::Variable, "")};
  const std::string page = render({&symbol, &local}, style);
  EXPECT_EQ(page.substr(0, head("Symbols: show, " + hyouji, "Shift_JIS").size()),
            head("Symbols: show, " + hyouji, "Shift_JIS"));
  // The name as it is in its heading; its ids in hexadecimal.
  EXPECT_NE(page.find("<section class=\"prismet-name\" id=\".95.5C.8E.A6\">\n<h2 class=\"prismet-symbol\">" +
                      hyouji + "</h2>"),
            std::string::npos);
  EXPECT_NE(page.find("<section class=\"prismet-name-uses\" id=\".95.5C.8E.A6.uses\">"), std::string::npos);
  EXPECT_NE(page.find("<code>void show(); // " + hyouji + " &lt;</code>"), std::string::npos);
  EXPECT_NE(page.find("<code>show(); // &quot;" + hyouji + "&quot;</code>"), std::string::npos);
  // The file is shown in the pages' encoding as the indexes show it.
  EXPECT_NE(page.find("\">" + hyouji + "/a.cpp:2</a>"), std::string::npos);
  EXPECT_NE(page.find("\">" + hyouji + "/a.cpp</a></h4>"), std::string::npos);
  EXPECT_EQ(page.find("charset=\"utf-8\""), std::string::npos);
}

}  // namespace
}  // namespace prismet

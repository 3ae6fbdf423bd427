// The page of one name, byte for byte as a reader's browser gets it: its
// definitions with their places, its uses grouped by page, and its text
// kept in the pages' encoding and escaped.
#include "convert/symbol_page_html.h"

#include <gtest/gtest.h>

#include <string>

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
  d.page = std::move(page);
  d.line = line;
  d.text = std::move(text);
  d.kind = kind;
  d.scope = std::move(scope);
  d.declaration_only = declaration_only;
  return d;
}

SymbolPlace use(std::string page, std::uint32_t line, std::string text) {
  SymbolPlace p;
  p.page = std::move(page);
  p.line = line;
  p.text = std::move(text);
  return p;
}

TEST(SymbolPageHtml, DefinitionsThenUsesGroupedByPage) {
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
  SymbolPagesStyle style;
  style.root_name = "proj";
  const std::string page = render_symbol_page(symbol, style);
  EXPECT_EQ(page.substr(0, head("size", "utf-8").size()), head("size", "utf-8"));
  EXPECT_EQ(
      body_of(page),
      "<nav class=\"prismet-nav prismet-breadcrumbs\"><a href=\"../index.html\">proj</a> / "
      "<a href=\"+index.html\">Symbols</a></nav>\n"
      "<h1 class=\"prismet-symbol\">size</h1>\n"
      "<h2>Definitions</h2>\n<table class=\"prismet-definitions\">\n"
      "<thead><tr><th>Kind</th><th>Scope</th><th>Place</th><th>Line</th></tr></thead>\n<tbody>\n"
      "<tr><td>function</td><td>ns::Box</td><td><a href=\"../src/a%20b.cpp.html#L12\">src/a b.cpp:12</a>"
      "</td><td><code>int size() const {</code></td></tr>\n"
      "<tr><td>function declaration</td><td></td><td><a href=\"../x.h.html#L3\">x.h:3</a></td>"
      "<td><code>int size(int);</code></td></tr>\n"
      "</tbody>\n</table>\n"
      "<section id=\"uses\">\n<h2>Uses</h2>\n<p>3 uses in 2 files.</p>\n"
      "<h3><a href=\"../src/a%20b.cpp.html\">src/a b.cpp</a></h3>\n<table class=\"prismet-uses\">\n"
      "<tr><td><a href=\"../src/a%20b.cpp.html#L30\">30</a></td>"
      "<td><code>if (size() &lt; 2 &amp;&amp; ok) return &quot;&lt;&quot;;</code></td></tr>\n"
      "<tr><td><a href=\"../src/a%20b.cpp.html#L31\">31</a></td><td><code>n = size();</code></td></tr>\n"
      "</table>\n"
      "<h3><a href=\"../x.h.html\">x.h</a></h3>\n<table class=\"prismet-uses\">\n"
      "<tr><td><a href=\"../x.h.html#L9\">9</a></td><td><code>size(1);</code></td></tr>\n"
      "</table>\n</section>\n</body>\n</html>\n");
}

TEST(SymbolPageHtml, ANameWithoutUsesSaysSoAndKeepsTheUsesElement) {
  Symbol symbol;
  symbol.name = "operator<";
  symbol.definitions = {definition("a.h.htm", 1, "struct Tag;", SymbolKind::Struct, "", true)};
  SymbolPagesStyle style;
  style.extension = ".htm";
  const std::string page = render_symbol_page(symbol, style);
  EXPECT_NE(page.find("<title>operator&lt;</title>"), std::string::npos);
  EXPECT_EQ(body_of(page),
            "<nav class=\"prismet-nav prismet-breadcrumbs\"><a href=\"../index.html\">index</a> / "
            "<a href=\"+index.html\">Symbols</a></nav>\n"
            "<h1 class=\"prismet-symbol\">operator&lt;</h1>\n"
            "<h2>Definitions</h2>\n<table class=\"prismet-definitions\">\n"
            "<thead><tr><th>Kind</th><th>Scope</th><th>Place</th><th>Line</th></tr></thead>\n<tbody>\n"
            "<tr><td>struct declaration</td><td></td><td><a href=\"../a.h.htm#L1\">a.h:1</a></td>"
            "<td><code>struct Tag;</code></td></tr>\n"
            "</tbody>\n</table>\n"
            "<section id=\"uses\">\n<h2>Uses</h2>\n<p>No uses.</p>\n</section>\n</body>\n</html>\n");
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
    const std::string page = render_symbol_page(symbol, SymbolPagesStyle());
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
  const std::string page = render_symbol_page(symbol, style);
  EXPECT_EQ(page.substr(0, head("show", "Shift_JIS").size()), head("show", "Shift_JIS"));
  EXPECT_NE(page.find("<code>void show(); // " + hyouji + " &lt;</code>"), std::string::npos);
  EXPECT_NE(page.find("<code>show(); // &quot;" + hyouji + "&quot;</code>"), std::string::npos);
  // The file is shown in the pages' encoding as the indexes show it.
  EXPECT_NE(page.find("\">" + hyouji + "/a.cpp:2</a>"), std::string::npos);
  EXPECT_NE(page.find("\">" + hyouji + "/a.cpp</a></h3>"), std::string::npos);
  EXPECT_EQ(page.find("charset=\"utf-8\""), std::string::npos);
}

}  // namespace
}  // namespace prismet

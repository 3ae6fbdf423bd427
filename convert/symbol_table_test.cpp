// The site's symbol table: where a use of each name leads (one definition,
// several, declarations only, its own lines, member access), the symbols it
// gives the symbol pages, its digest, and the links and uses of a page.
#include "convert/symbol_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "convert/page_references.h"
#include "convert/symbol_uses.h"

namespace prismet {
namespace {

Definition defined(const char* name, std::uint32_t line, bool declaration = false,
                   SymbolKind kind = SymbolKind::Function) {
  Definition definition;
  definition.name = name;
  definition.line = line;
  definition.declaration_only = declaration;
  definition.kind = kind;
  definition.text = std::string("text of ") + name;
  return definition;
}

// a.h: one function declared, a struct, an overload pair with b.cpp.
// src/b.cpp: the function defined, an overload, a name declared twice.
// src/deep/c.cpp: nothing. z.h: a name defined twice in one file.
SymbolTable sample_table() {
  SymbolTable table;
  table.add_page("a.h.html", {defined("area", 5, true), defined("Point", 2, false, SymbolKind::Struct),
                              defined("size", 7)});
  table.add_page("src/b.cpp.html", {defined("area", 2), defined("size", 9), defined("proto", 11, true),
                                    defined("proto", 12, true)});
  table.add_page("src/deep/c.cpp.html", {});
  table.add_page("z z.h.html", {defined("twin", 1), defined("twin", 3)});
  table.finish(".html");
  return table;
}

// A table of views of definitions kept elsewhere (a site's record) is the
// table of the same definitions given whole: names, links, signatures and
// digest alike, and its symbols show the viewed bytes themselves.
TEST(SymbolTable, ViewedDefinitionsMakeTheSameTable) {
  const std::vector<std::pair<const char*, std::vector<Definition>>> pages = {
      {"a.h.html",
       {defined("area", 5, true), defined("Point", 2, false, SymbolKind::Struct), defined("size", 7)}},
      {"src/b.cpp.html", {defined("area", 2), defined("size", 9), defined("proto", 11, true)}},
      {"z z.h.html", {defined("twin", 1), defined("twin", 3)}},
  };
  SymbolTable given;
  SymbolTable viewed;
  std::vector<std::vector<DefinitionView>> views;
  for (const auto& [path, definitions] : pages) {
    given.add_page(path, definitions);
    std::vector<DefinitionView>& page = views.emplace_back();
    for (const Definition& definition : definitions) page.push_back(view_of(definition));
    viewed.add_viewed_page(path, page);
  }
  given.finish(".html");
  viewed.finish(".html");
  EXPECT_EQ(viewed.digest(), given.digest());
  EXPECT_EQ(viewed.link_signatures(), given.link_signatures());
  ASSERT_EQ(viewed.name_count(), given.name_count());
  for (std::uint32_t i = 0; i < viewed.name_count(); ++i) {
    EXPECT_EQ(viewed.name(i), given.name(i));
    EXPECT_EQ(viewed.symbol_url(i), given.symbol_url(i));
    for (const std::uint32_t page : {0u, 1u, SymbolTable::kNone}) {
      const SymbolTable::Link a = viewed.link(i, page, 2, false);
      const SymbolTable::Link b = given.link(i, page, 2, false);
      EXPECT_EQ(std::tie(a.kind, a.page, a.line), std::tie(b.kind, b.page, b.line)) << given.name(i);
    }
  }
  const std::vector<Symbol> symbols = viewed.symbols();
  const auto twin =
      std::find_if(symbols.begin(), symbols.end(), [](const Symbol& s) { return s.name == "twin"; });
  ASSERT_NE(twin, symbols.end());
  ASSERT_EQ(twin->definitions.size(), 2u);
  EXPECT_EQ(twin->definitions[1].text.data(), pages[2].second[1].text.data());
}

TEST(SymbolTable, UsesLeadToTheOneDefinitionTheSymbolPageOrTheUsesList) {
  const SymbolTable table = sample_table();
  const std::uint32_t a_h = table.page_of("a.h.html");
  const std::uint32_t b_cpp = table.page_of("src/b.cpp.html");
  using Kind = SymbolTable::LinkKind;
  const struct {
    const char* name;
    std::uint32_t page;
    std::uint64_t line;
    bool member;
    Kind kind;
    const char* target_page;  // kDefinition
    std::uint32_t target_line;
  } cases[] = {
      // The one definition wins over the declaration, from any page.
      {"area", SymbolTable::kNone, 40, false, Kind::kDefinition, "src/b.cpp.html", 2},
      {"area", b_cpp, 3, false, Kind::kDefinition, "src/b.cpp.html", 2},
      {"area", b_cpp, 3, true, Kind::kDefinition, "src/b.cpp.html", 2},
      // Its own lines, the declaration's too, lead to its uses.
      {"area", b_cpp, 2, false, Kind::kUses, nullptr, 0},
      {"area", a_h, 5, false, Kind::kUses, nullptr, 0},
      {"area", a_h, 5, true, Kind::kUses, nullptr, 0},
      {"area", a_h, 2, false, Kind::kDefinition, "src/b.cpp.html", 2},
      // Several definitions: the symbol page, but not after member access.
      {"size", SymbolTable::kNone, 1, false, Kind::kSymbolPage, nullptr, 0},
      {"size", a_h, 8, false, Kind::kSymbolPage, nullptr, 0},
      {"size", a_h, 8, true, Kind::kNone, nullptr, 0},
      {"size", b_cpp, 9, true, Kind::kUses, nullptr, 0},
      {"twin", SymbolTable::kNone, 2, false, Kind::kSymbolPage, nullptr, 0},
      // Declarations only: they are what a use leads to.
      {"proto", SymbolTable::kNone, 1, false, Kind::kSymbolPage, nullptr, 0},
      {"proto", SymbolTable::kNone, 1, true, Kind::kNone, nullptr, 0},
      {"proto", b_cpp, 12, false, Kind::kUses, nullptr, 0},
      {"Point", SymbolTable::kNone, 9, true, Kind::kDefinition, "a.h.html", 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " at " + std::to_string(c.page) + ":" + std::to_string(c.line));
    const std::uint32_t name = table.find(c.name);
    ASSERT_NE(name, SymbolTable::kNone);
    const SymbolTable::Link link = table.link(name, c.page, c.line, c.member);
    EXPECT_EQ(link.kind, c.kind);
    if (c.kind == Kind::kDefinition) {
      EXPECT_EQ(table.page_path(link.page), c.target_page);
      EXPECT_EQ(link.line, c.target_line);
    }
  }
}

TEST(SymbolTable, OnlyDefinedNamesAndPagesThatDefineAreFound) {
  const SymbolTable table = sample_table();
  for (const char* unknown : {"", "are", "areas", "AREA", "point", "c"})
    EXPECT_EQ(table.find(unknown), SymbolTable::kNone) << unknown;
  EXPECT_EQ(table.page_of("src/deep/c.cpp.html"), SymbolTable::kNone);
  EXPECT_EQ(table.page_of("b.cpp.html"), SymbolTable::kNone);
  EXPECT_NE(table.page_of("z z.h.html"), SymbolTable::kNone);
  EXPECT_EQ(table.page_url(table.page_of("z z.h.html")), "z%20z.h.html");
  EXPECT_EQ(table.symbol_url(table.find("Point")), "prismet-symbols/382.html#Point");
  EXPECT_EQ(table.symbol_url(table.find("size")), "prismet-symbols/2dd.html#size");
}

// Names come in the order of their bytes as unsigned, however long the
// part they share.
TEST(SymbolTable, NamesAreInTheOrderOfTheirBytes) {
  SymbolTable table;
  table.add_page("a.h.html", {defined("zeta", 1), defined("alpha_long_name_b", 2), defined("alpha_lo", 3),
                              defined("\xC3\xA9t\xC3\xA9", 4), defined("alpha_long_name_a", 5)});
  table.add_page("b.h.html", {defined("Zeta", 1), defined("alpha", 2), defined("_x", 3),
                              defined("alpha_long_name_a", 4), defined("alpha_long_name", 5)});
  table.finish(".html");
  const std::vector<std::string> expected{"Zeta",
                                          "_x",
                                          "alpha",
                                          "alpha_lo",
                                          "alpha_long_name",
                                          "alpha_long_name_a",
                                          "alpha_long_name_b",
                                          "zeta",
                                          "\xC3\xA9t\xC3\xA9"};
  std::vector<std::string> names;
  for (std::uint32_t i = 0; i < table.name_count(); ++i) names.emplace_back(table.name(i));
  EXPECT_EQ(names, expected);
  for (std::uint32_t i = 0; i < table.name_count(); ++i) EXPECT_EQ(table.find(expected[i]), i);
  // alpha_long_name_a's two definitions: a use leads to its symbol page.
  EXPECT_EQ(table.link(table.find("alpha_long_name_a"), SymbolTable::kNone, 9, false).kind,
            SymbolTable::LinkKind::kSymbolPage);
}

TEST(SymbolTable, AClassNameLeadsToTheClassNotItsConstructors) {
  SymbolTable table;
  Definition constructor = defined("Box", 4);
  constructor.scope = "geo::Box";
  Definition destructor = defined("~Box", 5);
  destructor.scope = "geo::Box";
  Definition outside = defined("Box", 9);
  outside.scope = "Box";
  Definition named_as_its_namespace = defined("geo", 12);
  named_as_its_namespace.scope = "std";
  table.add_page("box.h.html",
                 {defined("Box", 3, false, SymbolKind::Class), constructor, destructor, outside});
  table.add_page("geo.h.html", {named_as_its_namespace});
  // A constructor whose class this site does not define: the constructors
  // are all there is.
  Definition lone = defined("Lone", 2);
  lone.scope = "Lone";
  table.add_page("lone.h.html", {lone});
  table.finish(".html");
  using Kind = SymbolTable::LinkKind;
  const std::uint32_t box_h = table.page_of("box.h.html");
  const struct {
    const char* name;
    std::uint32_t page;
    std::uint64_t line;
    Kind kind;
    const char* target_page;
    std::uint32_t target_line;
  } cases[] = {
      {"Box", SymbolTable::kNone, 1, Kind::kDefinition, "box.h.html", 3},
      {"Box", box_h, 9, Kind::kUses, nullptr, 0},  // a constructor's own line
      {"geo", SymbolTable::kNone, 1, Kind::kDefinition, "geo.h.html", 12},
      {"Lone", SymbolTable::kNone, 1, Kind::kDefinition, "lone.h.html", 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.name) + ":" + std::to_string(c.line));
    const SymbolTable::Link link = table.link(table.find(c.name), c.page, c.line, false);
    EXPECT_EQ(link.kind, c.kind);
    if (c.kind == Kind::kDefinition) {
      EXPECT_EQ(table.page_path(link.page), c.target_page);
      EXPECT_EQ(link.line, c.target_line);
    }
  }
}

TEST(SymbolTable, SymbolsComeByNameWithTheirDefinitionsByPageAndLine) {
  const SymbolTable table = sample_table();  // the symbols are views of its strings
  const std::vector<Symbol> symbols = table.symbols();
  std::vector<std::string> names;
  for (const Symbol& symbol : symbols) names.emplace_back(symbol.name);
  EXPECT_EQ(names, (std::vector<std::string>{"Point", "area", "proto", "size", "twin"}));
  const Symbol& area = symbols[1];
  ASSERT_EQ(area.definitions.size(), 2u);
  EXPECT_EQ(area.definitions[0].page, "a.h.html");
  EXPECT_EQ(area.definitions[0].line, 5u);
  EXPECT_TRUE(area.definitions[0].declaration_only);
  EXPECT_EQ(area.definitions[0].text, "text of area");
  EXPECT_EQ(area.definitions[1].page, "src/b.cpp.html");
  EXPECT_FALSE(area.definitions[1].declaration_only);
  EXPECT_EQ(symbols[0].definitions[0].kind, SymbolKind::Struct);
  EXPECT_TRUE(area.uses.empty());
}

TEST(SymbolTable, TheDigestChangesWithEveryNamePageLineAndDeclaration) {
  const auto digest = [](std::vector<Definition> definitions, std::string page = "a.h.html") {
    SymbolTable table;
    table.add_page(page, std::move(definitions));
    table.finish(".html");
    return table.digest();
  };
  const std::uint64_t base = digest({defined("f", 3), defined("g", 4)});
  EXPECT_EQ(digest({defined("f", 3), defined("g", 4)}), base);
  EXPECT_NE(digest({defined("f", 3), defined("g", 5)}), base);
  EXPECT_NE(digest({defined("f", 3), defined("h", 4)}), base);
  EXPECT_NE(digest({defined("f", 3), defined("g", 4, true)}), base);
  EXPECT_NE(digest({defined("f", 3)}), base);
  EXPECT_NE(digest({defined("f", 3), defined("g", 4)}, "b.h.html"), base);
  EXPECT_NE(digest({defined("fg", 3), defined("", 4)}), digest({defined("f", 3), defined("g", 4)}));
}

TEST(PageReferences, LinksAreRelativeToThePageAndRecordTheUses) {
  const SymbolTable table = sample_table();
  PageUses uses;
  PageReferences page(table, "src/b.cpp.html", true, nullptr, &uses);
  EXPECT_TRUE(page.links_identifiers());
  const struct {
    const char* name;
    std::uint64_t line;
    bool member;
    const char* target;
  } cases[] = {
      {"area", 2, false, "../prismet-symbols/17f.html#area.uses"},
      {"area", 20, false, "#L2"},
      {"Point", 20, false, "../a.h.html#L2"},
      {"Point", 20, true, "../a.h.html#L2"},
      {"size", 21, false, "../prismet-symbols/2dd.html#size"},
      {"size", 21, true, ""},
      {"twin", 22, false, "../prismet-symbols/3cf.html#twin"},
      {"nothing", 22, false, ""},
      {"area", 22, false, "#L2"},
      {"area", 22, false, "#L2"},  // again on its line: one use
  };
  for (const auto& c : cases) {
    const std::string text = "  line " + std::to_string(c.line) + "\t\r\n";
    EXPECT_EQ(page.identifier_target({c.name, text, c.line, c.member}), c.target) << c.name << c.line;
  }
  EXPECT_EQ(page.include_target("a.h", false), "");
  // Recorded: every link but the definition's own; the texts once a line.
  EXPECT_EQ(uses.texts, (std::vector<std::string>{"line 20", "line 21", "line 22"}));
  // As the record gives them back: views of the page's texts.
  const auto recorded = [](const PageUses& page) {
    std::vector<RecordedUse> out;
    for (const PageUses::Use& use : page.uses) out.push_back({use.name, use.line, page.texts.at(use.text)});
    return out;
  };
  SymbolUses all(table);
  all.add_page("src/b.cpp.html", recorded(uses));
  PageUses other;
  PageReferences deep(table, "src/deep/c.cpp.html", true, nullptr, &other);
  EXPECT_EQ(deep.identifier_target({"size", "size();", 1, false}), "../../prismet-symbols/2dd.html#size");
  EXPECT_EQ(deep.identifier_target({"area", "area(size());", 2, false}), "../../src/b.cpp.html#L2");
  all.add_page("src/deep/c.cpp.html", recorded(other));
  const std::vector<Symbol> symbols = all.take_symbols();
  const auto uses_of = [&](const char* name) {
    std::vector<std::string> places;
    for (const Symbol& symbol : symbols) {
      if (symbol.name != name) continue;
      for (const SymbolPlace& place : symbol.uses)
        places.push_back(std::string(place.page) + ":" + std::to_string(place.line) + ":" +
                         std::string(place.text));
    }
    return places;
  };
  EXPECT_EQ(uses_of("area"),
            (std::vector<std::string>{"src/b.cpp.html:20:line 20", "src/b.cpp.html:22:line 22",
                                      "src/deep/c.cpp.html:2:area(size());"}));
  EXPECT_EQ(uses_of("Point"), (std::vector<std::string>{"src/b.cpp.html:20:line 20"}));
  EXPECT_EQ(uses_of("size"),
            (std::vector<std::string>{"src/b.cpp.html:21:line 21", "src/deep/c.cpp.html:1:size();"}));
  EXPECT_EQ(uses_of("twin"), (std::vector<std::string>{"src/b.cpp.html:22:line 22"}));
  EXPECT_TRUE(uses_of("proto").empty());
}

TEST(PageReferences, ALineTextIsTrimmedToWholeCharactersOf240Bytes) {
  const std::string long_ascii = std::string(300, 'a');
  // "あ" is three bytes in UTF-8; 81 of them pass 240 bytes at the 81st.
  std::string long_utf8;
  for (int i = 0; i < 81; ++i) long_utf8 += "\xE3\x81\x82";
  // "表" is 0x95 0x5C in Shift_JIS: a lead byte at byte 239 goes whole or not at all.
  const std::string long_sjis = std::string(239, 'b') + "\x95\x5C" + "c";
  const struct {
    std::string line;
    bool utf8;
    std::string text;
  } cases[] = {
      {"  int x;  \r\n", true, "int x;"},
      {"\t\v\f", true, ""},
      {"", true, ""},
      {long_ascii, true, std::string(240, 'a')},
      {"  " + long_ascii, true, std::string(240, 'a')},
      {long_utf8, true, long_utf8.substr(0, 240)},
      {"x" + long_utf8, true, "x" + long_utf8.substr(0, 237)},
      {long_sjis, false, std::string(239, 'b')},
      {"x" + long_sjis, false, "x" + std::string(239, 'b')},
      {std::string(238, 'b') + "\x95\x5C", false, std::string(238, 'b') + "\x95\x5C"},
      {std::string(239, 'b') + " \x95\x5C", false, std::string(239, 'b')},
  };
  for (const auto& c : cases) EXPECT_EQ(trimmed_line_text(c.line, c.utf8), c.text) << c.line.size();
}

}  // namespace
}  // namespace prismet

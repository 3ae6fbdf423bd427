// A tree converted with cross-references: the symbols the run hands to the
// symbol pages (each name's definitions and the uses its pages link, in
// the site's order), several folders in one output folder, a file named
// into it, and no output folder at all.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/bounded_copy.h"
#include "common/file_system.h"
#include "common/fixed_text.h"
#include "common/folder_listing.h"
#include "common/path_text.h"
#include "convert/tree_conversion.h"
#include "engine/vocabulary_file.h"
#include "settings/settings_file.h"
#include "tests/test_files.h"

namespace prismet {
namespace {

using testing::read_file;
using testing::scratch_path;
using testing::write_file;

class TreeCrossReferencesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = scratch_path("tree-xref");
    remove_tree(root_);
    for (const char* folder : {"", "/lib", "/lib/deep", "/app"}) {
      int error = 0;
      ASSERT_TRUE(make_folders(root_ + folder, error));
    }
    write_file(in("lib/shape.h"), "struct Shape {\n};\nint area(Shape s);\n#define SIDES 4\n");
    write_file(
        in("lib/deep/area.cpp"),
        "int area(Shape s) {\n  return SIDES * SIDES;\n}\nint helper() {\n  return area(Shape{});\n}\n");
    write_file(in("app/main.cpp"), "int main() {\n  Shape s; return area(s) + helper() +\n    area(s);\n}\n");
    set_default_settings(settings_, "", "");
    settings_.cross_references = true;
    copy_string_bounded(settings_.extension, ".html");
    set_builtin_vocabulary(vocabulary_);
  }
  void TearDown() override {
    free_vocabulary(vocabulary_);
    remove_tree(root_);
  }

  std::string in(const std::string& relative) const { return root_ + "/" + relative; }

  static void remove_tree(const std::string& path) {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }

  int convert(const std::vector<std::string>& paths, std::vector<Symbol>& symbols) {
    TreeOptions options;
    options.symbols = &symbols;
    return convert_trees(paths, settings_, vocabulary_, nullptr, options);
  }

  // "page:line:text" of each use, or of each definition.
  static std::vector<std::string> places(const std::vector<SymbolPlace>& list) {
    std::vector<std::string> shown;
    for (const SymbolPlace& place : list)
      shown.push_back(place.page + ":" + std::to_string(place.line) + ":" + place.text);
    return shown;
  }
  static const Symbol* named(const std::vector<Symbol>& symbols, const char* name) {
    for (const Symbol& symbol : symbols) {
      if (symbol.name == name) return &symbol;
    }
    return nullptr;
  }

  std::string root_;
  Settings settings_;
  Vocabulary vocabulary_;
};

TEST_F(TreeCrossReferencesTest, TheSymbolsHoldEveryDefinitionAndTheUsesInTheSitesOrder) {
  copy_string_bounded(settings_.output_folder, in("site").c_str());
  std::vector<Symbol> symbols;
  ASSERT_EQ(convert({in("lib"), in("app")}, symbols), 0);
  std::vector<std::string> names;
  for (const Symbol& symbol : symbols) names.push_back(symbol.name);
  EXPECT_EQ(names, (std::vector<std::string>{"SIDES", "Shape", "area", "helper", "main"}));
  const Symbol* area = named(symbols, "area");
  ASSERT_NE(area, nullptr);
  ASSERT_EQ(area->definitions.size(), 2u);
  EXPECT_EQ(area->definitions[0].page, "lib/shape.h.html");
  EXPECT_EQ(area->definitions[0].line, 3u);
  EXPECT_TRUE(area->definitions[0].declaration_only);
  EXPECT_EQ(area->definitions[0].text, "int area(Shape s);");
  EXPECT_EQ(area->definitions[1].page, "lib/deep/area.cpp.html");
  EXPECT_FALSE(area->definitions[1].declaration_only);
  // Pages in the site's order: a folder's files before its sub-folders.
  const struct {
    const char* name;
    std::vector<std::string> uses;
  } cases[] = {
      {"area",
       {"lib/deep/area.cpp.html:5:return area(Shape{});",
        "app/main.cpp.html:2:Shape s; return area(s) + helper() +", "app/main.cpp.html:3:area(s);"}},
      {"Shape",
       {"lib/shape.h.html:3:int area(Shape s);", "lib/deep/area.cpp.html:1:int area(Shape s) {",
        "lib/deep/area.cpp.html:5:return area(Shape{});",
        "app/main.cpp.html:2:Shape s; return area(s) + helper() +"}},
      {"SIDES", {"lib/deep/area.cpp.html:2:return SIDES * SIDES;"}},
      {"helper", {"app/main.cpp.html:2:Shape s; return area(s) + helper() +"}},
      {"main", {}},
  };
  for (const auto& c : cases) {
    const Symbol* symbol = named(symbols, c.name);
    ASSERT_NE(symbol, nullptr) << c.name;
    EXPECT_EQ(places(symbol->uses), c.uses) << c.name;
  }
  // Both folders' pages lie in their own folder of the site.
  EXPECT_NE(read_file(in("site/app/main.cpp.html")).find("<a href=\"../lib/deep/area.cpp.html#L1\">area</a>"),
            std::string::npos);
}

TEST_F(TreeCrossReferencesTest, AFileNamedIntoTheOutputFolderLinksButIsNoTarget) {
  copy_string_bounded(settings_.output_folder, in("site").c_str());
  write_file(in("named.cpp"), "int named() {\n  return helper();\n}\n");
  std::vector<Symbol> symbols;
  ASSERT_EQ(convert({in("lib"), in("named.cpp")}, symbols), 0);
  EXPECT_NE(read_file(in("site/named.html")).find("<a href=\"deep/area.cpp.html#L4\">helper</a>"),
            std::string::npos);
  EXPECT_EQ(named(symbols, "named"), nullptr);
}

// A page whose path is too long is not written, so nothing links to it.
TEST_F(TreeCrossReferencesTest, ASourceWhosePageCannotBeWrittenDefinesNothing) {
  const std::string far = std::string(60, 'f');
  const std::string short_folder = join_path(root_, "short");
  int error = 0;
  ASSERT_TRUE(make_folders(join_path(short_folder, far), error)) << error;
  write_file(in("short/shape.h"), "int area();\nint far();\n");
  write_file(in("short/" + far + "/area.cpp"), "int area() {\n  return 1;\n}\n");
  // An output folder so long that the pages below the long folder's name
  // pass the limit of a path, and the page beside it stays well within.
  std::string output = join_path(root_, "out");
  while (output.size() + 1 + 100 < kPathCapacity - 40) output = join_path(output, std::string(100, 'o'));
  output = join_path(output, std::string(kPathCapacity - 40 - output.size() - 1, 'p'));
  ASSERT_TRUE(make_folders(output, error)) << error;
  copy_string_bounded(settings_.output_folder, output.c_str());
  std::vector<Symbol> symbols;
  EXPECT_GE(convert({short_folder}, symbols), 1);
  const Symbol* area = named(symbols, "area");
  ASSERT_NE(area, nullptr);
  ASSERT_EQ(area->definitions.size(), 1u);  // the declaration alone
  EXPECT_EQ(area->definitions[0].page, "shape.h.html");
  EXPECT_EQ(read_file(join_path(output, "shape.h.html")).find(far), std::string::npos);
}

TEST_F(TreeCrossReferencesTest, WithoutAnOutputFolderTheKeyIsIgnored) {
  std::vector<Symbol> symbols;
  ASSERT_EQ(convert({in("lib")}, symbols), 0);
  EXPECT_TRUE(symbols.empty());
  const std::string page = read_file(in("lib/deep/area.cpp.html"));
  EXPECT_EQ(page.find("prismet-symbols"), std::string::npos) << page;
  EXPECT_EQ(page.find("#L"), std::string::npos) << page;
}

}  // namespace
}  // namespace prismet

// A tree converted with cross-references: the symbols the run hands to the
// symbol pages (each name's definitions and the uses its pages link, in
// the site's order), several folders in one output folder, a file named
// into it, and no output folder at all.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "common/bounded_copy.h"
#include "common/file_system.h"
#include "common/fixed_text.h"
#include "common/folder_listing.h"
#include "common/path_text.h"
#include "convert/progress.h"
#include "convert/site_records.h"
#include "convert/symbol_page_name.h"
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

  // The run's symbols into `symbols`, their bytes kept by the fixture.
  int convert(const std::vector<std::string>& paths, std::vector<Symbol>& symbols,
              FileProgress* progress = nullptr) {
    TreeOptions options;
    options.symbols = &kept_;
    const int failed = convert_trees(paths, settings_, vocabulary_, progress, options);
    symbols = std::exchange(kept_.symbols, {});
    return failed;
  }

  // A run of the trees `lib` and `app` into `output`, with its symbol pages;
  // the failures it told.
  int convert_site(const std::string& output, std::vector<Symbol>* symbols = nullptr) {
    copy_string_bounded(settings_.output_folder, output.c_str());
    Progress progress;
    TreeOptions options;
    if (symbols != nullptr)
      options.symbols = &kept_;  // asked for: every name's uses gathered, the symbol pages all made
    const int failed = convert_trees({in("lib"), in("app")}, settings_, vocabulary_, &progress, options);
    EXPECT_EQ(progress.failed, failed);
    if (symbols != nullptr) *symbols = std::exchange(kept_.symbols, {});
    return failed;
  }

  // Every file below `folder` by its path within it, with its bytes; the
  // files that hold stamps (the symbol pages' records and the site's
  // record) left out.
  static std::map<std::string, std::string> files_of(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
      if (!entry.is_regular_file()) continue;
      const std::string name = entry.path().filename().string();
      if (name == "+records.txt" || name == kSiteRecordsName) continue;
      files[std::filesystem::relative(entry.path(), folder).generic_string()] =
          read_file(entry.path().string());
    }
    return files;
  }

  // Each page's stamp, by its path within `folder`: a page written again
  // has another.
  static std::map<std::string, FileStamp> stamps_of(const std::string& folder) {
    std::map<std::string, FileStamp> stamps;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
      if (!entry.is_regular_file()) continue;
      FileStamp stamp;
      EXPECT_TRUE(file_stamp(entry.path().string().c_str(), stamp));
      stamps[std::filesystem::relative(entry.path(), folder).generic_string()] = stamp;
    }
    return stamps;
  }
  // The pages of `after` whose stamps differ from `before`'s, and those new
  // (the folders' indexes, which record the pages' sizes, left out).
  static std::vector<std::string> rewritten(const std::map<std::string, FileStamp>& before,
                                            const std::map<std::string, FileStamp>& after,
                                            const char* below = "") {
    std::vector<std::string> changed;
    for (const auto& [path, stamp] : after) {
      if (path.rfind(below, 0) != 0 || path == "index.html" || path.ends_with("/index.html")) continue;
      const auto old = before.find(path);
      if (old == before.end() || !(old->second == stamp)) changed.push_back(path);
    }
    return changed;
  }

  // The site of `output` as a run from nothing makes it, page for page.
  void expect_as_made_anew(const std::string& output) {
    const std::string fresh = in("fresh");
    remove_tree(fresh);
    ASSERT_EQ(convert_site(fresh), 0);
    EXPECT_EQ(files_of(output), files_of(fresh));
    remove_tree(fresh);
  }

  struct Progress : FileProgress {
    void file_started(int, int, const char*) override {}
    void file_failed(int, const char* path, const FileFailure&) override {
      ++failed;
      ADD_FAILURE() << path;
    }
    int failed = 0;
  };

  // "page:line:text" of each use, or of each definition.
  static std::vector<std::string> places(const std::vector<SymbolPlace>& list) {
    std::vector<std::string> shown;
    for (const SymbolPlace& place : list)
      shown.push_back(std::string(place.page) + ":" + std::to_string(place.line) + ":" +
                      std::string(place.text));
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
  SiteSymbols kept_;
};

TEST_F(TreeCrossReferencesTest, TheSymbolsHoldEveryDefinitionAndTheUsesInTheSitesOrder) {
  copy_string_bounded(settings_.output_folder, in("site").c_str());
  std::vector<Symbol> symbols;
  ASSERT_EQ(convert({in("lib"), in("app")}, symbols), 0);
  std::vector<std::string> names;
  for (const Symbol& symbol : symbols) names.emplace_back(symbol.name);
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

TEST_F(TreeCrossReferencesTest, AnUnchangedTreeRewritesNothing) {
  const std::string site = in("site");
  ASSERT_EQ(convert_site(site), 0);
  const auto before = stamps_of(site);
  ASSERT_GT(before.count("prismet-symbols/" + std::string(kSiteRecordsName)), 0u);
  ASSERT_EQ(convert_site(site), 0);
  EXPECT_EQ(rewritten(before, stamps_of(site)), std::vector<std::string>{});
}

// An edit that moves no definition remakes its page alone; one that moves
// definitions remakes the pages that link to them (or look them up), and
// no other; the symbol pages follow the uses.
TEST_F(TreeCrossReferencesTest, AnEditRemakesItsPageAndThePagesWhoseLinksChange) {
  write_file(in("app/other.cpp"), "int other() {\n  return SIDES;\n}\n");
  const std::string site = in("site");
  ASSERT_EQ(convert_site(site), 0);
  auto before = stamps_of(site);
  // A line at the end: no definition moves.
  write_file(in("lib/deep/area.cpp"), read_file(in("lib/deep/area.cpp")) + "// the end\n");
  ASSERT_EQ(convert_site(site), 0);
  auto after = stamps_of(site);
  EXPECT_EQ(rewritten(before, after, "lib"), std::vector<std::string>{"lib/deep/area.cpp.html"});
  EXPECT_EQ(rewritten(before, after, "app"), std::vector<std::string>{});
  EXPECT_EQ(rewritten(before, after, "prismet-symbols/+"),
            std::vector<std::string>{"prismet-symbols/" + std::string(kSiteRecordsName)});
  expect_as_made_anew(site);

  // A line at the top: area's and helper's definitions move a line down.
  before = after;
  write_file(in("lib/deep/area.cpp"), "// moved\n" + read_file(in("lib/deep/area.cpp")));
  std::vector<Symbol> symbols;
  ASSERT_EQ(convert_site(site, &symbols), 0);
  after = stamps_of(site);
  // shape.h names area only where it declares it, other.cpp neither.
  EXPECT_EQ(rewritten(before, after, "lib"), std::vector<std::string>{"lib/deep/area.cpp.html"});
  EXPECT_EQ(rewritten(before, after, "app"), std::vector<std::string>{"app/main.cpp.html"});
  EXPECT_NE(
      read_file(in("site/app/main.cpp.html")).find("<a href=\"../lib/deep/area.cpp.html#L5\">helper</a>"),
      std::string::npos);
  // The uses of the pages left as they were are kept.
  const Symbol* sides = named(symbols, "SIDES");
  ASSERT_NE(sides, nullptr);
  EXPECT_EQ(places(sides->uses), (std::vector<std::string>{"lib/deep/area.cpp.html:3:return SIDES * SIDES;",
                                                           "app/other.cpp.html:2:return SIDES;"}));
  expect_as_made_anew(site);
}

TEST_F(TreeCrossReferencesTest, ANewDefinitionOfANameUsedBeforeRemakesItsUsers) {
  write_file(in("app/main.cpp"), "int main() {\n  return later();\n}\n");
  write_file(in("app/other.cpp"), "int other() {\n  return 2;\n}\n");
  const std::string site = in("site");
  ASSERT_EQ(convert_site(site), 0);
  EXPECT_EQ(read_file(in("site/app/main.cpp.html")).find("later</a>"), std::string::npos);
  const auto before = stamps_of(site);
  write_file(in("lib/later.cpp"), "int later() {\n  return 1;\n}\n");
  ASSERT_EQ(convert_site(site), 0);
  const auto after = stamps_of(site);
  EXPECT_EQ(rewritten(before, after, "app"), std::vector<std::string>{"app/main.cpp.html"});
  EXPECT_NE(read_file(in("site/app/main.cpp.html")).find("<a href=\"../lib/later.cpp.html#L1\">later</a>"),
            std::string::npos);
  expect_as_made_anew(site);
}

TEST_F(TreeCrossReferencesTest, ARemovedSourceTakesItsDefinitionsUsesAndLinks) {
  const std::string site = in("site");
  ASSERT_EQ(convert_site(site), 0);
  std::filesystem::remove(in("lib/deep/area.cpp"));
  std::vector<Symbol> symbols;
  ASSERT_EQ(convert_site(site, &symbols), 0);
  EXPECT_EQ(named(symbols, "helper"), nullptr);
  const Symbol* area = named(symbols, "area");
  ASSERT_NE(area, nullptr);
  ASSERT_EQ(area->definitions.size(), 1u);
  EXPECT_EQ(area->definitions[0].page, "lib/shape.h.html");
  for (const Symbol& symbol : symbols) {
    for (const SymbolPlace& use : symbol.uses) EXPECT_EQ(use.page.find("area.cpp"), std::string::npos);
  }
  const std::string main_page = read_file(in("site/app/main.cpp.html"));
  EXPECT_EQ(main_page.find("area.cpp.html"), std::string::npos) << main_page;
  EXPECT_EQ(main_page.find(">helper</a>"), std::string::npos) << main_page;
  // Its page stays where it was, as the pages of removed sources do; no
  // other page leads to it.
  std::filesystem::remove(in("site/lib/deep/area.cpp.html"));
  expect_as_made_anew(site);
}

// A record that is not one (another's bytes, cut short, changed) counts
// as none: every page is made again, as from nothing.
TEST_F(TreeCrossReferencesTest, ABadRecordMakesEveryPageAgain) {
  const std::string site = in("site");
  const std::string record = in("site/prismet-symbols/" + std::string(kSiteRecordsName));
  ASSERT_EQ(convert_site(site), 0);
  const std::string good = read_file(record);
  std::string flipped = good;
  flipped[flipped.size() / 2] ^= 0x20;
  for (const std::string& bad : {good.substr(0, good.size() - 3), flipped, good.substr(0, 40) + "junk"}) {
    write_file(record, bad);
    const auto before = stamps_of(site);
    ASSERT_EQ(convert_site(site), 0);
    const auto after = stamps_of(site);
    for (const char* page : {"lib/shape.h.html", "lib/deep/area.cpp.html", "app/main.cpp.html"})
      EXPECT_FALSE(before.at(page) == after.at(page)) << page;
    expect_as_made_anew(site);
  }
}

// A run stopped after some pages were made and before its record was
// written leaves the record of the run before: the next run finds the
// pages that are not the ones recorded and makes them again, even when the
// edit that made them was undone meanwhile.
TEST_F(TreeCrossReferencesTest, ARunStoppedBeforeItsRecordLeavesNoStaleLink) {
  const std::string site = in("site");
  const std::string record = in("site/prismet-symbols/" + std::string(kSiteRecordsName));
  const std::string header = read_file(in("lib/shape.h"));
  ASSERT_EQ(convert_site(site), 0);
  const std::string first_record = read_file(record);
  write_file(in("lib/shape.h"), "// moved\n" + header);
  ASSERT_EQ(convert_site(site), 0);
  EXPECT_NE(read_file(in("site/app/main.cpp.html")).find("lib/shape.h.html#L2"), std::string::npos);
  write_file(record, first_record);       // as if stopped before the record
  write_file(in("lib/shape.h"), header);  // the edit undone
  ASSERT_EQ(convert_site(site), 0);
  EXPECT_EQ(read_file(in("site/app/main.cpp.html")).find("lib/shape.h.html#L2"), std::string::npos);
  expect_as_made_anew(site);
}

// The symbol pages of names whose uses did not change are left alone only
// while they are as their records say: a page deleted by hand comes back
// with the next run that writes symbol pages, and a records file changed
// since (a run stopped while writing them) makes them all again.
TEST_F(TreeCrossReferencesTest, SymbolPagesNotAsRecordedAreWrittenAgain) {
  const std::string site = in("site");
  ASSERT_EQ(convert_site(site), 0);
  // SIDES: no use of it in main.cpp, which changes.
  const std::string sides_page =
      in("site/prismet-symbols/" + symbol_group_page(symbol_group("SIDES"), ".html"));
  const std::string sides = read_file(sides_page);
  ASSERT_FALSE(sides.empty());
  std::filesystem::remove(sides_page);
  write_file(in("app/main.cpp"), read_file(in("app/main.cpp")) + "int later() {\n  return helper();\n}\n");
  ASSERT_EQ(convert_site(site), 0);
  EXPECT_EQ(read_file(sides_page), sides);
  expect_as_made_anew(site);

  const std::string records = in("site/prismet-symbols/+records.txt");
  const std::string helper_page =
      in("site/prismet-symbols/" + symbol_group_page(symbol_group("helper"), ".html"));
  const std::string helper = read_file(helper_page);
  write_file(helper_page, sides);           // what a stopped run made of it
  write_file(records, read_file(records));  // written again by it
  ASSERT_EQ(convert_site(site), 0);
  EXPECT_EQ(read_file(helper_page), helper);
  expect_as_made_anew(site);
}

// A symbol page holds the names of its group: when one name's uses change,
// the page is made with every name's uses, those of the names that did not
// change among them.
TEST_F(TreeCrossReferencesTest, ANameThatChangedKeepsItsGroupsOtherNamesUses) {
  std::string one;
  std::string other;
  for (int i = 0; other.empty(); ++i) {
    const std::string name = "name" + std::to_string(i);
    if (one.empty()) {
      one = name;
    } else if (symbol_group(name) == symbol_group(one)) {
      other = name;
    }
  }
  write_file(in("lib/both.cpp"),
             "int " + one + "() {\n  return 1;\n}\nint " + other + "() {\n  return 2;\n}\n");
  write_file(in("app/one.cpp"), "int first() {\n  return " + one + "();\n}\n");
  write_file(in("app/other.cpp"), "int second() {\n  return " + other + "();\n}\n");
  const std::string site = in("site");
  ASSERT_EQ(convert_site(site), 0);
  write_file(in("app/other.cpp"),
             read_file(in("app/other.cpp")) + "int third() {\n  return " + other + "();\n}\n");
  ASSERT_EQ(convert_site(site), 0);
  const std::string group =
      read_file(in("site/prismet-symbols/" + symbol_group_page(symbol_group(one), ".html")));
  EXPECT_NE(group.find("return " + one + "();"), std::string::npos) << group;
  expect_as_made_anew(site);
}

// After any sequence of edits the site is the one a run from nothing makes.
TEST_F(TreeCrossReferencesTest, AfterEditsTheSiteIsAsMadeAnew) {
  const std::string site = in("site");
  ASSERT_EQ(convert_site(site), 0);
  const struct {
    const char* file;
    const char* text;  // null: removed
  } edits[] = {
      {"lib/shape.h", "struct Shape {\n  int sides;\n};\nint area(Shape s);\n#define SIDES 4\n"},
      {"app/main.cpp", "int main() {\n  Shape s; return area(s) + helper() + sides();\n}\n"},
      {"lib/sides.cpp", "int sides() {\n  return SIDES;\n}\n"},
      {"lib/deep/area.cpp", "int area(Shape s) {\n  return 1;\n}\nint helper();\n"},
      {"lib/sides.cpp", nullptr},
      {"lib/deep/more.cpp", "int helper() {\n  return area(Shape{}) + sides();\n}\nint sides();\n"},
      {"lib/shape.h", "#define SIDES 4\nstruct Shape {\n};\n"},
  };
  for (const auto& edit : edits) {
    if (edit.text == nullptr) {
      std::filesystem::remove(in(edit.file));
      std::filesystem::remove(in(std::string("site/") + edit.file + ".html"));
    } else {
      write_file(in(edit.file), edit.text);
    }
    ASSERT_EQ(convert_site(site), 0) << edit.file;
    expect_as_made_anew(site);
  }
}

}  // namespace
}  // namespace prismet

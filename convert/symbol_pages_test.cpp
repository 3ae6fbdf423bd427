// The folder of symbol pages on disk: every group's page, the index and the
// script written, written again only where their bytes change, the pages of
// groups left without a name removed, and anyone else's files left as they
// are. The groups are those symbol_page_name_test checks: alpha 3df, beta
// 082, size 2dd, Box and box 33a, dup 247.
#include "convert/symbol_pages.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "common/file_system.h"
#include "convert/symbol_page_name.h"
#include "tests/test_files.h"

namespace prismet {
namespace {

using testing::read_file;
using testing::scratch_path;
using testing::write_file;

class Failures : public FileProgress {
 public:
  void file_started(int, int, const char*) override {}
  void file_failed(int, const char* path, const FileFailure& failure) override {
    lines.push_back(describe_failure(path, failure));
  }
  std::vector<std::string> lines;
};

Symbol symbol(const char* name, const char* page, std::uint32_t line) {
  Symbol s;
  s.name = testing::kept_text(name);
  s.definitions.resize(1);
  s.definitions[0].page = page;
  s.definitions[0].line = line;
  s.definitions[0].text = testing::kept_text(std::string("int ") + name + ";");
  s.definitions[0].kind = SymbolKind::Variable;
  return s;
}

bool holds(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class SymbolPagesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    site_ = scratch_path(::testing::UnitTest::GetInstance()->current_test_info()->name());
    testing::make_folder(site_);
    folder_ = site_ + "/prismet-symbols/";
    style_.root_name = "proj";
  }
  bool write(const std::vector<Symbol>& symbols) {
    return write_symbol_pages(site_, symbols, style_, failures_);
  }
  FileStamp stamp(const std::string& name) {
    FileStamp s;
    EXPECT_TRUE(file_stamp((folder_ + name).c_str(), s)) << name;
    return s;
  }

  std::string site_;
  std::string folder_;
  SymbolPagesStyle style_;
  Failures failures_;
};

TEST_F(SymbolPagesTest, EveryGroupGetsAPageBesideTheIndexTheInitialsAndTheScript) {
  std::vector<Symbol> symbols = {symbol("size", "a.cpp.html", 3), symbol("Box", "b/c.h.html", 7),
                                 symbol("box", "a.cpp.html", 9)};
  symbols[0].uses.push_back({"b/c.h.html", 12, "return size;"});
  ASSERT_TRUE(write(symbols));
  EXPECT_TRUE(failures_.lines.empty());
  EXPECT_EQ(testing::count_entries(folder_), 7);  // 2 groups, 2 initials, the index, the script, the records
  const std::string size = read_file(folder_ + "2dd.html");
  EXPECT_TRUE(holds(size, "<section class=\"prismet-name-uses\" id=\"size.uses\">"));
  EXPECT_TRUE(holds(size, "<a href=\"../b/c.h.html#L12\">12</a>"));
  // Names that differ only in case: one page, a section each, in the index's order.
  const std::string box = read_file(folder_ + "33a.html");
  const std::size_t upper = box.find("<section class=\"prismet-name\" id=\"Box\">");
  const std::size_t lower = box.find("<section class=\"prismet-name\" id=\"box\">");
  EXPECT_LT(upper, lower);
  EXPECT_NE(lower, std::string::npos);
  EXPECT_TRUE(holds(box.substr(upper, lower - upper), "<a href=\"../b/c.h.html#L7\">b/c.h:7</a>"));
  EXPECT_TRUE(holds(box.substr(lower), "<a href=\"../a.cpp.html#L9\">a.cpp:9</a>"));
  EXPECT_TRUE(holds(read_file(folder_ + "+index-b.html"), "<a href=\"33a.html#Box\">Box</a>"));
  EXPECT_TRUE(holds(read_file(folder_ + "+index-b.html"), "<a href=\"33a.html#box\">box</a>"));
  EXPECT_TRUE(holds(read_file(folder_ + "+index-s.html"), "<a href=\"2dd.html#size\">size</a>"));
  EXPECT_TRUE(holds(read_file(folder_ + "+index.html"), "<a href=\"+index-b.html\">B</a>"));
  // "Box" before "box": the same folded, and 'B' is the smaller byte.
  EXPECT_TRUE(holds(read_file(folder_ + "+names.js"),
                    "names: [\n[\"Box\",\"33a\"],\n[\"box\",\"33a\"],\n[\"size\",\"2dd\"],\n]};"));
}

TEST_F(SymbolPagesTest, WritingTheSameNamesAgainRewritesNothingAndAChangeOnlyItsGroupsPage) {
  std::vector<Symbol> symbols = {symbol("alpha", "a.cpp.html", 1), symbol("beta", "a.cpp.html", 2)};
  ASSERT_TRUE(write(symbols));
  const char* files[] = {"3df.html",      "082.html",  "+index.html", "+index-a.html",
                         "+index-b.html", "+names.js", "+records.txt"};
  std::vector<FileStamp> before;
  for (const char* file : files) before.push_back(stamp(file));
  ASSERT_TRUE(write(symbols));
  for (std::size_t i = 0; i < std::size(files); ++i) EXPECT_EQ(stamp(files[i]), before[i]) << files[i];

  symbols[1].uses.push_back({"a.cpp.html", 5, "beta = 1;"});
  ASSERT_TRUE(write(symbols));
  EXPECT_NE(stamp("082.html"), before[1]);
  EXPECT_TRUE(holds(read_file(folder_ + "082.html"), "<code>beta = 1;</code>"));
  EXPECT_NE(stamp("+index-b.html"), before[4]);  // its count of uses
  for (const std::size_t same : {0u, 2u, 3u, 5u}) EXPECT_EQ(stamp(files[same]), before[same]) << files[same];
}

TEST_F(SymbolPagesTest, ANameComeOrGoneElsewhereLeavesTheOtherGroupsPagesAlone) {
  ASSERT_TRUE(write({symbol("alpha", "a.cpp.html", 1)}));
  const FileStamp alpha = stamp("3df.html");
  ASSERT_TRUE(write({symbol("alpha", "a.cpp.html", 1), symbol("beta", "a.cpp.html", 2)}));
  EXPECT_EQ(stamp("3df.html"), alpha);
  ASSERT_TRUE(write({symbol("beta", "a.cpp.html", 2)}));
  EXPECT_FALSE(path_exists((folder_ + "3df.html").c_str()));
  EXPECT_TRUE(path_exists((folder_ + "082.html").c_str()));
}

TEST_F(SymbolPagesTest, PagesOfGroupsGoneAreRemovedAndOtherFilesStay) {
  ASSERT_TRUE(write({symbol("alpha", "a.cpp.html", 1), symbol("beta", "a.cpp.html", 2)}));
  write_file(folder_ + "notes.txt", "mine");
  write_file(folder_ + "36e.html", "<!DOCTYPE html>\n<html>\n<head>\n<title>mine</title>");
  // A page of one name, as an earlier version of this program wrote them.
  const std::string old_page =
      "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<meta name=\"prismet-symbols\" "
      "content=\"1\">\n<title>gamma</title>\n";
  write_file(folder_ + "gamma.html", old_page);
  write_file(folder_ + "-gamma.html", old_page);
  ASSERT_TRUE(write({symbol("alpha", "a.cpp.html", 1)}));
  EXPECT_TRUE(path_exists((folder_ + "3df.html").c_str()));
  EXPECT_FALSE(path_exists((folder_ + "082.html").c_str()));
  EXPECT_FALSE(path_exists((folder_ + "+index-b.html").c_str()));
  EXPECT_FALSE(path_exists((folder_ + "gamma.html").c_str()));
  EXPECT_FALSE(path_exists((folder_ + "-gamma.html").c_str()));
  EXPECT_EQ(read_file(folder_ + "notes.txt"), "mine");
  EXPECT_EQ(read_file(folder_ + "36e.html"), "<!DOCTYPE html>\n<html>\n<head>\n<title>mine</title>");

  // No names at all: an index that says so, and no group's page.
  ASSERT_TRUE(write({}));
  EXPECT_FALSE(path_exists((folder_ + "3df.html").c_str()));
  EXPECT_FALSE(path_exists((folder_ + "+index-a.html").c_str()));
  EXPECT_TRUE(path_exists((folder_ + "+index.html").c_str()));
  EXPECT_EQ(testing::count_entries(folder_), 5);  // the index, the script, the records, two of someone else
}

TEST_F(SymbolPagesTest, AFileOfAnyoneElseInAPagesPlaceIsKeptAndTold) {
  testing::make_folder(folder_);
  write_file(folder_ + "3df.html", "my own page");
  write_file(folder_ + "+names.js", "// my own script\n");
  EXPECT_FALSE(write({symbol("alpha", "a.cpp.html", 1), symbol("beta", "a.cpp.html", 2)}));
  EXPECT_EQ(read_file(folder_ + "3df.html"), "my own page");
  EXPECT_EQ(read_file(folder_ + "+names.js"), "// my own script\n");
  EXPECT_TRUE(holds(read_file(folder_ + "082.html"), "<h2 class=\"prismet-symbol\">beta</h2>"));
  ASSERT_EQ(failures_.lines.size(), 2u);
  EXPECT_TRUE(
      holds(failures_.lines[0], "3df.html: a file of that name that this program did not make is in the way"))
      << failures_.lines[0];
  EXPECT_TRUE(holds(failures_.lines[1], "+names.js: a file of that name")) << failures_.lines[1];
}

TEST_F(SymbolPagesTest, ANameThatComesTwiceOrEmptyMakesOneSectionOrNone) {
  std::vector<Symbol> symbols = {symbol("dup", "first.cpp.html", 1), symbol("", "a.cpp.html", 1),
                                 symbol("dup", "second.cpp.html", 2)};
  ASSERT_TRUE(write(symbols));
  const std::string page = read_file(folder_ + "247.html");
  EXPECT_TRUE(holds(page, "first.cpp:1"));
  EXPECT_FALSE(holds(page, "second.cpp"));
  EXPECT_EQ(page.find("<section class=\"prismet-name\""), page.rfind("<section class=\"prismet-name\""));
  EXPECT_TRUE(holds(read_file(folder_ + "+index.html"), "<td class=\"prismet-count\">1</td>"));
  EXPECT_EQ(testing::count_entries(folder_), 5);  // 1 group, 1 initial, the index, the script, the records
}

TEST_F(SymbolPagesTest, OnSeveralThreadsEveryPageIsWrittenAndFailuresAreToldInTheGroupsOrder) {
  std::vector<Symbol> symbols;
  for (int i = 0; i < 300; ++i) {
    const std::string name = "n" + std::to_string(1000 + i);
    symbols.push_back(symbol(name.c_str(), "a.cpp.html", static_cast<std::uint32_t>(i + 1)));
  }
  testing::make_folder(folder_);
  // The groups of n1007 (101) and n1250 (0f2) are someone else's.
  write_file(folder_ + "101.html", "someone's");
  write_file(folder_ + "0f2.html", "someone's");
  style_.threads = 4;
  EXPECT_FALSE(write(symbols));
  int written = 0;
  for (int i = 0; i < 300; ++i) {
    const std::string name = "n" + std::to_string(1000 + i);
    const std::string page = symbol_group_page(symbol_group(name), ".html");
    if (page == "101.html" || page == "0f2.html") continue;
    const std::string bytes = read_file(folder_ + page);
    const std::size_t section = bytes.find("<section class=\"prismet-name\" id=\"" + name + "\">");
    ASSERT_NE(section, std::string::npos) << name;
    EXPECT_TRUE(holds(bytes.substr(section),
                      "#L" + std::to_string(i + 1) + "\">a.cpp:" + std::to_string(i + 1) + "<"))
        << name;
    ++written;
  }
  EXPECT_GE(written, 296);
  ASSERT_EQ(failures_.lines.size(), 2u);
  EXPECT_TRUE(holds(failures_.lines[0], "0f2.html")) << failures_.lines[0];
  EXPECT_TRUE(holds(failures_.lines[1], "101.html")) << failures_.lines[1];
  EXPECT_EQ(read_file(folder_ + "101.html"), "someone's");
}

TEST_F(SymbolPagesTest, RemovingThemLeavesOnlyOtherFilesAndTheFolderOnlyForThem) {
  ASSERT_TRUE(write({symbol("alpha", "a.cpp.html", 1)}));
  ASSERT_TRUE(remove_symbol_pages(site_, style_, failures_));
  EXPECT_FALSE(path_exists(folder_.c_str()));
  EXPECT_TRUE(remove_symbol_pages(site_, style_, failures_));  // nothing there: nothing to do

  ASSERT_TRUE(write({symbol("alpha", "a.cpp.html", 1)}));
  write_file(folder_ + "notes.txt", "mine");
  ASSERT_TRUE(remove_symbol_pages(site_, style_, failures_));
  EXPECT_EQ(testing::count_entries(folder_), 1);
  EXPECT_EQ(read_file(folder_ + "notes.txt"), "mine");
  EXPECT_TRUE(failures_.lines.empty());
}

TEST_F(SymbolPagesTest, APageChangedSinceItWasWrittenIsMadeAgainThoughItsNamesAreAsTheyWere) {
  const std::vector<Symbol> symbols = {symbol("alpha", "a.cpp.html", 1)};
  ASSERT_TRUE(write(symbols));
  const std::string page = read_file(folder_ + "3df.html");
  // Cut short, still beginning as ours.
  write_file(folder_ + "3df.html", page.substr(0, page.size() / 2));
  ASSERT_TRUE(write(symbols));
  EXPECT_EQ(read_file(folder_ + "3df.html"), page);
  // Gone.
  ASSERT_TRUE(std::remove((folder_ + "3df.html").c_str()) == 0);
  ASSERT_TRUE(write(symbols));
  EXPECT_EQ(read_file(folder_ + "3df.html"), page);
}

TEST_F(SymbolPagesTest, RecordsOfAnyoneElseOrOfNoUseMakeEveryPageAgain) {
  const std::vector<Symbol> symbols = {symbol("alpha", "a.cpp.html", 1)};
  const std::string stub = "<!DOCTYPE html>\n<html>\n<head>\n<meta name=\"prismet-symbols\" content=\"1\">\n";
  ASSERT_TRUE(write(symbols));
  const std::string page = read_file(folder_ + "3df.html");
  write_file(folder_ + "3df.html", stub);
  write_file(folder_ + "+records.txt", "prismet-symbol-records 1\nffff 1 2 3 4 5 3df.html\nnonsense\n");
  ASSERT_TRUE(write(symbols));
  EXPECT_EQ(read_file(folder_ + "3df.html"), page);
  EXPECT_EQ(read_file(folder_ + "+records.txt").find("nonsense"), std::string::npos);

  write_file(folder_ + "+records.txt", "my own notes\n");
  write_file(folder_ + "3df.html", stub);
  EXPECT_FALSE(write(symbols));
  EXPECT_EQ(read_file(folder_ + "3df.html"), page);
  EXPECT_EQ(read_file(folder_ + "+records.txt"), "my own notes\n");
  ASSERT_EQ(failures_.lines.size(), 1u);
  EXPECT_TRUE(holds(failures_.lines[0], "+records.txt: a file of that name")) << failures_.lines[0];
}

TEST(SiteSymbols, KeptSymbolsShowTheirBytesAfterTheStoresTheyViewedAreGone) {
  SiteSymbols site;
  for (const char* name : {"size", "area"}) {
    // Stores that go, overwritten first, as a run's stores do.
    std::string bytes = std::string(name) + "|a.cpp.html|int x;|ns::in|b/c.h.html|return x;";
    const std::string_view all = bytes;
    Symbol symbol;
    symbol.name = all.substr(0, 4);
    symbol.definitions.push_back(
        {{all.substr(5, 10), 3, all.substr(16, 6)}, SymbolKind::Variable, all.substr(23, 6), false});
    symbol.uses.push_back({all.substr(30, 10), 9, all.substr(41, 9)});
    symbol.uses.push_back({all.substr(30, 10), 12, all.substr(41, 0)});
    site.keep({symbol});
    bytes.assign(bytes.size(), '#');
  }
  ASSERT_EQ(site.symbols.size(), 2u);
  for (std::size_t i = 0; i < 2; ++i) {
    const Symbol& symbol = site.symbols[i];
    EXPECT_EQ(symbol.name, i == 0 ? "size" : "area");
    ASSERT_EQ(symbol.definitions.size(), 1u);
    EXPECT_EQ(symbol.definitions[0].page, "a.cpp.html");
    EXPECT_EQ(symbol.definitions[0].line, 3u);
    EXPECT_EQ(symbol.definitions[0].text, "int x;");
    EXPECT_EQ(symbol.definitions[0].scope, "ns::in");
    ASSERT_EQ(symbol.uses.size(), 2u);
    EXPECT_EQ(symbol.uses[0].page, "b/c.h.html");
    EXPECT_EQ(symbol.uses[0].text, "return x;");
    EXPECT_EQ(symbol.uses[1].line, 12u);
    EXPECT_EQ(symbol.uses[1].text, "");
  }
}

}  // namespace
}  // namespace prismet

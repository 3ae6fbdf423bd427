// The folder of symbol pages on disk: every page, the index and the script
// written, written again only where their bytes change, the pages of names
// gone removed, and anyone else's files left as they are.
#include "convert/symbol_pages.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "common/file_system.h"
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
  s.name = name;
  s.definitions.resize(1);
  s.definitions[0].page = page;
  s.definitions[0].line = line;
  s.definitions[0].text = std::string("int ") + name + ";";
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

TEST_F(SymbolPagesTest, EveryNameGetsAPageBesideTheIndexTheInitialsAndTheScript) {
  std::vector<Symbol> symbols = {symbol("size", "a.cpp.html", 3), symbol("Box", "b/c.h.html", 7),
                                 symbol("box", "a.cpp.html", 9)};
  symbols[0].uses.push_back({"b/c.h.html", 12, "return size;"});
  ASSERT_TRUE(write(symbols));
  EXPECT_TRUE(failures_.lines.empty());
  EXPECT_EQ(testing::count_entries(folder_), 8);  // 3 names, 2 initials, the index, the script, the records
  EXPECT_TRUE(holds(read_file(folder_ + "size.html"), "<a href=\"../b/c.h.html#L12\">12</a>"));
  EXPECT_TRUE(holds(read_file(folder_ + "-box.html"), "<a href=\"../b/c.h.html#L7\">b/c.h:7</a>"));
  EXPECT_TRUE(holds(read_file(folder_ + "box.html"), "<h1 class=\"prismet-symbol\">box</h1>"));
  EXPECT_TRUE(holds(read_file(folder_ + "+index-b.html"), "<a href=\"-box.html\">Box</a>"));
  EXPECT_TRUE(holds(read_file(folder_ + "+index-s.html"), "<a href=\"size.html\">size</a>"));
  EXPECT_TRUE(holds(read_file(folder_ + "+index.html"), "<a href=\"+index-b.html\">B</a>"));
  // "Box" before "box": the same folded, and 'B' is the smaller byte.
  EXPECT_TRUE(holds(read_file(folder_ + "+names.js"),
                    "names: [\n[\"Box\",\"-box.html\"],\n\"box\",\n\"size\",\n]};"));
}

TEST_F(SymbolPagesTest, WritingTheSameNamesAgainRewritesNothingAndAChangeOnlyItsPage) {
  std::vector<Symbol> symbols = {symbol("alpha", "a.cpp.html", 1), symbol("beta", "a.cpp.html", 2)};
  ASSERT_TRUE(write(symbols));
  const char* files[] = {"alpha.html",    "beta.html", "+index.html", "+index-a.html",
                         "+index-b.html", "+names.js", "+records.txt"};
  std::vector<FileStamp> before;
  for (const char* file : files) before.push_back(stamp(file));
  ASSERT_TRUE(write(symbols));
  for (std::size_t i = 0; i < std::size(files); ++i) EXPECT_EQ(stamp(files[i]), before[i]) << files[i];

  symbols[1].uses.push_back({"a.cpp.html", 5, "beta = 1;"});
  ASSERT_TRUE(write(symbols));
  EXPECT_NE(stamp("beta.html"), before[1]);
  EXPECT_TRUE(holds(read_file(folder_ + "beta.html"), "<code>beta = 1;</code>"));
  EXPECT_NE(stamp("+index-b.html"), before[4]);  // its count of uses
  for (const std::size_t same : {0u, 2u, 3u, 5u}) EXPECT_EQ(stamp(files[same]), before[same]) << files[same];
}

TEST_F(SymbolPagesTest, PagesOfNamesGoneAreRemovedAndOtherFilesStay) {
  ASSERT_TRUE(write({symbol("alpha", "a.cpp.html", 1), symbol("beta", "a.cpp.html", 2)}));
  write_file(folder_ + "notes.txt", "mine");
  write_file(folder_ + "gamma.html", "<!DOCTYPE html>\n<html>\n<head>\n<title>mine</title>");
  ASSERT_TRUE(write({symbol("alpha", "a.cpp.html", 1)}));
  EXPECT_TRUE(path_exists((folder_ + "alpha.html").c_str()));
  EXPECT_FALSE(path_exists((folder_ + "beta.html").c_str()));
  EXPECT_FALSE(path_exists((folder_ + "+index-b.html").c_str()));
  EXPECT_EQ(read_file(folder_ + "notes.txt"), "mine");
  EXPECT_EQ(read_file(folder_ + "gamma.html"), "<!DOCTYPE html>\n<html>\n<head>\n<title>mine</title>");

  // No names at all: an index that says so, and no page of a name.
  ASSERT_TRUE(write({}));
  EXPECT_FALSE(path_exists((folder_ + "alpha.html").c_str()));
  EXPECT_FALSE(path_exists((folder_ + "+index-a.html").c_str()));
  EXPECT_TRUE(path_exists((folder_ + "+index.html").c_str()));
  EXPECT_EQ(testing::count_entries(folder_), 5);  // the index, the script, the records, two of someone else
}

TEST_F(SymbolPagesTest, AFileOfAnyoneElseInAPagesPlaceIsKeptAndTold) {
  testing::make_folder(folder_);
  write_file(folder_ + "alpha.html", "my own alpha");
  write_file(folder_ + "+names.js", "// my own script\n");
  EXPECT_FALSE(write({symbol("alpha", "a.cpp.html", 1), symbol("beta", "a.cpp.html", 2)}));
  EXPECT_EQ(read_file(folder_ + "alpha.html"), "my own alpha");
  EXPECT_EQ(read_file(folder_ + "+names.js"), "// my own script\n");
  EXPECT_TRUE(holds(read_file(folder_ + "beta.html"), "<h1 class=\"prismet-symbol\">beta</h1>"));
  ASSERT_EQ(failures_.lines.size(), 2u);
  EXPECT_TRUE(holds(failures_.lines[0],
                    "alpha.html: a file of that name that this program did not make is in the way"))
      << failures_.lines[0];
  EXPECT_TRUE(holds(failures_.lines[1], "+names.js: a file of that name")) << failures_.lines[1];
}

TEST_F(SymbolPagesTest, ANameThatComesTwiceOrEmptyMakesOnePageOrNone) {
  std::vector<Symbol> symbols = {symbol("dup", "first.cpp.html", 1), symbol("", "a.cpp.html", 1),
                                 symbol("dup", "second.cpp.html", 2)};
  ASSERT_TRUE(write(symbols));
  const std::string page = read_file(folder_ + "dup.html");
  EXPECT_TRUE(holds(page, "first.cpp:1"));
  EXPECT_FALSE(holds(page, "second.cpp"));
  EXPECT_FALSE(path_exists((folder_ + ".html").c_str()));
  EXPECT_TRUE(holds(read_file(folder_ + "+index.html"), "<td class=\"prismet-count\">1</td>"));
}

TEST_F(SymbolPagesTest, OnSeveralThreadsEveryPageIsWrittenAndFailuresAreToldInTheNamesOrder) {
  std::vector<Symbol> symbols;
  for (int i = 0; i < 300; ++i) {
    const std::string name = "n" + std::to_string(1000 + i);
    symbols.push_back(symbol(name.c_str(), "a.cpp.html", static_cast<std::uint32_t>(i + 1)));
  }
  testing::make_folder(folder_);
  write_file(folder_ + "n1250.html", "someone's");
  write_file(folder_ + "n1007.html", "someone's");
  style_.threads = 4;
  EXPECT_FALSE(write(symbols));
  for (int i = 0; i < 300; ++i) {
    if (i == 7 || i == 250) continue;
    const std::string page = read_file(folder_ + "n" + std::to_string(1000 + i) + ".html");
    EXPECT_TRUE(holds(page, "#L" + std::to_string(i + 1) + "\">a.cpp:" + std::to_string(i + 1) + "<")) << i;
  }
  ASSERT_EQ(failures_.lines.size(), 2u);
  EXPECT_TRUE(holds(failures_.lines[0], "n1007.html")) << failures_.lines[0];
  EXPECT_TRUE(holds(failures_.lines[1], "n1250.html")) << failures_.lines[1];
  EXPECT_EQ(read_file(folder_ + "n1007.html"), "someone's");
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

TEST_F(SymbolPagesTest, APageChangedSinceItWasWrittenIsMadeAgainThoughItsNameIsAsItWas) {
  const std::vector<Symbol> symbols = {symbol("alpha", "a.cpp.html", 1)};
  ASSERT_TRUE(write(symbols));
  const std::string page = read_file(folder_ + "alpha.html");
  // Cut short, still beginning as ours.
  write_file(folder_ + "alpha.html", page.substr(0, page.size() / 2));
  ASSERT_TRUE(write(symbols));
  EXPECT_EQ(read_file(folder_ + "alpha.html"), page);
  // Gone.
  ASSERT_TRUE(std::remove((folder_ + "alpha.html").c_str()) == 0);
  ASSERT_TRUE(write(symbols));
  EXPECT_EQ(read_file(folder_ + "alpha.html"), page);
}

TEST_F(SymbolPagesTest, RecordsOfAnyoneElseOrOfNoUseMakeEveryPageAgain) {
  const std::vector<Symbol> symbols = {symbol("alpha", "a.cpp.html", 1)};
  const std::string stub = "<!DOCTYPE html>\n<html>\n<head>\n<meta name=\"prismet-symbols\" content=\"1\">\n";
  ASSERT_TRUE(write(symbols));
  const std::string page = read_file(folder_ + "alpha.html");
  write_file(folder_ + "alpha.html", stub);
  write_file(folder_ + "+records.txt", "prismet-symbol-records 1\nffff 1 2 3 4 5 alpha.html\nnonsense\n");
  ASSERT_TRUE(write(symbols));
  EXPECT_EQ(read_file(folder_ + "alpha.html"), page);
  EXPECT_EQ(read_file(folder_ + "+records.txt").find("nonsense"), std::string::npos);

  write_file(folder_ + "+records.txt", "my own notes\n");
  write_file(folder_ + "alpha.html", stub);
  EXPECT_FALSE(write(symbols));
  EXPECT_EQ(read_file(folder_ + "alpha.html"), page);
  EXPECT_EQ(read_file(folder_ + "+records.txt"), "my own notes\n");
  ASSERT_EQ(failures_.lines.size(), 1u);
  EXPECT_TRUE(holds(failures_.lines[0], "+records.txt: a file of that name")) << failures_.lines[0];
}

}  // namespace
}  // namespace prismet

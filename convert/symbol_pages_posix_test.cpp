// The folder of symbol pages never leads a write out of the site: a
// symbolic link in a page's place, or as the folder itself, is refused and
// what it points to stays as it was.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "common/file_system.h"
#include "common/folder_listing.h"
#include "convert/symbol_pages.h"
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

std::vector<Symbol> two_names() {
  std::vector<Symbol> symbols(2);
  symbols[0].name = "alpha";
  symbols[1].name = "beta";
  for (Symbol& s : symbols)
    s.definitions.push_back({{"a.cpp.html", 1, "int x;"}, SymbolKind::Variable, "", false});
  return symbols;
}

std::string scratch_for_test() {
  const std::string path = scratch_path(::testing::UnitTest::GetInstance()->current_test_info()->name());
  testing::make_folder(path);
  return path;
}

TEST(SymbolPagesPosix, ALinkInAPagesPlaceIsRefusedAndItsTargetKept) {
  const std::string root = scratch_for_test();
  const std::string site = root + "/site";
  testing::make_folder(site + "/prismet-symbols");
  write_file(root + "/outside.html", "outside");
  // alpha's group's page.
  ASSERT_EQ(::symlink((root + "/outside.html").c_str(), (site + "/prismet-symbols/3df.html").c_str()), 0);
  // A link to somewhere else that looks like a stale page is not removed.
  write_file(root + "/stale.html",
             "<!DOCTYPE html>\n<html>\n<head>\n<meta name=\"prismet-symbols\" content=\"1\">\n");
  ASSERT_EQ(::symlink((root + "/stale.html").c_str(), (site + "/prismet-symbols/gone.html").c_str()), 0);
  Failures failures;
  EXPECT_FALSE(write_symbol_pages(site, two_names(), SymbolPagesStyle(), failures));
  EXPECT_EQ(read_file(root + "/outside.html"), "outside");
  EXPECT_TRUE(is_link((site + "/prismet-symbols/3df.html").c_str()));
  EXPECT_TRUE(is_link((site + "/prismet-symbols/gone.html").c_str()));
  EXPECT_FALSE(read_file(site + "/prismet-symbols/082.html").empty());  // beta's
  ASSERT_EQ(failures.lines.size(), 1u);
  EXPECT_NE(failures.lines[0].find("3df.html: the page's name is a symbolic link"), std::string::npos)
      << failures.lines[0];
}

TEST(SymbolPagesPosix, AFolderThatIsALinkIsRefusedWhole) {
  const std::string root = scratch_for_test();
  const std::string site = root + "/site";
  testing::make_folder(site);
  testing::make_folder(root + "/elsewhere");
  ASSERT_EQ(::symlink((root + "/elsewhere").c_str(), (site + "/prismet-symbols").c_str()), 0);
  Failures failures;
  write_file(root + "/elsewhere/alpha.html",
             "<!DOCTYPE html>\n<html>\n<head>\n<meta name=\"prismet-symbols\" content=\"1\">\n");
  EXPECT_FALSE(write_symbol_pages(site, two_names(), SymbolPagesStyle(), failures));
  // Nor is anything removed through it.
  EXPECT_TRUE(remove_symbol_pages(site, SymbolPagesStyle(), failures));
  EXPECT_EQ(testing::count_entries(root + "/elsewhere"), 1);
  EXPECT_TRUE(is_link((site + "/prismet-symbols").c_str()));
  ASSERT_EQ(failures.lines.size(), 1u);
  EXPECT_NE(failures.lines[0].find("the folder of the symbol pages is a symbolic link"), std::string::npos)
      << failures.lines[0];
}

TEST(SymbolPagesPosix, AFolderThatCannotBeMadeIsToldAndNothingElseWritten) {
  const std::string root = scratch_for_test();
  write_file(root + "/site", "a file where the site should be");
  Failures failures;
  EXPECT_FALSE(write_symbol_pages(root + "/site", two_names(), SymbolPagesStyle(), failures));
  EXPECT_EQ(read_file(root + "/site"), "a file where the site should be");
  EXPECT_EQ(failures.lines.size(), 1u);
}

}  // namespace
}  // namespace prismet

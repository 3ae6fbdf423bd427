// A tree made into a site with navigation, on disk: the pages' trails, the
// indexes, and the script of the site's names, which is written only when
// the list changes, goes with the last page, keeps names in any bytes and
// never replaces a file of anyone else.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "common/bounded_copy.h"
#include "common/file_system.h"
#include "convert/conversion.h"
#include "convert/site_names.h"
#include "settings/settings_file.h"
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

bool holds(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

ino_t inode_of(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

class SiteNavigationPosixTest : public ::testing::Test {
 protected:
  void SetUp() override {
    set_default_settings(settings_, "", "");
    settings_.site_navigation = true;
    settings_.insert_file_variables = true;
    set_builtin_vocabulary(vocabulary_);
    root_ = scratch_path(::testing::UnitTest::GetInstance()->current_test_info()->name());
    tree_ = root_ + "/proj";
    site_ = root_ + "/site";
    testing::make_folder(root_);
    testing::make_folder(tree_);
    testing::make_folder(tree_ + "/sub");
    write_file(tree_ + "/a.cpp", "a\nb\n");
    write_file(tree_ + "/sub/b.h", "b\n");
    write_file(root_ + "/top.txt", "{{index}}|");
    copy_string_bounded(settings_.style.insert_before, (root_ + "/top.txt").c_str());
    copy_string_bounded(settings_.output_folder, site_.c_str());
    copy_string_bounded(settings_.extension, ".html");
  }
  void TearDown() override { free_vocabulary(vocabulary_); }
  int convert(const std::vector<std::string>& paths) {
    failures_ = Failures();
    return convert_files(paths, settings_, vocabulary_, &failures_);
  }
  std::string names() { return read_file(site_ + "/prismet-files.js"); }

  Settings settings_;
  Vocabulary vocabulary_;
  Failures failures_;
  std::string root_;
  std::string tree_;
  std::string site_;
};

TEST_F(SiteNavigationPosixTest, PagesAndIndexesLeadThroughTheSiteNamedAfterItsFolder) {
  ASSERT_EQ(convert({tree_}), 0);
  EXPECT_EQ(read_file(site_ + "/sub/b.h.html")
                .rfind("<nav class=\"prismet-nav prismet-breadcrumbs\"><a href=\"../index.html\">proj</a> / "
                       "<a href=\"index.html\">sub</a></nav>|",
                       0),
            0u);
  EXPECT_TRUE(holds(read_file(site_ + "/a.cpp.html"),
                    "<nav class=\"prismet-nav prismet-breadcrumbs\"><a href=\"index.html\">proj</a></nav>|"));
  const std::string index = read_file(site_ + "/index.html");
  EXPECT_TRUE(holds(index, "<title>proj</title>"));
  EXPECT_TRUE(holds(index, "<td><a href=\"sub/index.html\">sub/</a></td><td>1</td><td>1</td>"));
  EXPECT_TRUE(holds(read_file(site_ + "/sub/index.html"), "<script src=\"../prismet-files.js\"></script>"));
  EXPECT_TRUE(holds(names(), "files: [\n\"a.cpp\",\n\"sub/b.h\",\n]};\n"));
  // "." is titled by the folder it names.
  char here[4096];
  ASSERT_NE(::getcwd(here, sizeof here), nullptr);
  ASSERT_EQ(::chdir(tree_.c_str()), 0);
  const int failed = convert({"."});
  ASSERT_EQ(::chdir(here), 0);
  ASSERT_EQ(failed, 0);
  EXPECT_TRUE(holds(read_file(site_ + "/index.html"), "<title>proj</title>"));
}

// The script is rewritten only when the list changes; pages follow a new
// name of the root.
TEST_F(SiteNavigationPosixTest, TheNamesAreWrittenAgainOnlyWhenTheListChanges) {
  ASSERT_EQ(convert({tree_}), 0);
  const ino_t first = inode_of(site_ + "/prismet-files.js");
  const ino_t page = inode_of(site_ + "/a.cpp.html");
  ASSERT_EQ(convert({tree_}), 0);
  EXPECT_EQ(inode_of(site_ + "/prismet-files.js"), first);
  EXPECT_EQ(inode_of(site_ + "/a.cpp.html"), page);
  write_file(tree_ + "/sub/c.h", "c\n");
  ASSERT_EQ(convert({tree_}), 0);
  EXPECT_NE(inode_of(site_ + "/prismet-files.js"), first);
  EXPECT_TRUE(holds(names(), "\"sub/b.h\",\n\"sub/c.h\",\n"));
  EXPECT_EQ(inode_of(site_ + "/a.cpp.html"), page);
  ASSERT_EQ(std::rename(tree_.c_str(), (root_ + "/renamed").c_str()), 0);
  ASSERT_EQ(convert({root_ + "/renamed"}), 0);
  EXPECT_TRUE(holds(read_file(site_ + "/a.cpp.html"), "<a href=\"index.html\">renamed</a>"));
}

// With no page left the script goes with the indexes; one of anyone else
// stays, and the run says why it made none.
TEST_F(SiteNavigationPosixTest, TheNamesGoWithTheLastPageAndNeverReplaceAnotherFile) {
  ASSERT_EQ(convert({tree_}), 0);
  ASSERT_TRUE(path_exists((site_ + "/prismet-files.js").c_str()));
  std::remove((tree_ + "/a.cpp").c_str());
  std::remove((tree_ + "/sub/b.h").c_str());
  ASSERT_EQ(convert({tree_}), 0);
  EXPECT_FALSE(path_exists((site_ + "/prismet-files.js").c_str()));
  EXPECT_FALSE(path_exists((site_ + "/index.html").c_str()));
  write_file(site_ + "/prismet-files.js", "mine");
  ASSERT_EQ(convert({tree_}), 0);
  EXPECT_EQ(names(), "mine");
  write_file(tree_ + "/a.cpp", "a\n");
  EXPECT_EQ(convert({tree_}), 1);
  EXPECT_EQ(names(), "mine");
  ASSERT_EQ(failures_.lines.size(), 1u);
  EXPECT_TRUE(holds(failures_.lines[0], "did not make is in the way")) << failures_.lines[0];
  std::remove((site_ + "/prismet-files.js").c_str());
  ASSERT_EQ(::symlink((root_ + "/top.txt").c_str(), (site_ + "/prismet-files.js").c_str()), 0);
  EXPECT_EQ(convert({tree_}), 1);
  EXPECT_EQ(read_file(root_ + "/top.txt"), "{{index}}|");
}

TEST(SiteNamesPosix, ANameThatIsNoUtf8GoesWithItsOwnLink) {
  const SiteNamesFolder sub = site_names_folder(SiteNamesFolder(), "a b");
  std::string list;
  append_site_name(list, sub, "bad\xFF.h", "bad\xFF.h.html", ".html");
  EXPECT_EQ(list, "[\"a b/bad\\ufffd.h\",\"a%20b/bad%FF.h.html\"],\n");
}

// A name in bytes that are no UTF-8 is listed with its own link; each
// folder named on the command line beside the sources is a site of its own.
TEST_F(SiteNavigationPosixTest, NamesInAnyBytesAndSitesBesideTheirSources) {
  write_file(tree_ + "/sub/x\xFF.h", "x\n");
  ASSERT_EQ(convert({tree_}), 0);
  EXPECT_TRUE(holds(names(), "[\"sub/x\\ufffd.h\",\"sub/x%FF.h.html\"],\n"));
  settings_.output_folder[0] = '\0';
  const std::string other = root_ + "/other";
  testing::make_folder(other);
  write_file(other + "/o.cpp", "o\n");
  ASSERT_EQ(convert({tree_, other}), 0);
  EXPECT_TRUE(holds(read_file(other + "/prismet-files.js"), "files: [\n\"o.cpp\",\n]};"));
  EXPECT_TRUE(holds(read_file(tree_ + "/prismet-files.js"), "\"a.cpp\",\n\"sub/b.h\",\n"));
  EXPECT_TRUE(holds(read_file(other + "/index.html"), "<title>other</title>"));
}

// Without the key nothing of it is made.
TEST_F(SiteNavigationPosixTest, WithoutTheKeyThereIsNoNamesScriptAndNoTrail) {
  settings_.site_navigation = false;
  ASSERT_EQ(convert({tree_}), 0);
  EXPECT_FALSE(path_exists((site_ + "/prismet-files.js").c_str()));
  EXPECT_EQ(read_file(site_ + "/sub/b.h.html")
                .rfind("<nav class=\"prismet-nav\"><a href=\"index.html\">/sub/</a></nav>|", 0),
            0u);
  EXPECT_TRUE(holds(read_file(site_ + "/index.html"), "<title>/</title>"));
}

}  // namespace
}  // namespace prismet

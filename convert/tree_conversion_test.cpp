#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "common/bounded_copy.h"
#include "common/file_system.h"
#include "common/folder_listing.h"
#include "common/path_text.h"
#include "convert/conversion.h"
#include "convert/site_index.h"
#include "convert/tree_walk.h"
#include "settings/settings_file.h"
#include "tests/test_files.h"

namespace prismet {
namespace {

using testing::read_file;
using testing::scratch_path;
using testing::write_file;

std::string in(const std::string& folder, const std::string& name) { return join_path(folder, name); }

TEST(SourceExtensions, MatchesTheNamesExtension) {
  const SourceExtensions defaults(kDefaultSourceExtensions);
  const struct {
    const char* name;
    bool matched;
  } cases[] = {
      {"a.cpp", true},   {"a.h", true},        {"a.c++", true},   {"a.cppm", true},
      {"x.y.hpp", true}, {"a.cpp.htm", false}, {"a.txt", false},  {"Makefile", false},
      {".h", false},     {"a.", false},        {"a.hpp~", false}, {"a.cp", false},
  };
  for (const auto& c : cases) EXPECT_EQ(defaults.matches(c.name), c.matched) << c.name;
  // Case counts where the file system's names do.
  EXPECT_EQ(defaults.matches("A.CPP"), kCaseBlindFileNames);
  // Words of a settings value, with or without their dot.
  const SourceExtensions own("  txt\t.md  ");
  EXPECT_TRUE(own.matches("a.txt"));
  EXPECT_TRUE(own.matches("a.md"));
  EXPECT_FALSE(own.matches("a.cpp"));
  EXPECT_FALSE(SourceExtensions("").matches("a.cpp"));
}

TEST(SiteIndex, LinksAreEscapedRelativeUrls) {
  const struct {
    const char* name;
    const char* url;
  } cases[] = {
      {"a.cpp.htm", "a.cpp.htm"},
      {"with space.cc.htm", "with%20space.cc.htm"},
      {"a&b#c?.h", "a%26b%23c%3F.h"},
      {"x-->y", "x--%3Ey"},
      {"50%", "50%25"},
  };
  for (const auto& c : cases) EXPECT_EQ(url_of_name(c.name), c.url) << c.name;
}

TEST(SiteIndex, RecordsReadBackAndForeignFilesAreKnown) {
  FolderIndex index;
  index.site_path = "/sub/";
  index.has_parent = true;
  index.folders.push_back({"deep", 3, 300});
  PageRecord record;
  record.fingerprint = 0x0123456789abcdefull;
  record.source = {1, 2, 3, 4, 5};
  record.lines = 9;
  index.pages.push_back({"a<b>.cpp", "a<b>.cpp.htm", record});
  index.pages.push_back({"c.h", "c.h.htm", PageRecord{}});
  const std::string bytes = render_index(index);
  EXPECT_NE(bytes.find("<a href=\"../index.html\">../</a>"), std::string::npos);
  EXPECT_NE(bytes.find("<a href=\"deep/index.html\">deep/</a></td><td>300</td><td>3 files</td>"),
            std::string::npos);
  EXPECT_NE(bytes.find("<a href=\"a%3Cb%3E.cpp.htm\">a&lt;b&gt;.cpp</a></td><td>3</td><td>9</td>"),
            std::string::npos);
  PageRecords records;
  ASSERT_TRUE(read_index_records(bytes, records));
  ASSERT_EQ(records.size(), 2u);
  EXPECT_TRUE(records["a%3Cb%3E.cpp.htm"] == record);
  EXPECT_TRUE(records["c.h.htm"] == PageRecord{});

  for (const char* foreign : {"", "<html>my own index</html>\n", "<!-- prismet-index 1\nbroken"}) {
    EXPECT_FALSE(read_index_records(foreign, records)) << foreign;
    EXPECT_TRUE(records.empty());
  }
  // A damaged record line is left out, the others kept.
  std::string damaged = bytes;
  damaged.replace(damaged.find("0123456789abcdef"), 16, "zz");
  ASSERT_TRUE(read_index_records(damaged, records));
  EXPECT_EQ(records.size(), 1u);
}

// An index of the format before pages' sizes were recorded is still this
// program's: its records are read with the page's size unknown. A record
// short of a field in the newer format is left out.
TEST(SiteIndex, RecordsWithoutPageSizesReadAsUnknown) {
  PageRecords records;
  ASSERT_TRUE(
      read_index_records("<html></html>\n<!-- prismet-index 1\n"
                         "00000000000000a1 1 2 3 4 5 6 a.cpp.htm\n"
                         "00000000000000a2 1 2 3 4 5 b.cpp.htm\n"
                         "-->\n",
                         records));
  ASSERT_EQ(records.size(), 1u);
  const PageRecord& old = records["a.cpp.htm"];
  EXPECT_EQ(old.fingerprint, 0xa1u);
  EXPECT_TRUE((old.source == FileStamp{1, 2, 3, 4, 5}));
  EXPECT_EQ(old.lines, 6u);
  EXPECT_EQ(old.page_size, kUnknownPageSize);

  ASSERT_TRUE(
      read_index_records("<!-- prismet-index 2\n"
                         "00000000000000a1 1 2 3 4 5 6 7 a.cpp.htm\n"
                         "00000000000000a2 1 2 3 4 5 6 b.cpp.htm\n"
                         "-->\n",
                         records));
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records["a.cpp.htm"].page_size, 7u);
  EXPECT_FALSE(read_index_records("<!-- prismet-index 3\n-->\n", records));
}

// An index is told from another file by its first bytes alone.
TEST(SiteIndex, OnlyTheHeadOfAnIndexTellsItIsOurs) {
  FolderIndex index;
  index.site_path = "/" + std::string(3000, 'x') + "/";  // a title longer than the head
  for (const bool utf8 : {true, false}) {
    index.utf8 = utf8;
    const std::string bytes = render_index(index);
    EXPECT_TRUE(begins_like_index(std::string_view(bytes).substr(0, kIndexHeadSize))) << utf8;
  }
  const std::string ours =
      "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n"
      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
      "<meta name=\"generator\" content=\"prismet\">\n<title>/</title>\n";
  EXPECT_TRUE(begins_like_index(ours));
  const struct {
    std::string head;
    const char* why;
  } foreign[] = {
      {"", "empty"},
      {ours.substr(0, 60), "cut before the generator"},
      {"<!DOCTYPE html>\n<html>\n<head>\n<title>x</title>\n", "no generator"},
      {"<!doctype html>" + ours.substr(15), "another opening"},
      {"\n" + ours, "a line before it"},
      {"<!DOCTYPE html>\n<html>\n<head>\n" + std::string(kIndexHeadSize, ' ') +
           "\n<meta name=\"generator\" content=\"prismet\">\n",
       "the generator past the head"},
      {"<html><!-- prismet-index 1\n-->\n", "records without the head"},
  };
  for (const auto& f : foreign) EXPECT_FALSE(begins_like_index(f.head)) << f.why;
}

// The rows and the records comment byte for byte, numbers at their edges
// (0, one digit, the largest 64-bit value; a fingerprint with leading zeros).
TEST(SiteIndex, RowsAndRecordsInFull) {
  FolderIndex index;
  index.site_path = "/";
  index.folders.push_back({"one", 1, 0});
  index.folders.push_back({"many", 18446744073709551615ull, 10});
  PageRecord top;
  top.fingerprint = 0xffffffffffffffffull;
  top.source = {18446744073709551615ull, 0, 7, 1000000000, 1796762500629455928ull};
  top.lines = 18446744073709551615ull;
  top.page_size = 18446744073709551614ull;
  PageRecord low;
  low.fingerprint = 0x00000000000000a1ull;
  low.source = {0, 0, 0, 0, 0};
  index.pages.push_back({"x.h", "x.h.htm", top});
  index.pages.push_back({"y y.c", "y y.c.htm", low});
  const std::string bytes = render_index(index);
  const std::string tail =
      "<tbody>\n"
      "<tr><td><a href=\"one/index.html\">one/</a></td><td>0</td><td>1 file</td></tr>\n"
      "<tr><td><a href=\"many/index.html\">many/</a></td><td>10</td><td>18446744073709551615 "
      "files</td></tr>\n"
      "<tr><td><a href=\"x.h.htm\">x.h</a></td><td>7</td><td>18446744073709551615</td></tr>\n"
      "<tr><td><a href=\"y%20y.c.htm\">y y.c</a></td><td>0</td><td>0</td></tr>\n"
      "</tbody>\n</table>\n</body>\n</html>\n"
      "<!-- prismet-index 2\n"
      "ffffffffffffffff 18446744073709551615 0 7 1000000000 1796762500629455928 18446744073709551615 "
      "18446744073709551614 x.h.htm\n"
      "00000000000000a1 0 0 0 0 0 0 0 y%20y.c.htm\n"
      "-->\n";
  ASSERT_GE(bytes.size(), tail.size());
  EXPECT_EQ(bytes.substr(bytes.size() - tail.size()), tail);
  PageRecords records;
  ASSERT_TRUE(read_index_records(bytes, records));
  EXPECT_TRUE(records["x.h.htm"] == top);
  EXPECT_TRUE(records["y%20y.c.htm"] == low);

  // The row up, with its empty cells.
  index.has_parent = true;
  EXPECT_NE(render_index(index).find(
                "<tbody>\n<tr><td><a href=\"../index.html\">../</a></td><td></td><td></td></tr>\n<tr>"),
            std::string::npos);
}

// What the tree conversion told at its end.
class SummaryRecorder : public FileProgress {
 public:
  void file_started(int, int, const char*) override {}
  void file_failed(int, const char* path, const FileFailure& failure) override {
    failed.push_back(describe_failure(path, failure));
  }
  void tree_finished(const TreeSummary& told) override { summary = told; }
  void file_skipped(int, const char* path, const char* reason) override {
    skipped.push_back(std::string(path) + ": " + reason);
  }
  TreeSummary summary;
  std::vector<std::string> failed;
  std::vector<std::string> skipped;
};

class TreeConversionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    set_default_settings(settings_, "", "");
    settings_.style.whole = {"<W>", "</W>"};
    settings_.style.line_numbers = false;
    set_builtin_vocabulary(vocabulary_);
    root_ = scratch_path(::testing::UnitTest::GetInstance()->current_test_info()->name());
    tree_ = in(root_, "src");
    for (const char* folder : {"", "src", "src/sub", "src/sub/deep", "src/empty"}) {
      testing::make_folder(in(root_, folder));
    }
    write_file(in(tree_, "a.cpp"), "int a;\n");
    write_file(in(tree_, "a.h"), "int a();\n");
    write_file(in(tree_, "notes.txt"), "not a source\n");
    write_file(in(tree_, "sub/with space.cc"), "// one\n// two\n");
    write_file(in(tree_, "sub/deep/z.hpp"), "z");
  }
  void TearDown() override { free_vocabulary(vocabulary_); }

  int convert(const std::vector<std::string>& paths, const TreeOptions& options = {}) {
    recorder_ = SummaryRecorder();
    return convert_files(paths, settings_, vocabulary_, &recorder_, options);
  }

  // Every file below the folder, by its path from there, with its bytes.
  static void collect(const std::string& folder, const std::string& prefix,
                      std::map<std::string, std::string>& files) {
    std::vector<FolderEntry> entries;
    int error = 0;
    if (!list_folder(folder.c_str(), entries, error)) return;
    for (const FolderEntry& entry : entries) {
      const std::string path = in(folder, entry.name);
      if (entry.kind == FolderEntry::Kind::kFolder) {
        collect(path, prefix + entry.name + "/", files);
      } else {
        files[prefix + entry.name] = read_file(path);
      }
    }
  }
  static std::map<std::string, std::string> files_below(const std::string& folder) {
    std::map<std::string, std::string> files;
    collect(folder, "", files);
    return files;
  }

  // Follows every link of the index and of the indexes it links, checking
  // that each names a file; returns the pages reached.
  static int follow_links(const std::string& folder, bool pages_link_back, int depth = 0) {
    const std::string index = read_file(in(folder, "index.html"));
    int pages = 0;
    for (std::size_t at = index.find("href=\""); at != std::string::npos;
         at = index.find("href=\"", at + 1)) {
      const std::size_t end = index.find('"', at + 6);
      std::string url = index.substr(at + 6, end - at - 6);
      for (std::size_t p = url.find("%20"); p != std::string::npos; p = url.find("%20"))
        url.replace(p, 3, " ");
      const std::string target = in(folder, url);
      EXPECT_TRUE(path_exists(target.c_str())) << target;
      if (url == "../index.html") continue;
      const std::size_t slash = url.find('/');
      if (slash != std::string::npos && depth < 8) {
        pages += follow_links(in(folder, url.substr(0, slash)), pages_link_back, depth + 1);
      } else {
        ++pages;
        // Each page links back to its folder's index.
        if (pages_link_back) {
          EXPECT_NE(read_file(target).find("<a href=\"index.html\">"), std::string::npos) << target;
        }
      }
    }
    return pages;
  }

  Settings settings_;
  Vocabulary vocabulary_;
  SummaryRecorder recorder_;
  std::string root_;
  std::string tree_;
};

TEST_F(TreeConversionTest, PagesKeepTheWholeNameAndEveryFolderGetsAnIndex) {
  settings_.insert_file_variables = true;
  write_file(in(root_, "top.txt"), "{{index}}");
  copy_string_bounded(settings_.style.insert_before, in(root_, "top.txt").c_str());
  EXPECT_EQ(convert({tree_}), 0);
  const auto files = files_below(tree_);
  std::vector<std::string> names;
  for (const auto& [name, bytes] : files) names.push_back(name);
  EXPECT_EQ(names,
            (std::vector<std::string>{"a.cpp", "a.cpp.htm", "a.h", "a.h.htm", "index.html", "notes.txt",
                                      "sub/deep/index.html", "sub/deep/z.hpp", "sub/deep/z.hpp.htm",
                                      "sub/index.html", "sub/with space.cc", "sub/with space.cc.htm"}));
  EXPECT_EQ(
      files.at("a.h.htm"),
      "<nav class=\"prismet-nav\"><a href=\"index.html\">/</a></nav><W><FONT COLOR=\"#0000FF\">int</FONT> "
      "a();\r\n</W>");
  EXPECT_NE(files.at("sub/index.html")
                .find("<a href=\"with%20space.cc.htm\">with space.cc</a></td><td>14</td>"
                      "<td>2</td>"),
            std::string::npos);
  EXPECT_NE(
      files.at("index.html").find("<a href=\"sub/index.html\">sub/</a></td><td>15</td><td>2 files</td>"),
      std::string::npos);
  EXPECT_EQ(follow_links(tree_, true), 4);
  EXPECT_EQ(recorder_.summary.converted, 4u);
  EXPECT_EQ(recorder_.summary.bytes, 7u + 9u + 14u + 1u);
}

// The index counts the source's lines, and with anchors the page's last id
// is the last line's: a NUL and a line longer than a piece of the reading
// change neither.
TEST_F(TreeConversionTest, IndexCountsTheLinesThePageAnchors) {
  write_file(in(tree_, "a.cpp"), std::string("a\0b\n", 4) + std::string(40000, 'x') + "\nc\n");
  for (const bool anchors : {false, true}) {
    settings_.style.line_anchors = anchors;
    EXPECT_EQ(convert({tree_}, TreeOptions{.rewrite_all = true}), 0);
    EXPECT_NE(read_file(in(tree_, "index.html"))
                  .find("<a href=\"a.cpp.htm\">a.cpp</a></td><td>40007</td><td>3</td>"),
              std::string::npos)
        << anchors;
    const std::string page = read_file(in(tree_, "a.cpp.htm"));
    EXPECT_EQ(page.find("id=\"L4\"") == std::string::npos && page.find("id=\"L3\"") != std::string::npos,
              anchors)
        << page.substr(0, 100);
  }
}

TEST_F(TreeConversionTest, OutputFolderMirrorsTheTreeAndLeavesItAlone) {
  const auto before = files_below(tree_);
  const std::string site = in(root_, "site");
  copy_string_bounded(settings_.output_folder, site.c_str());
  EXPECT_EQ(convert({tree_}), 0);
  EXPECT_TRUE(files_below(tree_) == before) << "the source tree was written into";
  const auto pages = files_below(site);
  EXPECT_EQ(pages.size(), 7u);
  EXPECT_EQ(pages.count("sub/deep/z.hpp.htm"), 1u);
  EXPECT_FALSE(path_exists(in(site, "empty").c_str())) << "a folder without sources got an output folder";
  EXPECT_EQ(follow_links(site, false), 4);

  // An output folder inside the tree is not taken for part of it.
  copy_string_bounded(settings_.output_folder, in(tree_, "html").c_str());
  EXPECT_EQ(convert({tree_}), 0);
  EXPECT_EQ(recorder_.summary.converted, 4u);
  EXPECT_EQ(files_below(in(tree_, "html")).size(), 7u);
}

TEST_F(TreeConversionTest, OneAndTwoWorkersMakeTheSameSite) {
  for (int i = 0; i < 40; ++i)
    write_file(in(tree_, "sub/f" + std::to_string(i) + ".c"), std::string(i * 50, 'x'));
  write_file(in(tree_, "sub/bad.cpp"), "");
  testing::make_folder(in(tree_, "sub/bad.cpp.htm"));  // its page cannot be written
  std::map<std::string, std::string> sites[2];
  std::vector<std::string> told[2];
  for (const int jobs : {1, 2}) {
    const std::string site = in(root_, "site" + std::to_string(jobs));
    copy_string_bounded(settings_.output_folder, site.c_str());
    testing::make_folder(site);
    testing::make_folder(in(site, "sub"));
    testing::make_folder(in(site, "sub/bad.cpp.htm"));
    settings_.jobs = jobs;
    EXPECT_EQ(convert({tree_}), 1);
    sites[jobs - 1] = files_below(site);
    for (const std::string& line : recorder_.failed)
      told[jobs - 1].push_back(line.substr(0, line.find(site)) + "SITE" +
                               line.substr(line.find(site) + site.size()));
  }
  EXPECT_EQ(sites[0].size(), 47u);  // 44 pages, 3 indexes
  EXPECT_TRUE(sites[0] == sites[1]);
  EXPECT_EQ(told[0], told[1]);
}

TEST_F(TreeConversionTest, ASecondRunRewritesOnlyWhatChanged) {
  write_file(in(root_, "top.txt"), "[top]");
  copy_string_bounded(settings_.style.insert_before, in(root_, "top.txt").c_str());
  ASSERT_EQ(convert({tree_}), 0);
  EXPECT_EQ(recorder_.summary.converted, 4u);
  const auto first = files_below(tree_);

  EXPECT_EQ(convert({tree_}), 0);
  EXPECT_EQ(recorder_.summary.converted, 0u);
  EXPECT_EQ(recorder_.summary.unchanged, 4u);
  EXPECT_TRUE(files_below(tree_) == first);

  // One source: only its page.
  write_file(in(tree_, "sub/deep/z.hpp"), "y");  // same size
  EXPECT_EQ(convert({tree_}), 0);
  EXPECT_EQ(recorder_.summary.converted, 1u);
  EXPECT_EQ(read_file(in(tree_, "sub/deep/z.hpp.htm")), "[top]<W>y</W>");

  // A page removed since is made again; one edited by hand, its size kept,
  // is the user's until its source changes (or --force).
  delete_file(in(tree_, "a.h.htm").c_str());
  const std::string edited = "[top]<W><FONT COLOR=\"#FF0000\">int</FONT> a;\r\n</W>";
  ASSERT_EQ(edited.size(), read_file(in(tree_, "a.cpp.htm")).size());
  write_file(in(tree_, "a.cpp.htm"), edited);
  EXPECT_EQ(convert({tree_}), 0);
  EXPECT_EQ(recorder_.summary.converted, 1u);
  EXPECT_EQ(read_file(in(tree_, "a.h.htm")), "[top]<W><FONT COLOR=\"#0000FF\">int</FONT> a();\r\n</W>");
  EXPECT_EQ(read_file(in(tree_, "a.cpp.htm")), edited);

  // The header, a setting: every page.
  write_file(in(root_, "top.txt"), "[TOP]");
  EXPECT_EQ(convert({tree_}), 0);
  EXPECT_EQ(recorder_.summary.converted, 4u);
  EXPECT_EQ(read_file(in(tree_, "a.cpp.htm")).substr(0, 5), "[TOP]");
  settings_.style.tab_width = 8;
  EXPECT_EQ(convert({tree_}), 0);
  EXPECT_EQ(recorder_.summary.converted, 4u);

  // Forced: every page, current or not.
  TreeOptions force;
  force.rewrite_all = true;
  EXPECT_EQ(convert({tree_}, force), 0);
  EXPECT_EQ(recorder_.summary.converted, 4u);
  EXPECT_EQ(recorder_.summary.unchanged, 0u);
}

// With workers the pages that may be current are checked on every thread,
// a share each, over several steps of the walk: the same pages are
// rewritten as on one thread, wherever the changed sources fall.
TEST_F(TreeConversionTest, ASecondRunOnOneOrMoreThreadsRewritesTheSamePages) {
  for (int i = 0; i < 150; ++i) write_file(in(tree_, "sub/f" + std::to_string(i) + ".c"), "old");
  const std::vector<std::string> changed = {"f0", "f3", "f17", "f77", "f101", "f140", "f99"};
  for (const int jobs : {1, 2, 3}) {
    SCOPED_TRACE(jobs);
    settings_.jobs = jobs;
    TreeOptions force;
    force.rewrite_all = true;
    ASSERT_EQ(convert({tree_}, force), 0);
    EXPECT_EQ(recorder_.summary.converted, 154u);
    for (const std::string& name : changed) write_file(in(tree_, "sub/" + name + ".c"), "two");  // same size
    delete_file(in(tree_, "sub/f20.c.htm").c_str());
    write_file(in(tree_, "sub/f55.c.htm"),
               "<W>OLD</W>");                         // its size kept: the user's until its source changes
    write_file(in(tree_, "sub/f60.c.htm"), "<W>ol");  // cut short: made again
    write_file(in(tree_, "sub/f130.c.htm"), "<W>old</W>!");  // grown: made again
    EXPECT_EQ(convert({tree_}), 0);
    EXPECT_EQ(recorder_.summary.converted, 10u);
    EXPECT_EQ(recorder_.summary.unchanged, 144u);
    for (const std::string& name : changed)
      EXPECT_EQ(read_file(in(tree_, "sub/" + name + ".c.htm")), "<W>two</W>");
    EXPECT_EQ(read_file(in(tree_, "sub/f20.c.htm")), "<W>old</W>");
    EXPECT_EQ(read_file(in(tree_, "sub/f4.c.htm")), "<W>old</W>");
    EXPECT_EQ(read_file(in(tree_, "sub/f55.c.htm")), "<W>OLD</W>");
    EXPECT_EQ(read_file(in(tree_, "sub/f60.c.htm")), "<W>old</W>");
    EXPECT_EQ(read_file(in(tree_, "sub/f130.c.htm")), "<W>old</W>");
    EXPECT_EQ(read_file(in(tree_, "sub/f149.c.htm")), "<W>old</W>");
    // The index lists every page once, in order.
    const std::string index = read_file(in(tree_, "sub/index.html"));
    std::size_t at = 0;
    for (const char* name : {"f0.c.htm", "f1.c.htm", "f10.c.htm", "f100.c.htm", "f149.c.htm", "f99.c.htm"}) {
      const std::size_t found = index.find(std::string("href=\"") + name + "\"", at);
      ASSERT_NE(found, std::string::npos) << name;
      at = found;
    }
    for (const std::string& name : changed) write_file(in(tree_, "sub/" + name + ".c"), "old");
  }
}

TEST_F(TreeConversionTest, NoPageReplacesAnothersAndNoForeignIndexIsReplaced) {
  // Named files of one folder whose pages are one file.
  const std::string site = in(root_, "site");
  copy_string_bounded(settings_.output_folder, site.c_str());
  EXPECT_EQ(convert({in(tree_, "a.cpp"), in(tree_, "a.h")}), 1);
  ASSERT_EQ(recorder_.failed.size(), 1u);
  EXPECT_EQ(recorder_.failed[0],
            in(tree_, "a.h") + ": page " + in(site, "a.htm") + " already written for " + in(tree_, "a.cpp"));
  EXPECT_EQ(read_file(in(site, "a.htm")), "<W><FONT COLOR=\"#0000FF\">int</FONT> a;\r\n</W>");

  // An index.html of someone else stays as it is.
  write_file(in(tree_, "sub/index.html"), "mine");
  settings_.output_folder[0] = '\0';
  EXPECT_EQ(convert({tree_}), 1);
  EXPECT_EQ(read_file(in(tree_, "sub/index.html")), "mine");
  ASSERT_EQ(recorder_.failed.size(), 1u);
  EXPECT_NE(recorder_.failed[0].find(
                "index.html: a file of that name that this program did not make is in the way"),
            std::string::npos);
}

TEST_F(TreeConversionTest, HiddenEntriesAreLeftOutUnlessNamed) {
  testing::make_folder(in(tree_, ".git"));
  write_file(in(tree_, ".git/x.c"), "x");
  write_file(in(tree_, ".hidden.cpp"), "h");
  EXPECT_EQ(convert({tree_}), 0);
  EXPECT_EQ(recorder_.summary.converted, 4u);
  EXPECT_FALSE(path_exists(in(tree_, ".hidden.cpp.htm").c_str()));
  EXPECT_EQ(convert({in(tree_, ".git")}), 0);
  EXPECT_TRUE(path_exists(in(tree_, ".git/x.c.htm").c_str()));
}

// A page never takes the name of its folder's index, nor the index a
// page's: a named file's page in the output folder, and a tree's page whose
// name with the page extension is the index's, are refused, every run.
TEST_F(TreeConversionTest, NoPageTakesTheIndexsName) {
  const std::string site = in(root_, "site");
  copy_string_bounded(settings_.output_folder, site.c_str());
  copy_string_bounded(settings_.extension, ".html");
  write_file(in(root_, "index.cpp"), "int i;\n");
  write_file(in(root_, "other.cpp"), "o");
  for (int run = 0; run < 2; ++run) {
    SCOPED_TRACE(run);
    EXPECT_EQ(convert({in(root_, "index.cpp"), in(root_, "other.cpp")}), 1);
    EXPECT_EQ(recorder_.failed,
              (std::vector<std::string>{in(root_, "index.cpp") + ": page " + in(site, "index.html") +
                                        ": that name is the output folder's index"}));
    EXPECT_EQ(read_file(in(site, "other.html")), "<W>o</W>");
    const std::string index = read_file(in(site, "index.html"));
    PageRecords records;
    EXPECT_TRUE(read_index_records(index, records)) << index;
    EXPECT_EQ(records.size(), 1u);
    EXPECT_EQ(records.count("other.html"), 1u);
  }

  // A tree's page is its source's name and the page extension.
  copy_string_bounded(settings_.extension, "tml");
  settings_.output_folder[0] = '\0';
  const std::string sub = in(tree_, "sub");
  write_file(in(sub, "index.h"), "x");
  EXPECT_EQ(convert({sub}), 1);
  EXPECT_EQ(recorder_.failed,
            (std::vector<std::string>{in(sub, "index.h") + ": page " + in(sub, "index.html") +
                                      ": that name is the folder's index"}));
  PageRecords records;
  EXPECT_TRUE(read_index_records(read_file(in(sub, "index.html")), records));
  EXPECT_EQ(records.count("with%20space.cctml"), 1u);
}

// Pages through an output folder that is the tree itself (however it is
// spelled) are told from sources as pages beside them are, also those an
// earlier run made: a page extension that is a source extension never
// grows the tree from run to run.
TEST_F(TreeConversionTest, PagesAreNeverSourcesWhereverTheyGo) {
  copy_string_bounded(settings_.extension, ".h");
  const std::string spellings[] = {"", tree_, in(tree_, "."), in(in(tree_, "sub"), "..")};
  for (const std::string& output : spellings) {
    SCOPED_TRACE(output);
    copy_string_bounded(settings_.output_folder, output.c_str());
    for (int run = 0; run < 3; ++run) {
      EXPECT_EQ(convert({tree_}), 0);
      EXPECT_EQ(recorder_.summary.converted + recorder_.summary.unchanged, 4u) << run;
    }
    const auto files = files_below(tree_);
    std::vector<std::string> names;
    for (const auto& [name, bytes] : files) names.push_back(name);
    EXPECT_EQ(names,
              (std::vector<std::string>{"a.cpp", "a.cpp.h", "a.h", "a.h.h", "index.html", "notes.txt",
                                        "sub/deep/index.html", "sub/deep/z.hpp", "sub/deep/z.hpp.h",
                                        "sub/index.html", "sub/with space.cc", "sub/with space.cc.h"}));
    // A page whose source is gone is still a page on the next run.
    delete_file(in(tree_, "sub/with space.cc").c_str());
    EXPECT_EQ(convert({tree_}), 0);
    EXPECT_EQ(recorder_.summary.converted + recorder_.summary.unchanged, 3u);
    EXPECT_FALSE(path_exists(in(tree_, "sub/with space.cc.h.h").c_str()));
    // The next spelling starts from the tree as it was.
    for (const char* page : {"a.cpp.h", "a.h.h", "sub/deep/z.hpp.h", "sub/with space.cc.h", "index.html",
                             "sub/index.html", "sub/deep/index.html"}) {
      delete_file(in(tree_, page).c_str());
    }
    write_file(in(tree_, "sub/with space.cc"), "// one\n// two\n");
  }
}

// Without a page extension a page would be its source: beside the sources,
// and through an output folder that is the tree itself, every source is
// refused and stays as it was; in another output folder the pages take the
// sources' names.
TEST_F(TreeConversionTest, AnEmptyPageExtensionNeverReplacesASource) {
  settings_.extension[0] = '\0';
  const auto before = files_below(tree_);
  for (const std::string& output : {std::string(), tree_, in(tree_, ".")}) {
    SCOPED_TRACE(output);
    copy_string_bounded(settings_.output_folder, output.c_str());
    EXPECT_EQ(convert({tree_}), 4);
    ASSERT_EQ(recorder_.failed.size(), 4u);
    EXPECT_NE(recorder_.failed[0].find("a.cpp: the page would replace its source (no page extension)"),
              std::string::npos)
        << recorder_.failed[0];
    EXPECT_TRUE(files_below(tree_) == before) << "a source was replaced";
  }
  const std::string site = in(root_, "site");
  copy_string_bounded(settings_.output_folder, site.c_str());
  EXPECT_EQ(convert({tree_}), 0);
  EXPECT_EQ(read_file(in(site, "a.cpp")), "<W><FONT COLOR=\"#0000FF\">int</FONT> a;\r\n</W>");
  EXPECT_TRUE(files_below(tree_) == before);
}

// Several folders, each named with separators behind it, each get a folder
// of their own name in the output folder, linked from its index; one such
// folder alone fills it.
TEST_F(TreeConversionTest, FolderArgumentsWithTrailingSeparatorsAndAnOutputFolder) {
  const std::string other = in(root_, "other");
  testing::make_folder(other);
  write_file(in(other, "o.c"), "o");
  const std::string slash(1, kPathSeparator);
  const std::string site = in(root_, "site");
  copy_string_bounded(settings_.output_folder, site.c_str());
  EXPECT_EQ(convert({tree_ + slash, other + slash + slash}), 0);
  EXPECT_EQ(recorder_.summary.converted, 5u);
  EXPECT_EQ(read_file(in(site, "src/sub/deep/z.hpp.htm")), "<W>z</W>");
  EXPECT_EQ(read_file(in(site, "other/o.c.htm")), "<W>o</W>");
  const std::string index = read_file(in(site, "index.html"));
  EXPECT_NE(index.find("<a href=\"src/index.html\">src/</a></td><td>31</td><td>4 files</td>"),
            std::string::npos)
      << index;
  EXPECT_NE(index.find("<a href=\"other/index.html\">other/</a></td><td>1</td><td>1 file</td>"),
            std::string::npos)
      << index;
  EXPECT_EQ(follow_links(site, false), 5);
  // The same folder twice, spelled with and without a separator.
  EXPECT_EQ(convert({other, other + slash}), 1);
  ASSERT_EQ(recorder_.failed.size(), 1u);
  EXPECT_EQ(recorder_.failed[0],
            other + slash + ": page " + in(site, "other") + " already written for " + other);

  const std::string alone = in(root_, "alone");
  copy_string_bounded(settings_.output_folder, alone.c_str());
  EXPECT_EQ(convert({other + slash}), 0);
  EXPECT_EQ(read_file(in(alone, "o.c.htm")), "<W>o</W>");
  EXPECT_FALSE(path_exists(in(alone, "other").c_str()));
}

// Every setting a page depends on, changed alone and in turn: the next run
// rewrites every page, and the run after it none.
TEST_F(TreeConversionTest, EachFingerprintedSettingRewritesEveryPageOnce) {
  const std::string vocabulary = in(root_, "words.voc");
  const std::string header = in(root_, "head.txt");
  const std::string footer = in(root_, "foot.txt");
  write_file(vocabulary, "[keywords]\nint\n");
  write_file(header, "[top]");
  write_file(footer, "[end]");
  copy_string_bounded(settings_.vocabulary_file, vocabulary.c_str());
  copy_string_bounded(settings_.style.insert_before, header.c_str());
  copy_string_bounded(settings_.style.insert_after, footer.c_str());
  OutputStyle& style = settings_.style;
  const struct {
    const char* setting;
    std::function<void()> change;
  } steps[] = {
      {"tab width", [&] { style.tab_width = 8; }},
      {"line numbers", [&] { style.line_numbers = true; }},
      {"expand tabs", [&] { style.expand_tabs = true; }},
      {"nbsp", [&] { style.nbsp_spaces = true; }},
      {"line anchors", [&] { style.line_anchors = true; }},
      {"encoding UTF-8", [&] { settings_.encoding = SourceEncoding::kUtf8; }},
      {"encoding automatic", [&] { settings_.encoding = SourceEncoding::kAutomatic; }},
      {"insert-file variables", [&] { settings_.insert_file_variables = true; }},
      {"whole open", [&] { style.whole.open += "w"; }},
      {"whole close", [&] { style.whole.close += "w"; }},
      {"comment open", [&] { style.comment.open += "c"; }},
      {"comment close", [&] { style.comment.close += "c"; }},
      {"constant open", [&] { style.constant.open += "n"; }},
      {"constant close", [&] { style.constant.close += "n"; }},
      {"char constant open", [&] { style.char_constant.open += "h"; }},
      {"char constant close", [&] { style.char_constant.close += "h"; }},
      {"string open", [&] { style.string_literal.open += "s"; }},
      {"string close", [&] { style.string_literal.close += "s"; }},
      {"keyword open", [&] { style.keyword.open += "k"; }},
      {"keyword close", [&] { style.keyword.close += "k"; }},
      {"line number open", [&] { style.line_number.open += "l"; }},
      {"line number close", [&] { style.line_number.close += "l"; }},
      {"line open", [&] { style.line.open += "r"; }},
      {"line close", [&] { style.line.close += "r"; }},
      {"tag moved from open to close",
       [&] {
         style.line.open.pop_back();
         style.line.close = "r" + style.line.close;
       }},
      {"page extension", [&] { copy_string_bounded(settings_.extension, ".html"); }},
      {"vocabulary contents", [&] { write_file(vocabulary, "[keywords]\nINT\n"); }},
      {"header contents", [&] { write_file(header, "[TOP]"); }},
      {"footer contents", [&] { write_file(footer, "[END]"); }},
  };
  ASSERT_EQ(convert({tree_}), 0);
  EXPECT_EQ(recorder_.summary.converted, 4u);
  EXPECT_EQ(convert({tree_}), 0);
  EXPECT_EQ(recorder_.summary.converted, 0u) << "nothing changed";
  for (const auto& step : steps) {
    SCOPED_TRACE(step.setting);
    step.change();
    EXPECT_EQ(convert({tree_}), 0);
    EXPECT_EQ(recorder_.summary.converted, 4u);
    EXPECT_EQ(recorder_.summary.unchanged, 0u);
    EXPECT_EQ(convert({tree_}), 0);
    EXPECT_EQ(recorder_.summary.converted, 0u);
    EXPECT_EQ(recorder_.summary.unchanged, 4u);
  }
}

// The records of an index as the format before pages' sizes had them: the
// field before each page's name dropped and the older version.
std::string without_page_sizes(const std::string& index) {
  const std::string open = "<!-- prismet-index 2\n";
  const std::size_t at = index.rfind(open);
  if (at == std::string::npos) return index;
  std::string old = index.substr(0, at) + "<!-- prismet-index 1\n";
  std::size_t line = at + open.size();
  for (std::size_t end = index.find('\n', line); end != std::string::npos; end = index.find('\n', line)) {
    std::string text = index.substr(line, end - line);
    const std::size_t name = text.rfind(' ');
    if (name != std::string::npos) {
      const std::size_t size = text.rfind(' ', name - 1);
      text.erase(size, name - size);
    }
    old += text + "\n";
    line = end + 1;
  }
  return old;
}

// A page cut short or grown after it was written is made again, beside the
// sources and in an output folder, on one thread or more; an index of the
// older format gets every page made once more, and then none.
TEST_F(TreeConversionTest, APageOfAnotherSizeThanRecordedIsMadeAgain) {
  const std::string site = in(root_, "site");
  for (const bool output_folder : {false, true}) {
    for (const int jobs : {1, 3}) {
      SCOPED_TRACE(std::string(output_folder ? "site" : "beside") + " jobs " + std::to_string(jobs));
      settings_.jobs = jobs;
      copy_string_bounded(settings_.output_folder, output_folder ? site.c_str() : "");
      const std::string pages = output_folder ? site : tree_;
      TreeOptions force;
      force.rewrite_all = true;
      ASSERT_EQ(convert({tree_}, force), 0);
      const auto first = files_below(pages);

      write_file(in(pages, "a.cpp.htm"), "");                                              // cut short
      write_file(in(pages, "sub/deep/z.hpp.htm"), first.at("sub/deep/z.hpp.htm") + "\n");  // grown
      EXPECT_EQ(convert({tree_}), 0);
      EXPECT_EQ(recorder_.summary.converted, 2u);
      EXPECT_EQ(recorder_.summary.unchanged, 2u);
      EXPECT_TRUE(files_below(pages) == first);

      // Indexes written before sizes were recorded: each page once more.
      for (const char* index : {"index.html", "sub/index.html", "sub/deep/index.html"})
        write_file(in(pages, index), without_page_sizes(first.at(index)));
      EXPECT_EQ(convert({tree_}), 0);
      EXPECT_EQ(recorder_.summary.converted, 4u);
      EXPECT_TRUE(files_below(pages) == first);
      EXPECT_EQ(convert({tree_}), 0);
      EXPECT_EQ(recorder_.summary.unchanged, 4u);
    }
  }
}

// Named files in an output folder: their rows give each source's size and
// line count, and their records the page's size.
TEST_F(TreeConversionTest, NamedFilesInAnOutputFolderAreListedWithTheirSizesAndLines) {
  const std::string site = in(root_, "site");
  copy_string_bounded(settings_.output_folder, site.c_str());
  write_file(in(tree_, "sub/three.h"), "a\nb\r\nc");
  EXPECT_EQ(convert({in(tree_, "a.cpp"), in(tree_, "sub/with space.cc"), in(tree_, "sub/three.h")}), 0);
  const std::string index = read_file(in(site, "index.html"));
  for (const char* row : {"<a href=\"a.htm\">a.cpp</a></td><td>7</td><td>1</td>",
                          "<a href=\"with%20space.htm\">with space.cc</a></td><td>14</td><td>2</td>",
                          "<a href=\"three.htm\">three.h</a></td><td>6</td><td>3</td>"}) {
    EXPECT_NE(index.find(row), std::string::npos) << row;
  }
  PageRecords records;
  ASSERT_TRUE(read_index_records(index, records));
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records["a.htm"].page_size, read_file(in(site, "a.htm")).size());
  EXPECT_EQ(records["with%20space.htm"].lines, 2u);
  EXPECT_EQ(records["three.htm"].source.size, 6u);
  EXPECT_EQ(records["three.htm"].page_size, read_file(in(site, "three.htm")).size());
}

// Each folder's index names its place in the site, two levels deep too,
// and links the folder above; the pages link their folder's index.
TEST_F(TreeConversionTest, IndexTitlesAndLinksUpTwoLevelsDeep) {
  settings_.insert_file_variables = true;
  write_file(in(root_, "top.txt"), "{{index}}");
  copy_string_bounded(settings_.style.insert_before, in(root_, "top.txt").c_str());
  const std::string site = in(root_, "site");
  const std::string other = in(root_, "other");
  testing::make_folder(other);
  write_file(in(other, "o.c"), "o");
  const struct {
    std::vector<std::string> arguments;
    std::string deep;  // the folder of z.hpp, in the site
    std::string path;  // its site path
  } cases[] = {
      {{tree_}, "sub/deep", "/sub/deep/"},
      {{tree_ + "/", other}, "src/sub/deep", "/src/sub/deep/"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    copy_string_bounded(settings_.output_folder, site.c_str());
    ASSERT_EQ(convert(c.arguments), 0);
    const std::string deep = read_file(in(site, c.deep + "/index.html"));
    EXPECT_NE(deep.find("<title>" + c.path + "</title>"), std::string::npos);
    EXPECT_NE(deep.find("<h1>" + c.path + "</h1>"), std::string::npos);
    EXPECT_NE(deep.find("<tr><td><a href=\"../index.html\">../</a></td>"), std::string::npos);
    EXPECT_NE(deep.find("<a href=\"z.hpp.htm\">z.hpp</a>"), std::string::npos);
    const std::string sub_path = c.path.substr(0, c.path.size() - 5);  // without "deep/"
    const std::string sub = read_file(in(site, c.deep.substr(0, c.deep.size() - 5) + "/index.html"));
    EXPECT_NE(sub.find("<title>" + sub_path + "</title>"), std::string::npos);
    EXPECT_NE(sub.find("<tr><td><a href=\"../index.html\">../</a></td>"), std::string::npos);
    EXPECT_NE(sub.find("<a href=\"deep/index.html\">deep/</a></td><td>1</td><td>1 file</td>"),
              std::string::npos);
    EXPECT_EQ(read_file(in(site, c.deep + "/z.hpp.htm")),
              "<nav class=\"prismet-nav\"><a href=\"index.html\">" + c.path + "</a></nav><W>z</W>");
    const std::string top = read_file(in(site, "index.html"));
    EXPECT_NE(top.find("<title>/</title>"), std::string::npos);
    EXPECT_EQ(top.find("../index.html"), std::string::npos) << "the site's top has no folder above";
  }
}

// A folder whose sources are all gone loses the index this program made
// there, and the folder above loses its link; then the folder above, once
// its own are gone too. A folder whose pages could not be made keeps its
// index, and an index.html of anyone else stays.
TEST_F(TreeConversionTest, AFolderWithNoSourcesLeftKeepsNoIndex) {
  for (const bool output_folder : {false, true}) {
    SCOPED_TRACE(output_folder ? "site" : "beside");
    // A tree of its own for each.
    tree_ = in(root_, output_folder ? "tree2" : "tree1");
    const std::string site = tree_ + "-site";
    for (const char* folder : {"", "sub", "sub/deep", "empty"}) testing::make_folder(in(tree_, folder));
    write_file(in(tree_, "a.cpp"), "int a;\n");
    write_file(in(tree_, "a.h"), "int a();\n");
    write_file(in(tree_, "sub/with space.cc"), "// one\n// two\n");
    write_file(in(tree_, "sub/deep/z.hpp"), "z");
    copy_string_bounded(settings_.output_folder, output_folder ? site.c_str() : "");
    const std::string pages = output_folder ? site : tree_;
    write_file(in(tree_, "empty/index.html"), "mine");
    if (output_folder) {
      testing::make_folder(site);
      testing::make_folder(in(site, "empty"));
      write_file(in(site, "empty/index.html"), "mine");
    }
    ASSERT_EQ(convert({tree_}), 0);
    ASSERT_TRUE(path_exists(in(pages, "sub/deep/index.html").c_str()));

    delete_file(in(tree_, "sub/deep/z.hpp").c_str());
    EXPECT_EQ(convert({tree_}), 0);
    EXPECT_TRUE(recorder_.failed.empty());
    EXPECT_FALSE(path_exists(in(pages, "sub/deep/index.html").c_str()));
    EXPECT_EQ(read_file(in(pages, "sub/index.html")).find("deep/"), std::string::npos);
    EXPECT_NE(read_file(in(pages, "index.html")).find("<td>14</td><td>1 file</td>"), std::string::npos);

    delete_file(in(tree_, "sub/with space.cc").c_str());
    EXPECT_EQ(convert({tree_}), 0);
    EXPECT_FALSE(path_exists(in(pages, "sub/index.html").c_str()));
    EXPECT_EQ(read_file(in(pages, "index.html")).find("sub/"), std::string::npos);
    EXPECT_EQ(follow_links(pages, false), 2);
    EXPECT_EQ(read_file(in(pages, "empty/index.html")), "mine");

    // Every source gone: not even the top's index is left.
    delete_file(in(tree_, "a.cpp").c_str());
    delete_file(in(tree_, "a.h").c_str());
    EXPECT_EQ(convert({tree_}), 0);
    EXPECT_FALSE(path_exists(in(pages, "index.html").c_str()));
    EXPECT_EQ(read_file(in(pages, "empty/index.html")), "mine");

    // A page that cannot be made: its folder's index stays as it was.
    write_file(in(tree_, "a.cpp"), "int a;\n");
    write_file(in(tree_, "sub/b.cpp"), "b");
    ASSERT_EQ(convert({tree_}), 0);
    const std::string sub_index = read_file(in(pages, "sub/index.html"));
    delete_file(in(pages, "sub/b.cpp.htm").c_str());
    testing::make_folder(in(pages, "sub/b.cpp.htm"));
    write_file(in(tree_, "sub/b.cpp"), "bb");
    EXPECT_EQ(convert({tree_}), 1);
    EXPECT_EQ(read_file(in(pages, "sub/index.html")), sub_index);
  }
}

// Headers without an extension: skipped and counted (and named where asked)
// while no key takes them; converted like any source, listed and kept
// current, once the mode line or a pattern does; and a header that stops
// saying C++ leaves the index as a deleted source does.
TEST_F(TreeConversionTest, HeadersWithoutAnExtension) {
  write_file(in(tree_, "vector"), "// <vector> -*- C++ -*-\nint v;\n");
  write_file(in(tree_, "sub/map"), "// -*- mode: c++ -*-\n");
  write_file(in(tree_, "Makefile"), "all:\n");
  const std::vector<std::string> skipped_before = {
      in(tree_, "Makefile") + ": no C++ extension", in(tree_, "notes.txt") + ": no C++ extension",
      in(tree_, "vector") + ": no C++ extension", in(in(tree_, "sub"), "map") + ": no C++ extension"};
  EXPECT_EQ(convert({tree_}, TreeOptions{.tell_skipped = true}), 0);
  EXPECT_EQ(recorder_.summary.converted, 4u);
  EXPECT_EQ(recorder_.summary.skipped, 4u);
  EXPECT_EQ(recorder_.skipped, skipped_before);
  EXPECT_FALSE(path_exists(in(tree_, "vector.htm").c_str()));
  EXPECT_EQ(convert({tree_}), 0);
  EXPECT_EQ(recorder_.summary.skipped, 4u) << "pages and indexes beside the sources are no skipped files";
  EXPECT_TRUE(recorder_.skipped.empty()) << "named only where asked";

  settings_.cpp_mode_line = true;
  EXPECT_EQ(convert({tree_}), 0);
  EXPECT_EQ(recorder_.summary.converted, 2u);
  EXPECT_EQ(recorder_.summary.unchanged, 4u);
  EXPECT_EQ(recorder_.summary.skipped, 2u);
  EXPECT_EQ(read_file(in(tree_, "vector.htm")),
            "<W><FONT COLOR=\"#008040\">// &lt;vector&gt; -*- C++ -*-</FONT>\r\n<FONT "
            "COLOR=\"#0000FF\">int</FONT> v;\r\n</W>");
  EXPECT_NE(
      read_file(in(tree_, "index.html")).find("<a href=\"vector.htm\">vector</a></td><td>31</td><td>2</td>"),
      std::string::npos);
  EXPECT_NE(read_file(in(tree_, "sub/index.html")).find("<a href=\"map.htm\">map</a>"), std::string::npos);
  EXPECT_EQ(convert({tree_}), 0);
  EXPECT_EQ(recorder_.summary.unchanged, 6u);

  write_file(in(tree_, "vector"), "int v;\n");
  EXPECT_EQ(convert({tree_}), 0);
  EXPECT_EQ(recorder_.summary.unchanged, 5u);
  EXPECT_EQ(read_file(in(tree_, "index.html")).find("vector"), std::string::npos);

  // By name: a pattern takes it again, the mode line not needed.
  settings_.cpp_mode_line = false;
  settings_.extensionless_sources = "vec*  Q*";
  EXPECT_EQ(convert({tree_}), 0);
  EXPECT_EQ(recorder_.summary.converted, 1u);
  EXPECT_EQ(recorder_.summary.unchanged, 4u);
  EXPECT_EQ(recorder_.summary.skipped, 3u);  // Makefile, notes.txt, sub/map
  EXPECT_NE(read_file(in(tree_, "index.html")).find("<a href=\"vector.htm\">vector</a>"), std::string::npos);
}

// Through an output folder the skipped files are the tree's alone, and a
// tree's summary tells them in its closing line.
TEST_F(TreeConversionTest, TheClosingLineCountsSkippedFiles) {
  const std::string site = in(root_, "site");
  copy_string_bounded(settings_.output_folder, site.c_str());
  for (int run = 0; run < 2; ++run) {
    EXPECT_EQ(convert({tree_}), 0);
    EXPECT_EQ(recorder_.summary.skipped, 1u) << run;  // notes.txt
  }
  TreeSummary summary;
  summary.converted = 581;
  summary.bytes = 8600000;
  summary.seconds = 0.3;
  EXPECT_EQ(tree_summary_text(summary), "converted 581 files, 8.6 MB, in 0.3 s");
  summary.skipped = 202;
  summary.failed = 1;
  summary.unchanged = 3;
  EXPECT_EQ(
      tree_summary_text(summary),
      "converted 581 files, 8.6 MB, in 0.3 s; 3 unchanged; 1 not converted; 202 skipped: no C++ extension");
}

}  // namespace
}  // namespace prismet

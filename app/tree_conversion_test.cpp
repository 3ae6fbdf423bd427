#include "app/tree_conversion.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "app/site_index.h"
#include "common/bounded_copy.h"
#include "common/file_system.h"
#include "common/folder_listing.h"
#include "common/path_text.h"
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
      "<!-- prismet-index 1\n"
      "ffffffffffffffff 18446744073709551615 0 7 1000000000 1796762500629455928 18446744073709551615 "
      "x.h.htm\n"
      "00000000000000a1 0 0 0 0 0 0 y%20y.c.htm\n"
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
  TreeSummary summary;
  std::vector<std::string> failed;
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

  // A page removed since is made again; one edited by hand is the user's
  // until its source changes (or --force).
  delete_file(in(tree_, "a.h.htm").c_str());
  write_file(in(tree_, "a.cpp.htm"), "edited");
  EXPECT_EQ(convert({tree_}), 0);
  EXPECT_EQ(recorder_.summary.converted, 1u);
  EXPECT_EQ(read_file(in(tree_, "a.h.htm")), "[top]<W><FONT COLOR=\"#0000FF\">int</FONT> a();\r\n</W>");
  EXPECT_EQ(read_file(in(tree_, "a.cpp.htm")), "edited");

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
    write_file(in(tree_, "sub/f55.c.htm"), "edited");  // the user's until its source changes
    EXPECT_EQ(convert({tree_}), 0);
    EXPECT_EQ(recorder_.summary.converted, 8u);
    EXPECT_EQ(recorder_.summary.unchanged, 146u);
    for (const std::string& name : changed)
      EXPECT_EQ(read_file(in(tree_, "sub/" + name + ".c.htm")), "<W>two</W>");
    EXPECT_EQ(read_file(in(tree_, "sub/f20.c.htm")), "<W>old</W>");
    EXPECT_EQ(read_file(in(tree_, "sub/f4.c.htm")), "<W>old</W>");
    EXPECT_EQ(read_file(in(tree_, "sub/f55.c.htm")), "edited");
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

}  // namespace
}  // namespace prismet

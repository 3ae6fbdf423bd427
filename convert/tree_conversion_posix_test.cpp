// What only Linux trees hold: symbolic links, permissions, names in any
// bytes.
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "common/bounded_copy.h"
#include "common/file_system.h"
#include "convert/conversion.h"
#include "convert/tree_walk.h"
#include "settings/settings_file.h"
#include "tests/encoding_checks.h"
#include "tests/ordinary_user_posix.h"
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
  void tree_finished(const TreeSummary& told) override { summary = told; }
  std::vector<std::string> lines;
  TreeSummary summary;
};

class TreeConversionPosixTest : public ::testing::Test {
 protected:
  void SetUp() override {
    set_default_settings(settings_, "", "");
    settings_.style.whole = {"<W>", "</W>"};
    set_builtin_vocabulary(vocabulary_);
    root_ = scratch_path(::testing::UnitTest::GetInstance()->current_test_info()->name());
    tree_ = root_ + "/src";
    testing::make_folder(root_);
    testing::make_folder(tree_);
    testing::make_folder(tree_ + "/sub");
    write_file(tree_ + "/a.cpp", "a");
    write_file(tree_ + "/sub/b.cpp", "b");
  }
  void TearDown() override { free_vocabulary(vocabulary_); }
  int convert(const std::vector<std::string>& paths) {
    failures_ = Failures();
    return convert_files(paths, settings_, vocabulary_, &failures_);
  }

  Settings settings_;
  Vocabulary vocabulary_;
  Failures failures_;
  std::string root_;
  std::string tree_;
};

// A link to a folder is never followed, so a loop ends and a folder out of
// the tree is not converted; a link to a file is converted where the link
// is; a page whose name is a link is not written through it.
TEST_F(TreeConversionPosixTest, LinksNeverLeadTheRunAwayOrOut) {
  const std::string outside = root_ + "/outside";
  testing::make_folder(outside);
  write_file(outside + "/o.cpp", "o");
  write_file(outside + "/victim", "keep");
  ASSERT_EQ(::symlink("..", (tree_ + "/sub/loop").c_str()), 0);
  ASSERT_EQ(::symlink(outside.c_str(), (tree_ + "/out").c_str()), 0);
  ASSERT_EQ(::symlink((outside + "/o.cpp").c_str(), (tree_ + "/linked.cpp").c_str()), 0);
  write_file(tree_ + "/c.cpp", "c");
  ASSERT_EQ(::symlink((outside + "/victim").c_str(), (tree_ + "/c.cpp.htm").c_str()), 0);
  EXPECT_EQ(convert({tree_}), 1);
  EXPECT_EQ(failures_.summary.converted, 3u);  // a.cpp, linked.cpp, sub/b.cpp
  EXPECT_EQ(read_file(tree_ + "/linked.cpp.htm"), "<W>o</W>");
  EXPECT_EQ(read_file(outside + "/victim"), "keep");
  EXPECT_FALSE(path_exists((outside + "/o.cpp.htm").c_str()));
  EXPECT_FALSE(path_exists((outside + "/index.html").c_str()));
  ASSERT_EQ(failures_.lines.size(), 1u);
  EXPECT_EQ(failures_.lines[0],
            tree_ + "/c.cpp: page " + tree_ + "/c.cpp.htm: the page's name is a symbolic link");
}

// A folder that cannot be read is told; the rest of the tree converts.
TEST_F(TreeConversionPosixTest, AnUnreadableFolderIsToldAndTheRestConverted) {
  testing::make_folder(tree_ + "/secret");
  write_file(tree_ + "/secret/s.cpp", "s");
  for (const std::string& path : {root_, tree_, tree_ + "/a.cpp", tree_ + "/sub", tree_ + "/sub/b.cpp"}) {
    testing::give_to_ordinary_user(path);
  }
  ASSERT_EQ(::chmod((tree_ + "/secret").c_str(), 0), 0);
  EXPECT_TRUE(testing::as_ordinary_user([&] {
    const bool failed_once = convert({tree_}) == 1;
    return failed_once && failures_.lines.size() == 1 &&
           failures_.lines[0] == tree_ + "/secret: Permission denied" && failures_.summary.converted == 2;
  }));
  EXPECT_TRUE(path_exists((tree_ + "/sub/b.cpp.htm").c_str()));
  EXPECT_FALSE(path_exists((tree_ + "/secret/s.cpp.htm").c_str()));
  ::chmod((tree_ + "/secret").c_str(), 0755);
}

// Names are bytes: code page 932 ones whose second byte is a backslash, and
// spaces, convert and are linked by their bytes.
TEST_F(TreeConversionPosixTest, NamesOfAnyBytesAreConvertedAndLinked) {
  const std::string name = "\x95\x5C \x83\x5C.cpp";  // two characters ending in 0x5C, a space
  write_file(tree_ + "/" + name, "x");
  const std::string site = root_ + "/site";
  copy_string_bounded(settings_.output_folder, site.c_str());
  EXPECT_EQ(convert({tree_}), 0);
  EXPECT_EQ(read_file(site + "/" + name + ".htm"), "<W>x</W>");
  // A Shift_JIS index shows the bytes; a UTF-8 one cannot, and shows U+FFFD
  // for each byte that is no UTF-8.
  const std::string link = "<a href=\"%95%5C%20%83%5C.cpp.htm\">";
  EXPECT_NE(read_file(site + "/index.html").find(link + name + "</a>"), std::string::npos);
  settings_.encoding = SourceEncoding::kUtf8;
  EXPECT_EQ(convert({tree_}), 0);
  EXPECT_NE(read_file(site + "/index.html").find(link + "\xEF\xBF\xBD\\ \xEF\xBF\xBD\\.cpp</a>"),
            std::string::npos);
}

// A Shift_JIS mode's indexes show UTF-8 names in Shift_JIS (日本/漢字.cpp)
// and stay valid code page 932 whatever bytes or markup the names hold; the
// links keep the names' bytes, and a second run reads its records back.
TEST_F(TreeConversionPosixTest, AShiftJisIndexShowsUtf8NamesInShiftJis) {
  const std::string japan = tree_ + "/\xE6\x97\xA5\xE6\x9C\xAC";  // 日本
  const std::string marked = tree_ + "/&<>\"'";
  testing::make_folder(japan);
  testing::make_folder(marked);
  write_file(japan + "/\xE6\xBC\xA2\xE5\xAD\x97.cpp", "k");  // 漢字.cpp
  for (const char* name : {"\x80.cpp", "\xBF.cpp", "\xC0.cpp", "\xFF.cpp"})
    write_file(marked + "/" + name, "x");
  const std::string site = root_ + "/site";
  copy_string_bounded(settings_.output_folder, site.c_str());
  EXPECT_EQ(convert({tree_}), 0);
  const std::string top = read_file(site + "/index.html");
  const std::string japan_index = read_file(site + "/\xE6\x97\xA5\xE6\x9C\xAC/index.html");
  const std::string marked_index = read_file(site + "/&<>\"'/index.html");
  for (const std::string* index : {&top, &japan_index, &marked_index}) {
    EXPECT_TRUE(testing::is_valid_cp932(*index));
  }
  EXPECT_NE(top.find("<a href=\"%E6%97%A5%E6%9C%AC/index.html\">\x93\xFA\x96\x7B/</a>"), std::string::npos);
  EXPECT_NE(top.find("<a href=\"%26%3C%3E%22%27/index.html\">&amp;&lt;&gt;&quot;&#39;/</a>"),
            std::string::npos);
  EXPECT_NE(japan_index.find("<title>/\x93\xFA\x96\x7B/</title>"), std::string::npos);
  EXPECT_NE(japan_index.find("<a href=\"%E6%BC%A2%E5%AD%97.cpp.htm\">\x8A\xBF\x8E\x9A.cpp</a>"),
            std::string::npos);
  EXPECT_NE(marked_index.find("<title>/&amp;&lt;&gt;&quot;&#39;/</title>"), std::string::npos);
  EXPECT_NE(marked_index.find("<a href=\"%80.cpp.htm\">&#65533;.cpp</a>"), std::string::npos);
  EXPECT_NE(marked_index.find("<a href=\"%BF.cpp.htm\">\xBF.cpp</a>"), std::string::npos);
  EXPECT_NE(marked_index.find("<a href=\"%C0.cpp.htm\">\xC0.cpp</a>"), std::string::npos);
  EXPECT_NE(marked_index.find("<a href=\"%FF.cpp.htm\">&#65533;.cpp</a>"), std::string::npos);
  EXPECT_EQ(read_file(site + "/\xE6\x97\xA5\xE6\x9C\xAC/\xE6\xBC\xA2\xE5\xAD\x97.cpp.htm"), "<W>k</W>");
  EXPECT_EQ(read_file(site + "/&<>\"'/\xFF.cpp.htm"), "<W>x</W>");
  EXPECT_EQ(convert({tree_}), 0);
  EXPECT_EQ(failures_.summary.converted, 0u);
  EXPECT_EQ(failures_.summary.unchanged, 7u);
}

// The title a header's "{{source}}" gives a page, and its "{{index}}" link,
// are valid in the page's encoding whatever bytes the names hold: UTF-8 with
// U+FFFD for a byte that is no UTF-8, Shift_JIS with the UTF-8 names
// converted and a character reference for what it cannot hold.
TEST_F(TreeConversionPosixTest, PageTitlesAreValidInThePagesEncoding) {
  settings_.insert_file_variables = true;
  write_file(root_ + "/top.txt", "<title>{{source}}</title>{{index}}|");
  copy_string_bounded(settings_.style.insert_before, (root_ + "/top.txt").c_str());
  const std::string japan = tree_ + "/\xE6\x97\xA5\xE6\x9C\xAC";  // 日本
  testing::make_folder(japan);
  const std::string source = japan + "/\xE6\xBC\xA2\xE5\xAD\x97\xFF.cpp";  // 漢字, then no UTF-8
  write_file(source, "k");
  const struct {
    SourceEncoding encoding;
    std::string head;
  } cases[] = {
      {SourceEncoding::kUtf8,
       "<title>\xE6\xBC\xA2\xE5\xAD\x97\xEF\xBF\xBD.cpp</title><nav class=\"prismet-nav\"><a "
       "href=\"index.html\">/\xE6\x97\xA5\xE6\x9C\xAC/</a></nav>|<W>k</W>"},
      {SourceEncoding::kShiftJis,
       "<title>\x8A\xBF\x8E\x9A&#65533;.cpp</title><nav class=\"prismet-nav\"><a "
       "href=\"index.html\">/\x93\xFA\x96\x7B/</a></nav>|<W>k</W>"},
  };
  for (const auto& c : cases) {
    settings_.encoding = c.encoding;
    EXPECT_EQ(convert({tree_}), 0);
    const std::string page = read_file(source + ".htm");
    EXPECT_EQ(page, c.head);
    EXPECT_TRUE(c.encoding == SourceEncoding::kUtf8 ? testing::is_valid_utf8(page)
                                                    : testing::is_valid_cp932(page));
  }
}

// How many entries a folder holds, "." and ".." left out.
int entries_in(const std::string& folder) {
  DIR* listing = ::opendir(folder.c_str());
  if (listing == nullptr) return -1;
  int count = 0;
  while (const dirent* entry = ::readdir(listing)) {
    const std::string name = entry->d_name;
    count += name != "." && name != "..";
  }
  ::closedir(listing);
  return count;
}

// A folder in the output folder that is a symbolic link (to a folder
// outside, or to nothing) is refused and told on every run: no page or
// index is written through it, nothing below it is walked, and the rest of
// the site is made.
TEST_F(TreeConversionPosixTest, NoFolderOfTheSiteIsWrittenThroughALink) {
  const std::string outside = root_ + "/outside";
  const std::string site = root_ + "/site";
  testing::make_folder(outside);
  testing::make_folder(tree_ + "/sub/deeper");
  write_file(tree_ + "/sub/deeper/c.cpp", "c");
  copy_string_bounded(settings_.output_folder, site.c_str());
  ASSERT_EQ(convert({tree_}), 0);
  for (const std::string& target : {outside, root_ + "/nowhere"}) {
    SCOPED_TRACE(target);
    ASSERT_EQ(std::system(("rm -rf '" + site + "/sub'").c_str()), 0);
    ASSERT_EQ(::symlink(target.c_str(), (site + "/sub").c_str()), 0);
    for (int run = 0; run < 2; ++run) {
      EXPECT_EQ(convert({tree_}), 1) << run;
      EXPECT_EQ(failures_.lines,
                std::vector<std::string>{site + "/sub: a symbolic link stands where the output folder goes"})
          << run;
      EXPECT_EQ(entries_in(outside), 0) << run;
      EXPECT_FALSE(path_exists((root_ + "/nowhere").c_str()));
      EXPECT_EQ(read_file(site + "/a.cpp.htm"), "<W>a</W>");
      EXPECT_NE(read_file(site + "/index.html").find("a.cpp.htm"), std::string::npos);
    }
    ASSERT_EQ(::unlink((site + "/sub").c_str()), 0);
  }
}

// In an output folder as beside the sources, a page or an index whose name
// is a symbolic link (to a file outside, or to nothing) is refused and told,
// on every run: nothing is written or made through it.
TEST_F(TreeConversionPosixTest, NoPageOrIndexIsWrittenThroughALink) {
  const std::string outside = root_ + "/outside";
  testing::make_folder(outside);
  write_file(outside + "/victim", "keep");
  const std::string site = root_ + "/site";
  testing::make_folder(site);
  testing::make_folder(site + "/sub");
  struct Case {
    std::string output;  // empty: beside the sources
    std::string link;    // a page's or an index's name
    std::string target;
    std::string told;
  } cases[] = {
      {site, site + "/a.cpp.htm", outside + "/victim",
       tree_ + "/a.cpp: page " + site + "/a.cpp.htm: the page's name is a symbolic link"},
      {site, site + "/sub/b.cpp.htm", outside + "/made",
       tree_ + "/sub/b.cpp: page " + site + "/sub/b.cpp.htm: the page's name is a symbolic link"},
      {std::string(), tree_ + "/sub/b.cpp.htm", outside + "/made",
       tree_ + "/sub/b.cpp: page " + tree_ + "/sub/b.cpp.htm: the page's name is a symbolic link"},
      {site, site + "/index.html", outside + "/victim",
       tree_ + ": page " + site + "/index.html: the index's name is a symbolic link"},
      {site, site + "/sub/index.html", outside + "/made",
       tree_ + "/sub: page " + site + "/sub/index.html: the index's name is a symbolic link"},
      {std::string(), tree_ + "/index.html", outside + "/made",
       tree_ + ": page " + tree_ + "/index.html: the index's name is a symbolic link"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.link);
    copy_string_bounded(settings_.output_folder, c.output.c_str());
    ::unlink(c.link.c_str());  // what an earlier case made there
    ASSERT_EQ(::symlink(c.target.c_str(), c.link.c_str()), 0);
    for (int run = 0; run < 2; ++run) {
      EXPECT_EQ(convert({tree_}), 1) << run;
      EXPECT_EQ(failures_.lines, std::vector<std::string>{c.told}) << run;
      EXPECT_EQ(read_file(outside + "/victim"), "keep");
      EXPECT_FALSE(path_exists((outside + "/made").c_str()));
    }
    struct stat info;
    EXPECT_EQ(::lstat(c.link.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    ASSERT_EQ(::unlink(c.link.c_str()), 0);
  }
  // Files named one by one go into the output folder the same way.
  write_file(tree_ + "/c.cpp", "c");
  copy_string_bounded(settings_.output_folder, site.c_str());
  ::unlink((site + "/c.htm").c_str());
  ASSERT_EQ(::symlink((outside + "/victim").c_str(), (site + "/c.htm").c_str()), 0);
  EXPECT_EQ(convert({tree_ + "/a.cpp", tree_ + "/c.cpp"}), 1);
  EXPECT_EQ(failures_.lines, std::vector<std::string>{tree_ + "/c.cpp: page " + site +
                                                      "/c.htm: the page's name is a symbolic link"});
  EXPECT_EQ(read_file(outside + "/victim"), "keep");
  EXPECT_EQ(read_file(site + "/a.htm"), "<W>a</W>");
  // An index that links to another site's index is not written through.
  const std::string other = root_ + "/other";
  copy_string_bounded(settings_.output_folder, other.c_str());
  EXPECT_EQ(convert({tree_ + "/sub"}), 0);
  const std::string others_index = read_file(other + "/index.html");
  ::unlink((site + "/sub/index.html").c_str());  // the last case's link is gone already
  ASSERT_EQ(::symlink((other + "/index.html").c_str(), (site + "/sub/index.html").c_str()), 0);
  copy_string_bounded(settings_.output_folder, site.c_str());
  write_file(tree_ + "/sub/more.cpp", "m");
  EXPECT_EQ(convert({tree_}), 1);
  EXPECT_EQ(read_file(other + "/index.html"), others_index);
}

// A figure of /proc/self/status in bytes ("VmRSS:", "VmHWM:"); 0 when it
// cannot be told.
std::size_t memory_figure(const char* name) {
  std::FILE* status = std::fopen("/proc/self/status", "r");
  if (status == nullptr) return 0;
  char line[256];
  std::size_t kilobytes = 0;
  while (std::fgets(line, sizeof line, status) != nullptr) {
    if (std::strncmp(line, name, std::strlen(name)) == 0)
      kilobytes = std::strtoul(line + std::strlen(name), nullptr, 10);
  }
  std::fclose(status);
  return kilobytes * 1024;
}

// An index.html of someone else's of 1 GiB (sparse: it takes no room on the
// disk) in a tree: the run tells it is in the way and leaves it, and the
// peak of memory the process holds grows by far less than the file's size
// (measured in a child process, whose peak starts from what it holds when
// it is made).
TEST_F(TreeConversionPosixTest, AHugeForeignIndexIsNotReadIntoMemory) {
  const std::string index = tree_ + "/sub/index.html";
  const int fd = ::open(index.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::write(fd, "<html>not a site's\n", 19), 19);
  ASSERT_EQ(::ftruncate(fd, off_t{1} << 30), 0);
  ::close(fd);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const std::size_t held = memory_figure("VmRSS:");
    const int status = convert({tree_});
    const std::size_t peak = memory_figure("VmHWM:");
    if (held == 0 || peak == 0) ::_exit(3);
    if (peak > held + (100u << 20)) ::_exit(2);
    const bool told =
        failures_.lines.size() == 1 &&
        failures_.lines[0].find("a file of that name that this program did not make is in the way") !=
            std::string::npos;
    ::_exit(status == 1 && told ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status)) << "the run did not end normally (signal " << WTERMSIG(status) << ")";
  EXPECT_EQ(WEXITSTATUS(status), 0) << "1: not told; 2: the memory grew; 3: it could not be measured";
  struct stat info;
  ASSERT_EQ(::stat(index.c_str(), &info), 0);
  EXPECT_EQ(info.st_size, off_t{1} << 30);
  EXPECT_EQ(read_file(tree_ + "/a.cpp.htm").empty(), false);
}

}  // namespace
}  // namespace prismet

// Where include directives' header names lead in a site: the order of the
// places looked in, include folders inside and outside the site, "..",
// names of odd bytes, and what the links depend on.
#include "convert/site_files.h"

#include <gtest/gtest.h>

#include <string>

#include "common/path_text.h"
#include "convert/page_variables.h"
#include "tests/test_files.h"

namespace prismet {
namespace {

using testing::make_folder;
using testing::scratch_path;

class SiteFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static int counter = 0;
    root_ = scratch_path("site-files" + std::to_string(++counter));
    for (const char* folder : {"", "src", "src/sub", "src/inc", "lib", "lib/deep", "other", "outside"})
      make_folder(at(folder));
    // Two tops of one site in an output folder, and a top of another site.
    src_ = site_.add_top(at("src"), "/src/", 0);
    lib_ = site_.add_top(at("lib"), "/lib/", 0);
    other_ = site_.add_top(at("other"), "/", 1);
    for (const char* file : {"main.cpp", "b.h", "sub/c.h", "inc/ext/e.h", "Name With Space.h", "odd%#.h"})
      site_.add_file(src_, file);
    for (const char* file : {"b.h", "lib2.h", "deep/d.h"}) site_.add_file(lib_, file);
    site_.add_file(other_, "o.h");
    site_.add_include_folder(at("src/inc"));
    site_.add_include_folder(at("lib") + kPathSeparator + "deep" + kPathSeparator);
    site_.add_include_folder(at("outside"));
    site_.add_include_folder(at("missing"));
    site_.finish();
  }

  std::string at(const std::string& relative) const {
    std::string path = root_;
    if (!relative.empty()) path += kPathSeparator + relative;
    for (char& c : path) {
      if (c == '/') c = kPathSeparator;
    }
    return path;
  }

  std::string root_;
  SiteFiles site_;
  std::size_t src_ = 0, lib_ = 0, other_ = 0;
};

TEST_F(SiteFilesTest, NamesLeadToTheFirstPlaceThatHoldsThem) {
  const struct {
    const char* folder;  // the including source's, below src/
    const char* name;
    bool angled;
    const char* link;
  } cases[] = {
      // A quoted name: the including file's folder first, then the tops.
      {"", "b.h", false, "b.h.html"},
      {"sub/", "c.h", false, "c.h.html"},
      {"sub/", "b.h", false, "../b.h.html"},
      {"", "lib2.h", false, "../lib/lib2.h.html"},
      // An angled name: the tops, in their order, then the include folders.
      {"sub/", "c.h", true, ""},
      {"sub/", "b.h", true, "../b.h.html"},
      {"", "sub/c.h", true, "sub/c.h.html"},
      {"sub/", "lib2.h", true, "../../lib/lib2.h.html"},
      {"", "ext/e.h", true, "inc/ext/e.h.html"},
      {"sub/", "d.h", true, "../../lib/deep/d.h.html"},
      {"", "d.h", false, "../lib/deep/d.h.html"},
      // "." and "..", but never above the top.
      {"", "./b.h", false, "b.h.html"},
      {"sub/", "../b.h", false, "../b.h.html"},
      {"", "sub/../b.h", true, "b.h.html"},
      // A quoted name that climbs out of its top leads where it leads on
      // the disk: into another top of the site, or nowhere.
      {"", "../src/b.h", false, "b.h.html"},
      {"sub/", "../../lib/b.h", false, "../../lib/b.h.html"},
      {"", "../lib/deep/d.h", false, "../lib/deep/d.h.html"},
      {"", "../other/o.h", false, ""},
      {"", "../outside/out.h", false, ""},
      {"", "../../b.h", false, ""},
      {"", "../lib/b.h", true, ""},
      // Nowhere, another site's, an absolute name, an include folder outside
      // the site.
      {"", "missing.h", false, ""},
      {"", "o.h", false, ""},
      {"", "/b.h", true, ""},
      {"", "out.h", true, ""},
      {"", "", false, ""},
      // Names percent-encoded in the URL.
      {"", "Name With Space.h", false, "Name%20With%20Space.h.html"},
      {"sub/", "odd%#.h", true, "../odd%25%23.h.html"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(site_.link(src_, c.folder, c.name, c.angled, ".html"), c.link)
        << c.folder << " " << (c.angled ? "<" : "\"") << c.name;
  }
  // Another site's top on the disk links within its own site only.
  EXPECT_EQ(site_.link(other_, "", "../src/b.h", false, ".htm"), "");
  // The other site's page links within its own site only.
  EXPECT_EQ(site_.link(other_, "", "o.h", false, ".htm"), "o.h.htm");
  EXPECT_EQ(site_.link(other_, "", "b.h", false, ".htm"), "");
}

TEST_F(SiteFilesTest, AFileNamedIntoTheOutputFolderLinksFromItsPlaceOnTheDisk) {
  const struct {
    const char* folder;  // the named file's, below the test's folder
    const char* name;
    bool angled;
    const char* link;
  } cases[] = {
      {"src/sub", "c.h", false, "src/sub/c.h.html"},
      {"src", "../lib/b.h", false, "lib/b.h.html"},
      {"outside", "b.h", false, "src/b.h.html"},
      {"outside", "lib2.h", true, "lib/lib2.h.html"},
      {"outside", "ext/e.h", true, "src/inc/ext/e.h.html"},
      {"outside", "c.h", false, ""},
      {"other", "o.h", false, ""},
      {"outside", "/b.h", false, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(site_.link_named(at(c.folder), c.name, c.angled, ".html"), c.link) << c.folder << " " << c.name;
  }
  const std::string folder = at("src");
  SitePageLinks page(site_, folder, ".html", false);
  EXPECT_EQ(page.include_target("b.h", false), "src/b.h.html");
}

TEST_F(SiteFilesTest, AThreadsCacheGivesWhatEachLookUpGives) {
  // The same name leads elsewhere from another folder or top, and quoted
  // and angled names differ: a cache kept across pages must not mix them.
  const struct {
    bool in_lib;  // a source of lib/, else of src/
    const char* folder;
    const char* name;
    bool angled;
    const char* link;
  } cases[] = {
      {false, "", "b.h", false, "b.h.html"},
      {false, "", "b.h", false, "b.h.html"},
      {false, "", "sub/c.h", true, "sub/c.h.html"},
      {false, "sub/", "b.h", false, "../b.h.html"},
      {false, "sub/", "c.h", false, "c.h.html"},
      {false, "sub/", "c.h", true, ""},
      {false, "", "c.h", false, ""},
      {true, "", "b.h", false, "b.h.html"},
      {true, "deep/", "b.h", false, "../../src/b.h.html"},
      {false, "sub/", "c.h", false, "c.h.html"},
      {false, "sub/", "b.h", false, "../b.h.html"},
  };
  IncludeTargetCache cache;
  for (int round = 0; round < 2; ++round) {
    for (const auto& c : cases) {
      SitePageLinks page(site_, c.in_lib ? lib_ : src_, c.folder, ".html", false, &cache);
      EXPECT_EQ(page.include_target(c.name, c.angled), c.link)
          << c.folder << " " << c.name << " " << c.angled;
    }
  }
}

TEST_F(SiteFilesTest, CaseAndSeparatorsAsTheFileSystemHasThem) {
  // The link names the page as the source is listed.
  EXPECT_EQ(site_.link(src_, "", "B.H", false, ".html"), kCaseBlindFileNames ? "b.h.html" : "");
  EXPECT_EQ(site_.link(src_, "", "sub\\c.h", false, ".html"), kPathSeparator == '\\' ? "sub/c.h.html" : "");
}

TEST_F(SiteFilesTest, PageLinksLookNamesUpInTheFileSystemsBytes) {
  // 表.h: in code page 932 (Windows names) 0x95 0x5C, whose second byte is
  // a backslash; a UTF-8 page gives it in UTF-8.
  site_.add_file(src_, "\x95\x5C.h");
  site_.add_files(src_, "", {"\xE8\xA1\xA8x.h", "Mixed.h"});
  site_.finish();
  SitePageLinks utf8_page(site_, src_, "", ".html", true);
  SitePageLinks shift_jis_page(site_, src_, "", ".html", false);
  if (file_names_are_cp932()) {
    EXPECT_EQ(utf8_page.include_target("\xE8\xA1\xA8.h", false), "%E8%A1%A8.h.html");
    EXPECT_EQ(shift_jis_page.include_target("\x95\x5C.h", false), "%E8%A1%A8.h.html");
    // A character code page 932 lacks names no file.
    EXPECT_EQ(utf8_page.include_target("\xE2\x82\xAC.h", false), "");
  } else {
    EXPECT_EQ(utf8_page.include_target("\xE8\xA1\xA8x.h", false), "%E8%A1%A8x.h.html");
    EXPECT_EQ(utf8_page.include_target("\xE8\xA1\xA8.h", false), "");
  }
  if (file_names_are_utf8()) {
    // A Shift_JIS page names 表x.h in code page 932; bytes that are no
    // character of it name no file.
    EXPECT_EQ(shift_jis_page.include_target("\x95\x5Cx.h", false), "%E8%A1%A8x.h.html");
    EXPECT_EQ(shift_jis_page.include_target("\x95", false), "");
    EXPECT_EQ(shift_jis_page.include_target("\x85\x40.h", false), "");
    EXPECT_EQ(shift_jis_page.include_target("\xE8\xA1\xA8x.h", false), "");
  }
  EXPECT_EQ(utf8_page.include_target("sub/c.h", true), "sub/c.h.html");
  EXPECT_EQ(utf8_page.include_target("mixed.h", true), kCaseBlindFileNames ? "Mixed.h.html" : "");
}

TEST_F(SiteFilesTest, TheDigestChangesWithEveryFileAndFolder) {
  const std::uint64_t before = site_.digest();
  SiteFiles same;
  same.add_top(at("src"), "/src/", 0);
  SiteFiles other;
  other.add_top(at("src"), "/src/", 0);
  EXPECT_EQ(same.digest(), other.digest());
  other.add_file(0, "a.h");
  EXPECT_NE(same.digest(), other.digest());
  same.add_file(0, "a.h");
  EXPECT_EQ(same.digest(), other.digest());
  same.add_include_folder(at("src"));
  EXPECT_NE(same.digest(), other.digest());
  site_.add_file(src_, "new.h");
  EXPECT_NE(site_.digest(), before);
}

}  // namespace
}  // namespace prismet

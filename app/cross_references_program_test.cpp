// The program's cross-references, end to end: a tree converted into an
// output folder with the key on, the links of its pages, each link to a
// line checked against the page it leads to, the pages made again when a
// definition moves and only then, and nothing of it without the key; and
// without an output folder, each folder named a site of its own.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "common/file_system.h"
#include "tests/program_folder.h"

namespace prismet {
namespace {

using testing::kSep;
using testing::make_folder;
using testing::read_file;
using testing::write_file;

constexpr char kHeader[] =
    "#define LIMIT 10\n"
    "struct Point {\n"
    "  int x;\n"
    "};\n"
    "int area(Point);\n"
    "int size();\n";

class CrossReferencesProgramTest : public testing::ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    for (const char* folder : {"src", "src/sub"}) make_folder(in(folder));
    write_file(in("src/a.h"), kHeader);
    write_file(in("src/a.cpp"),
               "#include \"a.h\"\n"
               "int area(Point) {\n"
               "  return LIMIT; // area LIMIT\n"
               "}\n"
               "int size() {\n"
               "  return 1;\n"
               "}\n");
    write_file(in("src/sub/b.cpp"),
               "#include \"../a.h\"\n"
               "int size() {\n"
               "  return \"area\" ? area(Point{}) : LIMIT;\n"
               "}\n"
               "int twice() {\n"
               "  return size() + twice();\n"
               "}\n");
  }

  std::string in(const std::string& relative) const {
    std::string p = path(relative);
    for (char& c : p) {
      if (c == '/') c = kPathSeparator;
    }
    return p;
  }

  void write_settings(bool cross_references, int jobs = 0, bool output_folder = true) {
    std::string settings = "[prismet]\r\nダイアログを表示=0\r\n拡張子=.html\r\n行のアンカー=1\r\n";
    if (output_folder) settings += "出力フォルダ=" + in("site") + "\r\n";
    settings += "同時変換数=" + std::to_string(jobs) + "\r\n";
    if (cross_references) settings += "相互参照=1\r\n";
    write_file(settings_file(), settings);
  }

  static std::vector<std::string> links_of(const std::string& page) {
    std::vector<std::string> links;
    for (std::size_t at = page.find("<a href=\""); at != std::string::npos;
         at = page.find("<a href=\"", at)) {
      at += 9;
      links.push_back(page.substr(at, page.find('"', at) - at));
    }
    return links;
  }

  // Every link of every page, index and symbol page below `site` lands on
  // a file, and on an element of that file when it names one. Returns how
  // many symbol pages there are.
  static int links_land(const std::string& site) {
    int symbol_pages = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(site)) {
      if (entry.path().extension() != ".html") continue;
      if (entry.path().parent_path().filename() == "prismet-symbols") ++symbol_pages;
      for (const std::string& link : links_of(read_file(entry.path().string()))) {
        const std::size_t hash = link.find('#');
        const std::string file = link.substr(0, hash);
        const std::filesystem::path target = file.empty() ? entry.path() : entry.path().parent_path() / file;
        EXPECT_TRUE(std::filesystem::is_regular_file(target)) << entry.path() << " -> " << link;
        if (hash == std::string::npos || !std::filesystem::is_regular_file(target)) continue;
        EXPECT_NE(read_file(target.string()).find("id=\"" + link.substr(hash + 1) + "\""), std::string::npos)
            << entry.path() << " -> " << link;
      }
    }
    return symbol_pages;
  }

  // Each file below `folder` with the time it was last written.
  static std::map<std::string, std::filesystem::file_time_type> written(const std::string& folder) {
    std::map<std::string, std::filesystem::file_time_type> times;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
      times[entry.path().string()] = entry.last_write_time();
    return times;
  }
};

TEST_F(CrossReferencesProgramTest, NamesLinkToTheirDefinitionsAndDefinitionsToTheirUses) {
  write_settings(true);
  ASSERT_EQ(run({"/dlg:0", in("src")}), 0);
  const struct {
    const char* page;
    std::vector<std::string> links;
  } cases[] = {
      {"site/sub/b.cpp.html",
       {"../prismet-symbols/2dd.html#size.uses", "../a.cpp.html#L2", "../a.h.html#L2", "../a.h.html#L1",
        "../prismet-symbols/18b.html#twice.uses", "../prismet-symbols/2dd.html#size", "#L5"}},
      {"site/a.cpp.html",
       {"prismet-symbols/17f.html#area.uses", "a.h.html#L2", "a.h.html#L1",
        "prismet-symbols/2dd.html#size.uses"}},
      {"site/a.h.html",
       {"prismet-symbols/2d8.html#LIMIT.uses", "prismet-symbols/382.html#Point.uses",
        "prismet-symbols/01a.html#x.uses", "prismet-symbols/17f.html#area.uses", "#L2",
        "prismet-symbols/2dd.html#size.uses"}},
  };
  for (const auto& c : cases) EXPECT_EQ(links_of(read_file(in(c.page))), c.links) << c.page;
  const std::string b_page = read_file(in("site/sub/b.cpp.html"));
  // The built-in style's colours, the string and the keyword untouched.
  EXPECT_NE(
      b_page.find("<FONT COLOR=\"#0000FF\">return</FONT> <FONT COLOR=\"#FF0000\">&quot;area&quot;</FONT> ? "
                  "<a href=\"../a.cpp.html#L2\">area</a>(<a href=\"../a.h.html#L2\">Point</a>{})"),
      std::string::npos)
      << b_page;
  // A page for each group of the six names (each in its own), the symbol
  // index and the pages of their six initials.
  EXPECT_EQ(links_land(in("site")), 6 + 1 + 6);
}

TEST_F(CrossReferencesProgramTest, PagesAreMadeAgainWhenADefinitionMovesAndOnlyThen) {
  write_settings(true);
  ASSERT_EQ(run({"/dlg:0", in("src")}), 0);
  const std::string b_page = in("site/sub/b.cpp.html");
  // A page written again has another stamp. (A page changed by anyone since
  // it was written is made again: the stamp the site's record holds is the
  // one it was written with.)
  FileStamp before;
  ASSERT_TRUE(file_stamp(b_page.c_str(), before));
  ASSERT_EQ(run({"/dlg:0", in("src")}), 0);
  FileStamp after;
  ASSERT_TRUE(file_stamp(b_page.c_str(), after));
  EXPECT_TRUE(after == before) << "an unchanged tree rewrites no page";
  const std::string marked(read_file(b_page).size(), 'x');
  write_file(b_page, marked);
  ASSERT_EQ(run({"/dlg:0", in("src")}), 0);
  EXPECT_NE(read_file(b_page), marked);
  // A line before the definitions moves them: the pages that link there follow.
  write_file(in("src/a.h"), std::string("// moved\n") + kHeader);
  ASSERT_EQ(run({"/dlg:0", in("src")}), 0);
  const std::vector<std::string> links = links_of(read_file(b_page));
  ASSERT_EQ(links.size(), 7u);
  EXPECT_EQ(links[2], "../a.h.html#L3");
  EXPECT_EQ(links[3], "../a.h.html#L2");
}

TEST_F(CrossReferencesProgramTest, AnyNumberOfThreadsMakesTheSameSite) {
  write_settings(true, 1);
  ASSERT_EQ(run({"/dlg:0", in("src")}), 0);
  const std::string one = read_file(in("site/sub/b.cpp.html")) + read_file(in("site/a.h.html"));
  std::filesystem::remove_all(in("site"));
  write_settings(true, 4);
  ASSERT_EQ(run({"/dlg:0", in("src")}), 0);
  EXPECT_EQ(read_file(in("site/sub/b.cpp.html")) + read_file(in("site/a.h.html")), one);
}

TEST_F(CrossReferencesProgramTest, WithoutTheKeyNoNameLinks) {
  write_settings(false);
  ASSERT_EQ(run({"/dlg:0", in("src")}), 0);
  const std::string plain = read_file(in("site/sub/b.cpp.html"));
  EXPECT_EQ(plain.find("<a href"), std::string::npos);
  write_settings(true);
  ASSERT_EQ(run({"/dlg:0", in("src")}), 0);
  EXPECT_NE(read_file(in("site/sub/b.cpp.html")).find("<a href"), std::string::npos);
  write_settings(false);
  ASSERT_EQ(run({"/dlg:0", in("src")}), 0);
  EXPECT_EQ(read_file(in("site/sub/b.cpp.html")), plain);
  EXPECT_EQ(read_file(settings_file()).find("相互参照"), std::string::npos);
}

// A folder dropped without an output folder: its pages beside its sources
// link as the output folder's would, its symbol pages in its own folder
// "prismet-symbols", and a second run writes nothing.
TEST_F(CrossReferencesProgramTest, WithoutAnOutputFolderTheNamedFolderIsTheSite) {
  write_settings(true, 0, false);
  ASSERT_EQ(run({"/dlg:0", in("src")}), 0);
  EXPECT_EQ(
      links_of(read_file(in("src/sub/b.cpp.html"))),
      (std::vector<std::string>{"../prismet-symbols/2dd.html#size.uses", "../a.cpp.html#L2", "../a.h.html#L2",
                                "../a.h.html#L1", "../prismet-symbols/18b.html#twice.uses",
                                "../prismet-symbols/2dd.html#size", "#L5"}));
  EXPECT_GE(links_land(in("src")), 7);
  EXPECT_FALSE(std::filesystem::exists(in("site")));
  // An unchanged folder rewrites no page, index or symbol page, nor adds a
  // file: every file keeps the time it was written.
  const auto before = written(in("src"));
  ASSERT_EQ(run({"/dlg:0", in("src")}), 0);
  EXPECT_EQ(written(in("src")), before);
}

// Two folders named: two sites, neither linking to the other's names.
TEST_F(CrossReferencesProgramTest, EachFolderNamedIsASiteOfItsOwn) {
  make_folder(in("other"));
  write_file(in("other/c.cpp"),
             "int size() {\n  return 2;\n}\nint c() {\n  return area(Point{}) + size();\n}\n");
  write_settings(true, 0, false);
  ASSERT_EQ(run({"/dlg:0", in("src"), in("other")}), 0);
  EXPECT_EQ(links_of(read_file(in("other/c.cpp.html"))),
            (std::vector<std::string>{"prismet-symbols/2dd.html#size.uses", "prismet-symbols/1dc.html#c.uses",
                                      "#L1"}));
  EXPECT_NE(read_file(in("src/a.cpp.html")).find("<a href=\"prismet-symbols/2dd.html#size.uses\">size</a>"),
            std::string::npos);
  EXPECT_GE(links_land(in("src")), 7);
  EXPECT_GE(links_land(in("other")), 2);
  const std::string size_page = read_file(in("other/prismet-symbols/2dd.html"));
  EXPECT_EQ(size_page.find("a.cpp"), std::string::npos) << size_page;
}

}  // namespace
}  // namespace prismet

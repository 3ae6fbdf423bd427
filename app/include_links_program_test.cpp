// The program's include links, end to end: a tree converted with the links
// on, every link checked against the pages written, and the pages made
// again when a header appears or goes, and only then.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
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

class IncludeLinksProgramTest : public testing::ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    for (const char* folder :
         {"src", "src/app", "src/lib", "src/lib/sub", "src/include", "src/include/ext", "outside"}) {
      make_folder(in(folder));
    }
    write_file(in("src/app/main.cpp"),
               "#include \"b.h\"\n"
               "#include \"../lib/sub/c.h\" // c\n"
               "#  include <ext/e.h>\n"
               "#include <lib/b.h>\n"
               "#include <vector>\n"
               "#include \"missing.h\"\n"
               "#include <out.h>\n"
               "#include \"../../outside/out.h\"\n"
               "#include HEADER\n");
    write_file(in("src/app/b.h"), "#include \"main.cpp\"\n");
    write_file(in("src/lib/b.h"), "#include \"sub/c.h\"\n");
    write_file(in("src/lib/sub/c.h"), "int c;\n");
    write_file(in("src/include/ext/e.h"), "int e;\n");
    write_file(in("outside/out.h"), "int out;\n");
  }

  // A path below the test's folder, '/' standing for the separator.
  std::string in(const std::string& relative) const {
    std::string p = path(relative);
    for (char& c : p) {
      if (c == '/') c = kPathSeparator;
    }
    return p;
  }

  void write_settings(bool links) {
    std::string settings =
        "[prismet]\r\nダイアログを表示=0\r\n拡張子=.html\r\n出力フォルダ=" + in("site") + "\r\n";
    if (links) {
      settings += "インクルードのリンク=1\r\nインクルードフォルダ=" + in("src/include") + ";" +
                  in("outside") + "\r\n";
    }
    write_file(settings_file(), settings);
  }

  // The targets of the page's links, in order.
  static std::vector<std::string> links_of(const std::string& page) {
    std::vector<std::string> links;
    for (std::size_t at = page.find("<a href=\""); at != std::string::npos;
         at = page.find("<a href=\"", at)) {
      at += 9;
      links.push_back(page.substr(at, page.find('"', at) - at));
    }
    return links;
  }
};

TEST_F(IncludeLinksProgramTest, EveryLinkLeadsToAPageOfTheSite) {
  write_settings(true);
  ASSERT_EQ(run({"/dlg:0", in("src")}), 0);
  const std::string main_page = read_file(in("site/app/main.cpp.html"));
  EXPECT_EQ(links_of(main_page), (std::vector<std::string>{"b.h.html", "../lib/sub/c.h.html",
                                                           "../include/ext/e.h.html", "../lib/b.h.html"}));
  // The built-in words take the point for a number, inside the link too.
  EXPECT_NE(main_page.find(
                "&lt;<a href=\"../include/ext/e.h.html\">ext/e<FONT COLOR=\"#FF0000\">.</FONT>h</a>&gt;"),
            std::string::npos);
  EXPECT_NE(main_page.find("&quot;<a href=\"b.h.html\">b.h</a>&quot;"), std::string::npos);
  EXPECT_EQ(links_of(read_file(in("site/lib/b.h.html"))), std::vector<std::string>{"sub/c.h.html"});
  EXPECT_EQ(links_of(read_file(in("site/app/b.h.html"))), std::vector<std::string>{"main.cpp.html"});
  // No link of any page leads to a file that is not there.
  int pages = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(in("site"))) {
    const std::string name = entry.path().filename().string();
    if (name == "index.html" || entry.path().extension() != ".html") continue;
    ++pages;
    for (const std::string& link : links_of(read_file(entry.path().string()))) {
      EXPECT_TRUE(std::filesystem::is_regular_file(entry.path().parent_path() / link))
          << entry.path() << " -> " << link;
    }
  }
  EXPECT_EQ(pages, 5);
}

TEST_F(IncludeLinksProgramTest, AHeaderWithoutAnExtensionIsALinksTarget) {
  // Taken by its name, and by its mode line: both are sources of the site
  // before any page is written.
  write_file(in("src/include/vector"), "int v;\n");
  write_file(in("src/lib/sub/map"), "// -*- C++ -*-\nint m;\n");
  write_file(in("src/lib/b.h"), "#include <vector>\n#include \"sub/map\"\n");
  write_settings(true);
  write_file(settings_file(),
             read_file(settings_file()) + "拡張子のないソース=vector\r\nC++のモード行=1\r\n");
  ASSERT_EQ(run({"/dlg:0", in("src")}), 0);
  EXPECT_EQ(links_of(read_file(in("site/lib/b.h.html"))),
            (std::vector<std::string>{"../include/vector.html", "sub/map.html"}));
  EXPECT_TRUE(std::filesystem::is_regular_file(in("site/include/vector.html")));
  EXPECT_TRUE(std::filesystem::is_regular_file(in("site/lib/sub/map.html")));
}

TEST_F(IncludeLinksProgramTest, PagesAreMadeAgainWhenAHeaderAppearsOrGoes) {
  write_settings(true);
  ASSERT_EQ(run({"/dlg:0", in("src")}), 0);
  const std::string main_page = in("site/app/main.cpp.html");
  // A page left as it is keeps bytes of the same size put in its place.
  const std::string marked(read_file(main_page).size(), 'x');
  write_file(main_page, marked);
  ASSERT_EQ(run({"/dlg:0", in("src")}), 0);
  EXPECT_EQ(read_file(main_page), marked) << "an unchanged tree rewrites no page";

  write_file(in("src/app/missing.h"), "int m;\n");
  ASSERT_EQ(run({"/dlg:0", in("src")}), 0);
  EXPECT_NE(read_file(main_page).find("&quot;<a href=\"missing.h.html\">missing.h</a>&quot;"),
            std::string::npos);

  ASSERT_TRUE(delete_file(in("src/lib/sub/c.h").c_str()));
  ASSERT_EQ(run({"/dlg:0", in("src")}), 0);
  const std::string without = read_file(main_page);
  EXPECT_EQ(without.find("c.h.html"), std::string::npos);
  EXPECT_EQ(links_of(read_file(in("site/lib/b.h.html"))), std::vector<std::string>{});
}

TEST_F(IncludeLinksProgramTest, WithoutTheKeyNoPageLinks) {
  write_settings(false);
  ASSERT_EQ(run({"/dlg:0", in("src")}), 0);
  const std::string plain = read_file(in("site/app/main.cpp.html"));
  EXPECT_EQ(plain.find("<a "), std::string::npos);
  // Turning the links on makes the pages again, and off once more as before.
  write_settings(true);
  ASSERT_EQ(run({"/dlg:0", in("src")}), 0);
  EXPECT_NE(read_file(in("site/app/main.cpp.html")).find("<a "), std::string::npos);
  write_settings(false);
  ASSERT_EQ(run({"/dlg:0", in("src")}), 0);
  EXPECT_EQ(read_file(in("site/app/main.cpp.html")), plain);
  EXPECT_EQ(read_file(settings_file()).find("インクルード"), std::string::npos);
}

}  // namespace
}  // namespace prismet

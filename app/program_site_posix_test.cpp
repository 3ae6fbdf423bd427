// A tree made into a site by the program in the html5 mode of its first
// run, end to end: numbered lines that link themselves, trails, indexes
// with a search box, the names that box searches, and names linked to
// their definitions and uses.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/program_folder.h"
#include "tests/run_program_posix.h"
#include "tests/test_files.h"

namespace prismet {
namespace {

using testing::read_file;
using testing::write_file;

namespace fs = std::filesystem;

class ProgramSiteTest : public testing::ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    const fs::path texts = fs::path(testing::built_program()).parent_path().parent_path() / "package-texts";
    fs::create_directories(path("share/prismet"));
    for (const auto& entry : fs::directory_iterator(texts)) {
      fs::copy_file(entry.path(), path("share/prismet") + "/" + entry.path().filename().string());
    }
    fs::create_directories(path("src/sub"));
    write_file(path("src/a.cpp"), "int a;\nint b = a;\n");
    write_file(path("src/sub/b.h"), "// b\n");
  }
  int run_with_streams(const std::vector<std::string>& arguments) {
    testing::ProgramStreams streams;
    streams.error = path("stderr");
    return testing::run_program(program_, arguments, streams);
  }
  std::string err() { return read_file(path("stderr")); }
  static bool holds(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
  }
};

TEST_F(ProgramSiteTest, TheHtml5ModeMakesANavigableSite) {
  ASSERT_EQ(run_with_streams({"-o", path("site"), path("src")}), 0) << err();
  const std::string page = read_file(path("site/a.cpp.html"));
  EXPECT_TRUE(
      holds(page, "<nav class=\"prismet-nav prismet-breadcrumbs\"><a href=\"index.html\">src</a></nav>"));
  // Cross-references: a definition leads to its uses, a use to its line.
  EXPECT_TRUE(
      holds(page,
            "<pre class=\"prismet\"><a id=\"L1\" href=\"#L1\">   1: </a><span class=\"keyword\">int"
            "</span> <a href=\"prismet-symbols/20a.html#a.uses\">a</a>;\r\n<a id=\"L2\" href=\"#L2\">   2: "
            "</a><span class=\"keyword\">int</span> <a href=\"prismet-symbols/1b9.html#b.uses\">b</a> = "
            "<a href=\"#L1\">a</a>;"));
  EXPECT_TRUE(holds(read_file(path("site/prismet-symbols/20a.html")),
                    "<tr><td><a href=\"../a.cpp.html#L2\">2</a></td><td><code>int b = a;</code></td></tr>"));
  EXPECT_TRUE(holds(page, "pre.prismet :target::before"));
  EXPECT_TRUE(holds(page, "classList.add(\"prismet-marked\")"));
  EXPECT_TRUE(holds(read_file(path("site/sub/b.h.html")),
                    "<a href=\"../index.html\">src</a> / <a href=\"index.html\">sub</a></nav>"));
  const std::string index = read_file(path("site/index.html"));
  EXPECT_TRUE(holds(index, "<title>src</title>"));
  EXPECT_TRUE(holds(index,
                    "<td><a href=\"sub/index.html\">sub/</a></td><td>1</td><td>1</td>"
                    "<td title=\"5 bytes\">5 B</td>"));
  EXPECT_TRUE(holds(index, "<input type=\"search\" id=\"prismet-search\""));
  EXPECT_TRUE(holds(index, "prismet-symbols/+index.html"));
  EXPECT_TRUE(holds(read_file(path("site/sub/index.html")),
                    "<h1 class=\"prismet-breadcrumbs\"><a href=\"../index.html\">src</a> / sub</h1>"));
  EXPECT_TRUE(holds(read_file(path("site/prismet-files.js")), "files: [\n\"a.cpp\",\n\"sub/b.h\",\n]};\n"));
  // For one run without them: the old link to the index, no names, no
  // symbol pages.
  ASSERT_EQ(
      run_with_streams({"--no-site-navigation", "--no-cross-references", "-o", path("plain"), path("src")}),
      0)
      << err();
  EXPECT_TRUE(holds(read_file(path("plain/sub/b.h.html")), "<a href=\"index.html\">/sub/</a>"));
  EXPECT_FALSE(fs::exists(path("plain/prismet-files.js")));
  EXPECT_FALSE(fs::exists(path("plain/prismet-symbols")));
  EXPECT_TRUE(holds(read_file(path("plain/a.cpp.html")), "</span> a;"));
}

}  // namespace
}  // namespace prismet

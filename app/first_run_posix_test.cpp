// The Linux program's first run, end to end: a copy of the program in
// <folder>/bin with the package's data in <folder>/share/prismet, as an
// installation lays them out.
#include "app/first_run_posix.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/file_system.h"
#include "tests/program_folder.h"
#include "tests/run_program_posix.h"
#include "tests/test_files.h"

namespace prismet {
namespace {

using testing::read_file;
using testing::write_file;

namespace fs = std::filesystem;

class FirstRunTest : public testing::ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    const fs::path texts = fs::path(testing::built_program()).parent_path().parent_path() / "package-texts";
    fs::create_directories(path("share/prismet"));
    for (const auto& entry : fs::directory_iterator(texts)) {
      fs::copy_file(entry.path(), path("share/prismet") + "/" + entry.path().filename().string());
    }
  }
  int run_with_streams(const std::vector<std::string>& arguments) {
    testing::ProgramStreams streams;
    streams.error = path("stderr");
    return testing::run_program(program_, arguments, streams);
  }
  std::string err() { return read_file(path("stderr")); }
  std::string user_file(const std::string& name) { return path("config") + "/prismet/" + name; }
  static std::size_t count(const std::string& text, const std::string& part) {
    std::size_t found = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++found;
    return found;
  }
};

TEST_F(FirstRunTest, MakesTheUsersSettingsWithHtml5AsTheDefault) {
  write_file(path("a.cpp"), "int x;\nconstexpr auto s = \"\xE3\x81\x82\";\n");
  ASSERT_EQ(run_with_streams({path("a.cpp")}), 0);
  EXPECT_EQ(count(err(), "prismet: first run: settings made in " + user_file("prismet.ini")), 1u) << err();
  const std::string settings = read_file(user_file("prismet.ini"));
  EXPECT_EQ(settings.rfind("[prismet]\r\n拡張子=.html\r\n語彙ファイル=prismet-cpp26.voc\r\n", 0), 0u);
  EXPECT_EQ(count(settings, "[css]\r\n"), 1u);
  EXPECT_EQ(count(settings, "[html5]\r\n"), 1u);
  EXPECT_EQ(count(settings, "文字コード=自動\r\n"), 3u);
  EXPECT_EQ(read_file(user_file("prismet-html5.top")), read_file(path("share/prismet/prismet-html5.top")));
  EXPECT_EQ(read_file(user_file("prismet-html5.btm")), read_file(path("share/prismet/prismet-html5.btm")));
  EXPECT_EQ(read_file(user_file("prismet-cpp26.voc")), read_file(path("share/prismet/prismet-cpp26.voc")));

  const std::string page = read_file(path("a.html"));
  EXPECT_EQ(page.rfind("<!DOCTYPE html>\r\n", 0), 0u);
  EXPECT_NE(page.find("<meta charset=\"utf-8\">"), std::string::npos);
  EXPECT_NE(page.find("<title>a.cpp</title>"), std::string::npos);
  EXPECT_NE(page.find("<span class=\"keyword\">int</span>"), std::string::npos);
  EXPECT_NE(page.find("<span class=\"keyword\">constexpr</span>"), std::string::npos)
      << "the C++26 vocabulary";
  EXPECT_NE(page.find("<span class=\"string\">&quot;\xE3\x81\x82&quot;</span>"), std::string::npos);
  EXPECT_EQ(page.substr(page.size() - 9), "</html>\r\n");

  // Said once: the next run finds the file and leaves it to the ordinary save.
  ASSERT_EQ(run_with_streams({path("a.cpp")}), 0);
  EXPECT_EQ(err(), "");
}

// The css mode makes a fragment to embed that colours today's C++: each
// source's encoding found, UTF-8 out, digit separators inside numbers.
TEST_F(FirstRunTest, TheCssModeMakesAFragmentOfTodaysCpp) {
  write_file(path("a.cpp"),
             "auto n = 1'000'000; constexpr unsigned m = 0xFF'FFu;\nchar c = 'x'; // \xE3\x81\x82\n");
  write_file(path("s.cpp"), "// \x82\xA0\n");  // "あ" in Shift_JIS
  ASSERT_EQ(run_with_streams({"-m", "css", path("a.cpp"), path("s.cpp")}), 0) << err();
  EXPECT_EQ(read_file(path("a.htm")),
            "<pre class=\"prismet\"><span class=\"keyword\">auto</span> n = <span "
            "class=\"number\">1'000'000</span>; "
            "<span class=\"keyword\">constexpr</span> <span class=\"keyword\">unsigned</span> m = "
            "<span class=\"number\">0xFF'FFu</span>;\r\n"
            "<span class=\"keyword\">char</span> c = <span class=\"char\">'x'</span>; "
            "<span class=\"comment\">// \xE3\x81\x82</span>\r\n</pre>");
  EXPECT_EQ(read_file(path("s.htm")),
            "<pre class=\"prismet\"><span class=\"comment\">// \xE3\x81\x82</span>\r\n</pre>");
}

// A user who has settings keeps them, and their pages: nothing is copied.
TEST_F(FirstRunTest, ExistingSettingsAreNeverReplaced) {
  write_file(settings_file(), "[prismet]\r\nダイアログを表示=0\r\n");
  write_file(path("a.cpp"), "int x;");
  ASSERT_EQ(run_with_streams({path("a.cpp")}), 0);
  EXPECT_EQ(err(), "");
  EXPECT_EQ(read_file(path("a.htm")), "<PRE><FONT COLOR=\"#0000FF\">int</FONT> x;</PRE>");
  EXPECT_FALSE(path_exists(user_file("prismet-html5.top").c_str()));
  EXPECT_EQ(read_file(settings_file()).rfind("[prismet]\r\nダイアログを表示=0\r\n拡張子=.htm\r\n", 0), 0u);
}

// A header the user already has beside where the settings go is kept.
TEST_F(FirstRunTest, FilesAlreadyThereAreKept) {
  fs::create_directories(path("config/prismet"));
  write_file(user_file("prismet-html5.top"), "<mine>{{source}}");
  write_file(path("b.cpp"), "b");
  ASSERT_EQ(run_with_streams({path("b.cpp")}), 0);
  EXPECT_EQ(read_file(user_file("prismet-html5.top")), "<mine>{{source}}");
  EXPECT_EQ(read_file(path("b.html"))
                .rfind("<mine>b.cpp<pre class=\"prismet\"><a id=\"L1\" href=\"#L1\">   1: </a>b</pre>", 0),
            0u);
}

// Without the package's data (a program run from its build folder) the
// built-in settings apply, as before.
TEST_F(FirstRunTest, WithoutDataTheBuiltInSettingsApply) {
  fs::remove_all(path("share"));
  write_file(path("c.cpp"), "c");
  ASSERT_EQ(run_with_streams({"/dlg:0", path("c.cpp")}), 0);
  EXPECT_EQ(err(), "");
  EXPECT_EQ(read_file(path("c.htm")), "<PRE>c</PRE>");
}

// A mode that names no section yet is told once, then is an ordinary mode.
TEST_F(FirstRunTest, ANewModeIsToldOnce) {
  write_file(settings_file(), "[prismet]\r\nダイアログを表示=0\r\n[web]\r\n拡張子=.html\r\n");
  write_file(path("d.cpp"), "d");
  ASSERT_EQ(run_with_streams({"-m", "WEB", path("d.cpp")}), 0);
  EXPECT_EQ(err(), "") << "section names ignore case";
  ASSERT_EQ(run_with_streams({"-m", "wbe", path("d.cpp")}), 0);
  EXPECT_EQ(err(), "prismet: mode \"wbe\" is new in " + settings_file() +
                       ": it starts from the built-in settings\n");
  ASSERT_EQ(run_with_streams({"-m", "wbe", path("d.cpp")}), 0);
  EXPECT_EQ(err(), "");
}

TEST(FirstSettingsText, Html5SettingsComeFirstUnderTheFixedSection) {
  const struct {
    const char* shipped;
    const char* made;
  } cases[] = {
      {"[css]\r\na=1\r\n", "[css]\r\na=1\r\n"},
      {"[css]\r\na=1\r\n[html5]\r\nb=2\r\nc=3\r\n",
       "[prismet]\r\nb=2\r\nc=3\r\n[css]\r\na=1\r\n[html5]\r\nb=2\r\nc=3\r\n"},
      {"[html5]\nb=2\n[css]\na=1\n", "[prismet]\r\nb=2\n[html5]\nb=2\n[css]\na=1\n"},
      {"[html5x]\r\nb=2\r\n", "[html5x]\r\nb=2\r\n"},
      {"[html5]", "[prismet]\r\n[html5]"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(first_settings_text(c.shipped), c.made) << c.shipped;
}

// The program run where it was built (as ./scripts/prismet runs it) starts
// from the package's data as the build makes them, as an installed one does.
TEST_F(FirstRunTest, TheProgramInItsBuildTreeStartsFromTheBuildsData) {
  const fs::path texts = fs::path(testing::built_program()).parent_path().parent_path() / "package-texts";
  write_file(path("a.cpp"), "int x;\n");
  testing::ProgramStreams streams;
  streams.error = path("stderr");
  ASSERT_EQ(testing::run_program(testing::built_program(), {path("a.cpp")}, streams), 0) << err();
  EXPECT_NE(err().find("first run: settings made in " + user_file("prismet.ini") + " from " +
                       fs::canonical(texts).string()),
            std::string::npos)
      << err();
  EXPECT_EQ(read_file(user_file("prismet-html5.top")), read_file((texts / "prismet-html5.top").string()));
  EXPECT_EQ(read_file(path("a.html")).rfind("<!DOCTYPE html>\r\n<html>\r\n", 0), 0u);
}

}  // namespace
}  // namespace prismet

// End-to-end, Linux: the command line's page choices, the style sheet on
// standard output and "-o" naming one page, with the real program.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/file_system.h"
#include "tests/program_folder.h"
#include "tests/run_program_posix.h"
#include "tests/test_files.h"

namespace prismet {
namespace {

using testing::ProgramTest;
using testing::read_file;
using testing::write_file;

namespace fs = std::filesystem;

constexpr char kSettingsStart[] = "[prismet]\r\nダイアログを表示=0\r\n";
constexpr char kSource[] = "int a = 1;\n\tb  c; // x\n";

class ProgramOptionsPosixTest : public ProgramTest {
 protected:
  int run_with_streams(const std::vector<std::string>& arguments, const std::string& input = "") {
    testing::ProgramStreams streams;
    streams.input = path("stdin");
    streams.output = path("stdout");
    streams.error = path("stderr");
    write_file(streams.input, input);
    return testing::run_program(program_, arguments, streams);
  }
  std::string out() { return read_file(path("stdout")); }
  std::string err() { return read_file(path("stderr")); }
  // The settings file as the program keeps it after a run with `keys`.
  std::string settled_settings(const std::string& keys) {
    write_file(settings_file(), kSettingsStart + keys);
    write_file(path("settle.cpp"), "");
    EXPECT_EQ(run_with_streams({path("settle.cpp")}), 0);
    return read_file(settings_file());
  }
};

// Each choice makes the page its setting makes, and the settings file keeps
// its bytes.
TEST_F(ProgramOptionsPosixTest, EachChoiceActsAsItsSettingForOneRun) {
  const struct {
    std::vector<std::string> options;
    std::string keys;             // the mode's settings
    std::string same_keys;        // settings that make the page the options make
    std::string page = "a.htm";   // the page the options make
    std::string plain = "a.htm";  // the page the mode's settings make
  } cases[] = {
      {{"-n"}, "", "行番号を表示=1\r\n"},
      {{"--line-numbers"}, "", "行番号を表示=1\r\n"},
      {{"--no-line-numbers"}, "行番号を表示=1\r\n", ""},
      {{"--line-anchors"}, "", "行のアンカー=1\r\n"},
      {{"--no-line-anchors"}, "行番号を表示=1\r\n行のアンカー=1\r\n", "行番号を表示=1\r\n"},
      {{"--expand-tabs"}, "", "タブを空白に展開=1\r\n"},
      {{"--no-expand-tabs"}, "タブを空白に展開=1\r\n", ""},
      {{"--expand-tabs", "--tab-width", "3"}, "", "タブを空白に展開=1\r\nタブ幅=3\r\n"},
      {{"--tab-width=7"}, "タブを空白に展開=1\r\n", "タブを空白に展開=1\r\nタブ幅=7\r\n"},
      {{"--nbsp"}, "", "空白を &nbsp; に変換=1\r\n"},
      {{"--no-nbsp"}, "空白を &nbsp; に変換=1\r\n", ""},
      {{"--extension", ".html"}, "", "拡張子=.html\r\n", "a.html"},
      {{"--extension=.txt"}, "拡張子=.html\r\n", "拡張子=.txt\r\n", "a.txt", "a.html"},
  };
  write_file(path("a.cpp"), kSource);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.options[0]);
    const std::string settled = settled_settings(c.keys);
    ASSERT_EQ(run_with_streams({path("a.cpp")}), 0);
    const std::string plain_page = read_file(path(c.plain));
    fs::remove(path(c.plain));
    std::vector<std::string> arguments = c.options;
    arguments.push_back(path("a.cpp"));
    ASSERT_EQ(run_with_streams(arguments), 0) << err();
    EXPECT_EQ(read_file(settings_file()), settled);
    const std::string chosen_page = read_file(path(c.page));
    if (c.page == c.plain) {
      EXPECT_NE(chosen_page, plain_page);
    } else {
      EXPECT_FALSE(fs::exists(path(c.plain)));
    }
    fs::remove(path(c.page));
    settled_settings(c.same_keys);
    ASSERT_EQ(run_with_streams({path("a.cpp")}), 0);
    EXPECT_EQ(read_file(path(c.page)), chosen_page);
    fs::remove(path(c.page));
  }
}

TEST_F(ProgramOptionsPosixTest, FragmentLeavesOutTheHeaderAndFooter) {
  write_file(settings_file(), kSettingsStart);
  write_file(settings_file(".top"), "<HTML>\n");
  write_file(settings_file(".btm"), "</HTML>\n");
  write_file(path("x.cpp"), "x\n");
  ASSERT_EQ(run_with_streams({path("x.cpp")}), 0);
  EXPECT_EQ(read_file(path("x.htm")), "<HTML>\r\n<PRE>x\r\n</PRE></HTML>\r\n");
  const std::string settings = read_file(settings_file());
  ASSERT_EQ(run_with_streams({"--fragment", path("x.cpp")}), 0);
  EXPECT_EQ(read_file(path("x.htm")), "<PRE>x\r\n</PRE>");
  ASSERT_EQ(run_with_streams({"--fragment", "-"}, "y\n"), 0);
  EXPECT_EQ(out(), "<PRE>y\r\n</PRE>");
  EXPECT_EQ(read_file(settings_file()), settings);
}

// "{{source}}" is the title: the source's name, "standard input" for
// standard input, or the --title, escaped.
TEST_F(ProgramOptionsPosixTest, TheTitleOfAPage) {
  write_file(settings_file(), std::string(kSettingsStart) + "挿入ファイルの変数=1\r\n");
  write_file(settings_file(".top"), "<title>{{source}}</title>");
  write_file(path("t.cpp"), "t");
  const struct {
    std::vector<std::string> arguments;
    const char* title;
  } cases[] = {
      {{path("t.cpp")}, "t.cpp"},
      {{"--title", "A <&> \"B\"", path("t.cpp")}, "A &lt;&amp;&gt; &quot;B&quot;"},
      {{"-"}, "standard input"},
      {{"--title=ソース", "-"}, "ソース"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.title);
    ASSERT_EQ(run_with_streams(c.arguments, "t"), 0);
    const std::string page = c.arguments.back() == "-" ? out() : read_file(path("t.htm"));
    EXPECT_EQ(page, std::string("<title>") + c.title + "</title><PRE>t</PRE>");
  }
}

// The style sheet between the html5 header's "<style>" and "</style>"
// lines, found here by plain searching.
std::string style_sheet_in(const std::string& header) {
  const std::size_t open = header.find("<style>\n");
  const std::size_t close = header.find("</style>\n");
  if (open == std::string::npos || close == std::string::npos) return "(none)";
  return header.substr(open + 8, close - open - 8);
}

TEST_F(ProgramOptionsPosixTest, PrintCssShowsTheHtml5HeadersStyleSheet) {
  const std::string header = read_file(PRISMET_SOURCE_DIR "/res/share/prismet-html5.top");
  const std::string sheet = style_sheet_in(header);
  ASSERT_NE(sheet.find("prefers-color-scheme: dark"), std::string::npos);
  fs::remove_all(path("config"));
  // No data folder beside the program: nothing to show.
  EXPECT_EQ(run_with_streams({"--print-css"}), 1);
  EXPECT_EQ(out(), "");
  EXPECT_NE(err().find(path("share") + "/prismet/prismet-html5.top"), std::string::npos) << err();
  // The packaged header, lines ended with CR LF, as installed.
  std::string packaged;
  for (const char c : header) packaged += c == '\n' ? std::string("\r\n") : std::string(1, c);
  testing::make_folder(path("share"));
  testing::make_folder(path("share/prismet"));
  write_file(path("share/prismet/prismet-html5.top"), packaged);
  EXPECT_EQ(run_with_streams({"--print-css"}), 0) << err();
  EXPECT_EQ(out(), sheet);
  EXPECT_EQ(err(), "");
  EXPECT_FALSE(fs::exists(path("config")));
  write_file(path("share/prismet/prismet-html5.top"), "<head>\n</head>\n");
  EXPECT_EQ(run_with_streams({"--print-css"}), 1);
  EXPECT_EQ(out(), "");
}

TEST_F(ProgramOptionsPosixTest, OutputNamesOnePage) {
  write_file(settings_file(), kSettingsStart);
  write_file(path("a.cpp"), kSource);
  write_file(path("b.cpp"), "b");
  ASSERT_EQ(run_with_streams({path("a.cpp")}), 0);
  const std::string page = read_file(path("a.htm"));
  fs::remove(path("a.htm"));
  // One source: its page where -o says, and nowhere else.
  ASSERT_EQ(run_with_streams({path("a.cpp"), "-o", path("page.html")}), 0) << err();
  EXPECT_EQ(read_file(path("page.html")), page);
  EXPECT_FALSE(fs::exists(path("a.htm")));
  ASSERT_EQ(run_with_streams({"-o", path("in.HTM"), "-"}, kSource), 0) << err();
  EXPECT_EQ(read_file(path("in.HTM")), page);
  EXPECT_EQ(out(), "");
  // Several sources, or a folder, with such a path: refused, nothing made.
  testing::make_folder(path("src"));
  write_file(path("src/c.cpp"), "c");
  for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
           {path("a.cpp"), path("b.cpp"), "-o", path("two.html")}, {path("src"), "-o", path("two.html")}}) {
    EXPECT_EQ(run_with_streams(arguments), 2);
    EXPECT_NE(err().find("two.html"), std::string::npos);
    EXPECT_FALSE(fs::exists(path("two.html")));
    EXPECT_FALSE(fs::exists(path("b.htm")));
    EXPECT_FALSE(fs::exists(path("src/c.cpp.htm")));
  }
  // A folder of that name stays the output folder.
  testing::make_folder(path("site.html"));
  ASSERT_EQ(run_with_streams({path("a.cpp"), path("b.cpp"), "-o", path("site.html")}), 0) << err();
  EXPECT_TRUE(fs::is_directory(path("site.html")));
  EXPECT_GT(testing::count_entries(path("site.html")), 1);
  // A link is not written through.
  write_file(path("target.txt"), "kept");
  fs::create_symlink(path("target.txt"), path("link.html"));
  EXPECT_EQ(run_with_streams({path("a.cpp"), "-o", path("link.html")}), 1);
  EXPECT_EQ(read_file(path("target.txt")), "kept");
  EXPECT_TRUE(fs::is_symlink(path("link.html")));
  no_temporary_file_left();
}

// The mode's own page extension names a page as ".html" does, once the
// settings are read; any other ending stays an output folder.
TEST_F(ProgramOptionsPosixTest, OutputNamesOnePageWithTheModesExtension) {
  write_file(settings_file(), std::string(kSettingsStart) + "拡張子=.xhtml\r\n");
  write_file(path("a.cpp"), kSource);
  write_file(path("b.cpp"), "b");
  ASSERT_EQ(run_with_streams({path("a.cpp"), "-o", path("page.XHTML")}), 0) << err();
  EXPECT_NE(read_file(path("page.XHTML")).find("<FONT COLOR"), std::string::npos);
  EXPECT_FALSE(fs::exists(path("a.xhtml")));
  EXPECT_EQ(run_with_streams({path("a.cpp"), path("b.cpp"), "-o", path("two.xhtml")}), 2);
  EXPECT_NE(err().find("'-o " + path("two.xhtml") + "' names one page, but 2 sources"), std::string::npos)
      << err();
  EXPECT_FALSE(fs::exists(path("two.xhtml")));
  ASSERT_EQ(run_with_streams({path("a.cpp"), "-o", path("pages.xht")}), 0) << err();
  EXPECT_TRUE(fs::is_regular_file(path("pages.xht/a.xhtml")));
  // Another mode's extension does not count.
  ASSERT_EQ(run_with_streams({"-m", "other", path("a.cpp"), "-o", path("other.xhtml")}), 0) << err();
  EXPECT_TRUE(fs::is_regular_file(path("other.xhtml/a.htm")));
}

}  // namespace
}  // namespace prismet

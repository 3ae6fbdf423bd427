// End-to-end: the real program, run as a process from a folder of its own
// (so its settings, temporary and insert files are the test's).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/file_system.h"
#include "tests/program_folder.h"
#include "tests/run_program.h"
#include "tests/test_files.h"

namespace prismet {
namespace {

using testing::ProgramTest;
using testing::read_file;
using testing::write_file;

TEST_F(ProgramTest, FirstRunConvertsAndWritesEveryKeyInOrder) {
  write_file(path("a.cpp"), "int a = 1; // x\r\n");
  write_file(path("b.cpp"), "\"s\"\nchar c = 'c';");
  EXPECT_EQ(run({"/dlg:0", path("a.cpp"), path("b.cpp")}), 0);
  EXPECT_EQ(read_file(path("a.htm")),
            "<PRE><FONT COLOR=\"#0000FF\">int</FONT> a = <FONT COLOR=\"#FF0000\">1</FONT>; "
            "<FONT COLOR=\"#008040\">// x</FONT>\r\n</PRE>");
  EXPECT_EQ(read_file(path("b.htm")),
            "<PRE><FONT COLOR=\"#FF0000\">&quot;s&quot;</FONT>\r\n<FONT COLOR=\"#0000FF\">char</FONT> c = "
            "<FONT COLOR=\"#FF0000\">'c'</FONT>;</PRE>");
  no_temporary_file_left();
  const std::string ini = read_file(settings_file());
  const char* keys[] = {"[prismet]\r\n",
                        "ダイアログを表示=1\r\n",
                        "拡張子=.htm\r\n",
                        "語彙ファイル=\r\n",
                        "タブ幅=4\r\n",
                        "タブを空白に展開=0\r\n",
                        "空白を &nbsp; に変換=0\r\n",
                        "行番号を表示=0\r\n",
                        "前に挿入=",
                        "後に挿入=",
                        "<全体>=<PRE>\r\n",
                        "</全体>=</PRE>\r\n",
                        "<ｺﾒﾝﾄ>=",
                        "</ｺﾒﾝﾄ>=",
                        "<ｷｰﾜｰﾄﾞ>=",
                        "</ｷｰﾜｰﾄﾞ>=",
                        "<文字列>=",
                        "</文字列>=",
                        "<文字定数>=",
                        "</文字定数>=",
                        "<定数>=",
                        "</定数>=",
                        "<行番号>=\r\n",
                        "</行番号>=\r\n",
                        "<行>=\r\n",
                        "</行>=\r\n"};
  std::size_t at = 0;
  for (const char* key : keys) {
    const std::size_t found = ini.find(key, at);
    ASSERT_NE(found, std::string::npos) << key;
    at = found + 1;
  }
}

TEST_F(ProgramTest, InsertFilesBesideTheProgramFrameThePage) {
  write_file(settings_file(".top"), "<HTML>\n");
  write_file(settings_file(".btm"), "\n</HTML>\r\n");
  write_file(path("x.cpp"), "x\n");
  EXPECT_EQ(run({"/dlg:0", path("x.cpp")}), 0);
  EXPECT_EQ(read_file(path("x.htm")), "<HTML>\r\n<PRE>x\r\n</PRE>\r\n</HTML>\r\n");
}

TEST_F(ProgramTest, ModeSectionsKeepTheirOwnSettings) {
  write_file(
      settings_file(),
      "[prismet]\r\nダイアログを表示=0\r\n[web]\r\n拡張子=.html\r\n<全体>=<CODE>\r\n</全体>=</CODE>\r\n");
  write_file(path("m.cpp"), "m");
  EXPECT_EQ(run({"/Mode:web", path("m.cpp")}), 0);
  EXPECT_EQ(read_file(path("m.html")), "<CODE>m</CODE>");
  EXPECT_FALSE(path_exists(path("m.htm").c_str()));
  EXPECT_EQ(run({path("m.cpp")}), 0);
  EXPECT_EQ(read_file(path("m.htm")), "<PRE>m</PRE>");
}

// A relative output folder with the settings file's folder as the base is
// taken from there, not from the current folder.
TEST_F(ProgramTest, ARelativeOutputFolderFromTheSettingsFolder) {
  write_file(settings_file(),
             "[prismet]\r\nダイアログを表示=0\r\n相対パスの基準=設定ファイル\r\n出力フォルダ=site\r\n");
  testing::make_folder(path("src"));
  write_file(path("src") + testing::kSep + "s.cpp", "s");
  testing::make_folder(path("work"));
  EXPECT_EQ(testing::run_program(program_, {path("src")}, path("work")), 0);
  const std::string settings_folder = settings_file().substr(0, settings_file().rfind(kPathSeparator));
  const std::string site = settings_folder + testing::kSep + "site";
  EXPECT_EQ(read_file(site + testing::kSep + "s.cpp.htm"), "<PRE>s</PRE>");
  EXPECT_NE(read_file(site + testing::kSep + "index.html").find("s.cpp.htm"), std::string::npos);
  EXPECT_FALSE(path_exists((path("work") + testing::kSep + "site").c_str()));
  EXPECT_FALSE(path_exists((path("src") + testing::kSep + "s.cpp.htm").c_str()));
}

// Both programs take files without an extension through the settings file
// alone: by pattern, or by the mode line; the keys stay as they were.
TEST_F(ProgramTest, FilesWithoutAnExtensionByTheSettingsFile) {
  const std::string settings =
      "[prismet]\r\nダイアログを表示=0\r\n[web]\r\n拡張子のないソース=Q*\r\nC++のモード行=1\r\n";
  write_file(settings_file(), settings);
  testing::make_folder(path("src"));
  const std::string src = path("src") + testing::kSep;
  write_file(src + "vector", "// -*- C++ -*-\n");
  write_file(src + "QString", "q");
  write_file(src + "README", "r");
  EXPECT_EQ(run({"/dlg:0", "/mode:web", path("src")}), 0);
  EXPECT_EQ(read_file(src + "vector.htm"), "<PRE><FONT COLOR=\"#008040\">// -*- C++ -*-</FONT>\r\n</PRE>");
  EXPECT_EQ(read_file(src + "QString.htm"), "<PRE>q</PRE>");
  EXPECT_FALSE(path_exists((src + "README.htm").c_str()));
  const std::string index = read_file(src + "index.html");
  EXPECT_NE(index.find("<a href=\"QString.htm\">QString</a>"), std::string::npos);
  EXPECT_NE(index.find("<a href=\"vector.htm\">vector</a>"), std::string::npos);
  const std::string saved = read_file(settings_file());
  EXPECT_NE(saved.find("\r\n拡張子のないソース=Q*\r\nC++のモード行=1\r\n"), std::string::npos) << saved;
}

TEST_F(ProgramTest, ReadOnlyOutputIsReplacedAndStaysReadOnly) {
  write_file(path("r.cpp"), "fresh");
  write_file(path("r.htm"), "old");
  namespace fs = std::filesystem;
  fs::permissions(path("r.htm"), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  EXPECT_EQ(run({"/dlg:0", path("r.cpp")}), 0);
  EXPECT_EQ(read_file(path("r.htm")), "<PRE>fresh</PRE>");
  EXPECT_EQ(fs::status(path("r.htm")).permissions() & fs::perms::owner_write, fs::perms::none);
  fs::permissions(path("r.htm"), fs::perms::owner_write, fs::perm_options::add);
}

TEST_F(ProgramTest, OutputEqualToInputAndMissingOrFolderPaths) {
  write_file(path("page.htm"), "<b>");
  testing::make_folder(path("dir.cpp"));
  EXPECT_EQ(run({"/dlg:0", path("nothing.cpp"), path("dir.cpp"), path("page.htm")}),
            testing::kExitNotConverted);
  EXPECT_EQ(read_file(path("page.htm")), "<PRE>&lt;b&gt;</PRE>");
  EXPECT_FALSE(path_exists(path("dir.htm").c_str()));
  no_temporary_file_left();
}

TEST_F(ProgramTest, TwoInstancesAtOnceConvertSafely) {
  // Big enough that the two conversions overlap.
  std::string a, b;
  for (int i = 0; i < 60000; ++i) {
    a += "int first_" + std::to_string(i) + " = " + std::to_string(i) + ";\n";
    b += "// second " + std::to_string(i) + " <&>\n";
  }
  write_file(path("a.cpp"), a);
  write_file(path("b.cpp"), b);
  write_file(settings_file(), "[prismet]\r\nダイアログを表示=0\r\n");
  {
    testing::ProgramRun first(program_, {path("a.cpp"), path("a.cpp"), path("a.cpp")});
    testing::ProgramRun second(program_, {path("b.cpp"), path("b.cpp"), path("b.cpp")});
    ASSERT_TRUE(first.started());
    ASSERT_TRUE(second.started());
    EXPECT_EQ(first.wait(), 0);
    EXPECT_EQ(second.wait(), 0);
  }
  const std::string page_a = read_file(path("a.htm"));
  const std::string page_b = read_file(path("b.htm"));
  EXPECT_EQ(page_a.find("second"), std::string::npos);
  EXPECT_EQ(page_b.find("first_"), std::string::npos);
  EXPECT_NE(page_a.find("first_59999 = <FONT"), std::string::npos);
  EXPECT_NE(page_b.find("// second 59999 &lt;&amp;&gt;</FONT>\r\n</PRE>"), std::string::npos);
  no_temporary_file_left();
}

}  // namespace
}  // namespace prismet

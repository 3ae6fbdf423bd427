// End-to-end, Linux: the settings file seen and edited from the command
// line (--settings, --set), in either of its encodings, and the keys of the
// mode in use that prismet does not know told with their file and line.
#include <gtest/gtest.h>

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

std::string u8(std::u8string_view text) { return std::string(text.begin(), text.end()); }

class SettingsCommands : public ProgramTest {
 protected:
  int run_with_streams(const std::vector<std::string>& arguments) {
    testing::ProgramStreams streams;
    streams.output = path("stdout");
    streams.error = path("stderr");
    return testing::run_program(program_, arguments, streams);
  }
  std::string out() { return read_file(path("stdout")); }
  std::string err() { return read_file(path("stderr")); }
};

TEST_F(SettingsCommands, SettingsAreShownInUtf8WithTheirEnglishNames) {
  write_file(settings_file(),
             "[prismet]\r\n\x83\x5E\x83\x75\x95\x9D=2\r\n[web]\r\n\x8A\x67\x92\xA3\x8E\x71=.html\r\n"
             "\x8D\x73\x94\xD4\x8D\x86\x82\xF0\x95\x5C\x8E\xA6=1\r\n<\x91\x53\x91\xCC>=<pre "
             "class=\"\x83\x5C\">\r\n");
  const std::string config = path("config") + "/prismet/prismet";
  ASSERT_EQ(run_with_streams({"--settings", "-m", "web"}), 0);
  EXPECT_EQ(err(), "");
  EXPECT_EQ(out(),
            u8(u8"# mode \"web\" of ") + config + ".ini\n" +
                u8(u8"ダイアログを表示 = 1  # show-dialog: show the settings dialog (Windows)\n"
                   u8"拡張子 = .html  # extension: extension of the pages\n"
                   u8"語彙ファイル =   # vocabulary: vocabulary file (empty: built-in words)\n"
                   u8"タブ幅 = 4  # tab-width: columns per tab stop\n"
                   u8"タブを空白に展開 = 0  # expand-tabs: tabs become spaces\n"
                   u8"空白を &nbsp; に変換 = 0  # nbsp: spaces become &nbsp;\n"
                   u8"行番号を表示 = 1  # line-numbers: number the lines\n"
                   u8"前に挿入 = ") +
                config + ".top  # insert-before: file copied in front of the page\n" + u8(u8"後に挿入 = ") +
                config + ".btm  # insert-after: file copied behind the page\n" +
                u8(u8"<全体> = <pre class=\"ソ\">  # whole-open: tag opening the category\n"
                   u8"</全体> = </PRE>  # whole-close: tag closing the category\n"
                   u8"<ｺﾒﾝﾄ> = <FONT COLOR=\"#008040\">  # comment-open: tag opening the category\n"
                   u8"</ｺﾒﾝﾄ> = </FONT>  # comment-close: tag closing the category\n"
                   u8"<ｷｰﾜｰﾄﾞ> = <FONT COLOR=\"#0000FF\">  # keyword-open: tag opening the category\n"
                   u8"</ｷｰﾜｰﾄﾞ> = </FONT>  # keyword-close: tag closing the category\n"
                   u8"<文字列> = <FONT COLOR=\"#FF0000\">  # string-open: tag opening the category\n"
                   u8"</文字列> = </FONT>  # string-close: tag closing the category\n"
                   u8"<文字定数> = <FONT COLOR=\"#FF0000\">  # char-open: tag opening the category\n"
                   u8"</文字定数> = </FONT>  # char-close: tag closing the category\n"
                   u8"<定数> = <FONT COLOR=\"#FF0000\">  # constant-open: tag opening the category\n"
                   u8"</定数> = </FONT>  # constant-close: tag closing the category\n"
                   u8"<行番号> =   # line-number-open: tag opening the category\n"
                   u8"</行番号> =   # line-number-close: tag closing the category\n"
                   u8"<行> =   # line-open: tag opening the category\n"
                   u8"</行> =   # line-close: tag closing the category\n"
                   u8"文字コード = Shift_JIS  # encoding: encoding of the sources\n"
                   u8"相対パスの基準 =   # path-base: relative paths from the settings folder\n"
                   u8"挿入ファイルの変数 = 0  # insert-variables: {{source}} in insert files\n"
                   u8"行のアンカー = 0  # line-anchors: ids L1, L2, ... on the lines\n"
                   u8"ソースの拡張子 = .c .cc .cpp .cxx .c++ .h .hh .hpp .hxx .h++ .inl .ipp .tcc .ixx "
                   u8".cppm  # source-extensions: extensions converted in folders\n"
                   u8"出力フォルダ =   # output-folder: folder of the pages (empty: beside)\n"
                   u8"同時変換数 = 0  # jobs: files converted at once (0: per processor)\n"
                   u8"拡張子のないソース =   # extensionless-sources: names without extension converted in "
                   u8"folders\n"
                   u8"C++のモード行 = 0  # cpp-mode-line: files without extension saying C++ converted\n"
                   u8"インクルードのリンク = 0  # include-links: #include names link to their pages\n"
                   u8"インクルードフォルダ =   # include-folders: folders for <names>, separated by ;\n"
                   u8"サイトのナビゲーション = 0  # site-navigation: breadcrumbs, readable indexes, a search "
                   u8"box\n"
                   u8"相互参照 = 0  # cross-references: names in code link to their definitions\n"));
  EXPECT_EQ(run_with_streams({"--settings", "a.cpp"}), 2);
  EXPECT_EQ(out(), "");
}

TEST_F(SettingsCommands, SetTakesEitherSpellingAndKeepsTheFileAsItWas) {
  // Code page 932: "[prismet]", "タブ幅=2" and a comment.
  const std::string cp932 = "[prismet]\r\n\x83\x5E\x83\x75\x95\x9D=2\r\n;note\r\n";
  write_file(settings_file(), cp932);
  EXPECT_EQ(run_with_streams({"--set", "line-numbers=yes"}), 0);
  EXPECT_EQ(run_with_streams({u8(u8"--set=タブ幅=8")}), 0);
  EXPECT_EQ(err(), "");
  EXPECT_EQ(read_file(settings_file()),
            "[prismet]\r\n\x83\x5E\x83\x75\x95\x9D=8\r\n;"
            "note\r\n\x8D\x73\x94\xD4\x8D\x86\x82\xF0\x95\x5C\x8E\xA6=1\r\n");
  // UTF-8 with its mark, an unknown key and a mode of its own: it stays so.
  const std::string utf8 = u8(u8"\uFEFF[web]\nlinenumbers=1\n行番号を表示=0\n");
  write_file(settings_file(), utf8);
  EXPECT_EQ(run_with_streams({"-m", "web", "--set", u8(u8"行番号を表示=1")}), 0);
  EXPECT_EQ(run_with_streams({"--set", "tab-width=3", "--mode=web"}), 0);
  EXPECT_EQ(run_with_streams({"--set", "comment-open=<i class=\"c\">", "-m", "web"}), 0);
  EXPECT_EQ(read_file(settings_file()), u8(u8"\uFEFF[web]\r\nlinenumbers=1\r\n行番号を表示=1\r\nタブ幅=3\r\n"
                                           u8"<ｺﾒﾝﾄ>=<i class=\"c\">\r\n"));
}

TEST_F(SettingsCommands, AnUnknownKeyOrABadValueIsRefused) {
  const std::string bytes = u8(u8"[prismet]\nタブ幅=2\n");
  write_file(settings_file(), bytes);
  struct Case {
    std::string assignment;
    std::string message;
  };
  const Case cases[] = {
      {"linenumbers=1", "unknown settings key 'linenumbers'"},
      {u8(u8"行番号=1"), u8(u8"unknown settings key '行番号'")},
      {"tab-width=wide", u8(u8"タブ幅 (tab-width) takes a number from 0 to 255")},
      {"line-numbers=2", u8(u8"行番号を表示 (line-numbers) takes 1 or 0 (true/false, yes/no, on/off)")},
      {"encoding=latin1", u8(u8"文字コード (encoding) takes Shift_JIS, UTF-8 or auto")},
      {u8(u8"extension=.h\xE2\x82\xAC"),
       u8(u8"拡張子 (extension): the value has a character the settings cannot hold")},
      {"tab-width", "--set takes KEY=VALUE, not 'tab-width'"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(run_with_streams({"--set", c.assignment}), 2) << c.assignment;
    EXPECT_EQ(err(), "prismet: " + c.message + "\nTry 'prismet --settings' for the keys.\n");
    EXPECT_EQ(read_file(settings_file()), bytes) << c.assignment;
  }
  EXPECT_EQ(run_with_streams({"--set"}), 2);
  EXPECT_EQ(run_with_streams({"--set", "tab-width=1", "a.cpp"}), 2);
  EXPECT_EQ(read_file(settings_file()), bytes);
}

TEST_F(SettingsCommands, UnknownKeysOfTheModeInUseAreToldWithFileAndLine) {
  write_file(settings_file(),
             u8(u8"[prismet]\nダイアログを表示=0\nlinenumbers=1\n[web]\ncolour=1\n\n新しい=2\n"));
  write_file(path("a.cpp"), "int a;\n");
  const std::string file = path("config") + "/prismet/prismet.ini";
  EXPECT_EQ(run_with_streams({"-q", path("a.cpp")}), 0);
  EXPECT_EQ(err(), "prismet: " + file + ":3: unknown key \"linenumbers\" in mode \"prismet\"\n");
  // The run saved its settings behind the keys of [prismet]: the file as it was again.
  write_file(settings_file(),
             u8(u8"[prismet]\nダイアログを表示=0\nlinenumbers=1\n[web]\ncolour=1\n\n新しい=2\n"));
  EXPECT_EQ(run_with_streams({"-q", "-m", "web", path("a.cpp")}), 0);
  EXPECT_EQ(err(), "prismet: " + file + ":5: unknown key \"colour\" in mode \"web\"\n" + "prismet: " + file +
                       u8(u8":7: unknown key \"新しい\" in mode \"web\"\n"));
  // Kept when the settings are saved.
  EXPECT_NE(read_file(settings_file()).find(u8(u8"\r\n新しい=2\r\n")), std::string::npos);
  EXPECT_NE(read_file(settings_file()).find("\r\nlinenumbers=1\r\n"), std::string::npos);
}

}  // namespace
}  // namespace prismet

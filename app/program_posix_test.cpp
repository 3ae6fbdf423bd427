// End-to-end, Linux: the program as a command-line tool. Options, standard
// streams, the lines on standard error and the exit status; settings in the
// user's configuration folder; files and folders the user may not write (run
// as an ordinary user: root passes every permission check).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "common/file_system.h"
#include "common/version.h"
#include "tests/ordinary_user_posix.h"
#include "tests/program_folder.h"
#include "tests/run_program_posix.h"
#include "tests/test_files.h"

namespace prismet {
namespace {

using testing::ProgramTest;
using testing::read_file;
using testing::write_file;

namespace fs = std::filesystem;

class ProgramPosixTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    write_file(settings_file(), "[prismet]\r\nダイアログを表示=0\r\n");
  }
  // Runs the program with its streams in files of the test's folder.
  int run_with_streams(const std::vector<std::string>& arguments, bool ordinary_user = false) {
    testing::ProgramStreams streams;
    streams.input = path("stdin");
    streams.output = path("stdout");
    streams.error = path("stderr");
    streams.ordinary_user = ordinary_user;
    if (!path_exists(streams.input.c_str())) write_file(streams.input, "");
    return testing::run_program(program_, arguments, streams);
  }
  std::string out() { return read_file(path("stdout")); }
  std::string err() { return read_file(path("stderr")); }
  // Standard error with the closing line's seconds as "T", which no test
  // can know.
  std::string err_timeless() {
    std::string text = err();
    for (std::size_t at = text.find(", in "); at != std::string::npos; at = text.find(", in ", at + 1)) {
      const std::size_t end = text.find(" s", at + 5);
      if (end != std::string::npos) text.replace(at + 5, end - at - 5, "T");
    }
    return text;
  }
};

TEST_F(ProgramPosixTest, HelpAndVersionTouchNoFile) {
  fs::remove_all(path("config"));
  EXPECT_EQ(run_with_streams({"--help", "/dlg:0", path("a.cpp")}), 0);
  EXPECT_EQ(out().rfind("usage: prismet", 0), 0u);
  EXPECT_NE(out().find("Settings: " + path("config") + "/prismet/prismet.ini\n"), std::string::npos);
  EXPECT_EQ(err(), "");
  EXPECT_EQ(run_with_streams({"-h"}), 0);
  EXPECT_EQ(out().rfind("usage: prismet", 0), 0u);
  for (const char* option : {"-V", "--version"}) {
    EXPECT_EQ(run_with_streams({option}), 0);
    EXPECT_EQ(out(), "prismet " PRISMET_VERSION "\n");
  }
  EXPECT_FALSE(path_exists(path("config").c_str()));
}

TEST_F(ProgramPosixTest, UsageErrorsWriteNothing) {
  write_file(path("u.cpp"), "u");
  const std::string settings = read_file(settings_file());
  for (const std::vector<std::string>& arguments :
       std::vector<std::vector<std::string>>{{},
                                             {"-x", path("u.cpp")},
                                             {path("u.cpp"), "--bogus"},
                                             {"-m"},
                                             {"-m", "a\nb", path("u.cpp")},
                                             {"--mode=x\r", path("u.cpp")},
                                             {"/mode:  ", path("u.cpp")}}) {
    SCOPED_TRACE(arguments.empty() ? "no argument" : arguments[0]);
    EXPECT_EQ(run_with_streams(arguments), 2);
    EXPECT_EQ(out(), "");
    EXPECT_NE(err().find("Try 'prismet --help'"), std::string::npos);
    EXPECT_FALSE(path_exists(path("u.htm").c_str()));
    EXPECT_EQ(read_file(settings_file()), settings);
  }
}

// A settings file that cannot be read is neither taken nor replaced: the
// conversion runs with the defaults, and one line tells that the settings
// were not saved.
TEST_F(ProgramPosixTest, SettingsThatCannotBeSavedAreTold) {
  if (!testing::running_as_root()) GTEST_SKIP() << "needs root to act as another user";
  for (const std::string& owned : {folder_, path("config"), path("config/prismet")}) {
    testing::give_to_ordinary_user(owned);
  }
  write_file(settings_file(), "[prismet]\r\nダイアログを表示=0\r\n拡張子=.txt\r\n");
  ::chmod(settings_file().c_str(), 0600);  // root's, unreadable to the user
  write_file(path("s.cpp"), "s");
  testing::give_to_ordinary_user(path("s.cpp"));
  EXPECT_EQ(run_with_streams({path("s.cpp")}, true), 0);
  EXPECT_EQ(read_file(path("s.htm")), "<PRE>s</PRE>");
  EXPECT_EQ(err(), "prismet: " + settings_file() + ": settings not saved: Permission denied\n");
  EXPECT_EQ(read_file(settings_file()), "[prismet]\r\nダイアログを表示=0\r\n拡張子=.txt\r\n");
}

// Each file not converted gets its line, the others are converted, and the
// exit status says that not all were.
TEST_F(ProgramPosixTest, EveryFileNotConvertedIsReported) {
  write_file(path("good.cpp"), "1");
  testing::make_folder(path("folder.cpp"));
  testing::make_folder(path("page.htm"));  // the output's name is taken by a folder
  write_file(path("page.cpp"), "p");
  EXPECT_EQ(run_with_streams({path("missing.cpp"), path("folder.cpp"), path("page.cpp"), path("good.cpp")}),
            1);
  // The folder is a tree without sources: nothing of it is reported but
  // the closing line.
  EXPECT_EQ(err_timeless(), "prismet: " + path("missing.cpp") + ": No such file or directory\n" +
                                "prismet: " + path("page.cpp") + ": page " + path("page.htm") +
                                ": Is a directory\n" +
                                "prismet: converted 1 file, 0.0 MB, in T s; 2 not converted\n");
  EXPECT_EQ(read_file(path("good.htm")), "<PRE><FONT COLOR=\"#FF0000\">1</FONT></PRE>");
  EXPECT_EQ(run_with_streams({path("good.cpp")}), 0);
  EXPECT_EQ(err(), "") << "no progress line where standard error is no terminal";
  EXPECT_EQ(run_with_streams({path("good.cpp"), path("missing.cpp")}), 1) << "exactly one file failed";
  EXPECT_EQ(err(), "prismet: " + path("missing.cpp") + ": No such file or directory\n");
}

// As an ordinary user: a program in a folder the user cannot write (as
// installed) converts, keeping its settings in the user's configuration
// folder; in a folder the user cannot write, an existing writable page is
// rewritten in place, while a new page cannot be made; an unreadable source
// is reported too.
TEST_F(ProgramPosixTest, AsAnOrdinaryUser) {
  for (const std::string& owned : {folder_, path("config"), path("config/prismet"), settings_file()}) {
    testing::give_to_ordinary_user(owned);
  }
  testing::make_folder(path("locked"));
  write_file(path("mine.cpp"), "m");
  write_file(path("secret.cpp"), "s");
  write_file(path("locked/in.cpp"), "i");
  write_file(path("locked/old.cpp"), "o");
  write_file(path("locked/old.htm"), "the old page");
  testing::give_to_ordinary_user(path("locked/old.htm"));
  testing::give_to_ordinary_user(path("mine.cpp"));
  ::chmod(path("secret.cpp").c_str(), 0600);
  ::chmod(path("bin").c_str(), 0555);
  const int status =
      run_with_streams({path("mine.cpp"), path("secret.cpp"), path("locked/in.cpp"), path("locked/old.cpp")},
                       testing::running_as_root());
  ::chmod(path("bin").c_str(), 0755);
  if (!testing::running_as_root()) GTEST_SKIP() << "needs root to act as another user";
  EXPECT_EQ(status, 1);
  EXPECT_EQ(read_file(path("mine.htm")), "<PRE>m</PRE>");
  EXPECT_EQ(err(), "prismet: " + path("secret.cpp") + ": Permission denied\n" + "prismet: " +
                       path("locked/in.cpp") + ": page " + path("locked/in.htm") + ": Permission denied\n");
  EXPECT_FALSE(path_exists(path("secret.htm").c_str()));
  EXPECT_FALSE(path_exists(path("locked/in.htm").c_str()));
  EXPECT_EQ(read_file(path("locked/old.htm")), "<PRE>o</PRE>");
  EXPECT_EQ(testing::count_entries(path("bin")), 1);
  no_temporary_file_left();
}

TEST_F(ProgramPosixTest, StandardInputToStandardOutput) {
  write_file(settings_file(".top"), "<HTML>\n");
  write_file(settings_file(".btm"), "</HTML>\n");
  write_file(path("stdin"), "int a; // <\n");
  EXPECT_EQ(run_with_streams({"-"}), 0);
  EXPECT_EQ(out(),
            "<HTML>\r\n<PRE><FONT COLOR=\"#0000FF\">int</FONT> a; <FONT COLOR=\"#008040\">// &lt;</FONT>\r\n"
            "</PRE></HTML>\r\n");
  EXPECT_EQ(err(), "");
  EXPECT_EQ(testing::count_entries(folder_), 5);  // bin, config and the three streams' files: no page
}

// "--" ends the options; the mode is chosen in every spelling.
TEST_F(ProgramPosixTest, OptionsEndAndModes) {
  write_file(settings_file(), "[prismet]\r\nダイアログを表示=0\r\n[web]\r\n拡張子=.html\r\n");
  write_file(path("-dash.cpp"), "d");
  testing::ProgramStreams in_folder;
  in_folder.working_folder = folder_;
  EXPECT_EQ(testing::run_program(program_, {"--", "-dash.cpp"}, in_folder), 0);
  EXPECT_EQ(read_file(path("-dash.htm")), "<PRE>d</PRE>");
  write_file(path("m.cpp"), "m");
  for (const std::vector<std::string>& mode : std::vector<std::vector<std::string>>{
           {"-m", "web"}, {"-mweb"}, {"--mode=web"}, {"--mode", "web"}, {"/MODE:web"}}) {
    fs::remove(path("m.html"));
    std::vector<std::string> arguments = mode;
    arguments.push_back(path("m.cpp"));
    EXPECT_EQ(run_with_streams(arguments), 0) << mode[0];
    EXPECT_EQ(read_file(path("m.html")), "<PRE>m</PRE>") << mode[0];
  }
}

// -e decides the encoding of one run; the settings keep theirs.
TEST_F(ProgramPosixTest, EncodingOptionIsForOneRun) {
  write_file(path("j.cpp"), "// \x95\x5C");
  EXPECT_EQ(run_with_streams({"-e", "AUTO", path("j.cpp")}), 0);
  EXPECT_EQ(read_file(path("j.htm")), "<PRE><FONT COLOR=\"#008040\">// \xE8\xA1\xA8</FONT></PRE>");
  EXPECT_EQ(read_file(settings_file()).find("文字コード"), std::string::npos);
  EXPECT_EQ(run_with_streams({path("j.cpp")}), 0);
  EXPECT_EQ(read_file(path("j.htm")), "<PRE><FONT COLOR=\"#008040\">// \x95\x5C</FONT></PRE>");
  EXPECT_EQ(run_with_streams({"--encoding=latin1", path("j.cpp")}), 2);
  EXPECT_NE(err().find("unknown encoding 'latin1'"), std::string::npos) << err();
}

// Two sources that would get one page: the second is told, exit 1.
TEST_F(ProgramPosixTest, ASecondSourceForOnePageIsTold) {
  write_file(path("a.cpp"), "c");
  write_file(path("a.h"), "h");
  EXPECT_EQ(run_with_streams({path("a.cpp"), path("a.h")}), 1);
  EXPECT_EQ(err(), "prismet: " + path("a.h") + ": page " + path("a.htm") + " already written for " +
                       path("a.cpp") + "\n");
  EXPECT_EQ(read_file(path("a.htm")), "<PRE>c</PRE>");
}

// A settings file beside the program makes a portable copy: it is used, and
// the insert files beside it.
TEST_F(ProgramPosixTest, ASettingsFileBesideTheProgramIsUsed) {
  write_file(beside_program(".ini"), "[prismet]\r\nダイアログを表示=0\r\n拡張子=.txt\r\n");
  write_file(beside_program(".top"), "[top]");
  write_file(path("p.cpp"), "p");
  EXPECT_EQ(run_with_streams({path("p.cpp")}), 0);
  EXPECT_EQ(read_file(path("p.txt")), "[top]<PRE>p</PRE>");
  EXPECT_EQ(read_file(settings_file()), "[prismet]\r\nダイアログを表示=0\r\n")
      << "the user's file is left alone";
}

// Without a home (cron, a service, env -i) the built-in settings apply, no
// settings file is made anywhere (not beside the program, where every user
// would get it), and one line says so.
TEST_F(ProgramPosixTest, WithoutAHomeNoSettingsFileIsMade) {
  const std::string home = std::getenv("HOME") != nullptr ? std::getenv("HOME") : "";
  const std::string config = std::getenv("XDG_CONFIG_HOME");
  ::unsetenv("HOME");
  ::unsetenv("XDG_CONFIG_HOME");
  write_file(path("p.cpp"), "int p;");
  const int status = run_with_streams({path("p.cpp")});
  ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
  if (!home.empty()) ::setenv("HOME", home.c_str(), 1);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(read_file(path("p.htm")), "<PRE><FONT COLOR=\"#0000FF\">int</FONT> p;</PRE>");
  EXPECT_EQ(err(), "prismet: settings not saved: no settings file path (no home folder)\n");
  std::vector<std::string> beside;
  for (const auto& entry : fs::directory_iterator(path("bin"))) beside.push_back(entry.path().filename());
  EXPECT_EQ(beside, std::vector<std::string>{"prismet"});
  EXPECT_EQ(read_file(settings_file()), "[prismet]\r\nダイアログを表示=0\r\n");
}

// A folder's files that are no sources: counted in the closing line, named
// one a line with -v (also with -q, which drops only the progress and the
// closing line); headers without an extension converted once the mode's
// key asks for their mode line.
TEST_F(ProgramPosixTest, SkippedFilesAreCountedAndNamedWithVerbose) {
  testing::make_folder(path("src"));
  testing::make_folder(path("src/bits"));
  write_file(path("src/vector"), "// <vector> -*- C++ -*-\n");
  write_file(path("src/README"), "read me\n");
  write_file(path("src/a.cpp"), "int a;\n");
  write_file(path("src/bits/stl_vector.h"), "int v;\n");
  write_file(path("src/bits/notes.txt"), "x\n");
  EXPECT_EQ(run_with_streams({path("src")}), 0);
  EXPECT_EQ(err_timeless(), "prismet: converted 2 files, 0.0 MB, in T s; 3 skipped: no C++ extension\n");
  EXPECT_EQ(run_with_streams({"-v", path("src")}), 0);
  EXPECT_EQ(err_timeless(), "prismet: " + path("src/README") + ": skipped: no C++ extension\n" +
                                "prismet: " + path("src/vector") + ": skipped: no C++ extension\n" +
                                "prismet: " + path("src/bits/notes.txt") + ": skipped: no C++ extension\n" +
                                "prismet: converted 0 files, 0.0 MB, in T s; 2 unchanged; 3 skipped: no C++ "
                                "extension\n");
  EXPECT_EQ(run_with_streams({"--quiet", "--verbose", path("src")}), 0);
  EXPECT_EQ(err(), "prismet: " + path("src/README") + ": skipped: no C++ extension\n" +
                       "prismet: " + path("src/vector") + ": skipped: no C++ extension\n" +
                       "prismet: " + path("src/bits/notes.txt") + ": skipped: no C++ extension\n");
  EXPECT_FALSE(path_exists(path("src/vector.htm").c_str()));

  const std::string settings = read_file(settings_file());
  EXPECT_EQ(settings.find("C++"), std::string::npos) << "a key at its default is not written";
  EXPECT_EQ(run_with_streams({"--set", "cpp-mode-line=1"}), 0);
  EXPECT_EQ(read_file(settings_file()), settings + "C++のモード行=1\r\n");
  EXPECT_EQ(run_with_streams({"-v", path("src")}), 0);
  EXPECT_EQ(err_timeless(), "prismet: " + path("src/README") + ": skipped: no C++ extension\n" +
                                "prismet: " + path("src/bits/notes.txt") + ": skipped: no C++ extension\n" +
                                "prismet: converted 1 file, 0.0 MB, in T s; 2 unchanged; 2 skipped: no C++ "
                                "extension\n");
  EXPECT_EQ(read_file(path("src/vector.htm")),
            "<PRE><FONT COLOR=\"#008040\">// &lt;vector&gt; -*- C++ -*-</FONT>\r\n</PRE>");
  EXPECT_NE(read_file(path("src/index.html")).find("<a href=\"vector.htm\">vector</a>"), std::string::npos);
}

}  // namespace
}  // namespace prismet

// End-to-end faults: the real program with a damaged or unusable settings
// file, with a huge vocabulary file, with a thousand files at once and with
// several instances at once.
// In every case nothing may be lost: outputs are complete or untouched, and
// sources stay as they were.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "common/file_system.h"
#include "tests/program_folder.h"
#include "tests/run_program.h"
#include "tests/small_disk.h"
#include "tests/test_files.h"

namespace prismet {
namespace {

using testing::kSep;
using testing::ProgramTest;
using testing::read_file;
using testing::write_file;

namespace fs = std::filesystem;

// Whether a read-only file really refuses writes here. Wine run as root
// opens it for writing all the same (it keeps the attribute as Unix
// permissions, which root passes), as the Windows profile functions then
// do; the Linux program refuses by the permission bits themselves.
bool read_only_holds(const std::string& path) {
#ifdef _WIN32
  std::FILE* file = std::fopen(path.c_str(), "r+b");
  if (file == nullptr) return true;
  std::fclose(file);
  return false;
#else
  (void)path;
  return true;
#endif
}

// A page that replaces its own source (the extension ".cpp") on a nearly
// full disk: the conversion fails, and the source stays byte for byte, with
// no temporary file left beside it.
TEST_F(ProgramTest, AFullDiskLosesNoSource) {
  const std::string folder = testing::small_disk_folder("program");
  if (folder.empty()) GTEST_SKIP() << "no small file system (PRISMET_SMALL_DISK) in this run";
  write_file(settings_file(), "[prismet]\r\nダイアログを表示=0\r\n拡張子=.cpp\r\n");
  std::string source;
  while (source.size() < testing::free_bytes(folder) * 2 / 3) source += "int x; // <&> 日本語\n";
  const std::string file = folder + kSep + "source.cpp";
  write_file(file, source);
  EXPECT_EQ(run({file}), testing::kExitNotConverted);
  EXPECT_TRUE(read_file(file) == source);
  EXPECT_EQ(testing::count_entries(folder), 1);
  fs::remove(file);
}

// A settings file that is read-only, cut short, binary junk or a folder:
// the program converts with what it can read (stored values where there
// are any, else the defaults), and keeps a file it cannot write as it was.
TEST_F(ProgramTest, DamagedOrUnusableSettingsFile) {
  std::mt19937 random(4711);
  std::string junk(3000, '\0');
  for (char& byte : junk) byte = static_cast<char>(random());
  for (char& byte : junk) {
    if (byte == '[') byte = '{';  // no section header, so no stored value
  }
  const std::string stored =
      "[prismet]\r\nダイアログを表示=0\r\n拡張子=.html\r\n<全体>=<CODE>\r\n</全体>=</CODE>\r\n";
  struct Case {
    const char* name;
    std::string contents;  // of the settings file; empty: it is a folder
    bool read_only;
    const char* output;  // file name of the page
    const char* page;
  };
  const Case cases[] = {
      {"read-only", stored, true, "s.html", "<CODE>s</CODE>"},
      {"cut inside a value", stored.substr(0, stored.size() - 6), false, "s.html", "<CODE>s</C"},
      {"cut inside a double-byte name", stored.substr(0, stored.find("全体>=</") + 1), false, "s.html",
       "<CODE>s</PRE>"},
      {"binary junk", junk, false, "s.htm", "<PRE>s</PRE>"},
      {"a folder", "", false, "s.htm", "<PRE>s</PRE>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();  // a fresh folder per case
    const std::string ini = settings_file();
    if (c.contents.empty()) {
      testing::make_folder(ini);
    } else {
      write_file(ini, c.contents);
    }
    bool refuses_writes = false;
    if (c.read_only) {
      fs::permissions(ini, fs::perms::all, fs::perm_options::remove);
      refuses_writes = read_only_holds(ini);
    }
    fs::permissions(ini, fs::perms::owner_read, fs::perm_options::add);
    write_file(path("s.cpp"), "s");

    EXPECT_EQ(run({"/dlg:0", path("s.cpp")}), 0);
    EXPECT_EQ(read_file(path(c.output)), c.page);
    EXPECT_EQ(read_file(path("s.cpp")), "s");
    no_temporary_file_left();
    if (c.contents.empty()) {
      EXPECT_TRUE(fs::is_directory(ini));
      EXPECT_EQ(testing::count_entries(ini), 0);
    } else if (c.read_only) {
      if (refuses_writes) {
        EXPECT_EQ(read_file(ini), c.contents);
      }
      fs::permissions(ini, fs::perms::owner_write, fs::perm_options::add);
    } else {
      // Written back with every key; a second run reads what was written.
      EXPECT_NE(read_file(ini).find("行番号を表示=0\r\n"), std::string::npos);
      EXPECT_EQ(run({"/dlg:0", path("s.cpp")}), 0);
      EXPECT_EQ(read_file(path(c.output)), c.page);
    }
  }
}

// A vocabulary file of 10 MB made of lines of a megabyte: it is read in
// pieces, each a token of its own, and the entries behind them still count.
TEST_F(ProgramTest, HugeVocabularyFileWithMegabyteLines) {
  std::string vocabulary = "#version 00000000\r\n[+keyword]\r\n";
  for (int line = 0; line < 10; ++line) {
    vocabulary += std::string(1 << 20, static_cast<char>('a' + line));
    vocabulary += "\r\n";
  }
  vocabulary += "mykeyword\r\n[line_comment]\r\n" + std::string(1 << 20, '#') + "\r\n#!\r\n";
  ASSERT_GT(vocabulary.size(), 10u << 20);
  write_file(path("huge.voc"), vocabulary);
  write_file(settings_file(), "[prismet]\r\nダイアログを表示=0\r\n語彙ファイル=" + path("huge.voc") +
                                  "\r\n<ｷｰﾜｰﾄﾞ>=<K>\r\n</ｷｰﾜｰﾄﾞ>=</K>\r\n<ｺﾒﾝﾄ>=<C>\r\n</ｺﾒﾝﾄ>=</C>\r\n");
  write_file(path("v.cpp"), "mykeyword int aaaa; // not a comment now\n#! comment");
  EXPECT_EQ(run({path("v.cpp")}), 0);
  EXPECT_EQ(read_file(path("v.htm")),
            "<PRE><K>mykeyword</K> <K>int</K> aaaa; // not a comment now\r\n<C>#! comment</C></PRE>");
  no_temporary_file_left();
}

// A thousand files on one command line, named relative to the working
// folder (a Windows command line holds at most 32,767 characters): every
// one is converted.
TEST_F(ProgramTest, AThousandFilesOnOneCommandLine) {
  write_file(settings_file(), "[prismet]\r\nダイアログを表示=0\r\n");
  std::vector<std::string> names;
  for (int i = 0; i < 1000; ++i) {
    names.push_back("f" + std::to_string(i) + ".cpp");
    write_file(path(names.back()), "int v" + std::to_string(i) + ";");
  }
  EXPECT_EQ(testing::run_program(program_, names, folder_), 0);
  for (int i = 0; i < 1000; ++i) {
    ASSERT_EQ(read_file(path("f" + std::to_string(i) + ".htm")),
              "<PRE><FONT COLOR=\"#0000FF\">int</FONT> v" + std::to_string(i) + ";</PRE>")
        << i;
  }
  no_temporary_file_left();
}

// Four instances at once, each converting its own file and all of them one
// shared file, twice over: every page is byte for byte the page a run of
// its own writes.
TEST_F(ProgramTest, FourInstancesAtOnceLoseNothing) {
  write_file(settings_file(), "[prismet]\r\nダイアログを表示=0\r\n");
  constexpr int kInstances = 4;
  std::vector<std::string> names = {"shared"};
  for (int n = 0; n < kInstances; ++n) names.push_back("own" + std::to_string(n));
  std::vector<std::string> expected;
  for (const std::string& name : names) {
    std::string source;
    for (int line = 0; line < 40000; ++line)
      source += "int " + name + "_" + std::to_string(line) + "; // <&>\n";
    write_file(path(name + ".cpp"), source);
    ASSERT_EQ(run({path(name + ".cpp")}), 0);
    expected.push_back(read_file(path(name + ".htm")));
    fs::remove(path(name + ".htm"));
  }
  {
    std::vector<std::unique_ptr<testing::ProgramRun>> runs;
    const std::string shared = path("shared.cpp");
    for (int n = 0; n < kInstances; ++n) {
      const std::string own = path(names[static_cast<std::size_t>(n) + 1] + ".cpp");
      runs.push_back(std::make_unique<testing::ProgramRun>(
          program_, std::vector<std::string>{own, shared, own, shared}));
      ASSERT_TRUE(runs.back()->started());
    }
    for (auto& run : runs) EXPECT_EQ(run->wait(), 0);
  }
  for (std::size_t i = 0; i < names.size(); ++i) {
    EXPECT_TRUE(read_file(path(names[i] + ".htm")) == expected[i]) << names[i] << ".htm differs";
    EXPECT_NE(expected[i].find(names[i] + "_39999; <FONT"), std::string::npos);
  }
  no_temporary_file_left();
}

}  // namespace
}  // namespace prismet

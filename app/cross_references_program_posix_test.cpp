// The Linux program's cross-references for one run: "--cross-references"
// and "--no-cross-references" over the mode's key, never saved; without an
// output folder a folder named is a site of its own, and files named one by
// one link nothing.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "tests/program_folder.h"

namespace prismet {
namespace {

using testing::make_folder;
using testing::read_file;
using testing::write_file;

class CrossReferencesOptionTest : public testing::ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    make_folder(path("src"));
    write_file(path("src/a.h"), "int twice(int v);\n");
    write_file(path("src/a.cpp"),
               "int twice(int v) {\n  return v + v;\n}\nint four() {\n  return twice(2);\n}\n");
  }
  int run_here(const std::vector<std::string>& arguments) {
    return testing::run_program(program_, arguments, folder_);
  }
  static constexpr char kLinked[] = "<a href=\"#L1\">twice</a>(";
};

TEST_F(CrossReferencesOptionTest, TheOptionsTurnTheKeyOnOrOffForOneRun) {
  const struct {
    const char* settings;
    std::vector<std::string> arguments;
    bool linked;
  } cases[] = {
      {"", {"-q", "--cross-references", "-o", "site", "src"}, true},
      {"", {"-q", "-o", "site", "src"}, false},
      {"相互参照=1\r\n", {"-q", "-o", "site", "src"}, true},
      {"相互参照=1\r\n", {"-q", "--no-cross-references", "-o", "site", "src"}, false},
      {"", {"-q", "--no-cross-references", "--cross-references", "-o", "site", "src"}, true},
  };
  for (const auto& c : cases) {
    const std::string settings = std::string("[prismet]\r\nダイアログを表示=0\r\n") + c.settings;
    write_file(settings_file(), settings);
    ASSERT_EQ(run_here(c.arguments), 0);
    const std::string page = read_file(path("site/a.cpp.htm"));
    EXPECT_EQ(page.find(kLinked) != std::string::npos, c.linked) << c.settings << c.arguments[1] << page;
    // An option is never saved: the key is in the file (in code page 932)
    // only when it was there.
    const std::string saved = read_file(settings_file());
    EXPECT_EQ(saved.find("\x91\x8A\x8C\xDD\x8E\x51\x8F\xC6=1") != std::string::npos, c.settings[0] != '\0')
        << saved;
  }
}

TEST_F(CrossReferencesOptionTest, WithoutAnOutputFolderOnlyAFolderLinks) {
  write_file(settings_file(), "[prismet]\r\nダイアログを表示=0\r\n");
  ASSERT_EQ(run_here({"-q", "src/a.cpp"}), 0);
  const std::string plain = read_file(path("src/a.htm"));
  ASSERT_EQ(run_here({"-q", "--cross-references", "src/a.cpp"}), 0);
  EXPECT_EQ(read_file(path("src/a.htm")), plain);
  EXPECT_FALSE(std::filesystem::exists(path("src/prismet-symbols")));
  ASSERT_EQ(run_here({"-q", "--cross-references", "src"}), 0);
  EXPECT_NE(read_file(path("src/a.cpp.htm")).find(kLinked), std::string::npos);
  EXPECT_TRUE(std::filesystem::is_regular_file(path("src/prismet-symbols/18b.htm")));
}

// A source that is no plain file is not read by the first pass (a pipe
// would never end), and the other pages link as before.
TEST_F(CrossReferencesOptionTest, APipeAmongTheSourcesIsNotRead) {
  write_file(settings_file(), "[prismet]\r\nダイアログを表示=0\r\n");
  ASSERT_EQ(::mkfifo(path("src/pipe.cpp").c_str(), 0600), 0);
  ASSERT_EQ(run_here({"-q", "--cross-references", "-o", "site", "src"}), 0);
  EXPECT_NE(read_file(path("site/a.cpp.htm")).find(kLinked), std::string::npos);
}

}  // namespace
}  // namespace prismet

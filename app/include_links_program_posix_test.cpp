// The Linux program's include folders for one run: "-I DIR" adds to the
// mode's, relative to the current folder, and is never saved.
#include <gtest/gtest.h>

#include <string>

#include "tests/program_folder.h"

namespace prismet {
namespace {

using testing::make_folder;
using testing::read_file;
using testing::write_file;

class IncludeFolderOptionTest : public testing::ProgramTest {};

TEST_F(IncludeFolderOptionTest, AnIncludeFolderForOneRunOnly) {
  const std::string settings = "[prismet]\r\nダイアログを表示=0\r\nインクルードのリンク=1\r\n";
  write_file(settings_file(), settings);
  for (const char* folder : {"src", "src/inc", "src/inc/ext", "src/lib"}) make_folder(path(folder));
  write_file(path("src/main.cpp"), "#include <ext/e.h>\n#include <b.h>\n");
  write_file(path("src/inc/ext/e.h"), "int e;\n");
  write_file(path("src/lib/b.h"), "int b;\n");
  ASSERT_EQ(testing::run_program(
                program_, {"-q", "-o", "site", "-I", "src/inc", "--include-dir=src/lib", "src"}, folder_),
            0);
  const std::string page = read_file(path("site/main.cpp.htm"));
  EXPECT_NE(page.find("&lt;<a href=\"inc/ext/e.h.htm\">"), std::string::npos) << page;
  EXPECT_NE(page.find("&lt;<a href=\"lib/b.h.htm\">"), std::string::npos) << page;
  EXPECT_EQ(read_file(settings_file()).find("インクルードフォルダ"), std::string::npos);
  // Without them the next run links neither: the pages are made again.
  ASSERT_EQ(testing::run_program(program_, {"-q", "-o", "site", "src"}, folder_), 0);
  EXPECT_EQ(read_file(path("site/main.cpp.htm")).find("<a "), std::string::npos);
}

TEST_F(IncludeFolderOptionTest, AFileNamedIntoTheOutputFolderLinksToo) {
  write_file(settings_file(), "[prismet]\r\nダイアログを表示=0\r\nインクルードのリンク=1\r\n");
  for (const char* folder : {"src", "src/lib", "tools"}) make_folder(path(folder));
  write_file(path("src/lib/b.h"), "int b;\n");
  write_file(path("src/a.cpp"), "#include \"lib/b.h\"\n");
  write_file(path("tools/x.cpp"), "#include \"../src/lib/b.h\"\n#include <lib/b.h>\n#include \"a.cpp\"\n");
  ASSERT_EQ(testing::run_program(program_, {"-q", "-o", "site", "src", "tools/x.cpp"}, folder_), 0);
  const std::string page = read_file(path("site/x.htm"));
  EXPECT_NE(page.find("&quot;<a href=\"lib/b.h.htm\">../src/lib/b.h</a>&quot;"), std::string::npos) << page;
  EXPECT_NE(page.find("&lt;<a href=\"lib/b.h.htm\">"), std::string::npos) << page;
  EXPECT_NE(page.find("&quot;<a href=\"a.cpp.htm\">a.cpp</a>&quot;"), std::string::npos) << page;
  EXPECT_NE(read_file(path("site/a.cpp.htm")).find("<a href=\"lib/b.h.htm\">"), std::string::npos);
}

}  // namespace
}  // namespace prismet

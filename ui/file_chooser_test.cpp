#include "ui/file_chooser.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/fixed_text.h"
#include "tests/dialog_driver_win32.h"
#include "tests/test_files.h"

namespace prismet {
namespace {

using testing::DialogDriver;

TEST(SplitFileName, CutsAtTheLastSeparatorOnly) {
  struct Case {
    const char* path;
    const char* folder;
    const char* name;
  } const cases[] = {
      {"D:\\src\\a.cpp", "D:\\src", "a.cpp"},
      {"a.cpp", "a.cpp", "a.cpp"},
      {"", "", ""},
      {"D:\\src\\", "D:\\src", ""},
      {"\\a", "", "a"},
      // The second byte of 表 is a backslash, but never a separator.
      {"D:\\表", "D:", "表"},
      {"表", "表", "表"},
      {"D:\\表\\b.txt", "D:\\表", "b.txt"},
      {"D:\\dir\\表示.txt", "D:\\dir", "表示.txt"},
  };
  for (const Case& c : cases) {
    char buffer[kPathCapacity];
    std::strcpy(buffer, c.path);
    const char* name = split_file_name(buffer);
    EXPECT_STREQ(buffer, c.folder) << c.path;
    EXPECT_STREQ(name, c.name) << c.path;
  }
}

// What the chooser showed when it opened, and how it ended.
struct ChooserRun {
  std::string folder;
  std::string name;
  bool chosen = false;
  std::string result;
};

std::string dialog_answer(HWND chooser, UINT message) {
  char text[kPathCapacity] = {};
  SendMessageA(chooser, message, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

ChooserRun run_chooser(const std::string& initial_path, int button) {
  ChooserRun run;
  char result[kPathCapacity];
  std::memset(result, 'Z', sizeof result);
  DialogDriver driver(10000);
  driver.wait_for_dialog()
      .then("read the chooser's folder and name",
            [&] {
              run.folder = dialog_answer(driver.dialog(), CDM_GETFOLDERPATH);
              run.name = dialog_answer(driver.dialog(), CDM_GETSPEC);
            })
      .press(button)
      .wait_for_close();
  driver.run([&] {
    run.chosen = choose_file(nullptr, OFN_HIDEREADONLY, result, sizeof result, initial_path.c_str(),
                             "ファイルの選択", "すべてのファイル (*.*)\0*.*\0");
  });
  if (run.chosen) run.result = result;
  return run;
}

class ChooseFile : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = testing::scratch_path("chooser");
    testing::make_folder(folder_);
    // A folder named in code page 932, with a backslash as a second byte.
    dbcs_folder_ = folder_ + "\\表";
    ASSERT_TRUE(CreateDirectoryA(dbcs_folder_.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    HANDLE file =
        CreateFileA((dbcs_folder_ + "\\b.cpp").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
  }
  std::string folder_;
  std::string dbcs_folder_;
};

TEST_F(ChooseFile, FolderWhoseNameHoldsABackslashByte) {
  const ChooserRun run = run_chooser(dbcs_folder_ + "\\b.cpp", IDOK);
  EXPECT_EQ(run.folder, dbcs_folder_);
  EXPECT_EQ(run.name, "b.cpp");
  EXPECT_TRUE(run.chosen);
  EXPECT_EQ(run.result, dbcs_folder_ + "\\b.cpp");
}

TEST_F(ChooseFile, EmptyInitialPathStartsWithAnEmptyNameAndCancelGivesFalse) {
  const ChooserRun run = run_chooser("", IDCANCEL);
  EXPECT_EQ(run.name, "");
  EXPECT_FALSE(run.folder.empty());  // the platform's choice
  EXPECT_FALSE(run.chosen);
}

}  // namespace
}  // namespace prismet

#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/version.h"
#include "tests/program_folder.h"

namespace prismet {
namespace {

// The version resource of the built program, as Explorer's properties read it.
class VersionResource : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string program = testing::built_program();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(program.c_str(), &ignored);
    ASSERT_GT(size, 0u) << "no version resource in " << program;
    data_.resize(size);
    ASSERT_TRUE(GetFileVersionInfoA(program.c_str(), 0, size, data_.data()));
  }

  // A string of the first language and code page the resource lists.
  std::string string_value(const char* name) {
    struct Translation {
      WORD language;
      WORD code_page;
    }* translations = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(data_.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations),
                        &length) ||
        length < sizeof *translations)
      return "(no translation)";
    char query[128];
    wsprintfA(query, "\\StringFileInfo\\%04x%04x\\%s", translations->language, translations->code_page, name);
    char* value = nullptr;
    if (!VerQueryValueA(data_.data(), query, reinterpret_cast<void**>(&value), &length)) return "(none)";
    return std::string(value);
  }

  std::vector<char> data_;
};

TEST_F(VersionResource, NamesTheProductAndItsVersion) {
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(data_.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS,
            static_cast<DWORD>(MAKELONG(PRISMET_VERSION_MINOR, PRISMET_VERSION_MAJOR)));
  EXPECT_EQ(fixed->dwFileVersionLS, static_cast<DWORD>(MAKELONG(0, PRISMET_VERSION_PATCH)));
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

  EXPECT_EQ(string_value("ProductName"), "prismet");
  EXPECT_EQ(string_value("FileVersion"), PRISMET_VERSION);
  EXPECT_EQ(string_value("ProductVersion"), PRISMET_VERSION);
  EXPECT_EQ(string_value("OriginalFilename"), "prismet.exe");
  // The description, in the program's code page as the ANSI query gives it.
  EXPECT_EQ(string_value("FileDescription"), "prismet: C++ ソースを色分けした HTML に変換");
}

}  // namespace
}  // namespace prismet

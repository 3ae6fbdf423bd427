#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/batch.h"
#include "settings/settings_file.h"
#include "tests/test_files.h"

namespace prismet {
namespace {

using testing::read_file;
using testing::scratch_path;
using testing::write_file;

TEST(BatchWin32, ReadOnlyAndHiddenOutputsStaySo) {
  Settings settings;
  set_default_settings(settings, "", "");
  Vocabulary vocabulary;
  set_builtin_vocabulary(vocabulary);
  const DWORD kept[] = {FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_HIDDEN,
                        FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN};
  int n = 0;
  for (DWORD attributes : kept) {
    const std::string name = "attr" + std::to_string(++n);
    write_file(scratch_path(name + ".cpp"), "a");
    write_file(scratch_path(name + ".htm"), "old");
    ASSERT_TRUE(SetFileAttributesA(scratch_path(name + ".htm").c_str(), attributes));
    convert_files({scratch_path(name + ".cpp")}, settings, vocabulary, nullptr);
    EXPECT_EQ(read_file(scratch_path(name + ".htm")), "<PRE>a</PRE>");
    EXPECT_EQ(GetFileAttributesA(scratch_path(name + ".htm").c_str()) &
                  (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN),
              attributes);
    SetFileAttributesA(scratch_path(name + ".htm").c_str(), FILE_ATTRIBUTE_NORMAL);
  }
  free_vocabulary(vocabulary);
}

TEST(BatchWin32, ALockedOutputIsLeftAsItWas) {
  Settings settings;
  set_default_settings(settings, "", "");
  Vocabulary vocabulary;
  set_builtin_vocabulary(vocabulary);
  write_file(scratch_path("locked.cpp"), "a");
  write_file(scratch_path("locked.htm"), "old");
  HANDLE lock = CreateFileA(scratch_path("locked.htm").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  convert_files({scratch_path("locked.cpp")}, settings, vocabulary, nullptr);
  CloseHandle(lock);
  EXPECT_EQ(read_file(scratch_path("locked.htm")), "old");
  free_vocabulary(vocabulary);
}

}  // namespace
}  // namespace prismet

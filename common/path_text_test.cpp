#include "common/path_text.h"

#include <gtest/gtest.h>

namespace prismet {
namespace {

// Each path beside its folder. A forward slash separates in both builds, so
// these hold in each.
TEST(FolderOf, TextBeforeTheLastSeparator) {
  const char* const cases[][2] = {
      {"/home/u/.config/prismet/prismet.ini", "/home/u/.config/prismet"},
      {"src/a.cpp", "src"},
      {"a.cpp", "."},
      {"", "."},
      {"/a.cpp", "/"},
      {"src//a.cpp", "src/"},  // only the last separator goes
      {"src/", "src"},
      // The second byte of 表 is 0x5C, a backslash, but never a separator.
      {"src/\x95\x5C", "src"},
      {"\x95\x5C.cpp", "."},
  };
  for (const auto& c : cases) EXPECT_EQ(folder_of(c[0]), c[1]) << c[0];
}

TEST(PathText, AbsolutePaths) {
  const bool windows = kPathSeparator == '\\';
  const struct {
    const char* path;
    bool absolute;
  } cases[] = {
      {"/usr/share", true}, {"a/b", false},        {"", false},    {"./a", false}, {"../a", false},
      {"C:\\x", windows},   {"c:x", windows},      {"1:x", false}, {":x", false},  {"\\\\server\\x", windows},
      {"\\x", windows},     {"\x95\x5C/a", false},
  };
  for (const auto& c : cases) EXPECT_EQ(is_absolute_path(c.path), c.absolute) << c.path;
}

}  // namespace
}  // namespace prismet

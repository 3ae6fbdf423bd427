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

}  // namespace
}  // namespace prismet

#include <gtest/gtest.h>

#include "app/page_variables.h"

namespace prismet {
namespace {

// Windows file names are in code page 932; a UTF-8 page shows them in UTF-8.
TEST(PageVariablesWin32, FileNamesBecomeUtf8) {
  EXPECT_EQ(file_name_as_utf8("a.cpp"), "a.cpp");
  EXPECT_EQ(file_name_as_utf8("\x95\x5C.cpp"), "\xE8\xA1\xA8.cpp");          // 表
  EXPECT_EQ(file_name_as_utf8("\xB1\x82\xA0"), "\xEF\xBD\xB1\xE3\x81\x82");  // ｱあ
  EXPECT_EQ(page_variables_for("Z:\\\x83\x5C\x81\x5B\x83\x58\\a&b.cpp", true)[0].value, "a&amp;b.cpp");
  EXPECT_EQ(page_variables_for("Z:\\x\\\x95\x5C.cpp", true)[0].value, "\xE8\xA1\xA8.cpp");
}

}  // namespace
}  // namespace prismet

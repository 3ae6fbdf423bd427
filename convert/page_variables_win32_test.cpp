#include <gtest/gtest.h>

#include "convert/page_variables.h"
#include "tests/encoding_checks.h"

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

// A Shift_JIS page takes the system's code page 932 names as they are; a
// UTF-8 page gets valid UTF-8 even from bytes that are no character.
TEST(PageVariablesWin32, NamesAreValidInThePagesEncoding) {
  ASSERT_TRUE(file_names_are_cp932());
  const struct {
    const char* name;
    const char* shift_jis_page;
  } cases[] = {
      {"a.cpp", "a.cpp"},
      {"a&'.h", "a&amp;&#39;.h"},
      {"\x95\x5C.cpp", "\x95\x5C.cpp"},
      {"\xB1\xBF\xC0.c", "\xB1\xBF\xC0.c"},
      {"\x93\xFA\x96\x7B", "\x93\xFA\x96\x7B"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(name_as_page_text(c.name, false), c.shift_jis_page) << c.name;
    EXPECT_TRUE(testing::is_valid_utf8(name_as_page_text(c.name, true))) << c.name;
  }
  for (const char* stray : {"a\x81", "\x80", "\xFD\xFE\xFF", "\x81\x7F", "\xA0"}) {
    EXPECT_TRUE(testing::is_valid_utf8(name_as_page_text(stray, true))) << stray;
    EXPECT_TRUE(testing::is_valid_utf8(page_variables_for(stray, true)[0].value)) << stray;
  }
}

}  // namespace
}  // namespace prismet

#include <gtest/gtest.h>

#include "convert/page_variables.h"
#include "tests/encoding_checks.h"

namespace prismet {
namespace {

// Linux file names are bytes; a UTF-8 page takes UTF-8 as it is and shows
// U+FFFD for each byte that is no UTF-8, so the page stays valid.
TEST(PageVariablesPosix, FileNamesStayAsTheyAre) {
  EXPECT_EQ(page_variables_for("src/\xE8\xA1\xA8.cpp", true)[0].value, "\xE8\xA1\xA8.cpp");
  EXPECT_EQ(page_variables_for("src/\x95\x5C.cpp", true)[0].value, "\xEF\xBF\xBD\\.cpp");
}

// The name of a page's source in each page encoding: valid there, escaped,
// and nothing lost that the encoding can show.
TEST(PageVariablesPosix, NamesAreValidInThePagesEncoding) {
  const struct {
    const char* name;
    const char* utf8_page;
    const char* shift_jis_page;
  } cases[] = {
      {"a.cpp", "a.cpp", "a.cpp"},
      {"a&<b>\"'.h", "a&amp;&lt;b&gt;&quot;&#39;.h", "a&amp;&lt;b&gt;&quot;&#39;.h"},
      // 漢字.cpp in UTF-8: converted for a Shift_JIS page.
      {"\xE6\xBC\xA2\xE5\xAD\x97.cpp", "\xE6\xBC\xA2\xE5\xAD\x97.cpp", "\x8A\xBF\x8E\x9A.cpp"},
      // € has no code in code page 932: a character reference.
      {"\xE2\x82\xAC&.c", "\xE2\x82\xAC&amp;.c", "&#8364;&amp;.c"},
      // Boundary bytes that are no UTF-8: 0x80 and 0xFF are no code page 932
      // either; 0xBF and 0xC0 are half-width katakana there.
      {"\x80\xBF\xC0\xFF.c", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD.c",
       "&#65533;&#65533;&#65533;&#65533;.c"},
      {"\xBF\xC0.c", "\xEF\xBF\xBD\xEF\xBF\xBD.c", "\xBF\xC0.c"},
      // Already code page 932 (表, whose second byte is a backslash).
      {"\x95\x5C.c", "\xEF\xBF\xBD\\.c", "\x95\x5C.c"},
      // A lead byte at the end is no character in either encoding.
      {"a\x81", "a\xEF\xBF\xBD", "a&#65533;"},
  };
  for (const auto& c : cases) {
    const std::string utf8 = name_as_page_text(c.name, true);
    const std::string shift_jis = name_as_page_text(c.name, false);
    EXPECT_EQ(utf8, c.utf8_page) << c.name;
    EXPECT_EQ(shift_jis, c.shift_jis_page) << c.name;
    EXPECT_TRUE(testing::is_valid_utf8(utf8)) << c.name;
    EXPECT_TRUE(testing::is_valid_cp932(shift_jis)) << c.name;
    EXPECT_EQ(page_variables_for((std::string("dir/") + c.name).c_str(), true)[0].value, c.utf8_page);
    EXPECT_EQ(page_variables_for((std::string("dir/") + c.name).c_str(), false)[0].value, c.shift_jis_page);
  }
}

}  // namespace
}  // namespace prismet

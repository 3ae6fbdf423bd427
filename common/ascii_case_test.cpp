#include "common/ascii_case.h"

#include <gtest/gtest.h>

#include <string>

namespace prismet {
namespace {

TEST(AsciiCase, OnlyAsciiLettersAreFolded) {
  struct Case {
    std::string a;
    std::string b;
    bool equal;
    bool a_starts_with_b;
  } const cases[] = {
      {"/DLG:1", "/dlg:1", true, true},
      {"/Mode:web", "/mode:", false, true},
      {"x/mode:", "/mode:", false, false},  // only at the start
      {"/mod", "/mode:", false, false},     // the text ends first
      {"abc", "", false, true},             // every text begins with nothing
      {"", "", true, true},
      // Other bytes must match exactly: 0xC1 and 0xE1 differ as Latin-1
      // letters do, "[" and "{" as A-Z and a-z do.
      {"\xC1", "\xE1", false, false},
      {"[", "{", false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.a + " / " + c.b);
    EXPECT_EQ(equals_no_case(c.a.c_str(), c.b.c_str()), c.equal);
    EXPECT_EQ(equals_no_case(c.b.c_str(), c.a.c_str()), c.equal);
    EXPECT_EQ(starts_with_no_case(c.a.c_str(), c.b.c_str()), c.a_starts_with_b);
  }
  EXPECT_EQ(lower_ascii('A'), 'a');
  EXPECT_EQ(lower_ascii('Z'), 'z');
  EXPECT_EQ(lower_ascii('@'), '@');
  EXPECT_EQ(lower_ascii('['), '[');
}

}  // namespace
}  // namespace prismet

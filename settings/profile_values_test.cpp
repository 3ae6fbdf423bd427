#include "settings/profile_values.h"

#include <gtest/gtest.h>

#include <string>

#include "settings/profile.h"
#include "tests/test_files.h"

namespace prismet {
namespace {

using testing::read_file;
using testing::scratch_path;
using testing::write_file;

TEST(ProfileValues, ParsesNumbersAsPercentD) {
  struct Case {
    const char* text;
    std::optional<std::int32_t> number;
  };
  const Case cases[] = {
      {"12", 12},
      {"-3", -3},
      {"+7", 7},
      {" \t42", 42},
      {"4 spaces", 4},
      {"2abc", 2},
      {"007", 7},
      {"", std::nullopt},
      {"abc", std::nullopt},
      {"-", std::nullopt},
      {"- 1", std::nullopt},
      {"2147483647", 2147483647},
      {"2147483648", 2147483647},
      {"99999999999999999999999", 2147483647},
      {"-2147483648", -2147483647 - 1},
      {"-99999999999999999999999", -2147483647 - 1},
  };
  for (const Case& c : cases) EXPECT_EQ(parse_decimal(c.text), c.number) << '"' << c.text << '"';
}

TEST(ProfileValues, BooleansAndIntegersFallBackToTheDefault) {
  const std::string file = scratch_path("values.ini");
  write_file(file, "[v]\r\ntwo=2\r\nzero=0\r\nminus=-1\r\nempty=\r\ntext=abc\r\nlead=  12 monkeys\r\n");
  const char* f = file.c_str();
  EXPECT_TRUE(read_profile_bool(f, "v", "two", false));
  EXPECT_FALSE(read_profile_bool(f, "v", "zero", true));
  EXPECT_TRUE(read_profile_bool(f, "v", "minus", false));
  EXPECT_TRUE(read_profile_bool(f, "v", "empty", true));
  EXPECT_FALSE(read_profile_bool(f, "v", "text", false));
  EXPECT_TRUE(read_profile_bool(f, "v", "absent", true));
  EXPECT_EQ(read_profile_int(f, "v", "lead", 4), 12);
  EXPECT_EQ(read_profile_int(f, "v", "text", 4), 4);
  EXPECT_EQ(read_profile_int(f, "v", "empty", 4), 4);
  EXPECT_EQ(read_profile_int(f, "v", "minus", 4), -1);
  EXPECT_EQ(read_profile_int(scratch_path("none.ini").c_str(), "v", "two", 9), 9);
}

TEST(ProfileValues, WritesNumbersFlagsAndQuotedTexts) {
  const std::string file = scratch_path("written.ini");
  const char* f = file.c_str();
  EXPECT_TRUE(write_profile_int(f, "w", "n", -2147483647 - 1));
  EXPECT_TRUE(write_profile_bool(f, "w", "t", true));
  EXPECT_TRUE(write_profile_bool(f, "w", "f", false));
  EXPECT_TRUE(write_profile_quoted(f, "w", "q", "  both ends  "));
  EXPECT_TRUE(write_profile_quoted(f, "w", "e", ""));
  EXPECT_FALSE(write_profile_quoted(f, "w", "null", nullptr));
  EXPECT_EQ(read_file(file), "[w]\r\nn=-2147483648\r\nt=1\r\nf=0\r\nq=\"  both ends  \"\r\ne=\"\"\r\n");
  char buffer[261];
  read_profile_string(f, "w", "q", "", buffer, sizeof buffer);
  EXPECT_STREQ(buffer, "  both ends  ");
  EXPECT_EQ(read_profile_int(f, "w", "n", 0), -2147483647 - 1);
}

TEST(ProfileValues, TagsAreCutAt32766Bytes) {
  const std::string file = scratch_path("tags.ini");
  write_file(file, "[t]\r\nhuge=" + std::string(100000, 'x') + "\r\nexact=" + std::string(32766, 'y') +
                       "\r\nblank=  <B>  \r\n");
  EXPECT_EQ(read_profile_tag(file.c_str(), "t", "huge", ""), std::string(32766, 'x'));
  EXPECT_EQ(read_profile_tag(file.c_str(), "t", "exact", ""), std::string(32766, 'y'));
  EXPECT_EQ(read_profile_tag(file.c_str(), "t", "blank", ""), "<B>");
  EXPECT_EQ(read_profile_tag(file.c_str(), "t", "absent", "<PRE>"), "<PRE>");
}

}  // namespace
}  // namespace prismet

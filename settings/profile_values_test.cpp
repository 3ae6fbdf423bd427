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
  ProfileFile f(file.c_str());
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
  ProfileFile none(scratch_path("none.ini").c_str());
  EXPECT_EQ(read_profile_int(none, "v", "two", 9), 9);
}

TEST(ProfileValues, WritesNumbersFlagsAndQuotedTexts) {
  const std::string file = scratch_path("written.ini");
  ProfileFile f(file.c_str());
  EXPECT_TRUE(write_profile_int(f, "w", "n", -2147483647 - 1));
  EXPECT_TRUE(write_profile_bool(f, "w", "t", true));
  EXPECT_TRUE(write_profile_bool(f, "w", "f", false));
  EXPECT_TRUE(write_profile_quoted(f, "w", "q", "  both ends  "));
  EXPECT_TRUE(write_profile_quoted(f, "w", "e", ""));
  EXPECT_FALSE(write_profile_quoted(f, "w", "null", nullptr));
  EXPECT_TRUE(f.save());
  EXPECT_EQ(read_file(file), "[w]\r\nn=-2147483648\r\nt=1\r\nf=0\r\nq=\"  both ends  \"\r\ne=\"\"\r\n");
  char buffer[261];
  ProfileFile again(file.c_str());
  again.read_string("w", "q", "", buffer, sizeof buffer);
  EXPECT_STREQ(buffer, "  both ends  ");
  EXPECT_EQ(read_profile_int(again, "w", "n", 0), -2147483647 - 1);
}

TEST(ProfileValues, TagsAreCutAt32766Bytes) {
  const std::string file = scratch_path("tags.ini");
  write_file(file, "[t]\r\nhuge=" + std::string(100000, 'x') + "\r\nexact=" + std::string(32766, 'y') +
                       "\r\nblank=  <B>  \r\n");
  ProfileFile f(file.c_str());
  EXPECT_EQ(read_profile_tag(f, "t", "huge", ""), std::string(32766, 'x'));
  EXPECT_EQ(read_profile_tag(f, "t", "exact", ""), std::string(32766, 'y'));
  EXPECT_EQ(read_profile_tag(f, "t", "blank", ""), "<B>");
  EXPECT_EQ(read_profile_tag(f, "t", "absent", "<PRE>"), "<PRE>");
  // A short tag keeps no room for the longest one: a style holds sixteen.
  EXPECT_LT(read_profile_tag(f, "t", "blank", "").capacity(), 1024u);
}

// A flag is read through 261 bytes and a number through 260, on every
// platform: the digit that ends a value of exactly 260 (259) bytes counts,
// one byte more and it is cut off.
TEST(ProfileValues, NumbersAtTheReadBufferEdge) {
  const std::string file = scratch_path("edge.ini");
  write_file(file, "[e]\r\nflag260=" + std::string(259, '0') + "1\r\nflag261=" + std::string(260, '0') +
                       "1\r\nint259=" + std::string(258, '0') + "7\r\nint260=" + std::string(259, '0') +
                       "7\r\n");
  ProfileFile f(file.c_str());
  EXPECT_TRUE(read_profile_bool(f, "e", "flag260", false));
  EXPECT_FALSE(read_profile_bool(f, "e", "flag261", true));
  EXPECT_EQ(read_profile_int(f, "e", "int259", -1), 7);
  EXPECT_EQ(read_profile_int(f, "e", "int260", -1), 0);
}

}  // namespace
}  // namespace prismet

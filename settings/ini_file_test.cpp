#include "settings/ini_file.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/test_files.h"

namespace prismet::ini {
namespace {

using prismet::testing::read_file;
using prismet::testing::scratch_path;
using prismet::testing::write_file;

std::string read_value(const std::string& file, const char* section, const char* key, const char* fallback,
                       std::size_t capacity = 261) {
  std::string buffer(capacity + 1, '*');
  const std::size_t length = read_string(file.c_str(), section, key, fallback, buffer.data(), capacity);
  EXPECT_EQ(buffer[length], '\0');
  EXPECT_LT(length, capacity);
  return buffer.substr(0, length);
}

TEST(IniFile, ReadsValuesAsTheProfileFunctionsDo) {
  const std::string file = scratch_path("read.ini");
  write_file(file,
             "[q]\r\n"
             "plain=  a b  \r\n"
             "double=\"abc\"\r\n"
             "single='abc'\r\n"
             "mixed=\"abc'\r\n"
             "one=\"\r\n"
             "two=\"\"\r\n"
             "inner=a\"b\"\r\n"
             "blanks=\"  x  \"\r\n"
             "trail=\"x\"  \r\n"
             "dbcs=\"\x81\"\"\r\n"
             "fullwidth=\x81\x40x\x81\x40\r\n"
             "bare\r\n");
  struct Case {
    const char* key;
    const char* fallback;
    const char* expected;
  };
  const Case cases[] = {
      {"plain", "D", "a b"},
      {"double", "D", "abc"},
      {"single", "D", "abc"},
      {"mixed", "D", "\"abc'"},
      {"one", "D", "\""},
      {"two", "D", ""},
      {"inner", "D", "a\"b\""},
      {"blanks", "D", "  x  "},
      {"trail", "D", "x"},
      {"dbcs", "D", "\x81\""},                  // the closing quote is the second byte of a character
      {"fullwidth", "D", "\x81\x40x\x81\x40"},  // a full-width space is no blank
      {"bare", "D", "D"},                       // a name without "=" has no value
      {"absent", "  spaced  ", "  spaced"},     // a default loses trailing spaces only
      {"absent", "\"quoted\"  ", "quoted"},
      {"absent", "   ", " "},
      {"absent", nullptr, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(read_value(file, "q", c.key, c.fallback), c.expected) << c.key;
  EXPECT_EQ(read_value(scratch_path("absent.ini"), "q", "k", "\"d\""), "d");
  // A folder cannot be read: its default comes back as given.
  EXPECT_EQ(read_value(scratch_path(""), "q", "k", "\"d\" "), "\"d\"");
}

TEST(IniFile, CutsLongValuesAtWholeCharacters) {
  const std::string file = scratch_path("long.ini");
  std::string kanji;
  for (int i = 0; i < 200; ++i) kanji += "表";
  write_file(file, "[t]\r\nascii=" + std::string(300, 'a') + "\r\njp=" + kanji + "\r\nmix=a" + kanji +
                       "\r\nquoted=\"" + std::string(260, 'q') + "\"\r\n");
  EXPECT_EQ(read_value(file, "t", "ascii", ""), std::string(260, 'a'));
  EXPECT_EQ(read_value(file, "t", "jp", ""), kanji.substr(0, 260));
  EXPECT_EQ(read_value(file, "t", "mix", ""), "a" + kanji.substr(0, 258));
  EXPECT_EQ(read_value(file, "t", "quoted", ""), std::string(260, 'q'));
  EXPECT_EQ(read_value(file, "t", "mix", "", 4), "a表");
  EXPECT_EQ(read_value(file, "t", "jp", "", 4), "表");
  EXPECT_EQ(read_value(file, "t", "jp", "", 1), "");
  char untouched = '*';
  EXPECT_EQ(read_string(file.c_str(), "t", "jp", "", &untouched, 0), 0u);
  EXPECT_EQ(untouched, '*');
}

TEST(IniFile, WriteKeepsTheRestOfAnOddFile) {
  const std::string file = scratch_path("odd.ini");
  write_file(file,
             "junk=0\r\n; comment\r\n\r\n  [ S1 ]  \r\nk1 = v1  \r\nk1=dup\r\nnoeq\r\n=emptykey\r\n[S1]\r\n"
             "k2=second\r\n\r\n[s2]\rk3=cr-only\rk4=x\n[s3]\nlast=\"q\"");
  EXPECT_TRUE(write_string(file.c_str(), "s3", "new", "v"));
  EXPECT_EQ(read_file(file),
            "junk=0\r\n; comment\r\n[S1]\r\nk1=v1\r\nk1=dup\r\nnoeq\r\n=emptykey\r\n[S1]\r\nk2=second\r\n"
            "[s2]\r\nk3=cr-only\r\nk4=x\r\n[s3]\r\nlast=\"q\"\r\nnew=v\r\n");
}

// A name cut short by a NUL byte loses the blanks in front of the NUL, as it
// would when the file is written back and read again; otherwise the write
// appended a second key that no later read could find.
TEST(IniFile, WriteAfterANameCutByANulReadsBack) {
  const std::string file = scratch_path("nul-name.ini");
  write_file(file, std::string("[prismet]\r\nother \0 \"x\"\r\n[s \0x]\r\n", 32));
  EXPECT_TRUE(write_string(file.c_str(), "prismet", "other", "value"));
  EXPECT_TRUE(write_string(file.c_str(), "s", "k", "v"));
  EXPECT_EQ(read_value(file, "prismet", "other", "<none>"), "value");
  EXPECT_EQ(read_value(file, "s", "k", "<none>"), "v");
  EXPECT_EQ(read_file(file), "[prismet]\r\nother=value\r\n[s]\r\nk=v\r\n");
}

TEST(IniFile, WriteOfTheSameValueLeavesTheFileAlone) {
  const std::string file = scratch_path("same.ini");
  write_file(file, "[a]\r\nx = 1   \r\n");
  EXPECT_TRUE(write_string(file.c_str(), "a", "x", "  1"));
  EXPECT_EQ(read_file(file), "[a]\r\nx = 1   \r\n");
}

TEST(IniFile, FailedWritesReportFailure) {
  EXPECT_FALSE(write_string(scratch_path("no-such-folder/x.ini").c_str(), "a", "b", "c"));
  EXPECT_FALSE(write_string(scratch_path("").c_str(), "a", "b", "c"));  // a folder
  const std::string file = scratch_path("null.ini");
  EXPECT_FALSE(write_string(file.c_str(), "a", "b", nullptr));
  EXPECT_FALSE(write_string(file.c_str(), nullptr, "b", "c"));
}

}  // namespace
}  // namespace prismet::ini

#include "convert/name_pattern.h"

#include <gtest/gtest.h>

#include "common/path_text.h"

namespace prismet {
namespace {

TEST(NamePattern, StarsQuestionMarksAndPlainBytes) {
  const struct {
    const char* pattern;
    const char* name;
    bool matched;
  } cases[] = {
      {"vector", "vector", true},
      {"vector", "vectors", false},
      {"vector", "vecto", false},
      {"*", "anything", true},
      {"*", "", true},
      {"", "", true},
      {"", "a", false},
      {"c*", "cstdio", true},
      {"c*", "stdio", false},
      {"*map", "unordered_map", true},
      {"*map", "mapping", false},
      {"*_*", "unordered_map", true},
      {"*_*", "vector", false},
      {"q*t*g", "qstring", true},
      {"q*t*g", "qstrin", false},
      {"a*b*c", "aXbYbZc", true},
      {"a*b*c", "aXbYbZ", false},
      {"?", "a", true},
      {"?", "", false},
      {"?", "ab", false},
      {"??p", "map", true},
      {"??p", "mp", false},
      {"*?", "", false},
      {"**x", "x", true},
      {"*.h", "a.h", true},  // a pattern with a dot (extensionless names never have one)
      {"[ab]", "a", false},  // no brackets: they are plain bytes
      {"[ab]", "[ab]", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(name_matches_pattern(c.pattern, c.name), c.matched) << c.pattern << " " << c.name;
  }
}

// Case counts where the file system's names do.
TEST(NamePattern, CaseAsTheFileSystemComparesNames) {
  EXPECT_EQ(name_matches_pattern("Vector", "vector"), kCaseBlindFileNames);
  EXPECT_EQ(name_matches_pattern("q*", "QString"), kCaseBlindFileNames);
  EXPECT_TRUE(name_matches_pattern("Q*", "QString"));
}

// "?" takes one whole character of the system's names, never a part of one.
TEST(NamePattern, QuestionMarkTakesOneWholeCharacter) {
  if (kCodePage932Names) {
    // 表 (0x95 0x5C): its second byte is a backslash.
    EXPECT_TRUE(name_matches_pattern("?", "\x95\x5C"));
    EXPECT_FALSE(name_matches_pattern("??", "\x95\x5C"));
    EXPECT_TRUE(name_matches_pattern("a?b",
                                     "a\x95\x5C"
                                     "b"));
    EXPECT_FALSE(name_matches_pattern("*\\", "\x95\x5C"));  // no backslash ends this name
  } else {
    EXPECT_TRUE(name_matches_pattern("?", "\xE8\xA1\xA8"));  // 表 in UTF-8
    EXPECT_FALSE(name_matches_pattern("??", "\xE8\xA1\xA8"));
    EXPECT_TRUE(name_matches_pattern("a?b",
                                     "a\xF0\x9F\x98\x80"
                                     "b"));               // four bytes
    EXPECT_TRUE(name_matches_pattern("??", "\xFF\xFE"));  // no UTF-8: a byte each
    EXPECT_TRUE(name_matches_pattern("?", "\xC3"));       // a lead byte cut short
  }
}

TEST(NamePattern, ListsOfPatternsSeparatedByBlanks) {
  const NamePatterns patterns("  vector\tmap  c* ");
  EXPECT_FALSE(patterns.empty());
  for (const char* name : {"vector", "map", "cstdio"}) EXPECT_TRUE(patterns.matches(name)) << name;
  for (const char* name : {"set", "vectormap", "", "Makefile"}) EXPECT_FALSE(patterns.matches(name)) << name;
  EXPECT_TRUE(NamePatterns("").empty());
  EXPECT_TRUE(NamePatterns(" \t ").empty());
  EXPECT_FALSE(NamePatterns("").matches(""));
}

}  // namespace
}  // namespace prismet

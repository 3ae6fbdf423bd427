#include "common/bounded_copy.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace prismet {
namespace {

TEST(CopyStringBounded, NeverCutsADoubleByteCharacter) {
  struct Case {
    std::string source;
    std::size_t size;
    std::string expected;
  } const cases[] = {
      {"abc", 8, "abc"},
      {"abcdef", 4, "abc"},
      {"ab\x95\x5C", 4, "ab"},  // the 3rd and 4th bytes are one character: 2 bytes copied
      {"a\x95\x5C"
       "d",
       4, "a\x95\x5C"},
      {"\x81", 1, ""},
      {std::string(70, 'x'), 64, std::string(63, 'x')},
      {std::string(62, 'x') + "\x82\xA0", 64, std::string(62, 'x')},
      // A lead byte whose next byte cannot be a second byte stands alone.
      {"ab\x81\x30", 4, "ab\x81"},
  };
  for (const Case& c : cases) {
    char destination[80];
    std::memset(destination, 'Z', sizeof destination);
    copy_string_bounded(destination, c.source.c_str(), c.size);
    EXPECT_EQ(std::string(destination), c.expected);
    for (std::size_t i = c.expected.size(); i < c.size; ++i) EXPECT_EQ(destination[i], '\0');
    EXPECT_EQ(destination[c.size], 'Z');  // nothing written past the size
  }
  char untouched = 'Z';
  copy_string_bounded(&untouched, "abc", 0);
  EXPECT_EQ(untouched, 'Z');
}

TEST(CopyWholeCharacters, StepsAsCharLengthDoes) {
  struct Case {
    std::string text;
    std::size_t capacity;
    std::string expected;
  } const cases[] = {
      {"abc", 8, "abc"},
      {"abcdef", 4, "abc"},
      {"ab\x95\x5C", 4, "ab"},
      {"\x95\x5C", 1, ""},
      // Unlike copy_string_bounded: a lead byte takes whatever byte follows.
      {"ab\x81\x30", 4, "ab"},
      {std::string("a\0b", 3), 8, std::string("a\0b", 3)},  // the text's own length counts
  };
  for (const Case& c : cases) {
    std::string buffer(c.capacity + 1, 'Z');
    const std::size_t length = copy_whole_characters(buffer.data(), c.capacity, c.text);
    EXPECT_EQ(buffer.substr(0, length), c.expected);
    EXPECT_EQ(buffer[length], '\0');
    EXPECT_EQ(buffer[c.capacity], 'Z');  // nothing written past the capacity
  }
}

}  // namespace
}  // namespace prismet

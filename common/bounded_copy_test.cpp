#include "common/bounded_copy.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace prismet {
namespace {

// Both copies keep to the buffer and never cut a double-byte character in
// two; they differ in what counts as one (see the last cases).
TEST(BoundedCopy, CutsAtWholeCharacters) {
  struct Case {
    std::string text;
    std::size_t size;
    std::string bounded;  // what copy_string_bounded leaves
    std::string whole;    // what copy_whole_characters leaves
  } const cases[] = {
      {"abc", 8, "abc", "abc"},
      {"abcdef", 4, "abc", "abc"},
      {"ab\x95\x5C", 4, "ab", "ab"},  // the 3rd and 4th bytes are one character: 2 bytes copied
      {std::string("a\x95\x5C") + "d", 4, "a\x95\x5C", "a\x95\x5C"},
      {"\x81", 1, "", ""},
      {std::string(70, 'x'), 64, std::string(63, 'x'), std::string(63, 'x')},
      {std::string(62, 'x') + "\x82\xA0", 64, std::string(62, 'x'), std::string(62, 'x')},
      // A lead byte whose next byte cannot be a second byte stands alone for
      // byte_class_at, but takes that byte along for char_length.
      {"ab\x81\x30", 4, "ab\x81", "ab"},
      // A C string ends at its NUL; a text has its own length.
      {std::string("a\0b", 3), 8, "a", std::string("a\0b", 3)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text + " in " + std::to_string(c.size));
    char destination[80];
    std::memset(destination, 'Z', sizeof destination);
    copy_string_bounded(destination, c.text.c_str(), c.size);
    EXPECT_EQ(std::string(destination), c.bounded);
    for (std::size_t i = c.bounded.size(); i < c.size; ++i) EXPECT_EQ(destination[i], '\0');
    EXPECT_EQ(destination[c.size], 'Z');  // nothing written past the size

    std::string buffer(c.size + 1, 'Z');
    const std::size_t length = copy_whole_characters(buffer.data(), c.size, c.text);
    EXPECT_EQ(buffer.substr(0, length), c.whole);
    EXPECT_EQ(buffer[length], '\0');
    EXPECT_EQ(buffer[c.size], 'Z');  // nothing written past the capacity
  }
  char untouched = 'Z';
  copy_string_bounded(&untouched, "abc", 0);
  EXPECT_EQ(untouched, 'Z');
}

}  // namespace
}  // namespace prismet

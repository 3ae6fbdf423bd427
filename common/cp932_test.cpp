#include "common/cp932.h"

#include <gtest/gtest.h>

#include <cstring>

namespace prismet {
namespace {

TEST(NextChar, StepsOverCharactersWhole) {
  struct Case {
    const char* text;
    int expected_step;
  } const cases[] = {
      {"", 0},           // at the NUL: stays
      {"a", 1},          // single byte
      {"\x95\x5C", 2},   // 表: lead byte and second byte 0x5C
      {"\x83\x41z", 2},  // ア
      {"\x81", 1},       // lead byte directly before the NUL
      {"\x81\x20", 2},   // second byte not validated
      // The ends of both lead-byte ranges and their neighbours.
      {"\x80\x40", 1},
      {"\x81\x40", 2},
      {"\x9F\x40", 2},
      {"\xA0\x40", 1},
      {"\xDF\x40", 1},
      {"\xE0\x40", 2},
      {"\xFC\xFC", 2},
      {"\xFD\x40", 1},
      {"\x9F\"", 2},  // the byte after a lead byte is taken whatever it is
      {"\xFC<", 2},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(next_char(c.text) - c.text, c.expected_step) << "text " << c.text;
    // char_length follows the same rule, the text's end standing for the NUL.
    if (c.expected_step > 0) {
      EXPECT_EQ(char_length(c.text, 0), static_cast<std::size_t>(c.expected_step)) << "text " << c.text;
    }
  }
}

TEST(ByteClassAt, ScansFromTheStart) {
  // "a表\x81 b" : a, 0x95 0x5C, 0x81 followed by a space (no second byte), b.
  const char* text = "a\x95\x5C\x81 b";
  EXPECT_EQ(byte_class_at(text, 0), kSingleByte);
  EXPECT_EQ(byte_class_at(text, 1), kFirstByte);
  EXPECT_EQ(byte_class_at(text, 2), kSecondByte);
  EXPECT_EQ(byte_class_at(text, 3), kFirstByte);
  EXPECT_EQ(byte_class_at(text, 4), kSingleByte);  // the space after a lone lead byte
  EXPECT_EQ(byte_class_at(text, 5), kSingleByte);
  EXPECT_EQ(byte_class_at(text, 6), kSingleByte);  // the NUL
}

TEST(ByteClassAt, PairingDependsOnWhatComesBefore) {
  // 0x81 0x81 0x5C: the second 0x81 is the second byte of the first
  // character, so 0x5C stands alone (a real backslash).
  const char* text = "\x81\x81\x5C";
  EXPECT_EQ(byte_class_at(text, 1), kSecondByte);
  EXPECT_EQ(byte_class_at(text, 2), kSingleByte);
  // One lead byte fewer and 0x5C is a second byte.
  EXPECT_EQ(byte_class_at("\x81\x5C", 1), kSecondByte);
  // 0x7F never pairs.
  EXPECT_EQ(byte_class_at("\x81\x7F", 1), kSingleByte);
}

// A lead byte, then a byte at the ends of the second-byte range or next to
// them: classes of both, and of the byte after them, written out.
TEST(ByteClassAt, BoundariesOfBothRanges) {
  struct Case {
    const char* text;
    int classes[3];
  } const cases[] = {
      {"\x81\x40x", {1, 2, 0}},
      {"\x81\x3Fx", {1, 0, 0}},
      {"\x81\x7Ex", {1, 2, 0}},
      {"\x81\x7Fx", {1, 0, 0}},
      {"\x81\x80x", {1, 2, 0}},
      {"\x81\xFCx", {1, 2, 0}},
      {"\x81\xFDx", {1, 0, 0}},
      {"\x9F\x40x", {1, 2, 0}},
      {"\xE0\x7Ex", {1, 2, 0}},
      {"\xFC\x80x", {1, 2, 0}},
      {"\x80\x40x", {0, 0, 0}},
      {"\xA0\x40x", {0, 0, 0}},
      {"\xDF\x40x", {0, 0, 0}},
      {"\xFD\x40x", {0, 0, 0}},
      // A lead byte is a first byte even before a byte that cannot follow it;
      // a lead byte as second byte starts nothing.
      {"\x81\xFD\x81", {1, 0, 1}},
      {"\x81\x9F\x40", {1, 2, 0}},
  };
  for (const Case& c : cases) {
    for (std::size_t i = 0; i < 3; ++i) {
      EXPECT_EQ(byte_class_at(c.text, i), c.classes[i]) << ::testing::PrintToString(c.text) << " at " << i;
    }
  }
}

TEST(ByteClassAt, PositionsPastTheEndAreSingle) {
  char text[8] = "a";
  std::memset(text + 2, 'x', 5);  // bytes after the NUL are never looked at
  EXPECT_EQ(byte_class_at(text, 1), kSingleByte);
  EXPECT_EQ(byte_class_at(text, 4), kSingleByte);
  EXPECT_EQ(byte_class_at("\x81", 1), kSingleByte);
}

}  // namespace
}  // namespace prismet

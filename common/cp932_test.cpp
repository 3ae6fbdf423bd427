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
      {"\xA0\x40", 1},   // 0xA0 is no lead byte
      {"\xFD\x40", 1},   // neither is 0xFD
      {"\xE0\x40", 2},  {"\xFC\xFC", 2},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(next_char(c.text) - c.text, c.expected_step) << "text " << c.text;
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

TEST(ByteClassAt, PositionsPastTheEndAreSingle) {
  char text[8] = "a";
  std::memset(text + 2, 'x', 5);  // bytes after the NUL are never looked at
  EXPECT_EQ(byte_class_at(text, 1), kSingleByte);
  EXPECT_EQ(byte_class_at(text, 4), kSingleByte);
  EXPECT_EQ(byte_class_at("\x81", 1), kSingleByte);
}

}  // namespace
}  // namespace prismet

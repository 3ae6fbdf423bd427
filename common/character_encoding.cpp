#include "common/character_encoding.h"

namespace prismet {

namespace {

struct Range {
  std::uint32_t first;
  std::uint32_t last;
};

// Sorted, disjoint.
constexpr Range kWideRanges[] = {
    {0x1100, 0x115F},   {0x231A, 0x231B},   {0x2329, 0x232A},   {0x23E9, 0x23EC},   {0x23F0, 0x23F0},
    {0x23F3, 0x23F3},   {0x25FD, 0x25FE},   {0x2614, 0x2615},   {0x2648, 0x2653},   {0x267F, 0x267F},
    {0x2693, 0x2693},   {0x26A1, 0x26A1},   {0x26AA, 0x26AB},   {0x26BD, 0x26BE},   {0x26C4, 0x26C5},
    {0x26CE, 0x26CE},   {0x26D4, 0x26D4},   {0x26EA, 0x26EA},   {0x26F2, 0x26F3},   {0x26F5, 0x26F5},
    {0x26FA, 0x26FA},   {0x26FD, 0x26FD},   {0x2705, 0x2705},   {0x270A, 0x270B},   {0x2728, 0x2728},
    {0x274C, 0x274C},   {0x274E, 0x274E},   {0x2753, 0x2755},   {0x2757, 0x2757},   {0x2795, 0x2797},
    {0x27B0, 0x27B0},   {0x27BF, 0x27BF},   {0x2B1B, 0x2B1C},   {0x2B50, 0x2B50},   {0x2B55, 0x2B55},
    {0x2E80, 0x303E},   {0x3041, 0x33FF},   {0x3400, 0x4DBF},   {0x4E00, 0x9FFF},   {0xA000, 0xA4CF},
    {0xA960, 0xA97F},   {0xAC00, 0xD7A3},   {0xF900, 0xFAFF},   {0xFE10, 0xFE19},   {0xFE30, 0xFE6F},
    {0xFF00, 0xFF60},   {0xFFE0, 0xFFE6},   {0x16FE0, 0x16FE4}, {0x17000, 0x18CFF}, {0x1B000, 0x1B2FF},
    {0x1F004, 0x1F004}, {0x1F0CF, 0x1F0CF}, {0x1F18E, 0x1F18E}, {0x1F191, 0x1F19A}, {0x1F200, 0x1F251},
    {0x1F300, 0x1F64F}, {0x1F680, 0x1F6FF}, {0x1F900, 0x1F9FF}, {0x1FA70, 0x1FAFF}, {0x20000, 0x2FFFD},
    {0x30000, 0x3FFFD},
};

}  // namespace

bool is_wide_code_point(std::uint32_t code_point) {
  if (code_point < kWideRanges[0].first) return false;
  std::size_t low = 0, high = sizeof kWideRanges / sizeof kWideRanges[0];
  while (low < high) {
    const std::size_t middle = low + (high - low) / 2;
    if (code_point < kWideRanges[middle].first)
      high = middle;
    else if (code_point > kWideRanges[middle].last)
      low = middle + 1;
    else
      return true;
  }
  return false;
}

std::int64_t utf8_columns(const char* text, std::size_t length) {
  const char* p = text;
  const char* const end = text + length;
  std::int64_t columns = 0;
  while (p < end) {
    if (static_cast<unsigned char>(*p) < 0x80) {
      ++p;
      ++columns;
      continue;
    }
    const std::size_t n = utf8_sequence_length(p, end);
    // Nothing below U+1100 is wide: two-byte sequences count one.
    columns += n >= 3 && is_wide_code_point(utf8_code_point(p, n)) ? 2 : 1;
    p += n;
  }
  return columns;
}

}  // namespace prismet

#include <windows.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "common/cp932_encoder.h"

namespace prismet {
namespace {

// Every code point of the basic plane against the system's own code page
// 932 without best fit: the same code, or none where the system has none.
// The system's single bytes 0x80, 0xA0 and 0xFD-0xFF, which the project's
// decoder takes as no character, are left out.
TEST(Cp932Encoder, MatchesWideCharToMultiByteForEveryCodePoint) {
  int differences = 0;
  std::string report;
  for (unsigned code_point = 1; code_point <= 0xFFFF; ++code_point) {
    if (code_point >= 0xD800 && code_point <= 0xDFFF) continue;
    const wchar_t wide = static_cast<wchar_t>(code_point);
    char bytes[4] = {};
    BOOL defaulted = FALSE;
    const int got = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, &wide, 1, bytes, 4, nullptr, &defaulted);
    int system = -1;
    if (got == 1 && !defaulted) system = static_cast<unsigned char>(bytes[0]);
    if (got == 2 && !defaulted)
      system = static_cast<unsigned char>(bytes[0]) << 8 | static_cast<unsigned char>(bytes[1]);
    if (system == 0x80 || system == 0xA0 || (system >= 0xFD && system <= 0xFF)) continue;
    const int own = encode_cp932(code_point);
    if (own != system && ++differences <= 20) {
      char line[64];
      std::snprintf(line, sizeof line, "U+%04X: own 0x%X, system 0x%X\n", code_point, own, system);
      report += line;
    }
  }
  EXPECT_EQ(differences, 0) << report;
}

}  // namespace
}  // namespace prismet

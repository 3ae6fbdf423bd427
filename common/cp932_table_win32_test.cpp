#include <windows.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "common/cp932_table.h"

namespace prismet {
namespace {

// Every double-byte code point of the table against the system's own code
// page 932. A pair the table leaves out must be one the system does not map
// either (it then gives its default character, U+30FB, or fails).
TEST(Cp932Table, MatchesMultiByteToWideCharForEveryPair) {
  int differences = 0;
  std::string report;
  for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
    if (lead > 0x9F && lead < 0xE0) continue;
    for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
      if (trail == 0x7F) continue;
      const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      wchar_t wide[4] = {};
      const int got = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, pair, 2, wide, 4);
      const unsigned system = got == 1 ? wide[0] : 0;
      const unsigned table =
          decode_cp932_pair(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail));
      if (system != table && !(table == 0 && system == 0x30FB)) {
        if (++differences <= 20) {
          char line[64];
          std::snprintf(line, sizeof line, "0x%02X%02X: table U+%04X, system U+%04X\n", lead, trail, table,
                        system);
          report += line;
        }
      }
    }
  }
  EXPECT_EQ(differences, 0) << report;
}

}  // namespace
}  // namespace prismet

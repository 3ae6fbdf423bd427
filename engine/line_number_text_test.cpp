#include "engine/line_number_text.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace prismet {
namespace {

TEST(LineNumberText, CountsAsPrintfFormats) {
  for (const bool nbsp : {false, true}) {
    LineNumberText number(nbsp);
    for (int line = 1; line <= 120000; ++line) {
      char formatted[32];
      std::snprintf(formatted, sizeof formatted, "%4d: ", line);
      std::string expected;
      for (const char* p = formatted; *p != '\0'; ++p) {
        expected += *p == ' ' && nbsp ? "&nbsp;" : std::string(1, *p);
      }
      ASSERT_EQ(number.text(), expected) << line;
      number.next();
    }
  }
}

}  // namespace
}  // namespace prismet

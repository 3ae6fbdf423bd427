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

TEST(LineAnchorText, GivesEachLineItsIdAcrossEveryNewDigit) {
  for (const bool link : {false, true}) {
    LineAnchorText anchor(link);
    for (int line = 1; line <= 120000; ++line) {
      char expected[80];
      if (link)
        std::snprintf(expected, sizeof expected, "<a id=\"L%d\" href=\"#L%d\">", line, line);
      else
        std::snprintf(expected, sizeof expected, "<span id=\"L%d\"></span>", line);
      ASSERT_EQ(anchor.text(), expected) << line;
      anchor.next();
    }
  }
}

}  // namespace
}  // namespace prismet

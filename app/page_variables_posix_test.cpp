#include <gtest/gtest.h>

#include "app/page_variables.h"

namespace prismet {
namespace {

// Linux file names are bytes; a UTF-8 page takes them as they are.
TEST(PageVariablesPosix, FileNamesStayAsTheyAre) {
  EXPECT_EQ(page_variables_for("src/\xE8\xA1\xA8.cpp", true)[0].value, "\xE8\xA1\xA8.cpp");
  EXPECT_EQ(page_variables_for("src/\x95\x5C.cpp", true)[0].value, "\x95\x5C.cpp");
}

}  // namespace
}  // namespace prismet

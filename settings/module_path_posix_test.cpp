#include <gtest/gtest.h>

#include "settings/settings_file.h"

namespace prismet {
namespace {

// Linux paths: "/" separates, and names keep their case.
TEST(ModulePath, ReplacesTheExtensionOfTheLastComponent) {
  struct Case {
    const char* program;
    const char* extension;
    const char* expected;
  };
  const Case cases[] = {
      {"/opt/Tools/Prismet", ".ini", "/opt/Tools/Prismet.ini"},
      {"/opt/Tools/Prismet.EXE", ".ini", "/opt/Tools/Prismet.ini"},
      {"/opt/A.B/PROG", ".top", "/opt/A.B/PROG.top"},
      {"/opt/x.tar.gz", ".btm", "/opt/x.tar.btm"},
      {"/opt/アB/P.EXE", ".ini", "/opt/アB/P.ini"},
      {"/opt/.hidden", ".ini", "/opt/.ini"},
  };
  for (const Case& c : cases) {
    char buffer[kPathCapacity];
    EXPECT_TRUE(program_path_with_extension(c.program, buffer, sizeof buffer, c.extension));
    EXPECT_STREQ(buffer, c.expected) << c.program;
  }
}

TEST(ModulePath, FailsWhenTheResultDoesNotFit) {
  const std::string long_program = "/" + std::string(kPathCapacity - 6, 'p') + ".exe";  // fills the buffer
  char buffer[kPathCapacity];
  EXPECT_TRUE(program_path_with_extension(long_program.c_str(), buffer, sizeof buffer, ".ini"));
  EXPECT_FALSE(program_path_with_extension(long_program.c_str(), buffer, sizeof buffer, ".long"));
  EXPECT_STREQ(buffer, "");
  const std::string too_long = "/" + std::string(kPathCapacity + 40, 'p');
  EXPECT_FALSE(program_path_with_extension(too_long.c_str(), buffer, sizeof buffer, ".ini"));
  EXPECT_STREQ(buffer, "");
}

}  // namespace
}  // namespace prismet

#include <gtest/gtest.h>

#include "settings/settings_file.h"

namespace prismet {
namespace {

// Windows paths: a backslash separates unless it is the second byte of a
// character, a forward slash always does, and the result is lower-cased
// without touching double-byte characters.
TEST(ModulePath, ReplacesTheExtensionAndLowerCases) {
  struct Case {
    const char* program;
    const char* extension;
    const char* expected;
  };
  const Case cases[] = {
      {"D:\\Tools\\Prismet.exe", ".ini", "d:\\tools\\prismet.ini"},
      {"C:\\A.B\\PROG", ".ini", "c:\\a.b\\prog.ini"},
      {"C:\\A.B\\PROG", ".top", "c:\\a.b\\prog.top"},
      {"C:\\A.B\\PROG", ".btm", "c:\\a.b\\prog.btm"},
      {"C:\\Tools\\X.表Y", ".ini", "c:\\tools\\x.ini"},  // 表 ends in 0x5C
      {"C:\\アB\\P.EXE", ".ini", "c:\\アb\\p.ini"},      // ア ends in "A"
      {"C:\\表\\P", ".ini", "c:\\表\\p.ini"},
      {"C:/A.B/PROG", ".ini", "c:/a.b/prog.ini"},
      {"Z:/work/src.d/Makefile", ".htm", "z:/work/src.d/makefile.htm"},
      {"C:\\A.B/PROG", ".ini", "c:\\a.b/prog.ini"},
      {"C:/A.B\\PROG", ".ini", "c:/a.b\\prog.ini"},
  };
  for (const Case& c : cases) {
    char buffer[kPathCapacity];
    EXPECT_TRUE(program_path_with_extension(c.program, buffer, sizeof buffer, c.extension));
    EXPECT_STREQ(buffer, c.expected) << c.program;
  }
}

}  // namespace
}  // namespace prismet

#include "app/style_sheet_posix.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace prismet {
namespace {

TEST(StyleSheet, TheLinesBetweenTheStyleTags) {
  const struct {
    const char* header;
    std::optional<std::string> sheet;
  } cases[] = {
      {"<head>\n<style>\na { b: c; }\n  d { }\n</style>\n</head>\n", "a { b: c; }\n  d { }\n"},
      {"<head>\r\n<style>\r\na { b: c; }\r\n\r\n</style>\r\n", "a { b: c; }\n\n"},
      {"<style>\n</style>", ""},
      {"<style>\nx\n</style>\n<style>\ny\n</style>\n", "x\n"},  // the first one
      {"<head>\n<style>\nx\n", std::nullopt},                   // never closed
      {"<head>\n</style>\n", std::nullopt},
      {"<style media=\"print\">\nx\n</style>\n", std::nullopt},
      {"a <style>\nx\n</style>\n", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(style_sheet_of_header(c.header), c.sheet) << c.header;
  }
}

}  // namespace
}  // namespace prismet

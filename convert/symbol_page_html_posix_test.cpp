// On Linux a file name is bytes: a group's page links a name that is not
// UTF-8 byte for byte, percent-encoded, as the indexes do.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "convert/symbol_page_html.h"
#include "tests/test_files.h"

namespace prismet {
namespace {

TEST(SymbolPageHtmlPosix, FileNamesAreLinkedByTheirBytes) {
  const struct {
    std::string folder;
    const char* url;
  } cases[] = {
      {"\xE8\xA1\xA8\xE7\xA4\xBA", "../%E8%A1%A8%E7%A4%BA/a.cpp.html#L2"},
      {"\x95\x5C\x8E\xA6", "../%95%5C%8E%A6/a.cpp.html#L2"},
      {"a b&c", "../a%20b%26c/a.cpp.html#L2"},
  };
  for (const auto& c : cases) {
    Symbol symbol;
    symbol.name = "show";
    SymbolDefinition definition;
    definition.page = testing::kept_text(c.folder + "/a.cpp.html");
    definition.line = 2;
    symbol.definitions.push_back(definition);
    const std::string page = render_symbol_group(std::vector<const Symbol*>{&symbol}, SymbolPagesStyle());
    EXPECT_NE(page.find(std::string("<a href=\"") + c.url + "\">"), std::string::npos) << c.url;
  }
}

}  // namespace
}  // namespace prismet

// A Shift_JIS site on Windows: its file names are in code page 932, and a
// name's page links them as the indexes do, each character in UTF-8 and
// percent-encoded, while showing them in the pages' own bytes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "convert/symbol_page_html.h"
#include "tests/test_files.h"

namespace prismet {
namespace {

TEST(SymbolPageHtmlWin32, ShiftJisFileNamesAreLinkedInUtf8AndShownAsTheyAre) {
  const std::string hyouji = "\x95\x5C\x8E\xA6";  // "表示", a 0x5C second byte
  Symbol symbol;
  symbol.name = "show";
  SymbolDefinition definition;
  definition.page = testing::kept_text(hyouji + "/a.cpp.htm");
  definition.line = 2;
  definition.text = "void show();";
  symbol.definitions.push_back(definition);
  symbol.uses.push_back({definition.page, 5, "show();"});
  for (const bool utf8 : {false, true}) {
    SymbolPagesStyle style;
    style.extension = ".htm";
    style.utf8 = utf8;
    const std::string page = render_symbol_group(std::vector<const Symbol*>{&symbol}, style);
    const std::string shown = utf8 ? "\xE8\xA1\xA8\xE7\xA4\xBA" : hyouji;
    EXPECT_NE(page.find("<a href=\"../%E8%A1%A8%E7%A4%BA/a.cpp.htm#L2\">" + shown + "/a.cpp:2</a>"),
              std::string::npos)
        << utf8;
    EXPECT_NE(page.find("<h4><a href=\"../%E8%A1%A8%E7%A4%BA/a.cpp.htm\">" + shown + "/a.cpp</a></h4>"),
              std::string::npos)
        << utf8;
  }
}

}  // namespace
}  // namespace prismet

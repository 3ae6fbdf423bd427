// The names script of a site's symbols: each name as ASCII script text with
// its group and anchor, whatever the pages' encoding, and a head that tells
// it apart.
#include "convert/symbol_names.h"

#include <gtest/gtest.h>

#include <string>

namespace prismet {
namespace {

TEST(SymbolNames, EachNameIsAsciiTextWithItsGroupAndItsAnchorWhereThatIsNotTheName) {
  const struct {
    const char* name;
    bool utf8;
    const char* line;
  } cases[] = {
      {"size_type2", true, "[\"size_type2\",\"384\"],\n"},
      {"Box", true, "[\"Box\",\"33a\"],\n"},
      {"</script>", true, "[\"\\u003c/script\\u003e\",\"122\",\".3C.2Fscript.3E\"],\n"},
      {"a\"b\\", true, "[\"a\\u0022b\\u005c\",\"200\",\"a.22b.5C\"],\n"},
      // "é" in UTF-8, and "表示" in Shift_JIS (a 0x5C second byte).
      {"\xC3\xA9", true, "[\"\\u00e9\",\"275\",\".C3.A9\"],\n"},
      {"\x95\x5C\x8E\xA6", false, "[\"\\u8868\\u793a\",\"367\",\".95.5C.8E.A6\"],\n"},
      // A byte that begins no character of the encoding.
      {"x\xFF", false, "[\"x\\ufffd\",\"3b5\",\"x.FF\"],\n"},
      {"x\xFF", true, "[\"x\\ufffd\",\"3b5\",\"x.FF\"],\n"},
  };
  for (const auto& c : cases) {
    std::string list;
    append_symbol_name(list, c.name, c.utf8);
    EXPECT_EQ(list, c.line) << c.name;
  }
}

TEST(SymbolNames, TheScriptBeginsAsOursAndNamesItsExtension) {
  const std::string head = symbol_names_head(".htm");
  EXPECT_EQ(head,
            "// prismet-symbols 1\n// The names this site defines, for its indexes' search box.\n"
            "var prismetSymbols = {extension: \".htm\", names: [\n");
  EXPECT_TRUE(begins_like_symbol_names(head));
  EXPECT_FALSE(begins_like_symbol_names("// prismet-files 1\n"));
  EXPECT_FALSE(begins_like_symbol_names("// prismet-symbols"));
  EXPECT_EQ(symbol_names_tail().substr(0, 4), "]};\n");
}

}  // namespace
}  // namespace prismet

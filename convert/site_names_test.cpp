#include "convert/site_names.h"

#include <gtest/gtest.h>

#include <string>

namespace prismet {
namespace {

// Script text is ASCII whatever the name holds, and no name can end its
// string or a script element.
TEST(SiteNames, NamesBecomeAsciiScriptTextThatNothingEnds) {
  const struct {
    std::string name;
    const char* text;
    bool well_formed;
  } cases[] = {
      {"a.cpp", "a.cpp", true},
      {"say \"hi\".h", "say \\u0022hi\\u0022.h", true},
      {"back\\slash.h", "back\\u005cslash.h", true},
      {"</script>.h", "\\u003c/script\\u003e.h", true},
      {"tab\there", "tab\\u0009here", true},
      {"del\x7f", "del\\u007f", true},
      {"\xC3\xA9t\xC3\xA9.h", "\\u00e9t\\u00e9.h", true},         // é: two bytes
      {"\xE6\x97\xA5\xE6\x9C\xAC.h", "\\u65e5\\u672c.h", true},   // 日本: three bytes
      {"\xF0\x9F\x98\x80.h", "\\ud83d\\ude00.h", true},           // U+1F600: a surrogate pair
      {"bad\xFF.h", "bad\\ufffd.h", false},                       // no UTF-8 at all
      {"\x93\xFA\x96\x7B.h", "\\ufffd\\ufffd\\ufffd{.h", false},  // Shift_JIS 日本 read as bytes
      {"cut\xE6\x97", "cut\\ufffd\\ufffd", false},                // a sequence cut short
  };
  for (const auto& c : cases) {
    std::string out = "x";
    EXPECT_EQ(append_script_text(out, c.name), c.well_formed) << c.text;
    EXPECT_EQ(out, std::string("x") + c.text);
    for (const char byte : out) EXPECT_LT(static_cast<unsigned char>(byte), 0x80u);
  }
}

// A page named as its source plus the extension is its path alone; a page
// named otherwise goes with its link as a pair (as does, on Linux, a name
// that is no UTF-8: see site_navigation_posix_test.cpp).
TEST(SiteNames, EachPageIsItsPathOrAPairWithItsLink) {
  const SiteNamesFolder root;
  const SiteNamesFolder sub = site_names_folder(site_names_folder(root, "a b"), "\"c\"");
  EXPECT_EQ(sub.text, "a b/\\u0022c\\u0022/");
  EXPECT_EQ(sub.url, "a%20b/%22c%22/");
  std::string list;
  append_site_name(list, root, "x.cpp", "x.cpp.html", ".html");
  append_site_name(list, sub, "y.h", "y.h.html", ".html");
  append_site_name(list, root, "z.cpp", "z.html", ".html");
  EXPECT_EQ(list,
            "\"x.cpp\",\n"
            "\"a b/\\u0022c\\u0022/y.h\",\n"
            "[\"z.cpp\",\"z.html\"],\n");
}

TEST(SiteNames, TheScriptBeginsAsOursAndHoldsTheListAndTheExtension) {
  const std::string script = site_names_script("\"x.cpp\",\n", ".html");
  EXPECT_TRUE(begins_like_site_names(script.substr(0, kSiteNamesHeadSize)));
  EXPECT_NE(script.find("var prismetSite = {extension: \".html\", files: [\n\"x.cpp\",\n]};\n"),
            std::string::npos);
  EXPECT_NE(script.find("getElementById(\"prismet-search\")"), std::string::npos);
  EXPECT_FALSE(begins_like_site_names("var prismetSite = {};\n"));
  EXPECT_FALSE(begins_like_site_names(""));
  for (const char byte : script) EXPECT_LT(static_cast<unsigned char>(byte), 0x80u);
}

}  // namespace
}  // namespace prismet

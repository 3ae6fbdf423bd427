#include "convert/symbol_page_name.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace prismet {
namespace {

TEST(SymbolPageName, NamesWrittenSoThatNoTwoShareAPage) {
  struct Case {
    std::string_view name;
    std::string_view expected;
  };
  const Case cases[] = {
      {"size", "size.html"},
      {"basic_string2", "basic_string2.html"},
      {"Foo", "-foo.html"},
      {"FOO", "-f-o-o.html"},
      {"_M_impl", "_-m_impl.html"},
      {"$x", "+24x.html"},
      {"\xC3\xA9t\xC3\xA9", "+C3+A9t+C3+A9.html"},
  };
  for (const Case& c : cases) EXPECT_EQ(symbol_page_name(c.name, ".html"), c.expected) << c.name;
  EXPECT_EQ(symbol_page_name("x", ".htm"), "x.htm");
}

TEST(SymbolPageName, NamesThatDifferOnlyInCaseGetPagesThatDifferInLetters) {
  std::set<std::string> folded;
  for (const char* name : {"value", "Value", "VALUE", "vAlue", "value_", "_value"}) {
    std::string page = symbol_page_name(name, ".htm");
    for (char& c : page) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    EXPECT_TRUE(folded.insert(page).second) << name;
  }
}

TEST(SymbolPageName, ALongNameIsCutAndKeptApartByAHash) {
  const std::string a(300, 'a');
  std::string b = a;
  b.back() = 'b';
  const std::string page_a = symbol_page_name(a, ".html");
  const std::string page_b = symbol_page_name(b, ".html");
  EXPECT_EQ(page_a.size(), 72u + 1 + 16 + 5);
  EXPECT_EQ(page_a.substr(0, 73), std::string(72, 'a') + "~");
  EXPECT_NE(page_a, page_b);
  // 96 bytes of file name stay as they are; one more is cut.
  EXPECT_EQ(symbol_page_name(std::string(96, 'x'), ""), std::string(96, 'x'));
  EXPECT_EQ(symbol_page_name(std::string(97, 'x'), "").size(), 72u + 1 + 16);
}

}  // namespace
}  // namespace prismet

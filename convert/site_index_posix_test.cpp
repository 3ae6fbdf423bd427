#include <gtest/gtest.h>

#include <string>

#include "convert/site_index.h"
#include "tests/encoding_checks.h"

namespace prismet {
namespace {

bool holds(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// Linux names are bytes: UTF-8 names and names of boundary bytes (0x80 and
// 0xFF are neither UTF-8 nor code page 932; 0xBF and 0xC0 are half-width
// katakana in code page 932 but no UTF-8). Each index is valid in its own
// encoding, shows UTF-8 names as their characters (日本/漢字.cpp) and links
// every name by its bytes.
TEST(SiteIndexPosix, NamesShowValidInTheIndexsEncodingAndLinkByTheirBytes) {
  const struct {
    bool utf8;
    const char* title;
    const char* rows[6];
  } cases[] = {
      {true,
       "<title>/\xE6\x97\xA5\xE6\x9C\xAC/</title>",
       {"<a href=\"%80/index.html\">\xEF\xBF\xBD/</a>", "<a href=\"%BF/index.html\">\xEF\xBF\xBD/</a>",
        "<a href=\"%C0/index.html\">\xEF\xBF\xBD/</a>", "<a href=\"%FF/index.html\">\xEF\xBF\xBD/</a>",
        "<a href=\"%E6%BC%A2%E5%AD%97.cpp.htm\">\xE6\xBC\xA2\xE5\xAD\x97.cpp</a>",
        "<a href=\"a%3C%80%3E.h.htm\">a&lt;\xEF\xBF\xBD&gt;.h</a>"}},
      {false,
       "<title>/\x93\xFA\x96\x7B/</title>",
       {"<a href=\"%80/index.html\">&#65533;/</a>", "<a href=\"%BF/index.html\">\xBF/</a>",
        "<a href=\"%C0/index.html\">\xC0/</a>", "<a href=\"%FF/index.html\">&#65533;/</a>",
        "<a href=\"%E6%BC%A2%E5%AD%97.cpp.htm\">\x8A\xBF\x8E\x9A.cpp</a>",
        "<a href=\"a%3C%80%3E.h.htm\">a&lt;&#65533;&gt;.h</a>"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.utf8 ? "UTF-8" : "Shift_JIS");
    FolderIndex index;
    index.utf8 = c.utf8;
    index.site_path = "/\xE6\x97\xA5\xE6\x9C\xAC/";
    index.has_parent = true;
    for (const char* name : {"\x80", "\xBF", "\xC0", "\xFF"}) index.folders.push_back({name, 1, 1});
    index.pages.push_back({"\xE6\xBC\xA2\xE5\xAD\x97.cpp", "\xE6\xBC\xA2\xE5\xAD\x97.cpp.htm", PageRecord{}});
    index.pages.push_back({"a<\x80>.h", "a<\x80>.h.htm", PageRecord{}});
    const std::string bytes = render_index(index);
    EXPECT_TRUE(c.utf8 ? testing::is_valid_utf8(bytes) : testing::is_valid_cp932(bytes));
    EXPECT_TRUE(holds(bytes, c.title));
    for (const char* row : c.rows) EXPECT_TRUE(holds(bytes, row)) << row;
    EXPECT_EQ(index_link(index.site_path, c.utf8),
              std::string("<nav class=\"prismet-nav\"><a href=\"index.html\">") +
                  (c.utf8 ? "/\xE6\x97\xA5\xE6\x9C\xAC/" : "/\x93\xFA\x96\x7B/") + "</a></nav>");
    PageRecords records;
    ASSERT_TRUE(read_index_records(bytes, records));
    EXPECT_EQ(records.count("%E6%BC%A2%E5%AD%97.cpp.htm"), 1u);
    EXPECT_EQ(records.count("a%3C%80%3E.h.htm"), 1u);
  }
}

}  // namespace
}  // namespace prismet

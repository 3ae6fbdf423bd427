#include "convert/site_index.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/encoding_checks.h"

namespace prismet {
namespace {

bool holds(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// Folder and page names with every character HTML escapes, two levels deep:
// the title, the heading and the rows show them escaped, the links carry
// them percent-encoded, and the records read back, in either encoding.
TEST(SiteIndex, NamesWithMarkupAreEscapedInTitlesRowsAndLinks) {
  for (const bool utf8 : {true, false}) {
    FolderIndex index;
    index.utf8 = utf8;
    index.site_path = "/a&b'/c/";
    index.has_parent = true;
    index.folders.push_back({"x&y", 1, 2});
    index.folders.push_back({"<t>", 1, 2});
    index.folders.push_back({"\"q\"", 1, 2});
    index.folders.push_back({"it's", 1, 2});
    PageRecord record;
    record.lines = 4;
    record.source.size = 12;
    index.pages.push_back({"p&'<>\".cpp", "p&'<>\".cpp.htm", record});
    const std::string bytes = render_index(index);
    SCOPED_TRACE(utf8 ? "UTF-8" : "Shift_JIS");
    EXPECT_TRUE(holds(bytes, "<title>/a&amp;b&#39;/c/</title>"));
    EXPECT_TRUE(holds(bytes, "<h1>/a&amp;b&#39;/c/</h1>"));
    EXPECT_TRUE(holds(bytes, "<a href=\"x%26y/index.html\">x&amp;y/</a>"));
    EXPECT_TRUE(holds(bytes, "<a href=\"%3Ct%3E/index.html\">&lt;t&gt;/</a>"));
    EXPECT_TRUE(holds(bytes, "<a href=\"%22q%22/index.html\">&quot;q&quot;/</a>"));
    EXPECT_TRUE(holds(bytes, "<a href=\"it%27s/index.html\">it&#39;s/</a>"));
    EXPECT_TRUE(holds(bytes,
                      "<a href=\"p%26%27%3C%3E%22.cpp.htm\">p&amp;&#39;&lt;&gt;&quot;.cpp</a></td><td>12</td>"
                      "<td>4</td>"));
    EXPECT_EQ(index_link("/a&b'/c/", utf8),
              "<nav class=\"prismet-nav\"><a href=\"index.html\">/a&amp;b&#39;/c/</a></nav>");
    PageRecords records;
    ASSERT_TRUE(read_index_records(bytes, records));
    ASSERT_EQ(records.size(), 1u);
    EXPECT_TRUE(records["p%26%27%3C%3E%22.cpp.htm"] == record);
  }
}

}  // namespace
}  // namespace prismet

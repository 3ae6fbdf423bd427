#include "convert/site_navigation.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "convert/site_index.h"

namespace prismet {
namespace {

bool holds(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(SiteNavigation, SizesReadAsBytesUnderAKilobyteElseOneDecimalOfTheLargestUnit) {
  const struct {
    std::uint64_t bytes;
    const char* text;
  } cases[] = {
      {0, "0 B"},
      {1, "1 B"},
      {512, "512 B"},
      {1023, "1023 B"},
      {1024, "1.0 KB"},
      {1075, "1.0 KB"},                    // 1.0498...: rounded down
      {1076, "1.1 KB"},                    // 1.0507...: rounded up
      {12595, "12.3 KB"},                  // 12.2998...
      {1048524, "1023.9 KB"},              // 1023.94...
      {1048525, "1.0 MB"},                 // 1023.95... would show 1024.0 KB
      {1677722, "1.6 MB"},                 // 1.6000004
      {5368709120ull, "5.0 GB"},           // 5 GiB
      {1099511627776ull, "1.0 TB"},        // 2^40
      {UINT64_MAX, "16.0 EB"},             // the largest: no unit beyond
      {1152921504606846976ull, "1.0 EB"},  // 2^60
  };
  for (const auto& c : cases) EXPECT_EQ(readable_size(c.bytes), c.text) << c.bytes;
}

// The trail of a page: the root and each folder a link to its index, the
// folders' names escaped and percent-free (the links only climb).
TEST(SiteNavigation, APageTrailLinksTheRootAndEachFolderUpToItsOwn) {
  const struct {
    const char* root;
    const char* site_path;
    const char* trail;
  } cases[] = {
      {"src", "/", "<a href=\"index.html\">src</a>"},
      {"src", "/a/", "<a href=\"../index.html\">src</a> / <a href=\"index.html\">a</a>"},
      {"src", "/a/b c/",
       "<a href=\"../../index.html\">src</a> / <a href=\"../index.html\">a</a> / <a href=\"index.html\">b "
       "c</a>"},
      {"x&y", "/<i>/", "<a href=\"../index.html\">x&amp;y</a> / <a href=\"index.html\">&lt;i&gt;</a>"},
  };
  for (const auto& c : cases) {
    for (const bool utf8 : {true, false}) {
      EXPECT_EQ(breadcrumbs_link(c.root, c.site_path, utf8),
                std::string("<nav class=\"prismet-nav prismet-breadcrumbs\">") + c.trail + "</nav>")
          << c.site_path;
    }
  }
}

FolderIndex sample_index(const char* site_path) {
  FolderIndex index;
  index.navigation = true;
  index.root_name = "proj";
  index.site_path = site_path;
  index.has_parent = index.site_path != "/";
  index.folders.push_back({"sub", 37, 1677722, 4200});
  PageRecord record;
  record.fingerprint = 0xabc;
  record.lines = 12;
  record.source.size = 512;
  record.page_size = 900;
  index.pages.push_back({"a.cpp", "a.cpp.html", record});
  return index;
}

// Folder rows count files and lines in their own columns and sizes are
// readable with the exact count in the title; the records read back.
TEST(SiteNavigation, AnIndexHasAColumnForEachCountAndReadableSizes) {
  const std::string bytes = render_navigation_index(sample_index("/"));
  EXPECT_TRUE(holds(bytes, "<th>Name</th><th>Files</th><th>Lines</th><th>Size</th>"));
  EXPECT_TRUE(holds(bytes,
                    "<tr><td><a href=\"sub/index.html\">sub/</a></td><td>37</td><td>4200</td>"
                    "<td title=\"1677722 bytes\">1.6 MB</td></tr>\n"));
  EXPECT_TRUE(holds(bytes,
                    "<tr><td><a href=\"a.cpp.html\">a.cpp</a></td><td></td><td>12</td>"
                    "<td title=\"512 bytes\">512 B</td></tr>\n"));
  EXPECT_FALSE(holds(bytes, "../"));
  EXPECT_TRUE(begins_like_index(bytes));
  PageRecords records;
  ASSERT_TRUE(read_index_records(bytes, records));
  ASSERT_EQ(records.size(), 1u);
  EXPECT_TRUE(records["a.cpp.html"] == sample_index("/").pages[0].record);
}

// The root is titled after its tree's folder; a folder below by its path
// from there; the heading is the trail with the index's own folder plain;
// the search box loads the names script from the site's root.
TEST(SiteNavigation, AnIndexIsTitledFromItsRootAndHeadedByItsTrail) {
  const struct {
    const char* site_path;
    const char* title;
    const char* heading;
    const char* script;
  } cases[] = {
      {"/", "<title>proj</title>", "<h1 class=\"prismet-breadcrumbs\">proj</h1>",
       "<script src=\"prismet-files.js\"></script>"},
      {"/a/", "<title>proj/a/</title>",
       "<h1 class=\"prismet-breadcrumbs\"><a href=\"../index.html\">proj</a> / a</h1>",
       "<script src=\"../prismet-files.js\"></script>"},
      {"/a/b/", "<title>proj/a/b/</title>",
       "<h1 class=\"prismet-breadcrumbs\"><a href=\"../../index.html\">proj</a> / <a "
       "href=\"../index.html\">a</a> / "
       "b</h1>",
       "<script src=\"../../prismet-files.js\"></script>"},
  };
  for (const auto& c : cases) {
    const std::string bytes = render_navigation_index(sample_index(c.site_path));
    SCOPED_TRACE(c.site_path);
    EXPECT_TRUE(holds(bytes, c.title));
    EXPECT_TRUE(holds(bytes, c.heading));
    EXPECT_TRUE(holds(bytes, c.script));
    EXPECT_TRUE(holds(bytes, "<input type=\"search\" id=\"prismet-search\""));
    EXPECT_TRUE(holds(bytes, "<ol id=\"prismet-found\"></ol>"));
    EXPECT_EQ(holds(bytes, "<tr><td><a href=\"../index.html\">../</a></td><td></td><td></td><td></td></tr>"),
              std::string(c.site_path) != "/");
  }
}

// Without navigation an index keeps the columns and title it always had.
TEST(SiteNavigation, WithoutItAnIndexKeepsItsOldColumns) {
  FolderIndex index = sample_index("/");
  index.navigation = false;
  const std::string bytes = render_index(index);
  EXPECT_TRUE(holds(bytes, "<title>/</title>"));
  EXPECT_TRUE(holds(bytes, "<th>Name</th><th>Bytes</th><th>Lines</th>"));
  EXPECT_TRUE(holds(bytes, "<td>1677722</td><td>37 files</td>"));
  EXPECT_FALSE(holds(bytes, "prismet-files.js"));
}

// With cross-references an index of either layout links the site's symbol
// index, and one with navigation loads the names script of the symbols
// after that of the files; without, neither is there.
TEST(SiteNavigation, WithCrossReferencesAnIndexLeadsToTheSymbols) {
  const struct {
    const char* site_path;
    bool navigation;
    const char* link;
    const char* script;  // none without navigation
  } cases[] = {
      {"/", true,
       "<p class=\"prismet-symbols-link\"><a href=\"prismet-symbols/+index.html\">Symbols</a></p>\n",
       "<script src=\"prismet-files.js\"></script>\n<script src=\"prismet-symbols/+names.js\"></script>\n"
       "</body>"},
      {"/a/b/", true,
       "<p class=\"prismet-symbols-link\"><a href=\"../../prismet-symbols/+index.html\">Symbols</a></p>\n",
       "<script src=\"../../prismet-files.js\"></script>\n<script "
       "src=\"../../prismet-symbols/+names.js\"></script>\n</body>"},
      {"/a/", false,
       "<h1>/a/</h1>\n<p class=\"prismet-symbols-link\"><a "
       "href=\"../prismet-symbols/+index.html\">Symbols</a></p>\n"
       "<table>",
       nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.site_path);
    FolderIndex index = sample_index(c.site_path);
    index.navigation = c.navigation;
    const std::string without = c.navigation ? render_navigation_index(index) : render_index(index);
    index.cross_references = true;
    const std::string with = c.navigation ? render_navigation_index(index) : render_index(index);
    EXPECT_TRUE(holds(with, c.link));
    EXPECT_FALSE(holds(without, "prismet-symbols"));
    if (c.script != nullptr) {
      EXPECT_TRUE(holds(with, c.script));
      EXPECT_TRUE(holds(with, "placeholder=\"Find a file or a symbol by name\""));
      EXPECT_TRUE(holds(without, "placeholder=\"Find a file by name\""));
    } else {
      EXPECT_FALSE(holds(with, "<script"));
    }
  }
}

}  // namespace
}  // namespace prismet

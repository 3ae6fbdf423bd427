// What a page made again changes in its names' lists of uses: only the
// names whose uses moved, changed their line's text, came or went.
#include "convert/page_references.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace prismet {
namespace {

// A page's uses from "name:line:text" items, the texts one a line.
PageUses page_of(const std::vector<std::string>& items) {
  PageUses page;
  for (const std::string& item : items) {
    const std::size_t first = item.find(':');
    const std::size_t second = item.find(':', first + 1);
    const auto name = static_cast<std::uint32_t>(std::stoul(item.substr(0, first)));
    const auto line = static_cast<std::uint32_t>(std::stoul(item.substr(first + 1, second - first - 1)));
    page.texts.push_back(item.substr(second + 1));
    page.uses.push_back({name, line, static_cast<std::uint32_t>(page.texts.size() - 1)});
  }
  return page;
}

TEST(PageReferences, OnlyTheNamesWhoseUsesDifferAreMarked) {
  const std::vector<std::string> base = {"0:3:f(x);", "1:3:f(x);", "0:9:return f(y);", "2:12:g();"};
  const struct {
    const char* what;
    std::vector<std::string> now;
    std::vector<char> changed;
  } cases[] = {
      {"the same uses", base, {0, 0, 0, 0}},
      {"the same in another order",
       {"2:12:g();", "0:9:return f(y);", "1:3:f(x);", "0:3:f(x);"},
       {0, 0, 0, 0}},
      {"one line moved down", {"0:4:f(x);", "1:4:f(x);", "0:10:return f(y);", "2:13:g();"}, {1, 1, 1, 0}},
      {"a line's text changed", {"0:3:f(x);", "1:3:f(x);", "0:9:return f(z);", "2:12:g();"}, {1, 0, 0, 0}},
      {"a use gone", {"0:3:f(x);", "1:3:f(x);", "2:12:g();"}, {1, 0, 0, 0}},
      {"a use more", {"0:3:f(x);", "1:3:f(x);", "0:9:return f(y);", "2:12:g();", "2:14:g();"}, {0, 0, 1, 0}},
      {"a name gone, one come", {"0:3:f(x);", "3:3:f(x);", "0:9:return f(y);", "2:12:g();"}, {0, 1, 0, 1}},
      {"nothing now", {}, {1, 1, 1, 0}},
  };
  const PageUses before = page_of(base);
  for (const auto& c : cases) {
    std::vector<char> changed(4, 0);
    mark_changed_uses(before, page_of(c.now), changed);
    EXPECT_EQ(changed, c.changed) << c.what;
  }
  // A name beyond the marks is left alone, and nothing before is nothing
  // changed for a page that still has none.
  std::vector<char> few(1, 0);
  mark_changed_uses(page_of({"5:1:x"}), page_of({}), few);
  EXPECT_EQ(few, std::vector<char>{0});
  mark_changed_uses(page_of({}), page_of({}), few);
  EXPECT_EQ(few, std::vector<char>{0});
}

}  // namespace
}  // namespace prismet

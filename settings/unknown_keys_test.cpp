#include "settings/unknown_keys.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/test_files.h"

namespace prismet {
namespace {

std::string u8(std::u8string_view text) { return std::string(text.begin(), text.end()); }

struct Found {
  std::size_t line;
  std::string name;
  bool operator==(const Found&) const = default;
};

std::vector<Found> found_in(const std::string& bytes, const char* mode) {
  const std::string file = testing::scratch_path("unknown-keys.ini");
  testing::write_file(file, bytes);
  std::vector<Found> found;
  for (const UnknownKey& key : unknown_keys(file.c_str(), mode)) found.push_back({key.line, key.name});
  return found;
}

// Only the mode's section counts; comments, lines without "=" and every key
// of the settings are no unknown keys; the lines are counted as an editor
// counts them, whatever ends them.
TEST(UnknownKeys, OnlyKeysWithAValueThatNoSettingHasInTheModeInUse) {
  const std::string cp932 =
      "[prismet]\r\n"
      "\x83\x5E\x83\x75\x95\x9D=4\r\n"  // タブ幅
      "; a comment=1\r\n"
      "\r\n"
      "linenumbers=1\n"
      "TABLE\r\n"
      "[web]\r\n"
      "other=1\r\n";
  EXPECT_EQ(found_in(cp932, nullptr), (std::vector<Found>{{5, "linenumbers"}}));
  EXPECT_EQ(found_in(cp932, "prismet"), (std::vector<Found>{{5, "linenumbers"}}));
  EXPECT_EQ(found_in(cp932, "WEB"), (std::vector<Found>{{8, "other"}}));
  EXPECT_EQ(found_in(cp932, "none"), (std::vector<Found>{}));
  // A Japanese key of a later version, told in UTF-8 from either encoding.
  EXPECT_EQ(found_in("[m]\r\n\x90\x56\x82\xB5\x82\xA2=1\r\n", "m"),
            (std::vector<Found>{{2, u8(u8"新しい")}}));
  const std::string utf8 = u8(u8"\uFEFF[m]\n行番号を表示=1\n# x=1\n新しい=2\r\n<ｺﾒﾝﾄ>=<i>\n");
  EXPECT_EQ(found_in(utf8, "m"), (std::vector<Found>{{4, u8(u8"新しい")}}));
  EXPECT_EQ(found_in("", nullptr), (std::vector<Found>{}));
}

}  // namespace
}  // namespace prismet

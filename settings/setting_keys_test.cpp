#include "settings/setting_keys.h"

#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>

#include "common/fixed_text.h"

namespace prismet {
namespace {

TEST(SettingKeys, EveryKeyHasOneEnglishNameFoundBothWays) {
  std::set<std::string> names;
  for (const SettingKey& key : setting_keys()) {
    EXPECT_TRUE(names.insert(key.name).second) << key.name;
    EXPECT_EQ(find_setting_key(key.name), &key);
    EXPECT_EQ(find_setting_key(key.key), &key) << key.name;
  }
  EXPECT_EQ(names.size(), 38u);
  // 行番号を表示 and a tag with ASCII letters of another case.
  EXPECT_EQ(find_setting_key("\x8D\x73\x94\xD4\x8D\x86\x82\xF0\x95\x5C\x8E\xA6")->name, "line-numbers");
  EXPECT_EQ(find_setting_key("</\x91\x53\x91\xCC>")->name, "whole-close");
  EXPECT_EQ(find_setting_key("Line-Numbers"), nullptr);
  EXPECT_EQ(find_setting_key("linenumbers"), nullptr);
}

TEST(SettingKeys, ValuesAreCheckedAndWrittenAsTheFileHoldsThem) {
  struct Case {
    const char* name;
    std::string value;
    std::optional<std::string> written;
  };
  const Case cases[] = {
      {"line-numbers", "1", "1"},
      {"line-numbers", "On", "1"},
      {"line-numbers", "false", "0"},
      {"line-numbers", "2", std::nullopt},
      {"line-numbers", "", std::nullopt},
      {"tab-width", "0", "0"},
      {"tab-width", "255", "255"},
      {"tab-width", "256", std::nullopt},
      {"tab-width", "-1", std::nullopt},
      {"tab-width", "4x", std::nullopt},
      {"jobs", "256", "256"},
      {"jobs", "257", std::nullopt},
      {"encoding", "utf8", "UTF-8"},
      {"encoding", "AUTO", "\x8E\xA9\x93\xAE"},  // 自動
      {"encoding", "latin1", std::nullopt},
      {"path-base", "settings-folder", "\x90\xDD\x92\xE8\x83\x74\x83\x40\x83\x43\x83\x8B"},  // 設定ファイル
      {"path-base", "current-folder", ""},
      {"path-base", "elsewhere", std::nullopt},
      {"extension", ".html", ".html"},
      // Texts whose ends a read would lose are quoted.
      {"line-open", " <b>", "\" <b>\""},
      {"comment-open", "'x'", "\"'x'\""},
      {"comment-open", "a\nb", std::nullopt},
      // Room in the settings for the text and two quotes.
      {"extension", std::string(kPathCapacity - 3, 'x'), std::string(kPathCapacity - 3, 'x')},
      {"extension", std::string(kPathCapacity - 2, 'x'), std::nullopt},
  };
  for (const Case& c : cases) {
    std::string problem;
    const std::optional<std::string> written =
        setting_value_to_write(*find_setting_key(c.name), c.value, problem);
    EXPECT_EQ(written, c.written) << c.name << " " << c.value;
    EXPECT_EQ(problem.empty(), c.written.has_value()) << c.name << " " << c.value;
  }
}

TEST(SettingKeys, TheTextOfEveryKindOfValue) {
  Settings settings;
  settings.style.tab_width = 12;
  settings.style.line_numbers = true;
  settings.style.keyword.close = "</b>";
  settings.encoding = SourceEncoding::kUtf8;
  settings.jobs = 3;
  EXPECT_EQ(setting_text(settings, *find_setting_key("tab-width")), "12");
  EXPECT_EQ(setting_text(settings, *find_setting_key("line-numbers")), "1");
  EXPECT_EQ(setting_text(settings, *find_setting_key("nbsp")), "0");
  EXPECT_EQ(setting_text(settings, *find_setting_key("keyword-close")), "</b>");
  EXPECT_EQ(setting_text(settings, *find_setting_key("encoding")), "UTF-8");
  EXPECT_EQ(setting_text(settings, *find_setting_key("jobs")), "3");
  EXPECT_EQ(setting_text(settings, *find_setting_key("path-base")), "");
}

}  // namespace
}  // namespace prismet

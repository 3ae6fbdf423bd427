// A settings file written by the Windows build (through the platform's
// profile functions) must load to the same records in every build, and every
// build must write it byte for byte the same. The file is made by
// scripts/regenerate-settings-fixture.
#include "tests/settings_fixture.h"

#include <gtest/gtest.h>

#include <string>

#include "settings/settings_file.h"
#include "tests/test_files.h"

namespace prismet {
namespace {

using testing::fixture_mode_settings;
using testing::fixture_plain_settings;
using testing::kFixtureMode;
using testing::read_file;
using testing::save_settings_fixture;
using testing::scratch_path;

std::string fixture_path() {
  std::string path = __FILE__;
  path.resize(path.find_last_of("/\\") + 1);
  return path + "testdata/settings_written_by_windows.ini";
}

void expect_loaded(const Settings& loaded, const Settings& saved) {
  EXPECT_STREQ(loaded.vocabulary_file, saved.vocabulary_file);
  EXPECT_STREQ(loaded.extension, saved.extension);
  EXPECT_EQ(loaded.style.tab_width, saved.style.tab_width);
  EXPECT_EQ(loaded.style.line_numbers, saved.style.line_numbers);
  EXPECT_EQ(loaded.style.expand_tabs, saved.style.expand_tabs);
  EXPECT_EQ(loaded.style.nbsp_spaces, saved.style.nbsp_spaces);
  EXPECT_EQ(loaded.style.whole.open, saved.style.whole.open);
  EXPECT_EQ(loaded.style.keyword.close, saved.style.keyword.close);
  EXPECT_EQ(loaded.style.line_number.open, saved.style.line_number.open);
  EXPECT_EQ(loaded.style.line.close, saved.style.line.close);
  EXPECT_STREQ(loaded.style.insert_before, saved.style.insert_before);
}

TEST(SettingsFixture, LoadsToTheSavedRecords) {
  const std::string file = fixture_path();
  Settings plain;
  load_settings_from(file.c_str(), plain, nullptr);
  expect_loaded(plain, fixture_plain_settings());
  EXPECT_FALSE(plain.show_settings_dialog) << "the last save wrote the shared flag";
  EXPECT_STREQ(plain.style.insert_after, "C:\\ア\\prismet.btm") << "leading blanks are lost";

  Settings web;
  load_settings_from(file.c_str(), web, kFixtureMode);
  expect_loaded(web, fixture_mode_settings());
  EXPECT_FALSE(web.show_settings_dialog);
  EXPECT_EQ(web.style.comment.open, "<I>") << "outer blanks are lost";
  EXPECT_EQ(web.style.comment.close, "</I>") << "enclosing quotes are lost";
  EXPECT_STREQ(web.style.insert_before, "") << "an empty stored path stays empty";
}

TEST(SettingsFixture, EveryBuildWritesTheSameBytes) {
  const std::string file = scratch_path("fixture.ini");
  save_settings_fixture(file.c_str());
  EXPECT_EQ(read_file(file), read_file(fixture_path()));
}

}  // namespace
}  // namespace prismet

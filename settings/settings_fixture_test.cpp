// A settings file written by the Windows build (through the platform's
// profile functions) must load to the same records in every build, and every
// build must write it byte for byte the same.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "settings/settings_file.h"
#include "tests/test_files.h"

namespace prismet {
namespace {

using testing::read_file;
using testing::scratch_path;
using testing::write_file;

std::string fixture_path() {
  std::string path = __FILE__;
  path.resize(path.find_last_of("/\\") + 1);
  return path + "testdata/settings_written_by_windows.ini";
}

// What the Windows build saved: the plain settings without a mode, then a
// second record under "/mode:web".
Settings plain_settings() {
  Settings settings;
  set_default_settings(settings, "C:\\表\\prismet.top", "  C:\\ア\\prismet.btm");
  std::strcpy(settings.vocabulary_file, "C:\\語彙\\cpp.txt");
  return settings;
}

Settings web_settings() {
  Settings settings;
  set_default_settings(settings, "", "C:\\x.btm");
  settings.show_settings_dialog = false;
  std::strcpy(settings.extension, ".html");
  settings.style.tab_width = 8;
  settings.style.line_numbers = true;
  settings.style.expand_tabs = true;
  settings.style.nbsp_spaces = true;
  settings.style.whole = {"<PRE class=\"code\">", "</PRE>"};
  settings.style.comment = {" <I> ", "\"</I>\""};
  settings.style.keyword = {"<B>", "</B>"};
  settings.style.line_number = {"<span>", "</span>"};
  settings.style.line = {"", ""};
  return settings;
}

void save_fixture(const char* file) {
  save_settings_to(file, plain_settings(), nullptr);
  save_settings_to(file, web_settings(), "web");
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
  expect_loaded(plain, plain_settings());
  EXPECT_FALSE(plain.show_settings_dialog) << "the last save wrote the shared flag";
  EXPECT_STREQ(plain.style.insert_after, "C:\\ア\\prismet.btm") << "leading blanks are lost";

  Settings web;
  load_settings_from(file.c_str(), web, "web");
  expect_loaded(web, web_settings());
  EXPECT_FALSE(web.show_settings_dialog);
  EXPECT_EQ(web.style.comment.open, "<I>") << "outer blanks are lost";
  EXPECT_EQ(web.style.comment.close, "</I>") << "enclosing quotes are lost";
  EXPECT_STREQ(web.style.insert_before, "") << "an empty stored path stays empty";
}

TEST(SettingsFixture, EveryBuildWritesTheSameBytes) {
  const std::string file = scratch_path("fixture.ini");
  save_fixture(file.c_str());
  EXPECT_EQ(read_file(file), read_file(fixture_path()));
}

// Rewrites the fixture; run in the Windows build with
// --gtest_also_run_disabled_tests --gtest_filter=*RegenerateFixture.
TEST(SettingsFixture, DISABLED_RegenerateFixture) {
  const std::string file = scratch_path("regenerated.ini");
  save_fixture(file.c_str());
  write_file(fixture_path(), read_file(file));
}

}  // namespace
}  // namespace prismet

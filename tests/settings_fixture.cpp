#include "tests/settings_fixture.h"

#include <cstring>

#include "settings/settings_file.h"

namespace prismet::testing {

Settings fixture_plain_settings() {
  Settings settings;
  set_default_settings(settings, "C:\\表\\prismet.top", "  C:\\ア\\prismet.btm");
  std::strcpy(settings.vocabulary_file, "C:\\語彙\\cpp.txt");
  return settings;
}

Settings fixture_mode_settings() {
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

void save_settings_fixture(const char* file) {
  save_settings_to(file, fixture_plain_settings(), nullptr);
  save_settings_to(file, fixture_mode_settings(), kFixtureMode);
}

}  // namespace prismet::testing

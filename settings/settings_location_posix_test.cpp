#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "common/file_system.h"
#include "settings/settings_file.h"
#include "tests/test_files.h"

namespace prismet {
namespace {

using testing::scratch_path;

// Sets or clears an environment variable for one test, giving back the old
// value at the end.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const char* value) : name_(name) {
    const char* old = std::getenv(name);
    had_ = old != nullptr;
    if (had_) old_ = old;
    value != nullptr ? ::setenv(name, value, 1) : ::unsetenv(name);
  }
  ~ScopedVariable() { had_ ? ::setenv(name_, old_.c_str(), 1) : ::unsetenv(name_); }

 private:
  const char* name_;
  bool had_ = false;
  std::string old_;
};

std::string settings_path() {
  char buffer[kPathCapacity];
  EXPECT_TRUE(settings_file_path(buffer));
  return buffer;
}

std::string beside_the_program() {
  char buffer[kPathCapacity];
  EXPECT_TRUE(module_path_with_extension(buffer, sizeof buffer, ".ini"));
  return buffer;
}

TEST(SettingsLocation, TheUsersConfigurationFolderUnlessACopyLiesBesideTheProgram) {
  struct Case {
    const char* xdg;   // XDG_CONFIG_HOME; null: unset
    const char* home;  // HOME; null: unset
    std::string expected;
  } const cases[] = {
      {"/cfg", "/home/u", "/cfg/prismet/prismet.ini"},
      {"relative/cfg", "/home/u", "/home/u/.config/prismet/prismet.ini"},  // only absolute paths count
      {"", "/home/u/", "/home/u/.config/prismet/prismet.ini"},
      {nullptr, "/home/u", "/home/u/.config/prismet/prismet.ini"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected);
    const ScopedVariable xdg("XDG_CONFIG_HOME", c.xdg);
    const ScopedVariable home("HOME", c.home);
    EXPECT_EQ(settings_path(), c.expected);
  }
  // A settings file beside the program wins: the program was carried along
  // with its settings.
  testing::write_file(beside_the_program(), "");
  EXPECT_EQ(settings_path(), beside_the_program());
  {
    const ScopedVariable xdg("XDG_CONFIG_HOME", nullptr);
    const ScopedVariable home("HOME", nullptr);
    EXPECT_EQ(settings_path(), beside_the_program());
  }
  delete_file(beside_the_program().c_str());
}

// Without a home there is no settings file path at all, whatever the
// configuration variable holds that does not count: none is ever made beside
// the program for everyone.
TEST(SettingsLocation, NoHomeMeansNoSettingsFile) {
  ASSERT_FALSE(path_exists(beside_the_program().c_str()));
  const struct {
    const char* xdg;
    const char* home;
  } cases[] = {{nullptr, nullptr}, {"", ""}, {"relative", nullptr}, {nullptr, ""}};
  for (const auto& c : cases) {
    const ScopedVariable xdg("XDG_CONFIG_HOME", c.xdg);
    const ScopedVariable home("HOME", c.home);
    char buffer[kPathCapacity] = "not touched";
    EXPECT_FALSE(settings_file_path(buffer))
        << (c.xdg ? c.xdg : "(unset)") << " " << (c.home ? c.home : "(unset)");
    EXPECT_STREQ(buffer, "");
  }
}

TEST(SettingsLocation, MakesTheMissingFoldersForTheUserAlone) {
  const std::string top = scratch_path("made");
  EXPECT_TRUE(make_settings_folder((top + "/a/b/prismet.ini").c_str()));
  EXPECT_TRUE(make_settings_folder((top + "/a/b/prismet.ini").c_str()));  // already there
  for (const char* made : {"", "/a", "/a/b"}) {
    struct stat info;
    ASSERT_EQ(::stat((top + made).c_str(), &info), 0) << made;
    EXPECT_EQ(info.st_mode & 0777, 0700u) << made;
  }
  // A file where a folder must be: the reason is what the first run reports.
  testing::write_file(top + "/file", "");
  for (const char* settings : {"/file/prismet.ini", "/file/below/prismet.ini"}) {
    errno = 0;
    EXPECT_FALSE(make_settings_folder((top + settings).c_str())) << settings;
    EXPECT_EQ(errno, ENOTDIR) << settings;
  }
}

}  // namespace
}  // namespace prismet

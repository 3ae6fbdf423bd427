// The Linux program's settings file, read and written by our own INI code:
// one reading per load and per save, and a file that fails to be read is
// never replaced. (On Windows the platform's profile functions do both.)
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <string>

#include "common/file_system.h"
#include "settings/settings_file.h"
#include "tests/ordinary_user_posix.h"
#include "tests/test_files.h"

namespace prismet {
namespace {

using testing::read_file;
using testing::scratch_path;
using testing::write_file;

// A load and a save each read the file once, however many keys they take.
TEST(SettingsFile, OneReadingPerLoadAndPerSave) {
  const std::string file = scratch_path("big.ini");
  std::string bytes = "[prismet]\r\nダイアログを表示=0\r\n[other]\r\n";
  while (bytes.size() < 1000000) bytes += "padding" + std::to_string(bytes.size()) + "=x\r\n";
  write_file(file, bytes);
  std::uint64_t before = bytes_read_for_testing();
  Settings settings;
  load_settings_from(file.c_str(), settings, nullptr);
  EXPECT_EQ(bytes_read_for_testing() - before, bytes.size());
  before = bytes_read_for_testing();
  EXPECT_TRUE(save_settings_to(file.c_str(), settings, nullptr));
  EXPECT_EQ(bytes_read_for_testing() - before, bytes.size());
  const std::string saved = read_file(file);
  EXPECT_GT(saved.size(), bytes.size());
  EXPECT_TRUE(saved.find("[other]\r\npadding") != std::string::npos) << "the other section is kept";
}

// A settings file that fails in the middle gives the defaults and is not
// overwritten with them.
TEST(SettingsFile, AReadErrorKeepsTheFile) {
  const std::string file = scratch_path("failing-settings.ini");
  const std::string bytes = "[prismet]\r\nタブ幅=7\r\n" + std::string(300000, ';') + "\r\n";
  write_file(file, bytes);
  fail_reads_for_testing(10, EIO);
  Settings settings;
  load_settings_from(file.c_str(), settings, nullptr);
  EXPECT_EQ(settings.style.tab_width, 4);
  fail_reads_for_testing(10, EIO);
  int error = 0;
  EXPECT_FALSE(save_settings_to(file.c_str(), settings, nullptr, &error));
  EXPECT_EQ(error, EIO);
  EXPECT_EQ(read_file(file), bytes);
  fail_reads_for_testing(0, 0);
}

// A settings file this user may not read is not replaced by one holding the
// built-in settings.
TEST(SettingsFilePosix, AnUnreadableFileIsNotReplaced) {
  const std::string file = scratch_path("unreadable.ini");
  const std::string bytes = "[prismet]\r\nタブ幅=7\r\n";
  write_file(file, bytes);
  ::chmod(file.c_str(), 0);
  ::chmod(scratch_path("").c_str(), 0777);
  EXPECT_TRUE(testing::as_ordinary_user([&] {
    Settings settings;
    load_settings_from(file.c_str(), settings, nullptr);
    int error = 0;
    return settings.style.tab_width == 4 && !save_settings_to(file.c_str(), settings, nullptr, &error) &&
           error == EACCES;
  }));
  ::chmod(file.c_str(), 0600);
  EXPECT_EQ(read_file(file), bytes);
}

}  // namespace
}  // namespace prismet

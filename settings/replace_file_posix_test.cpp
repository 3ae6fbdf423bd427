#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "settings/ini_file.h"
#include "settings/replace_file.h"
#include "tests/test_files.h"

namespace prismet {
namespace {

using testing::count_entries;
using testing::make_folder;
using testing::read_file;
using testing::scratch_path;
using testing::write_file;

mode_t mode_of(const std::string& path) {
  struct stat info;
  EXPECT_EQ(::stat(path.c_str(), &info), 0);
  return info.st_mode & 07777;
}

TEST(ReplaceFile, ReplacesAndKeepsThePermissions) {
  const std::string folder = scratch_path("replace");
  make_folder(folder);
  const std::string file = folder + "/settings.ini";
  write_file(file, "old");
  ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
  EXPECT_TRUE(replace_file_contents(file.c_str(), "new contents"));
  EXPECT_EQ(read_file(file), "new contents");
  EXPECT_EQ(mode_of(file), 0640u);
  EXPECT_EQ(count_entries(folder), 1) << "no temporary file is left";
}

TEST(ReplaceFile, ReadOnlyFileStaysAsItWas) {
  const std::string folder = scratch_path("read-only");
  make_folder(folder);
  const std::string file = folder + "/settings.ini";
  write_file(file, "[a]\r\nk=1\r\n");
  ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
  EXPECT_FALSE(ini::write_string(file.c_str(), "a", "k", "2"));
  EXPECT_EQ(read_file(file), "[a]\r\nk=1\r\n");
  EXPECT_EQ(count_entries(folder), 1);
}

TEST(ReplaceFile, WritesThroughASymbolicLink) {
  const std::string folder = scratch_path("linked");
  make_folder(folder);
  const std::string target = folder + "/real.ini";
  const std::string link = folder + "/settings.ini";
  write_file(target, "[a]\r\nk=1\r\n");
  ASSERT_EQ(::symlink("real.ini", link.c_str()), 0);
  EXPECT_TRUE(ini::write_string(link.c_str(), "a", "j", "2"));
  struct stat info;
  ASSERT_EQ(::lstat(link.c_str(), &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode)) << "the link stays a link";
  EXPECT_EQ(read_file(target), "[a]\r\nk=1\r\nj=2\r\n");
  EXPECT_EQ(count_entries(folder), 2);
}

TEST(ReplaceFile, FailsWithoutAFolderOrForAFolder) {
  EXPECT_FALSE(replace_file_contents(scratch_path("missing/settings.ini").c_str(), "x"));
  const std::string folder = scratch_path("a-folder");
  make_folder(folder);
  EXPECT_FALSE(replace_file_contents(folder.c_str(), "x"));
  EXPECT_FALSE(replace_file_contents("", "x"));
}

}  // namespace
}  // namespace prismet

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "common/file_system.h"
#include "tests/test_files.h"

namespace prismet {
namespace {

using testing::count_entries;
using testing::make_folder;
using testing::read_file;
using testing::scratch_path;
using testing::write_file;

TEST(SameFile, NamesOfOneFileThroughLinksAndDots) {
  const std::string folder = scratch_path("same-file");
  make_folder(folder);
  const std::string file = folder + "/a.txt";
  write_file(file, "a");
  write_file(folder + "/b.txt", "a");
  ::unlink((folder + "/hard.txt").c_str());
  ::unlink((folder + "/soft.txt").c_str());
  ASSERT_EQ(::link(file.c_str(), (folder + "/hard.txt").c_str()), 0);
  ASSERT_EQ(::symlink(file.c_str(), (folder + "/soft.txt").c_str()), 0);
  EXPECT_TRUE(same_file(file.c_str(), (folder + "/./a.txt").c_str()));
  EXPECT_TRUE(same_file(file.c_str(), (folder + "/hard.txt").c_str()));
  EXPECT_TRUE(same_file(file.c_str(), (folder + "/soft.txt").c_str()));
  EXPECT_FALSE(same_file(file.c_str(), (folder + "/b.txt").c_str())) << "equal bytes, another file";
  EXPECT_FALSE(same_file(file.c_str(), (folder + "/missing.txt").c_str()));
  EXPECT_FALSE(same_file((folder + "/missing.txt").c_str(), (folder + "/missing.txt").c_str()));
}

}  // namespace
}  // namespace prismet

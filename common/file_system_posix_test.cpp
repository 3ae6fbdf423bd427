#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

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

std::string patterned(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 131) ^ (i >> 9));
  return bytes;
}

// The copy goes through the kernel within one file system and block by
// block across file systems; either way the output is the source's bytes.
TEST(ReplaceFileKeepingAttributes, CopiesEveryByteWithinAndAcrossFileSystems) {
  const std::string folder = scratch_path("replace-copy");
  make_folder(folder);
  const std::string output = folder + "/out.htm";
  std::string sources[] = {folder + "/same.tmp", ""};
  if (::access("/dev/shm", W_OK) == 0) sources[1] = "/dev/shm/prismet-replace-" + std::to_string(::getpid());
  for (const std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{3 * 1024 * 1024 + 7}}) {
    for (const std::string& source : sources) {
      if (source.empty()) continue;
      SCOPED_TRACE(source + ", " + std::to_string(size) + " bytes");
      const std::string bytes = patterned(size);
      write_file(source, bytes);
      write_file(output, "an older and longer output that must be gone entirely");
      ASSERT_TRUE(replace_file_keeping_attributes(source.c_str(), output.c_str()));
      EXPECT_TRUE(read_file(output) == bytes);
      ::unlink(source.c_str());
    }
  }
  // Nothing but the output is left in the folder: no sibling stays behind.
  EXPECT_EQ(count_entries(folder), 1);
}

TEST(ReplaceFileKeepingAttributes, KeepsThePermissionBitsOfTheOutput) {
  const std::string source = scratch_path("replace-mode.tmp");
  const std::string output = scratch_path("replace-mode.htm");
  write_file(source, "new");
  write_file(output, "old");
  ASSERT_EQ(::chmod(output.c_str(), 0640), 0);
  ASSERT_TRUE(replace_file_keeping_attributes(source.c_str(), output.c_str()));
  struct stat info;
  ASSERT_EQ(::stat(output.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  EXPECT_EQ(read_file(output), "new");
}

TEST(ReplaceFileKeepingAttributes, ANewOutputGetsTheBitsOfANewFile) {
  const std::string source = scratch_path("replace-new-mode.tmp");
  const std::string output = scratch_path("replace-new-mode.htm");
  write_file(source, "new");
  ASSERT_EQ(::chmod(source.c_str(), 0600), 0);
  ::unlink(output.c_str());
  const mode_t mask = ::umask(022);
  const bool replaced = replace_file_keeping_attributes(source.c_str(), output.c_str());
  ::umask(mask);
  ASSERT_TRUE(replaced);
  struct stat info;
  ASSERT_EQ(::stat(output.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0644u);
}

// A source with another name, or reached through a symbolic link, is copied:
// the output must not become that other name or the link.
TEST(ReplaceFileKeepingAttributes, ASharedOrLinkedSourceIsCopiedNotMoved) {
  const std::string folder = scratch_path("replace-shared");
  make_folder(folder);
  const std::string target = folder + "/target";
  const std::string other_name = folder + "/other-name";
  const std::string link = folder + "/link.tmp";
  const std::string output = folder + "/out.htm";
  for (const bool hard : {true, false}) {
    SCOPED_TRACE(hard ? "hard link" : "symbolic link");
    ::unlink(other_name.c_str());
    ::unlink(link.c_str());
    write_file(target, "page");
    write_file(output, "old");
    const std::string& source = hard ? other_name : link;
    ASSERT_EQ(hard ? ::link(target.c_str(), source.c_str()) : ::symlink(target.c_str(), source.c_str()), 0);
    ASSERT_TRUE(replace_file_keeping_attributes(source.c_str(), output.c_str()));
    EXPECT_EQ(read_file(output), "page");
    struct stat info;
    ASSERT_EQ(::lstat(output.c_str(), &info), 0);
    EXPECT_TRUE(S_ISREG(info.st_mode));
    EXPECT_EQ(info.st_nlink, 1u);
    write_file(target, "changed later");
    EXPECT_EQ(read_file(output), "page");
    ASSERT_EQ(::lstat(source.c_str(), &info), 0) << "the source's name is still there";
  }
}

TEST(ReplaceFileKeepingAttributes, FailsForAFolderOrAMissingSource) {
  const std::string folder = scratch_path("replace-folder");
  make_folder(folder);
  const std::string source = scratch_path("replace-folder.tmp");
  write_file(source, "new");
  EXPECT_FALSE(replace_file_keeping_attributes(source.c_str(), folder.c_str()));
  const std::string output = scratch_path("replace-missing.htm");
  write_file(output, "kept");
  EXPECT_FALSE(replace_file_keeping_attributes(scratch_path("no-such-source").c_str(), output.c_str()));
  EXPECT_EQ(read_file(output), "kept");
}

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

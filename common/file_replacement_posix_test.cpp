#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "common/file_replacement.h"
#include "tests/ordinary_user_posix.h"
#include "tests/small_disk.h"
#include "tests/test_files.h"

namespace prismet {
namespace {

using testing::count_entries;
using testing::make_folder;
using testing::read_file;
using testing::scratch_path;
using testing::write_file;

struct stat status_of(const std::string& path, bool follow = true) {
  struct stat info = {};
  EXPECT_EQ(follow ? ::stat(path.c_str(), &info) : ::lstat(path.c_str(), &info), 0) << path;
  return info;
}

bool replace(const std::string& target, const std::string& bytes, FileReplacement::Options options = {}) {
  FileReplacement replacement;
  if (!replacement.begin(target.c_str(), options)) return false;
  std::fwrite(bytes.data(), 1, bytes.size(), replacement.stream());
  return replacement.commit();
}

std::string fresh_folder(const std::string& name) {
  const std::string folder = scratch_path(name);
  make_folder(folder);
  return folder;
}

TEST(FileReplacementPosix, KeepsPermissionBitsAndGivesNewFilesTheUsualOnes) {
  const std::string folder = fresh_folder("modes");
  for (const mode_t mode : {0640u, 0444u, 0755u}) {
    const std::string file = folder + "/kept";
    write_file(file, "old");
    ASSERT_EQ(::chmod(file.c_str(), mode), 0);
    ASSERT_TRUE(replace(file, "new"));
    EXPECT_EQ(read_file(file), "new");
    EXPECT_EQ(status_of(file).st_mode & 07777, mode);
  }
  const mode_t mask = ::umask(027);
  EXPECT_TRUE(replace(folder + "/fresh", "new"));
  ::umask(mask);
  EXPECT_EQ(status_of(folder + "/fresh").st_mode & 07777, 0640u);
}

// A replaced file of this user's keeps its bits and its group whether its
// temporary file could take them at once (a group that may do no more than
// everyone) or not, also in a set-group-ID folder of another group, where a
// new file takes the folder's group.
TEST(FileReplacementPosix, KeepsBitsAndGroupHoweverTheTemporaryFileIsMade) {
  const std::string folder = fresh_folder("modes-and-groups");
  const gid_t own = ::getegid();
  const gid_t other = own + 1;
  const bool other_group = ::chown(folder.c_str(), static_cast<uid_t>(-1), other) == 0;
  for (const bool set_group : {false, true}) {
    if (set_group && !other_group) continue;  // no other group to give the folder
    ASSERT_EQ(::chmod(folder.c_str(), set_group ? 02777 : 0777), 0);
    for (const mode_t mode : {0644u, 0604u, 0640u, 0664u, 0600u, 0666u, 0750u, 04755u, 0444u}) {
      SCOPED_TRACE(::testing::Message() << std::oct << mode << (set_group ? " set-group-ID" : ""));
      const std::string file = folder + "/kept";
      ::unlink(file.c_str());
      write_file(file, "old");
      ASSERT_EQ(::chown(file.c_str(), static_cast<uid_t>(-1), own), 0);
      ASSERT_EQ(::chmod(file.c_str(), mode), 0);
      ASSERT_TRUE(replace(file, "new"));
      EXPECT_EQ(read_file(file), "new");
      const struct stat info = status_of(file);
      EXPECT_EQ(info.st_mode & 07777, mode);
      EXPECT_EQ(info.st_gid, own);
    }
  }
}

// A plain file of one name takes its new contents as a new file put in its
// place: a reader that holds the old file open keeps reading the old bytes
// (a page being served is never seen half rewritten), and the name then
// names another file.
TEST(FileReplacementPosix, APlainFileIsReplacedByANewFile) {
  const std::string folder = fresh_folder("swap");
  for (const bool durable : {false, true}) {
    SCOPED_TRACE(durable ? "durable" : "page");
    const std::string file = folder + "/page";
    write_file(file, "the old bytes");
    const int reader = ::open(file.c_str(), O_RDONLY);
    ASSERT_GE(reader, 0);
    const ino_t inode = status_of(file).st_ino;
    FileReplacement::Options options;
    options.durable = durable;
    ASSERT_TRUE(replace(file, "the new bytes, longer", options));
    char bytes[64] = {};
    EXPECT_EQ(::pread(reader, bytes, sizeof bytes - 1, 0), 13);
    EXPECT_STREQ(bytes, "the old bytes");
    ::close(reader);
    EXPECT_NE(status_of(file).st_ino, inode);
    EXPECT_EQ(read_file(file), "the new bytes, longer");
    EXPECT_EQ(count_entries(folder), 1);
  }
}

// Links keep what they are: a symbolic link (also one whose target does not
// exist yet, and a chain of them) stays a link and its target gets the new
// contents; a file with a second hard link is rewritten in place, so both
// names see the new contents.
TEST(FileReplacementPosix, LinksStayLinks) {
  const std::string folder = fresh_folder("links");
  write_file(folder + "/target", "old");
  ASSERT_EQ(::symlink("target", (folder + "/link").c_str()), 0);
  ASSERT_EQ(::symlink((folder + "/link").c_str(), (folder + "/chain").c_str()), 0);
  ASSERT_EQ(::symlink("not-yet", (folder + "/dangling").c_str()), 0);
  ASSERT_EQ(::link((folder + "/target").c_str(), (folder + "/hard").c_str()), 0);
  const ino_t inode = status_of(folder + "/target").st_ino;

  for (const char* name : {"link", "chain", "hard"}) {
    SCOPED_TRACE(name);
    const std::string bytes = std::string("through ") + name;
    ASSERT_TRUE(replace(folder + "/" + name, bytes));
    EXPECT_EQ(read_file(folder + "/target"), bytes);
    EXPECT_EQ(read_file(folder + "/hard"), bytes);
    EXPECT_EQ(status_of(folder + "/target").st_ino, inode);
  }
  EXPECT_TRUE(S_ISLNK(status_of(folder + "/link", false).st_mode));
  EXPECT_TRUE(S_ISLNK(status_of(folder + "/chain", false).st_mode));
  ASSERT_TRUE(replace(folder + "/dangling", "created"));
  EXPECT_TRUE(S_ISLNK(status_of(folder + "/dangling", false).st_mode));
  EXPECT_EQ(read_file(folder + "/not-yet"), "created");
  EXPECT_EQ(count_entries(folder), 6);
}

// As an ordinary user: a writable file in a folder the user cannot write is
// rewritten in place; a read-only file of the user's own is rewritten and
// stays read-only; the settings file's kind of replacement refuses it; a
// new file there cannot be made.
TEST(FileReplacementPosix, AFolderTheUserCannotWrite) {
  const std::string folder = fresh_folder("locked-folder");
  write_file(folder + "/writable", "old");
  write_file(folder + "/read-only", "old");
  ::chmod((folder + "/read-only").c_str(), 0444);
  testing::give_to_ordinary_user(folder + "/writable");
  testing::give_to_ordinary_user(folder + "/read-only");
  ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);
  FileReplacement::Options settings;
  settings.replace_read_only = false;
  const bool as_expected = testing::as_ordinary_user([&] {
    return replace(folder + "/writable", "new") && !replace(folder + "/read-only", "x", settings) &&
           replace(folder + "/read-only", "new too") && !replace(folder + "/fresh", "new");
  });
  ::chmod(folder.c_str(), 0755);
  EXPECT_TRUE(as_expected);
  EXPECT_EQ(read_file(folder + "/writable"), "new");
  EXPECT_EQ(read_file(folder + "/read-only"), "new too");
  EXPECT_EQ(status_of(folder + "/read-only").st_mode & 07777, 0444u);
  EXPECT_EQ(count_entries(folder), 2);
}

// Rewriting in place on a full disk leaves the file as it was: a file with a
// second name, whose new contents do not fit beside it, and a file in a
// folder the user cannot write, whose new contents are complete elsewhere
// but for which no space can be reserved.
TEST(FileReplacementPosix, AFullDiskLeavesAFileRewrittenInPlaceAsItWas) {
  const std::string folder = testing::small_disk_folder("in-place");
  if (folder.empty()) GTEST_SKIP() << "no small file system (PRISMET_SMALL_DISK) in this run";
  const std::string file = folder + "/file";
  const std::string old_bytes(static_cast<std::size_t>(testing::free_bytes(folder) * 2 / 3), 'o');
  const std::string new_bytes = old_bytes + std::string(old_bytes.size() * 3 / 4, 'p');
  write_file(file, old_bytes);
  ASSERT_EQ(::link(file.c_str(), (folder + "/other-name").c_str()), 0);
  EXPECT_FALSE(replace(file, new_bytes));
  EXPECT_TRUE(read_file(file) == old_bytes);
  ASSERT_EQ(::unlink((folder + "/other-name").c_str()), 0);

  testing::give_to_ordinary_user(file);
  ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);
  const bool refused = testing::as_ordinary_user([&] { return !replace(file, new_bytes); });
  ::chmod(folder.c_str(), 0755);
  EXPECT_TRUE(refused);
  EXPECT_TRUE(read_file(file) == old_bytes);
  EXPECT_EQ(count_entries(folder), 1);
  ::unlink(file.c_str());
}

// Refusing links: a target whose name is a link, to a file or to nothing,
// is refused with ELOOP and nothing behind it changes; a plain file, also
// one with other hard links (rewritten in place), is still replaced.
TEST(FileReplacementPosix, RefusesATargetThatIsALinkWhenAsked) {
  const std::string folder = fresh_folder("refuse-links");
  write_file(folder + "/victim", "keep");
  ASSERT_EQ(::symlink((folder + "/victim").c_str(), (folder + "/to-file").c_str()), 0);
  ASSERT_EQ(::symlink((folder + "/missing").c_str(), (folder + "/dangling").c_str()), 0);
  ASSERT_EQ(::symlink("to-file", (folder + "/chain").c_str()), 0);
  FileReplacement::Options refuse;
  refuse.refuse_links = true;
  for (const char* name : {"/to-file", "/dangling", "/chain"}) {
    SCOPED_TRACE(name);
    FileReplacement replacement;
    EXPECT_FALSE(replacement.begin((folder + name).c_str(), refuse));
    EXPECT_EQ(replacement.error(), ELOOP);
    EXPECT_TRUE(S_ISLNK(status_of(folder + name, false).st_mode));
  }
  EXPECT_EQ(read_file(folder + "/victim"), "keep");
  EXPECT_NE(::access((folder + "/missing").c_str(), F_OK), 0);
  EXPECT_EQ(count_entries(folder), 4);

  write_file(folder + "/plain", "old");
  EXPECT_TRUE(replace(folder + "/plain", "new", refuse));
  EXPECT_EQ(read_file(folder + "/plain"), "new");
  ASSERT_EQ(::link((folder + "/plain").c_str(), (folder + "/other-name").c_str()), 0);
  EXPECT_TRUE(replace(folder + "/plain", "newer", refuse));
  EXPECT_EQ(read_file(folder + "/other-name"), "newer");
  EXPECT_TRUE(replace(folder + "/fresh", "made", refuse));
  EXPECT_EQ(read_file(folder + "/fresh"), "made");
  // Without the option a link is followed, as before.
  EXPECT_TRUE(replace(folder + "/to-file", "followed"));
  EXPECT_EQ(read_file(folder + "/victim"), "followed");
}

}  // namespace
}  // namespace prismet

// End-to-end, Linux: the program's folder is not writable, so neither its
// temporary file nor its settings file can be written.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "common/file_system.h"
#include "tests/program_folder.h"
#include "tests/test_files.h"

namespace prismet {
namespace {

using testing::ProgramTest;
using testing::read_file;
using testing::write_file;

namespace fs = std::filesystem;

// Sets or clears the immutable flag of a folder: nobody, root included, can
// then create or remove anything in it. False where the file system or the
// user's privileges do not allow it.
bool set_immutable(const std::string& folder, bool on) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  int flags = 0;
  bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
  if (ok) {
    flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
  }
  ::close(fd);
  return ok;
}

TEST_F(ProgramTest, ProgramFolderNotWritableLeavesEveryOutputUntouched) {
  write_file(path("old.cpp"), "int fresh;");
  write_file(path("old.htm"), "the old page");
  write_file(path("new.cpp"), "int other;");
  const std::string bin = folder_ + testing::kSep + "bin";
  fs::permissions(bin, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  // Restores the folder however the test ends, so the scratch folder can go.
  struct Restore {
    std::string folder;
    bool immutable = false;
    ~Restore() {
      if (immutable) set_immutable(folder, false);
      fs::permissions(folder, fs::perms::owner_write, fs::perm_options::add);
    }
  } restore{bin};
  // Permissions do not hold root back; the immutable flag does.
  if (::access(bin.c_str(), W_OK) == 0) restore.immutable = set_immutable(bin, true);
  if (::access(bin.c_str(), W_OK) == 0 && !restore.immutable) {
    GTEST_SKIP() << "the folder stays writable for this user";
  }

  EXPECT_EQ(run({"/dlg:0", path("old.cpp"), path("new.cpp")}), 0);
  EXPECT_EQ(read_file(path("old.htm")), "the old page");
  EXPECT_FALSE(path_exists(path("new.htm").c_str()));
  EXPECT_EQ(read_file(path("old.cpp")), "int fresh;");
  EXPECT_EQ(testing::count_entries(bin), 1);  // the program alone: no settings or temporary file
}

}  // namespace
}  // namespace prismet

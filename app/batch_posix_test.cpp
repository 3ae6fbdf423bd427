#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "app/batch.h"
#include "common/file_system.h"
#include "settings/settings_file.h"
#include "tests/test_files.h"

namespace prismet {
namespace {

using testing::read_file;
using testing::scratch_path;
using testing::write_file;

mode_t mode_of(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0 ? (info.st_mode & 07777) : 0;
}

// Converts in a child process whose files may grow to `limit` bytes at most,
// as on a full disk.
void convert_with_file_size_limit(const std::string& input, rlim_t limit) {
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::signal(SIGXFSZ, SIG_IGN);  // writes past the limit fail instead of killing
    const rlimit fsize{limit, limit};
    ::setrlimit(RLIMIT_FSIZE, &fsize);
    Settings settings;
    set_default_settings(settings, "", "");
    Vocabulary vocabulary;
    set_builtin_vocabulary(vocabulary);
    convert_files({input}, settings, vocabulary, nullptr);
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
}

// A file size limit stands in for a full disk where no small file system can
// be had (see the full-disk tests of the program and of FileReplacement).
TEST(BatchPosix, AFullDiskLeavesTheSourceAndOutputUntouched) {
  std::string source(200000, 'x');
  source += "\n";
  // Output equal to the input: a truncated page must not replace the source.
  const std::string folder = scratch_path("full");
  testing::make_folder(folder);
  const std::string page = folder + "/full.htm";
  write_file(page, source);
  convert_with_file_size_limit(page, 100000);
  EXPECT_TRUE(read_file(page) == source);
  EXPECT_EQ(testing::count_entries(folder), 1) << "a temporary file was left behind";
  // The same with room enough converts.
  convert_with_file_size_limit(page, 1000000);
  EXPECT_EQ(read_file(page).substr(0, 10), "<PRE>xxxxx");
}

TEST(BatchPosix, AReplacedOutputKeepsItsPermissionBits) {
  Settings settings;
  set_default_settings(settings, "", "");
  Vocabulary vocabulary;
  set_builtin_vocabulary(vocabulary);
  write_file(scratch_path("perm.cpp"), "a");
  write_file(scratch_path("perm.htm"), "old");
  ASSERT_EQ(::chmod(scratch_path("perm.htm").c_str(), 0444), 0);
  convert_files({scratch_path("perm.cpp")}, settings, vocabulary, nullptr);
  EXPECT_EQ(read_file(scratch_path("perm.htm")), "<PRE>a</PRE>");
  EXPECT_EQ(mode_of(scratch_path("perm.htm")), 0444u);
  // A new output gets the bits a new file gets.
  const mode_t mask = ::umask(022);
  write_file(scratch_path("fresh.cpp"), "b");
  convert_files({scratch_path("fresh.cpp")}, settings, vocabulary, nullptr);
  EXPECT_EQ(mode_of(scratch_path("fresh.htm")), 0644u);
  ::umask(mask);
  free_vocabulary(vocabulary);
}

}  // namespace
}  // namespace prismet

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <string>

#include "common/file_system.h"
#include "convert/conversion.h"
#include "convert/page_converter.h"
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

// Runs `body` in a child process and waits for it at most 20 seconds: the
// child's exit status, or -1 when it did not end (it is then killed) or ended
// otherwise.
int in_child(void (*body)(const std::string&), const std::string& argument) {
  const pid_t child = ::fork();
  if (child < 0) return -1;
  if (child == 0) {
    body(argument);
    ::_exit(0);
  }
  int status = 0;
  const struct timespec pause = {0, 10000000};
  for (int waited = 0; waited < 2000; ++waited) {
    if (::waitpid(child, &status, WNOHANG) == child) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    ::nanosleep(&pause, nullptr);
  }
  ::kill(child, SIGKILL);
  ::waitpid(child, &status, 0);
  return -1;
}

// A source of a walked tree whose turn comes after it was replaced by a pipe
// (no writer ever comes) or a device: it fails at once as no plain file, and
// no page is made of it.
TEST(BatchPosix, AWalkedSourceThatIsNoPlainFileIsNotRead) {
  const std::string folder = scratch_path("not_plain");
  testing::make_folder(folder);
  const std::string fifo = folder + "/pipe.cpp";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& source : {fifo, std::string("/dev/null")}) {
    SCOPED_TRACE(source);
    const int status = in_child(
        [](const std::string& source) {
          Settings settings;
          set_default_settings(settings, "", "");
          Vocabulary vocabulary;
          set_builtin_vocabulary(vocabulary);
          PageConverter converter(settings, vocabulary);
          const std::string page = scratch_path("not_plain") + "/page.htm";
          const PageResult result = convert_to_page(source.c_str(), page, converter, "");
          const bool refused = result.failure && result.failure->reason != nullptr &&
                               std::string(result.failure->reason) == "not a regular file";
          ::_exit(refused && !path_exists(page.c_str()) ? 0 : 1);
        },
        source);
    EXPECT_EQ(status, 0) << (status < 0 ? "the conversion did not end" : "the source was read");
  }
  EXPECT_EQ(testing::count_entries(folder), 1);
}

}  // namespace
}  // namespace prismet

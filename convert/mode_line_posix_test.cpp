// Files that are no plain readable files, as only Linux makes them here.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "convert/mode_line.h"
#include "tests/ordinary_user_posix.h"
#include "tests/test_files.h"

namespace prismet {
namespace {

using testing::scratch_path;
using testing::write_file;

// A pipe nobody writes to is never opened (the walk would wait for ever),
// and a file that cannot be read says nothing.
TEST(ModeLinePosix, PipesAndUnreadableFilesSayNothing) {
  const std::string folder = scratch_path("mode-line-posix");
  testing::make_folder(folder);
  const std::string fifo = folder + "/fifo";
  ::unlink(fifo.c_str());
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(file_says_cpp(fifo.c_str()));
  EXPECT_FALSE(file_says_cpp("/dev/null"));

  const std::string locked = folder + "/locked";
  write_file(locked, "// -*- C++ -*-\n");
  EXPECT_TRUE(file_says_cpp(locked.c_str()));
  ASSERT_EQ(::chmod(locked.c_str(), 0), 0);
  EXPECT_TRUE(testing::as_ordinary_user([&] { return !file_says_cpp(locked.c_str()); }));
}

}  // namespace
}  // namespace prismet

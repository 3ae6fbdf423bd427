// The writer over a file that fails part-way: a limit on the size of the
// files this process may write (RLIMIT_FSIZE), with SIGXFSZ ignored, makes
// the write past it fail with EFBIG.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <cerrno>
#include <string>

#include "common/text_stream.h"
#include "tests/test_files.h"

namespace prismet {
namespace {

using testing::read_file;
using testing::scratch_path;

// While one lives, no file of this process grows past `bytes`.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &old_);
    old_handler_ = ::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = old_;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &old_);
    ::signal(SIGXFSZ, old_handler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit old_ = {};
  sighandler_t old_handler_ = SIG_DFL;
};

// A writer that is written to for as long as ok() holds, as the converter
// does, stops soon after the file fails, early or many buffers in, tells
// EFBIG, and has written the start of the page in order.
TEST(TextWriter, AFailedWriteEndsTheWritingAndIsReported) {
  constexpr std::size_t kMiB = 1024 * 1024;
  const std::string line(62, 'q');
  for (const std::size_t room : {std::size_t{0}, std::size_t{100 * 1024}, 3 * kMiB, 20 * kMiB}) {
    SCOPED_TRACE(std::to_string(room) + " bytes of room");
    const std::string path = scratch_path("stream-limited");
    std::size_t written = 0;
    {
      FileSizeLimit limit(room);
      TextWriter writer;
      ASSERT_TRUE(writer.open(path.c_str()));
      // Bounded only for a writer that never fails: then the test fails.
      while (writer.ok() && written < 200 * kMiB) {
        writer.write_raw(line.data(), line.size());
        writer.put('\n');
        written += line.size() + 2;
      }
      EXPECT_FALSE(writer.ok());
      EXPECT_EQ(writer.error(), EFBIG);
      // At most a few buffers of 64 KiB past the failure.
      EXPECT_LE(written, room + 4 * 64 * 1024);
      EXPECT_FALSE(writer.close());
      EXPECT_EQ(writer.error(), EFBIG);
    }
    const std::string bytes = read_file(path);
    EXPECT_EQ(bytes.size(), room);
    std::string expected;
    while (expected.size() < bytes.size()) expected += line + "\r\n";
    expected.resize(bytes.size());
    EXPECT_TRUE(bytes == expected);
  }
}

// A page that fails only at its last flush, in close(), is reported there.
TEST(TextWriter, AFailureAtCloseIsReported) {
  const std::string path = scratch_path("stream-limited-close");
  FileSizeLimit limit(5 * 1024 * 1024 - 10);
  TextWriter writer;
  ASSERT_TRUE(writer.open(path.c_str()));
  const std::string block(1024, 'z');
  for (int i = 0; i < 5 * 1024; ++i) writer.write_raw(block.data(), block.size());
  EXPECT_TRUE(writer.ok());
  EXPECT_FALSE(writer.close());
  EXPECT_EQ(writer.error(), EFBIG);
}

}  // namespace
}  // namespace prismet

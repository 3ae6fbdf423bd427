// End-to-end, Linux: the program interrupted by real signals, writing into
// outputs that fail, reading inputs that never end. Each run is bounded in
// time: a program that does not end is killed and the test fails.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "tests/program_folder.h"
#include "tests/run_program_posix.h"
#include "tests/small_disk.h"
#include "tests/test_files.h"

namespace prismet {
namespace {

using testing::read_file;
using testing::write_file;

namespace fs = std::filesystem;

// Waits until `ready` holds, for at most `seconds`; false when it never did.
// (<chrono> cannot be had: its texts do not fit code page 932.)
bool wait_until(const std::function<bool()>& ready, double seconds = 20) {
  const struct timespec pause = {0, 500000};
  for (double waited = 0; !ready(); waited += 0.0005) {
    if (waited > seconds) return false;
    ::nanosleep(&pause, nullptr);
  }
  return true;
}

// The names in `folder` that the program gives its temporary files.
std::vector<std::string> temporary_files(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind(".prismet-", 0) == 0) names.push_back(entry.path().string());
  }
  return names;
}

// A source of about `megabytes` MB whose page is about twice as long.
std::string large_source(int megabytes) {
  const std::string line = "for (int i = 0; i < n; ++i) { s += \"<&>\"; } // comment & <tag>\n";
  std::string text;
  text.reserve(static_cast<std::size_t>(megabytes) << 20);
  while (text.size() < (static_cast<std::size_t>(megabytes) << 20)) text += line;
  return text;
}

struct FileState {
  off_t size;
  struct timespec modified;
};

FileState state_of(const std::string& path) {
  struct stat info = {};
  ::stat(path.c_str(), &info);
  return {info.st_size, info.st_mtim};
}

bool changed(const FileState& a, const FileState& b) {
  return a.size != b.size || a.modified.tv_sec != b.modified.tv_sec ||
         a.modified.tv_nsec != b.modified.tv_nsec;
}

// A pipe at `path` that gives its reader C++ lines without end, until the
// reader goes.
class EndlessSource {
 public:
  explicit EndlessSource(const std::string& path) : path_(path) {
    ::unlink(path.c_str());
    if (::mkfifo(path.c_str(), 0600) != 0) return;
    previous_ = ::signal(SIGPIPE, SIG_IGN);  // the end is told by EPIPE
    feeder_ = std::thread([this] {
      const int fd = ::open(path_.c_str(), O_WRONLY);
      if (fd < 0) return;
      std::string lines;
      while (lines.size() < (64 << 10)) lines += "int x = 1; // <&>\n";
      while (::write(fd, lines.data(), lines.size()) > 0) {
      }
      ::close(fd);
    });
  }
  ~EndlessSource() {
    if (!feeder_.joinable()) return;
    ::close(::open(path_.c_str(), O_RDONLY | O_NONBLOCK));  // frees a feeder still waiting to open
    feeder_.join();
    ::signal(SIGPIPE, previous_);
  }
  EndlessSource(const EndlessSource&) = delete;
  EndlessSource& operator=(const EndlessSource&) = delete;

 private:
  std::string path_;
  std::thread feeder_;
  void (*previous_)(int) = SIG_DFL;
};

class InterruptionTest : public testing::ProgramTest {
 protected:
  testing::ProgramStreams streams(const std::string& input = "", const std::string& output = "") {
    testing::ProgramStreams s;
    s.input = input;
    s.output = output;
    s.error = path("stderr");
    return s;
  }
  std::string err() { return read_file(path("stderr")); }
};

// SIGINT, SIGTERM, SIGHUP and SIGQUIT while a page is written: the process
// ends as the signal ends it (128 + N), the temporary page is gone, and an
// earlier page is as it was.
TEST_F(InterruptionTest, ASignalLeavesNoTemporaryFileAndTheOldPage) {
  write_file(path("big.cpp"), large_source(64));
  const struct {
    int signal;
    bool old_page;
  } cases[] = {{SIGINT, false}, {SIGTERM, true}, {SIGHUP, false}, {SIGQUIT, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE("signal " + std::to_string(c.signal));
    fs::remove(path("big.htm"));
    if (c.old_page) write_file(path("big.htm"), "the old page");
    testing::RunningProgram run(program_, {path("big.cpp")}, streams());
    ASSERT_TRUE(wait_until([&] { return !temporary_files(folder_).empty(); })) << "no page was begun";
    run.signal(c.signal);
    EXPECT_EQ(run.finish(20), 128 + c.signal);
    EXPECT_EQ(temporary_files(folder_), std::vector<std::string>{});
    if (c.old_page) {
      EXPECT_EQ(read_file(path("big.htm")), "the old page");
    } else {
      EXPECT_FALSE(fs::exists(path("big.htm")));
    }
  }
}

// The temporary files of the program anywhere below `folder`.
std::vector<std::string> temporary_files_below(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (entry.path().filename().string().rfind(".prismet-", 0) == 0) names.push_back(entry.path().string());
  }
  return names;
}

// A tree of many small sources converted on many threads, every page
// written anew: signals come at many different moments of the run (while
// pages are being begun, written and put in place on every thread), and
// none may leave a temporary file.
TEST_F(InterruptionTest, ASignalAtAnyMomentOfAManyThreadedRunLeavesNothing) {
  const std::string tree = path("tree");
  for (int folder = 0; folder < 10; ++folder) {
    const std::string sub = tree + "/d" + std::to_string(folder);
    fs::create_directories(sub);
    for (int file = 0; file < 300; ++file) write_file(sub + "/f" + std::to_string(file) + ".cpp", "int x;\n");
  }
  const int signals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
  int interrupted = 0;
  for (int round = 0; round < 20; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    testing::RunningProgram run(program_, {"-q", "-j", "8", "--force", tree}, streams());
    // A temporary page in the first folder shows the workers are busy; the
    // signal then comes after a delay that differs from round to round.
    ASSERT_TRUE(wait_until([&] { return !temporary_files(tree + "/d0").empty(); }, 20))
        << "no page was begun";
    const struct timespec delay = {0, (round % 10) * 1500000L};
    ::nanosleep(&delay, nullptr);
    const int signal = signals[round % 4];
    run.signal(signal);
    const int status = run.finish(20);
    if (status == 128 + signal) ++interrupted;
    EXPECT_TRUE(status == 128 + signal || status == 0) << status;
    ASSERT_EQ(temporary_files_below(tree), std::vector<std::string>{});
  }
  EXPECT_GT(interrupted, 0) << "every run ended before its signal";
}

// Started with SIGHUP ignored (as nohup starts a command), the program keeps
// it ignored: a hangup during the run changes nothing, the run ends normally
// with every page written.
TEST_F(InterruptionTest, ARunStartedWithHangupIgnoredFinishes) {
  write_file(path("big.cpp"), large_source(16));
  write_file(path("small.cpp"), "int x;");
  testing::ProgramStreams s = streams();
  s.ignored_signals = {SIGHUP};
  testing::RunningProgram run(program_, {path("big.cpp"), path("small.cpp")}, s);
  ASSERT_TRUE(wait_until([&] { return !temporary_files(folder_).empty(); })) << "no page was begun";
  run.signal(SIGHUP);
  EXPECT_EQ(run.finish(60), 0);
  EXPECT_EQ(err(), "");
  EXPECT_EQ(temporary_files(folder_), std::vector<std::string>{});
  EXPECT_GT(read_file(path("big.htm")).size(), 16u << 20);
  EXPECT_EQ(read_file(path("small.htm")), "<PRE><FONT COLOR=\"#0000FF\">int</FONT> x;</PRE>");
}

// A page with a second hard link is rewritten in place. Interrupted while
// it is rewritten, the program finishes the rewrite first: the page is the
// complete new one under both names, and nothing else is left.
class InPlaceTest : public InterruptionTest {
 protected:
  void SetUp() override {
    InterruptionTest::SetUp();
    const std::string source = large_source(48);
    write_file(path("a.cpp"), source);
    write_file(path("fresh.cpp"), source);
    ASSERT_EQ(testing::run_program(program_, {path("fresh.cpp")}, streams()), 0);
    write_file(path("a.htm"), std::string(40 << 20, 'o'));
    fs::create_hard_link(path("a.htm"), path("link.htm"));
  }
  // Starts the conversion and sends `signal` once the page begins to change.
  // False when the run ended before that could be seen.
  bool signal_during_rewrite(testing::RunningProgram& run, int signal) {
    const FileState before = state_of(path("a.htm"));
    if (!wait_until([&] { return changed(before, state_of(path("a.htm"))); })) return false;
    run.signal(signal);
    return true;
  }
};

TEST_F(InPlaceTest, ARewriteInPlaceIsNotCutShort) {
  testing::RunningProgram run(program_, {path("a.cpp")}, streams());
  ASSERT_TRUE(signal_during_rewrite(run, SIGINT));
  const int status = run.finish(30);
  if (status == 0) GTEST_SKIP() << "the rewrite ended before the signal came";
  EXPECT_EQ(status, 128 + SIGINT);
  const std::string page = read_file(path("fresh.htm"));
  EXPECT_TRUE(read_file(path("a.htm")) == page) << "the page is neither the old one nor the new one";
  EXPECT_TRUE(fs::equivalent(path("a.htm"), path("link.htm")));
  EXPECT_EQ(temporary_files(folder_), std::vector<std::string>{});
}

// SIGKILL cannot be waited for: cut short in the middle of the rewrite, the
// page may be neither, but the complete new page is left beside it, from
// which it can be recovered (a run of the same source makes it again).
TEST_F(InPlaceTest, AKillDuringTheRewriteLeavesTheNewPageWhole) {
  testing::RunningProgram run(program_, {path("a.cpp")}, streams());
  ASSERT_TRUE(signal_during_rewrite(run, SIGKILL));
  const int status = run.finish(30);
  if (status == 0) GTEST_SKIP() << "the rewrite ended before the signal came";
  EXPECT_EQ(status, 128 + SIGKILL);
  const std::vector<std::string> left = temporary_files(folder_);
  ASSERT_EQ(left.size(), 1u);
  EXPECT_TRUE(read_file(left[0]) == read_file(path("fresh.htm")));
  fs::remove(left[0]);
}

// Standard output whose reader has gone ends the run as a broken pipe ends
// any command (128 + SIGPIPE), silently; a full one ends it at the first
// failed write, reported, with status 1. Standard input never ends in
// either (/dev/urandom): only the failed write stops the reading.
TEST_F(InterruptionTest, StandardOutputThatFailsEndsAnEndlessInput) {
  {
    const EndlessSource source(path("in"));
    ASSERT_EQ(::mkfifo(path("out").c_str(), 0600), 0);
    testing::RunningProgram run(program_, {"-"}, streams(path("in"), path("out")));
    const int reader = ::open(path("out").c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    char block[4096];
    ASSERT_TRUE(wait_until([&] { return ::read(reader, block, sizeof block) > 0; })) << "nothing was written";
    ::close(reader);
    EXPECT_EQ(run.finish(20), 128 + SIGPIPE);
    EXPECT_EQ(err(), "");
  }
  fs::remove(path("in"));
  const EndlessSource source(path("in"));
  testing::RunningProgram run(program_, {"-"}, streams(path("in"), "/dev/full"));
  EXPECT_EQ(run.finish(20), 1);
  EXPECT_EQ(err(), "prismet: -: standard output: No space left on device\n");
}

// A source that never ends (a pipe fed without end) on a disk that fills up:
// the first failed write ends that file, its temporary page goes, and the
// run goes on with the next file.
TEST_F(InterruptionTest, AnEndlessSourceOnAFullDiskEndsThatFileOnly) {
  const std::string disk = testing::small_disk_folder("endless");
  if (disk.empty()) GTEST_SKIP() << "no small file system (PRISMET_SMALL_DISK) in this run";
  for (const auto& entry : fs::directory_iterator(disk)) fs::remove_all(entry.path());  // an earlier run's
  const std::string fifo = disk + "/endless.cpp";
  write_file(path("next.cpp"), "int x;");
  int status = 0;
  {
    const EndlessSource source(fifo);
    testing::RunningProgram run(program_, {fifo, path("next.cpp")}, streams());
    status = run.finish(30);
  }
  EXPECT_EQ(status, 1);
  EXPECT_EQ(err(), "prismet: " + fifo + ": page " + disk + "/endless.htm: No space left on device\n");
  EXPECT_EQ(temporary_files(disk), std::vector<std::string>{});
  EXPECT_FALSE(fs::exists(disk + "/endless.htm"));
  EXPECT_EQ(read_file(path("next.htm")), "<PRE><FONT COLOR=\"#0000FF\">int</FONT> x;</PRE>");
}

// A named source that is a pipe nobody writes to does not hold the run at
// its opening: it reads as empty, and the next file is converted.
TEST_F(InterruptionTest, ANamedPipeWithoutAWriterDoesNotBlock) {
  ASSERT_EQ(::mkfifo(path("pipe.cpp").c_str(), 0600), 0);
  write_file(path("next.cpp"), "int x;");
  testing::RunningProgram run(program_, {path("pipe.cpp"), path("next.cpp")}, streams());
  EXPECT_EQ(run.finish(20), 0);
  EXPECT_EQ(read_file(path("pipe.htm")), "<PRE></PRE>");
  EXPECT_EQ(read_file(path("next.htm")), "<PRE><FONT COLOR=\"#0000FF\">int</FONT> x;</PRE>");
}

// An insert file that is no plain file may never end (/dev/zero) or never
// deliver (a pipe nobody writes): every page that needs it fails, told, the
// run ends, and nothing is left.
TEST_F(InterruptionTest, InsertFilesThatAreNoPlainFiles) {
  ASSERT_EQ(::mkfifo(path("pipe").c_str(), 0600), 0);
  write_file(path("a.cpp"), "a");
  write_file(path("b.cpp"), "b");
  for (const std::string& insert : {std::string("/dev/zero"), path("pipe")}) {
    SCOPED_TRACE(insert);
    write_file(settings_file(), "[prismet]\r\n後に挿入=" + insert + "\r\n");
    testing::RunningProgram run(program_, {path("a.cpp"), path("b.cpp")}, streams());
    EXPECT_EQ(run.finish(20), 1);
    EXPECT_EQ(err(), "prismet: " + path("a.cpp") + ": insert file " + insert + ": not a regular file\n" +
                         "prismet: " + path("b.cpp") + ": insert file " + insert + ": not a regular file\n");
    EXPECT_FALSE(fs::exists(path("a.htm")));
    EXPECT_FALSE(fs::exists(path("b.htm")));
    EXPECT_EQ(temporary_files(folder_), std::vector<std::string>{});
  }
}

}  // namespace
}  // namespace prismet

#include <windows.h>
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "common/bounded_copy.h"
#include "convert/conversion.h"
#include "settings/settings_file.h"
#include "tests/test_files.h"

namespace prismet {
namespace {

using testing::read_file;
using testing::scratch_path;
using testing::write_file;

TEST(BatchWin32, ReadOnlyAndHiddenOutputsStaySo) {
  Settings settings;
  set_default_settings(settings, "", "");
  Vocabulary vocabulary;
  set_builtin_vocabulary(vocabulary);
  const DWORD kept[] = {FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_HIDDEN,
                        FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN};
  int n = 0;
  for (DWORD attributes : kept) {
    const std::string name = "attr" + std::to_string(++n);
    write_file(scratch_path(name + ".cpp"), "a");
    write_file(scratch_path(name + ".htm"), "old");
    ASSERT_TRUE(SetFileAttributesA(scratch_path(name + ".htm").c_str(), attributes));
    convert_files({scratch_path(name + ".cpp")}, settings, vocabulary, nullptr);
    EXPECT_EQ(read_file(scratch_path(name + ".htm")), "<PRE>a</PRE>");
    EXPECT_EQ(GetFileAttributesA(scratch_path(name + ".htm").c_str()) &
                  (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN),
              attributes);
    SetFileAttributesA(scratch_path(name + ".htm").c_str(), FILE_ATTRIBUTE_NORMAL);
  }
  free_vocabulary(vocabulary);
}

// A locked output cannot be replaced: it stays as it was, a read-only and
// hidden one keeps its attributes, and the page written beside it is gone.
TEST(BatchWin32, ALockedOutputIsLeftAsItWas) {
  Settings settings;
  set_default_settings(settings, "", "");
  Vocabulary vocabulary;
  set_builtin_vocabulary(vocabulary);
  const std::string folder = scratch_path("locked");
  testing::make_folder(folder);
  const std::string output = folder + "\\locked.htm";
  write_file(folder + "\\locked.cpp", "a");
  write_file(output, "old");
  const DWORD attributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;
  ASSERT_TRUE(SetFileAttributesA(output.c_str(), attributes));
  HANDLE lock = CreateFileA(output.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  EXPECT_EQ(convert_files({folder + "\\locked.cpp"}, settings, vocabulary, nullptr), 1);
  CloseHandle(lock);
  EXPECT_EQ(read_file(output), "old");
  EXPECT_EQ(GetFileAttributesA(output.c_str()) & attributes, attributes);
  EXPECT_EQ(testing::count_entries(folder), 2);
  SetFileAttributesA(output.c_str(), FILE_ATTRIBUTE_NORMAL);
  free_vocabulary(vocabulary);
}

// A pipe (whose other end never writes) or a device named as a source is no
// file: it fails at once instead of being read, and no page is made.
TEST(BatchWin32, APipeOrDeviceNamedAsASourceIsNotRead) {
  Settings settings;
  set_default_settings(settings, "", "");
  Vocabulary vocabulary;
  set_builtin_vocabulary(vocabulary);
  // Pages in a folder of their own: the page could not be begun beside the
  // pipe, and the source's reading would never come.
  const std::string site = scratch_path("device-sources");
  testing::make_folder(site);
  copy_string_bounded(settings.output_folder, site.c_str());
  const std::string pipe = "\\\\.\\pipe\\prismet-source-" + std::to_string(GetCurrentProcessId());
  const HANDLE server = CreateNamedPipeA(pipe.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE | PIPE_WAIT, 1,
                                         4096, 4096, 0, nullptr);
  ASSERT_NE(server, INVALID_HANDLE_VALUE);
  std::atomic<int> status{-1};
  std::thread run([&] { status = convert_files({pipe}, settings, vocabulary, nullptr); });
  for (int waited = 0; waited < 2000 && status < 0; ++waited) Sleep(10);
  const bool ended = status >= 0;
  CloseHandle(server);  // ends a read still waiting
  run.join();
  EXPECT_TRUE(ended) << "the pipe was read";
  EXPECT_EQ(status, 1);
  EXPECT_EQ(convert_files({"NUL"}, settings, vocabulary, nullptr), 1);
  EXPECT_EQ(testing::count_entries(site), 0);
  free_vocabulary(vocabulary);
}

}  // namespace
}  // namespace prismet

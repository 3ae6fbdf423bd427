// What only Windows trees hold: double-byte names whose second byte is a
// backslash, extensions in any case, the hidden attribute.
#include <windows.h>
#include <gtest/gtest.h>
#include <psapi.h>
#include <winioctl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/tree_conversion.h"
#include "common/bounded_copy.h"
#include "common/file_system.h"
#include "settings/settings_file.h"
#include "tests/test_files.h"

namespace prismet {
namespace {

using testing::read_file;
using testing::scratch_path;
using testing::write_file;

class Summary : public FileProgress {
 public:
  void file_started(int, int, const char*) override {}
  void file_failed(int, const char* path, const FileFailure& failure) override {
    ADD_FAILURE() << describe_failure(path, failure);
  }
  void tree_finished(const TreeSummary& told) override { summary = told; }
  TreeSummary summary;
};

TEST(TreeConversionWin32, DoubleByteNamesCaseAndHiddenFiles) {
  Settings settings;
  set_default_settings(settings, "", "");
  settings.style.whole = {"<W>", "</W>"};
  settings.encoding = SourceEncoding::kUtf8;
  Vocabulary vocabulary;
  set_builtin_vocabulary(vocabulary);
  const std::string root = scratch_path("win32-tree");
  const std::string folder = root + "\\\x95\x5C";  // a folder whose name ends in 0x5C
  testing::make_folder(root);
  // Made by the system's own call: the name is in the ANSI code page.
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
  write_file(folder + "\\\x83\x5C.CPP", "x");
  write_file(folder + "\\hidden.cpp", "h");
  ASSERT_TRUE(SetFileAttributesA((folder + "\\hidden.cpp").c_str(), FILE_ATTRIBUTE_HIDDEN));
  const std::string site = root + "\\site\\out";
  copy_string_bounded(settings.output_folder, site.c_str());
  Summary summary;
  EXPECT_EQ(convert_files({root}, settings, vocabulary, &summary), 0);
  EXPECT_EQ(summary.summary.converted, 1u);
  EXPECT_EQ(read_file(site + "\\\x95\x5C\\\x83\x5C.CPP.htm"), "<W>x</W>");
  EXPECT_FALSE(path_exists((site + "\\\x95\x5C\\hidden.cpp.htm").c_str()));
  // Links are the names' UTF-8, escaped; the text is UTF-8 too.
  EXPECT_NE(read_file(site + "\\index.html").find("<a href=\"%E8%A1%A8/index.html\">\xE8\xA1\xA8/</a>"),
            std::string::npos);
  EXPECT_NE(
      read_file(site + "\\\x95\x5C\\index.html").find("<a href=\"%E3%82%BD.CPP.htm\">\xE3\x82\xBD.CPP</a>"),
      std::string::npos);
  free_vocabulary(vocabulary);
}

// Tells each failure in a line of its own.
class Failures : public FileProgress {
 public:
  void file_started(int, int, const char*) override {}
  void file_failed(int, const char* path, const FileFailure& failure) override {
    lines.push_back(describe_failure(path, failure));
  }
  void tree_finished(const TreeSummary&) override {}
  std::vector<std::string> lines;
};

// The process's working set now and at its peak so far.
PROCESS_MEMORY_COUNTERS memory_counters() {
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  // Asked of kernel32 by name: the import library of psapi is not linked.
  using Query = BOOL(WINAPI*)(HANDLE, PROCESS_MEMORY_COUNTERS*, DWORD);
  const auto query = reinterpret_cast<Query>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "K32GetProcessMemoryInfo")));
  if (query != nullptr) query(GetCurrentProcess(), &counters, sizeof counters);
  return counters;
}

// An index.html of someone else's larger than a 32-bit process could ever
// hold (600 MB in a 64-bit one; the file's end set far out, so it takes no
// room where the file system allows that): told to be in the way from its
// first bytes, left as it is, and the process's working set does not grow
// by anything like its size.
TEST(TreeConversionWin32, AHugeForeignIndexIsNotReadIntoMemory) {
  Settings settings;
  set_default_settings(settings, "", "");
  Vocabulary vocabulary;
  set_builtin_vocabulary(vocabulary);
  const std::string root = scratch_path("win32-huge-index");
  testing::make_folder(root);
  write_file(root + "\\a.cpp", "a");
  const std::string index = root + "\\index.html";
  write_file(index, "<html>not a site's\n");
  const HANDLE file = CreateFileA(index.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD returned = 0;
  DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);
  LARGE_INTEGER end;
  const long long size = (sizeof(void*) == 4 ? 2300ll : 600ll) << 20;
  end.QuadPart = size;
  const bool grown = SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
  CloseHandle(file);
  ASSERT_TRUE(grown);
  Failures failures;
  const PROCESS_MEMORY_COUNTERS before = memory_counters();
  EXPECT_EQ(convert_files({root}, settings, vocabulary, &failures), 1);
  const PROCESS_MEMORY_COUNTERS after = memory_counters();
  EXPECT_LE(after.PeakWorkingSetSize,
            std::max<SIZE_T>(before.PeakWorkingSetSize, before.WorkingSetSize + (200u << 20)));
  ASSERT_EQ(failures.lines.size(), 1u);
  EXPECT_NE(failures.lines[0].find("a file of that name that this program did not make is in the way"),
            std::string::npos);
  WIN32_FILE_ATTRIBUTE_DATA data;
  ASSERT_TRUE(GetFileAttributesExA(index.c_str(), GetFileExInfoStandard, &data));
  EXPECT_EQ((static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow, size);
  EXPECT_EQ(read_file(root + "\\a.cpp.htm").empty(), false);
  DeleteFileA(index.c_str());
  free_vocabulary(vocabulary);
}

}  // namespace
}  // namespace prismet

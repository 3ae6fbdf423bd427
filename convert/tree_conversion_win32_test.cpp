// What only Windows trees hold: double-byte names whose second byte is a
// backslash, extensions in any case, the hidden attribute, symbolic links
// and junctions.
#include <windows.h>
#include <gtest/gtest.h>
#include <psapi.h>
#include <winioctl.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "common/bounded_copy.h"
#include "common/file_system.h"
#include "convert/conversion.h"
#include "convert/tree_walk.h"
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

class Failures : public FileProgress {
 public:
  void file_started(int, int, const char*) override {}
  void file_failed(int, const char* path, const FileFailure& failure) override {
    lines.push_back(describe_failure(path, failure));
  }
  std::vector<std::string> lines;
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

// Names compare without case: a named file's page that is the output
// folder's index in other letters is refused, and the index stays an index.
TEST(TreeConversionWin32, APageInOtherLettersIsNoIndex) {
  Settings settings;
  set_default_settings(settings, "", "");
  settings.style.whole = {"<W>", "</W>"};
  copy_string_bounded(settings.extension, ".HTML");
  Vocabulary vocabulary;
  set_builtin_vocabulary(vocabulary);
  const std::string root = scratch_path("win32-index-name");
  testing::make_folder(root);
  write_file(root + "\\Index.cpp", "i");
  write_file(root + "\\other.cpp", "o");
  const std::string site = root + "\\site";
  copy_string_bounded(settings.output_folder, site.c_str());
  Failures failures;
  EXPECT_EQ(convert_files({root + "\\Index.cpp", root + "\\other.cpp"}, settings, vocabulary, &failures), 1);
  EXPECT_EQ(failures.lines, std::vector<std::string>{root + "\\Index.cpp: page " + site +
                                                     "\\Index.HTML: that name is the output folder's index"});
  EXPECT_NE(read_file(site + "\\index.html").find("<a href=\"other.HTML\">other.cpp</a>"), std::string::npos);
  free_vocabulary(vocabulary);
}

using CreateSymbolicLinkWFunction = BOOLEAN(WINAPI*)(LPCWSTR, LPCWSTR, DWORD);

std::wstring wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

// A symbolic link to a file, where the system lets this user make one
// (unprivileged where developer mode allows it); false, with what the system
// said, when none was made.
bool make_file_link(const std::string& link, const std::string& target, std::string& said) {
  const auto create = reinterpret_cast<CreateSymbolicLinkWFunction>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "CreateSymbolicLinkW")));
  if (create == nullptr) {
    said = "kernel32 has no CreateSymbolicLinkW";
    return false;
  }
  const BOOLEAN made = create(wide(link).c_str(), wide(target).c_str(), 0x2);
  const DWORD error = GetLastError();
  const DWORD attributes = GetFileAttributesA(link.c_str());
  if (made && attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
    return true;
  said = "CreateSymbolicLinkW returned " + std::to_string(made) + ", error " + std::to_string(error) +
         (attributes == INVALID_FILE_ATTRIBUTES ? ", and no file of that name exists"
                                                : ", and the name is no reparse point");
  return false;
}

// A junction (a mount point reparse point) at the empty folder `link`, to
// the folder `target` (a full path).
bool make_junction(const std::string& link, const std::string& target, std::string& said) {
  if (!CreateDirectoryA(link.c_str(), nullptr)) {
    said = "CreateDirectoryA failed with error " + std::to_string(GetLastError());
    return false;
  }
  const HANDLE folder = CreateFileA(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (folder == INVALID_HANDLE_VALUE) {
    said = "the folder could not be opened: error " + std::to_string(GetLastError());
    return false;
  }
  const std::wstring substitute = L"\\??\\" + wide(target);
  const std::wstring print = wide(target);
  // The mount point layout: tag, length, reserved; then the offsets and
  // lengths of both names, and the names, each ending in a NUL.
  std::vector<unsigned char> buffer(8 + 8 + (substitute.size() + print.size() + 2) * 2);
  const auto put16 = [&](std::size_t at, std::size_t value) {
    buffer[at] = static_cast<unsigned char>(value);
    buffer[at + 1] = static_cast<unsigned char>(value >> 8);
  };
  const DWORD tag = IO_REPARSE_TAG_MOUNT_POINT;
  std::memcpy(buffer.data(), &tag, 4);
  put16(4, buffer.size() - 8);
  put16(8, 0);
  put16(10, substitute.size() * 2);
  put16(12, (substitute.size() + 1) * 2);
  put16(14, print.size() * 2);
  std::memcpy(buffer.data() + 16, substitute.c_str(), (substitute.size() + 1) * 2);
  std::memcpy(buffer.data() + 16 + (substitute.size() + 1) * 2, print.c_str(), (print.size() + 1) * 2);
  DWORD returned = 0;
  const BOOL set = DeviceIoControl(folder, FSCTL_SET_REPARSE_POINT, buffer.data(),
                                   static_cast<DWORD>(buffer.size()), nullptr, 0, &returned, nullptr);
  const DWORD error = GetLastError();
  CloseHandle(folder);
  const DWORD attributes = GetFileAttributesA(link.c_str());
  if (set && attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
    return true;
  said = "FSCTL_SET_REPARSE_POINT returned " + std::to_string(set) + ", error " + std::to_string(error);
  return false;
}

class TreeLinksWin32 : public ::testing::Test {
 protected:
  void SetUp() override {
    set_default_settings(settings_, "", "");
    settings_.style.whole = {"<W>", "</W>"};
    set_builtin_vocabulary(vocabulary_);
    root_ = scratch_path(::testing::UnitTest::GetInstance()->current_test_info()->name());
    tree_ = root_ + "\\src";
    site_ = root_ + "\\site";
    outside_ = root_ + "\\outside";
    for (const std::string& folder : {root_, tree_, site_, outside_}) testing::make_folder(folder);
    write_file(tree_ + "\\a.cpp", "a");
    write_file(outside_ + "\\victim", "keep");
    copy_string_bounded(settings_.output_folder, site_.c_str());
  }
  void TearDown() override { free_vocabulary(vocabulary_); }
  int convert(const std::vector<std::string>& paths) {
    failures_ = Failures();
    return convert_files(paths, settings_, vocabulary_, &failures_);
  }

  Settings settings_;
  Vocabulary vocabulary_;
  Failures failures_;
  std::string root_, tree_, site_, outside_;
};

// A page or an index in the output folder whose name is a symbolic link is
// refused: the file it leads to keeps its bytes.
TEST_F(TreeLinksWin32, NoPageOrIndexIsWrittenThroughASymbolicLink) {
  std::string said;
  if (!make_file_link(site_ + "\\a.cpp.htm", outside_ + "\\victim", said)) GTEST_SKIP() << said;
  EXPECT_EQ(convert({tree_}), 1);
  EXPECT_EQ(failures_.lines, std::vector<std::string>{tree_ + "\\a.cpp: page " + site_ +
                                                      "\\a.cpp.htm: the page's name is a symbolic link"});
  EXPECT_EQ(read_file(outside_ + "\\victim"), "keep");
  ASSERT_TRUE(DeleteFileA((site_ + "\\a.cpp.htm").c_str()));
  ASSERT_TRUE(DeleteFileA((site_ + "\\index.html").c_str()));
  ASSERT_TRUE(make_file_link(site_ + "\\index.html", outside_ + "\\victim", said)) << said;
  EXPECT_EQ(convert({tree_}), 1);
  EXPECT_EQ(failures_.lines, std::vector<std::string>{tree_ + ": page " + site_ +
                                                      "\\index.html: the index's name is a symbolic link"});
  EXPECT_EQ(read_file(outside_ + "\\victim"), "keep");
}

// A junction where a page or an index goes is refused as a link is.
TEST_F(TreeLinksWin32, NoPageOrIndexIsWrittenThroughAJunction) {
  std::string said;
  char full[MAX_PATH];
  ASSERT_NE(GetFullPathNameA(outside_.c_str(), sizeof full, full, nullptr), 0u);
  if (!make_junction(site_ + "\\index.html", full, said)) GTEST_SKIP() << said;
  EXPECT_EQ(convert({tree_}), 1);
  EXPECT_EQ(failures_.lines, std::vector<std::string>{tree_ + ": page " + site_ +
                                                      "\\index.html: the index's name is a symbolic link"});
  EXPECT_FALSE(path_exists((outside_ + "\\index.html").c_str()));
  ASSERT_TRUE(DeleteFileA((site_ + "\\a.cpp.htm").c_str()));
  ASSERT_TRUE(make_junction(site_ + "\\a.cpp.htm", full, said)) << said;
  EXPECT_EQ(convert({tree_}), 1);
  ASSERT_EQ(failures_.lines.size(), 2u);
  EXPECT_EQ(failures_.lines[0],
            tree_ + "\\a.cpp: page " + site_ + "\\a.cpp.htm: the page's name is a symbolic link");
  EXPECT_EQ(read_file(outside_ + "\\victim"), "keep");
}

// The index of a folder with no sources left goes; while another program
// holds it open without sharing its deletion, it stays and that is told,
// and the next run deletes it.
TEST(TreeConversionWin32, AnIndexHeldOpenIsToldAndDeletedLater) {
  Settings settings;
  set_default_settings(settings, "", "");
  Vocabulary vocabulary;
  set_builtin_vocabulary(vocabulary);
  const std::string root = scratch_path("win32-gone");
  const std::string sub = root + "\\sub";
  testing::make_folder(root);
  testing::make_folder(sub);
  write_file(root + "\\a.cpp", "a");
  write_file(sub + "\\b.cpp", "b");
  Failures failures;
  ASSERT_EQ(convert_files({root}, settings, vocabulary, &failures), 0);
  const std::string index = sub + "\\index.html";
  const std::string kept = read_file(index);
  ASSERT_NE(kept.find("b.cpp.htm"), std::string::npos);

  ASSERT_TRUE(DeleteFileA((sub + "\\b.cpp").c_str()));
  const HANDLE held = CreateFileA(index.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_EQ(convert_files({root}, settings, vocabulary, &failures), 1);
  CloseHandle(held);
  ASSERT_EQ(failures.lines.size(), 1u);
  EXPECT_NE(failures.lines[0].find("could not be deleted"), std::string::npos) << failures.lines[0];
  EXPECT_EQ(read_file(index), kept);
  EXPECT_EQ(read_file(root + "\\index.html").find("sub/"), std::string::npos);

  failures.lines.clear();
  EXPECT_EQ(convert_files({root}, settings, vocabulary, &failures), 0);
  EXPECT_TRUE(failures.lines.empty());
  EXPECT_FALSE(path_exists(index.c_str()));
  free_vocabulary(vocabulary);
}

// A page emptied since it was written, its time kept, is made again.
TEST(TreeConversionWin32, APageCutShortIsMadeAgain) {
  Settings settings;
  set_default_settings(settings, "", "");
  Vocabulary vocabulary;
  set_builtin_vocabulary(vocabulary);
  const std::string root = scratch_path("win32-cut");
  testing::make_folder(root);
  write_file(root + "\\a.cpp", "int a;");
  const std::string site = root + "\\site";
  copy_string_bounded(settings.output_folder, site.c_str());
  Failures failures;
  ASSERT_EQ(convert_files({root}, settings, vocabulary, &failures), 0);
  const std::string page = read_file(site + "\\a.cpp.htm");
  // Emptied through the system's own call, its times left as they were.
  const HANDLE file = CreateFileA((site + "\\a.cpp.htm").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  FILETIME written;
  ASSERT_TRUE(GetFileTime(file, nullptr, nullptr, &written));
  ASSERT_TRUE(SetEndOfFile(file));
  ASSERT_TRUE(SetFileTime(file, nullptr, nullptr, &written));
  CloseHandle(file);
  ASSERT_EQ(convert_files({root}, settings, vocabulary, &failures), 0);
  EXPECT_EQ(read_file(site + "\\a.cpp.htm"), page);
  EXPECT_TRUE(failures.lines.empty());
  free_vocabulary(vocabulary);
}

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

// What only Windows trees hold: double-byte names whose second byte is a
// backslash, extensions in any case, the hidden attribute.
#include <windows.h>
#include <gtest/gtest.h>

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

class Failures : public FileProgress {
 public:
  void file_started(int, int, const char*) override {}
  void file_failed(int, const char* path, const FileFailure& failure) override {
    told.push_back(describe_failure(path, failure));
  }
  std::vector<std::string> told;
};

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
  ASSERT_EQ(failures.told.size(), 1u);
  EXPECT_NE(failures.told[0].find("could not be deleted"), std::string::npos) << failures.told[0];
  EXPECT_EQ(read_file(index), kept);
  EXPECT_EQ(read_file(root + "\\index.html").find("sub/"), std::string::npos);

  failures.told.clear();
  EXPECT_EQ(convert_files({root}, settings, vocabulary, &failures), 0);
  EXPECT_TRUE(failures.told.empty());
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
  EXPECT_TRUE(failures.told.empty());
  free_vocabulary(vocabulary);
}

}  // namespace
}  // namespace prismet

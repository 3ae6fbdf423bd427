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

}  // namespace
}  // namespace prismet

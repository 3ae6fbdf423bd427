#include "ui/file_list.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/fixed_text.h"
#include "tests/dialog_driver_win32.h"
#include "tests/test_files.h"

namespace prismet {
namespace {

using Entries = std::vector<std::string>;

class FileList : public ::testing::Test {
 protected:
  void SetUp() override {
    static int counter = 0;
    folder_ = testing::scratch_path("files" + std::to_string(++counter));
    testing::make_folder(folder_ + "\\sub folder");
    testing::write_file(file_, "x");
    testing::write_file(folder_ + "\\b.cpp", "b");
  }
  // An upper-case spelling of the same path.
  static std::string upper(std::string text) {
    for (char& c : text)
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
  }
  static std::string canonical(const std::string& path) {
    char result[kPathCapacity];
    return canonical_path(path.c_str(), result, sizeof result) ? std::string(result) : "(failed)";
  }

  std::string folder_;
  std::string file_ = testing::scratch_path("long file name.cpp");
  testing::ScopedWindow list_ = testing::make_window("LISTBOX", LBS_SORT | LBS_HASSTRINGS, 0, 0, 200, 100);
};

TEST_F(FileList, CanonicalPathGivesTheShellsSpellingOrFailsEmpty) {
  EXPECT_EQ(canonical(file_), file_);
  char short_form[kPathCapacity] = {};
  if (GetShortPathNameA(file_.c_str(), short_form, sizeof short_form) > 0 && file_ != short_form) {
    EXPECT_EQ(canonical(short_form), file_) << short_form;
  }

  char result[kPathCapacity];
  std::memset(result, 'Z', sizeof result);
  EXPECT_FALSE(canonical_path("Q:\\nothing\\here\\at all.cpp", result, sizeof result));
  EXPECT_STREQ(result, "");
  // A result that does not fit is refused rather than written past the end.
  std::memset(result, 'Z', sizeof result);
  EXPECT_FALSE(canonical_path(file_.c_str(), result, 8));
  EXPECT_STREQ(result, "");
  EXPECT_EQ(result[8], 'Z');
  // A path too long for the shell fails instead of arriving cut.
  EXPECT_EQ(canonical(folder_ + "\\" + std::string(300, 'a')), "(failed)");
}

TEST_F(FileList, AddsExistingFilesOnceWhateverTheirCase) {
  struct Case {
    std::string path;
    bool added;
  } const cases[] = {
      {file_, true},
      {upper(file_), false},  // the list box compares without regard to case
      {file_, false},
      {folder_ + "\\sub folder", false},
      {folder_ + "\\missing.cpp", false},
      {folder_ + "\\b.cpp", true},
  };
  for (const Case& c : cases) EXPECT_EQ(add_file_to_list(list_, c.path.c_str()), c.added) << c.path;
  EXPECT_EQ(list_box_entries(list_), (Entries{folder_ + "\\b.cpp", file_}));
}

}  // namespace
}  // namespace prismet

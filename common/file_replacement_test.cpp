#include "common/file_replacement.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/file_system.h"
#include "common/path_text.h"
#include "tests/small_disk.h"
#include "tests/test_files.h"

namespace prismet {
namespace {

using testing::count_entries;
using testing::make_folder;
using testing::read_file;
using testing::scratch_path;
using testing::write_file;

const std::string kSep(1, kPathSeparator);

// Writes `bytes` through a replacement of `target`; commits when asked.
bool replace(const std::string& target, const std::string& bytes, bool commit = true,
             FileReplacement::Options options = {}) {
  FileReplacement replacement;
  if (!replacement.begin(target.c_str(), options)) return false;
  std::fwrite(bytes.data(), 1, bytes.size(), replacement.stream());
  return !commit || replacement.commit();
}

TEST(FileReplacement, ReplacesWholeOrNotAtAllAndLeavesNoTemporaryFile) {
  const std::string folder = scratch_path("replacement");
  make_folder(folder);
  const std::string file = folder + kSep + "page.htm";
  struct Case {
    const char* name;
    const char* before;  // null: no file yet
    std::string bytes;
    bool commit;
    const char* after;
  } const cases[] = {
      {"a new file", nullptr, "new", true, "new"},
      {"a longer file made shorter", "an older and longer page", "short", true, "short"},
      {"a file emptied", "old", "", true, ""},
      {"a big file", "old", std::string(3 << 20, 'b'), true, nullptr},
      {"given up before the commit", "kept", "lost", false, "kept"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    delete_file(file.c_str());
    if (c.before != nullptr) write_file(file, c.before);
    EXPECT_TRUE(replace(file, c.bytes, c.commit));
    EXPECT_TRUE(read_file(file) == (c.after != nullptr ? std::string(c.after) : c.bytes));
    EXPECT_EQ(count_entries(folder), 1) << "a temporary file was left behind";
  }
}

TEST(FileReplacement, RefusesFoldersMissingFoldersAndReadOnlyFilesWhenAsked) {
  const std::string folder = scratch_path("replacement-refused");
  make_folder(folder);
  EXPECT_FALSE(replace(folder, "x"));
  EXPECT_FALSE(replace(folder + kSep + "missing" + kSep + "page.htm", "x"));
  EXPECT_FALSE(replace("", "x"));
  EXPECT_FALSE(replace_file_contents("", "x"));
  EXPECT_EQ(count_entries(folder), 0);

  FileReplacement refused;
  EXPECT_FALSE(refused.begin(folder.c_str(), {}));
  EXPECT_NE(refused.error(), 0);
  EXPECT_EQ(refused.stream(), nullptr);
  EXPECT_FALSE(refused.commit());
}

// The settings file's replacement: complete contents, durable, refusing a
// file that is read-only (see the platform tests for that case).
TEST(FileReplacement, ReplaceFileContents) {
  const std::string file = scratch_path("contents.ini");
  write_file(file, "old");
  EXPECT_TRUE(replace_file_contents(file.c_str(), "[a]\r\nk=1\r\n"));
  EXPECT_EQ(read_file(file), "[a]\r\nk=1\r\n");
}

// On a file system that is nearly full, a new version larger than the free
// space fails while it is written: the old file stays byte for byte, also
// when it is large, and the half-written temporary file is gone.
TEST(FileReplacement, AFullDiskLeavesTheOldFileAsItWas) {
  const std::string folder = testing::small_disk_folder("replacement");
  if (folder.empty()) GTEST_SKIP() << "no small file system (PRISMET_SMALL_DISK) in this run";
  const std::string file = folder + kSep + "source.cpp";
  const std::uint64_t free = testing::free_bytes(folder);
  ASSERT_GT(free, 16u * 1024);
  const std::string old_bytes(static_cast<std::size_t>(free * 2 / 3), 'o');
  write_file(file, old_bytes);
  FileReplacement replacement;
  ASSERT_TRUE(replacement.begin(file.c_str(), {}));
  const std::string page(old_bytes.size() + 4096, 'p');  // more than what is left
  std::fwrite(page.data(), 1, page.size(), replacement.stream());
  EXPECT_FALSE(replacement.commit());
  EXPECT_NE(replacement.error(), 0);
  EXPECT_TRUE(read_file(file) == old_bytes);
  EXPECT_EQ(count_entries(folder), 1);
  delete_file(file.c_str());
}

}  // namespace
}  // namespace prismet

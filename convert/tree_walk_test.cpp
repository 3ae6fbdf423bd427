#include "convert/tree_walk.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/file_system.h"
#include "convert/site_folder.h"
#include "convert/site_index.h"
#include "tests/test_files.h"

namespace prismet {
namespace {

using testing::make_folder;
using testing::scratch_path;
using testing::write_file;

using Names = std::vector<std::string>;

// A folder's sources in the order of their names' bytes; other extensions
// and, beside their sources, pages left out.
TEST(TreeWalk, SourcesAndSubfoldersInOrder) {
  const std::string root = scratch_path("walk");
  make_folder(root);
  for (const char* name : {"b.h", "a.cpp", "B.cpp", "notes.txt", "a.cpp.htm", "old.h.htm"})
    write_file(root + "/" + name, "x");
  for (const char* name : {"sub", "Zeta"}) make_folder(root + "/" + name);
  const SourceExtensions extensions(".cpp .h .htm");

  const struct {
    bool beside;
    bool recorded_old_page;
    Names files;
  } cases[] = {
      {false, false, {"B.cpp", "a.cpp", "a.cpp.htm", "b.h", "old.h.htm"}},
      {true, false, {"B.cpp", "a.cpp", "b.h", "old.h.htm"}},
      {true, true, {"B.cpp", "a.cpp", "b.h"}},
  };
  for (const auto& c : cases) {
    SiteFolder folder;
    folder.source_path = root;
    folder.output_path = c.beside ? root : scratch_path("walk-out");
    folder.beside = c.beside;
    if (c.recorded_old_page) folder.previous.records["old.h.htm"] = PageRecord();
    const WalkRules rules{extensions, ".htm", nullptr};
    int error = 0;
    ASSERT_TRUE(list_folder_sources(folder, rules, error));
    EXPECT_EQ(folder.files, c.files) << c.beside << c.recorded_old_page;
    EXPECT_EQ(folder.subfolders, (Names{"Zeta", "sub"}));
  }
}

TEST(TreeWalk, TheOutputFolderInsideTheTreeIsNotWalked) {
  const std::string root = scratch_path("walk-with-output");
  make_folder(root);
  make_folder(root + "/site");
  make_folder(root + "/src");
  FileStamp output;
  ASSERT_TRUE(file_stamp((root + "/site").c_str(), output));
  const SourceExtensions extensions(".cpp");
  SiteFolder folder;
  folder.source_path = root;
  folder.output_path = root + "/site";
  const WalkRules rules{extensions, ".htm", &output};
  int error = 0;
  ASSERT_TRUE(list_folder_sources(folder, rules, error));
  EXPECT_EQ(folder.subfolders, (Names{"src"}));

  SiteFolder missing;
  missing.source_path = root + "/none";
  EXPECT_FALSE(list_folder_sources(missing, rules, error));
  EXPECT_NE(error, 0);
}

}  // namespace
}  // namespace prismet

#include "common/file_system.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/test_files.h"

namespace prismet {
namespace {

using testing::make_folder;
using testing::scratch_path;
using testing::write_file;

// Stamps asked for by name in a held folder, and by path where nothing
// could be held, agree with the files: their sizes, and none for a missing
// entry or a folder that is not there.
TEST(OpenFolder, StampsByNameAsByPath) {
  const std::string folder = scratch_path("open-folder");
  make_folder(folder);
  write_file(folder + "/a.cpp", "abc");
  write_file(folder + "/b c.h", "");
  make_folder(folder + "/sub");
  write_file(folder + "/sub/d.h", "12345");
  const struct {
    const char* name;
    bool found;
    std::uint64_t size;
  } cases[] = {{"a.cpp", true, 3}, {"b c.h", true, 0}, {"none", false, 0}};
  OpenFolder held;
  held.open(folder.c_str());
  OpenFolder missing;
  EXPECT_FALSE(missing.open((folder + "/no-such-folder").c_str()));
  EXPECT_FALSE(missing.held());
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = folder + "/" + c.name;
    for (const OpenFolder* open : {&held, &missing}) {
      FileStamp stamp;
      ASSERT_EQ(open->stamp(c.name, path.c_str(), stamp), c.found);
      if (!c.found) continue;
      EXPECT_EQ(stamp.size, c.size);
      FileStamp by_path;
      ASSERT_TRUE(file_stamp(path.c_str(), by_path));
      EXPECT_EQ(stamp, by_path);
    }
  }
  // Held again for another folder, it looks in that one.
  held.open((folder + "/sub").c_str());
  FileStamp stamp;
  ASSERT_TRUE(held.stamp("d.h", (folder + "/sub/d.h").c_str(), stamp));
  EXPECT_EQ(stamp.size, 5u);
  held.close();
  EXPECT_FALSE(held.held());
}

}  // namespace
}  // namespace prismet

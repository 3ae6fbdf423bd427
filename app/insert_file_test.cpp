#include "app/insert_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "common/text_stream.h"
#include "tests/test_files.h"

namespace prismet {
namespace {

using testing::read_file;
using testing::scratch_path;
using testing::write_file;

// What one append_to writes.
std::string appended(InsertFile& file) {
  const std::string page = scratch_path("insert-page");
  TextWriter output;
  EXPECT_TRUE(output.open(page.c_str()));
  EXPECT_TRUE(file.append_to(output));
  EXPECT_TRUE(output.close());
  return read_file(page);
}

// A file edited, made or removed between two pages: followed page by page,
// and held as first read once kept for a run, except a file too big to keep,
// which is read afresh for every page either way.
TEST(InsertFile, FollowsChangesUnlessKeptForARun) {
  const std::string big_old(InsertFile::kMaxKeptBytes + 1, 'o');
  const std::string big_new(InsertFile::kMaxKeptBytes + 1, 'n');
  struct Case {
    const char* name;
    const char* before;  // nullptr: no file
    const char* after;   // nullptr: removed
    bool kept_for_run;
    const char* first;
    const char* second;
  };
  const Case cases[] = {
      {"edited", "HEAD", "OTHER", false, "HEAD", "OTHER"},
      {"edited, kept", "HEAD", "OTHER", true, "HEAD", "HEAD"},
      {"made", nullptr, "NEW", false, "", "NEW"},
      {"made, kept", nullptr, "NEW", true, "", ""},
      {"removed", "HEAD", nullptr, false, "HEAD", ""},
      {"removed, kept", "HEAD", nullptr, true, "HEAD", "HEAD"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = scratch_path("insert-file");
    std::remove(path.c_str());
    if (c.before != nullptr) write_file(path, c.before);
    InsertFile file(path.c_str());
    if (c.kept_for_run) file.keep_for_run();
    EXPECT_EQ(appended(file), c.first);
    if (c.after != nullptr) {
      write_file(path, c.after);
    } else {
      std::remove(path.c_str());
    }
    EXPECT_EQ(appended(file), c.second);
  }
  for (const bool kept : {false, true}) {
    SCOPED_TRACE(kept ? "big, kept" : "big");
    const std::string path = scratch_path("insert-file-big");
    write_file(path, big_old);
    InsertFile file(path.c_str());
    if (kept) file.keep_for_run();
    EXPECT_TRUE(appended(file) == big_old);
    write_file(path, big_new);
    EXPECT_TRUE(appended(file) == big_new);
  }
}

}  // namespace
}  // namespace prismet

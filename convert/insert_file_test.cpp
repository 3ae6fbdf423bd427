#include "convert/insert_file.h"

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
std::string appended(InsertFile& file, const PageVariables* variables = nullptr) {
  const std::string page = scratch_path("insert-page");
  TextWriter output;
  EXPECT_TRUE(output.open(page.c_str()));
  EXPECT_TRUE(file.append_to(output, variables));
  EXPECT_TRUE(output.close());
  return read_file(page);
}

// `text` with every "{{source}}" replaced by `value`, the way a reader would
// do it by hand, and each line end written as CR LF, as a page gets it.
std::string replaced(const std::string& text, const std::string& value) {
  const std::string placeholder = "{{source}}";
  std::string page;
  for (std::size_t at = 0; at < text.size();) {
    if (text.compare(at, placeholder.size(), placeholder) == 0) {
      page += value;
      at += placeholder.size();
    } else {
      if (text[at] == '\n') page += '\r';
      page += text[at++];
    }
  }
  return page;
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

// Insert files with variables around the size kept in memory: placeholders
// everywhere (so some straddle the pieces a big file is read in, with and
// without line ends), and the file ending in a lone '{', a "{{" or a cut
// placeholder, which come out as they are. The same on the first page and,
// from memory or read afresh, on the next.
TEST(InsertFile, VariablesInFilesOfAnySizeEndingInABrace) {
  const PageVariables variables = {{"{{source}}", "a&amp;b.cpp"}};
  std::string body;
  for (std::size_t i = 0; body.size() < InsertFile::kMaxKeptBytes + 4096; ++i) {
    body += std::string(i % 23, 'x') + "{{source}}" + (i % 3 == 0 ? "\n" : "{");
  }
  const struct {
    const char* name;
    std::size_t size;  // of the body before its end
    const char* end;
  } cases[] = {
      {"small", 100, "{"},
      {"kept size", InsertFile::kMaxKeptBytes - 1, "{"},
      {"one over", InsertFile::kMaxKeptBytes, "{"},
      {"big", InsertFile::kMaxKeptBytes + 4000, "{"},
      {"big, two braces", InsertFile::kMaxKeptBytes + 4000, "{{"},
      {"big, cut placeholder", InsertFile::kMaxKeptBytes + 4000, "{{sourc"},
      {"big, placeholder last", InsertFile::kMaxKeptBytes + 4000, "{{source}}"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string text = body.substr(0, c.size) + c.end;
    const std::string path = scratch_path("insert-file-variables");
    write_file(path, text);
    const std::string expected = replaced(text, "a&amp;b.cpp");
    for (const bool kept : {false, true}) {
      InsertFile file(path.c_str());
      if (kept) file.keep_for_run();
      for (int page = 0; page < 2; ++page) {
        const std::string got = appended(file, &variables);
        EXPECT_EQ(got.size(), expected.size()) << "page " << page;
        EXPECT_TRUE(got == expected) << "page " << page;
      }
    }
  }
}

}  // namespace
}  // namespace prismet

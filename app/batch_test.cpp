#include "app/batch.h"

#include <gtest/gtest.h>

#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "common/file_system.h"
#include "common/path_text.h"
#include "settings/settings_file.h"
#include "tests/test_files.h"

namespace prismet {
namespace {

using testing::read_file;
using testing::scratch_path;
using testing::write_file;

const std::string kPathSeparatorText(1, kPathSeparator);

class BatchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    set_default_settings(settings_, "", "");
    settings_.style.whole = {"<W>", "</W>"};
    set_builtin_vocabulary(vocabulary_);
    module_path_with_extension(temp_path_, sizeof temp_path_, ".tmp");
  }
  void TearDown() override {
    free_vocabulary(vocabulary_);
    EXPECT_FALSE(path_exists(temp_path_)) << "the temporary file was left behind";
  }

  void convert(const std::vector<std::string>& files) { convert_files(files, settings_, vocabulary_, nullptr); }

  Settings settings_;
  Vocabulary vocabulary_;
  char temp_path_[kPathCapacity] = "";
};

TEST_F(BatchTest, WritesThePageBesideTheSourceBetweenTheInsertFiles) {
  const std::string source = scratch_path("main.cpp");
  write_file(source, "int x;\r\n");
  write_file(scratch_path("top.html"), "<html>\n<body>\r\n\x1A ignored");
  write_file(scratch_path("bottom.html"), "</body>\n");
  copy_cut(settings_.style.insert_before, scratch_path("top.html"));
  copy_cut(settings_.style.insert_after, scratch_path("bottom.html"));
  convert({source});
  EXPECT_EQ(read_file(scratch_path("main.htm")),
            "<html>\r\n<body>\r\n<W><FONT COLOR=\"#0000FF\">int</FONT> x;\r\n</W></body>\r\n");
  EXPECT_EQ(read_file(source), "int x;\r\n");
}

TEST_F(BatchTest, MissingInsertFilesAreLeftOut) {
  const std::string source = scratch_path("plain.cpp");
  write_file(source, "a\nb");
  copy_cut(settings_.style.insert_before, scratch_path("no-top"));
  copy_cut(settings_.style.insert_after, scratch_path("no-bottom"));
  convert({source});
  EXPECT_EQ(read_file(scratch_path("plain.htm")), "<W>a\r\nb</W>");
}

TEST_F(BatchTest, OutputNamesFollowTheExtensionSetting) {
  struct Case {
    const char* input;
    const char* extension;
    const char* output;
  } const cases[] = {
      {"list.tar.gz", ".htm", "list.tar.htm"},
      {"Makefile", ".htm", "Makefile.htm"},
      {"main2.cpp", "", "main2"},
      {"main3.cpp", "htm", "main3htm"},
      {"page.cpp", ".html", "page.html"},
      {"src.d/Makefile", ".htm", "src.d/Makefile.htm"},  // '/' separates on Windows too
  };
  testing::make_folder(scratch_path("src.d"));
  for (const Case& c : cases) {
    write_file(scratch_path(c.input), "x");
    copy_cut(settings_.extension, c.extension);
    convert({scratch_path(c.input)});
    EXPECT_EQ(read_file(scratch_path(c.output)), "<W>x</W>") << c.input;
  }
}

TEST_F(BatchTest, OutputEqualToInputIsConvertedOnceEachTimeItIsNamed) {
  const std::string page = scratch_path("page.htm");
  write_file(page, "a<b");
  convert({page});
  EXPECT_EQ(read_file(page), "<W>a&lt;b</W>");
  convert({page, page});  // named twice: the second pass converts the first's result
  EXPECT_EQ(read_file(page), "<W>&lt;W&gt;&amp;lt;W&amp;gt;a&amp;amp;lt;b&amp;lt;/W&amp;gt;&lt;/W&gt;</W>");
}

// The temporary file beside the program named as the source, or reached as
// the output through the extension setting: nothing may be lost.
TEST_F(BatchTest, TheTemporaryFileAsSourceOrOutputLosesNothing) {
  char page[kPathCapacity];
  ASSERT_TRUE(module_path_with_extension(page, sizeof page, ".htm"));
  delete_file(page);
  write_file(temp_path_, "int x;");
  convert({temp_path_});
  EXPECT_EQ(read_file(temp_path_), "int x;") << "the source was emptied";
  EXPECT_FALSE(path_exists(page));
  delete_file(temp_path_);

  char source[kPathCapacity];
  ASSERT_TRUE(module_path_with_extension(source, sizeof source, ".cpp"));
  write_file(source, "a<b");
  copy_cut(settings_.extension, ".tmp");
  convert({source});
  EXPECT_EQ(read_file(temp_path_), "<W>a&lt;b</W>") << "the page was lost";
  delete_file(temp_path_);
  delete_file(source);
}

TEST_F(BatchTest, FoldersAndMissingPathsAreSkipped) {
  const std::string good = scratch_path("good.cpp");
  write_file(good, "1");
  const std::string folder = scratch_path("folder.cpp");
  testing::make_folder(folder);
  convert({scratch_path("missing.cpp"), folder, good});
  EXPECT_EQ(read_file(scratch_path("good.htm")), "<W><FONT COLOR=\"#FF0000\">1</FONT></W>");
  EXPECT_FALSE(path_exists(scratch_path("folder.htm").c_str()));
  EXPECT_FALSE(path_exists(scratch_path("missing.htm").c_str()));
}

// Paths live in 261-byte buffers: an input path or an output path of up to
// 260 bytes is converted, one of 261 bytes is skipped (the input's own
// length counts even when its output would be shorter). Where the platform
// cannot create a file of such a path at all, that case is left out.
TEST_F(BatchTest, PathsOf259To261Bytes) {
  struct Case {
    std::size_t input;      // bytes of the input path
    const char* from;       // its extension
    const char* to;         // the output's extension
    bool converted;
  };
  const Case cases[] = {
      {259, ".c", ".h", true},      // output 259
      {259, ".c", ".hh", true},     // output 260
      {259, ".c", ".hhh", false},   // output 261
      {260, ".c", ".h", true},      // output 260
      {260, ".cc", ".h", true},     // output 259
      {260, ".c", ".hh", false},    // output 261
      {261, ".cc", ".h", false},    // output 260, input too long
      {261, ".ccc", ".h", false},   // output 259, input too long
  };
  const std::string folder = scratch_path("long");
  testing::make_folder(folder);
  int made = 0;
  for (const Case& c : cases) {
    const std::size_t prefix = folder.size() + 1 + 2;  // separator and a case number
    const std::string stem = folder + kPathSeparatorText + std::to_string(10 + made) +
                             std::string(c.input - prefix - std::strlen(c.from), 'n');
    const std::string input = stem + c.from;
    const std::string output = stem + c.to;
    ASSERT_EQ(input.size(), c.input);
    SCOPED_TRACE("input of " + std::to_string(c.input) + " bytes, output of " + std::to_string(output.size()));
    try {
      write_file(input, "x");
    } catch (const std::exception&) {
      continue;  // the platform cannot name such a file
    }
    ++made;
    copy_cut(settings_.extension, c.to);
    convert({input});
    if (c.converted) {
      EXPECT_EQ(read_file(output), "<W>x</W>");
    } else {
      EXPECT_FALSE(path_exists(output.c_str()));
    }
    EXPECT_EQ(read_file(input), "x");
  }
  RecordProperty("cases_made", made);
#ifdef _WIN32
  EXPECT_GE(made, 1);
#else
  EXPECT_EQ(made, static_cast<int>(std::size(cases)));
#endif
}

}  // namespace
}  // namespace prismet

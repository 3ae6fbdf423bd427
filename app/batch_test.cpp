#include "app/batch.h"

#include <gtest/gtest.h>

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
  };
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

TEST_F(BatchTest, OutputPathsLongerThan260BytesAreSkipped) {
  const std::string folder = scratch_path("long");
  testing::make_folder(folder);
  const std::string stem = folder + kPathSeparatorText + std::string(257 - folder.size() - 1, 'n');
  const std::string input = stem + ".c";
  ASSERT_EQ(input.size(), 259u);
  write_file(input, "x");
  copy_cut(settings_.extension, ".h");  // 259 bytes: fits
  convert({input});
  EXPECT_EQ(read_file(stem + ".h"), "<W>x</W>");
  copy_cut(settings_.extension, ".htm");  // 261 bytes: would not fit
  convert({input});
  EXPECT_EQ(testing::count_entries(folder), 2);
}

}  // namespace
}  // namespace prismet

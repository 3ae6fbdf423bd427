// Cross-references without an output folder: each named folder a site of
// its own, beside its sources, and the run told as the same run without
// the key would be.
#include "convert/folder_sites.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "common/bounded_copy.h"
#include "common/file_system.h"
#include "common/path_text.h"
#include "convert/conversion.h"
#include "engine/vocabulary_file.h"
#include "settings/settings_file.h"
#include "tests/test_files.h"

namespace prismet {
namespace {

using testing::make_folder;
using testing::read_file;
using testing::scratch_path;
using testing::write_file;

// Everything a run tells but its passing progress: its last count is kept.
class RunLog : public FileProgress {
 public:
  void file_started(int index, int count, const char* path) override {
    told.push_back("started " + std::to_string(index) + "/" + std::to_string(count) + " " + path);
  }
  void file_failed(int index, const char* path, const FileFailure& failure) override {
    told.push_back("failed " + std::to_string(index) + " " + describe_failure(path, failure));
  }
  void file_skipped(int index, const char* path, const char* reason) override {
    told.push_back("skipped " + std::to_string(index) + " " + path + ": " + reason);
  }
  void tree_progress(std::uint64_t done, std::uint64_t found) override {
    last_progress = std::to_string(done) + "/" + std::to_string(found);
  }
  void tree_finished(const TreeSummary& summary) override {
    told.push_back("progress " + last_progress);
    TreeSummary timeless = summary;
    timeless.seconds = 0;
    told.push_back("finished " + tree_summary_text(timeless));
  }
  std::vector<std::string> told;
  std::string last_progress;
};

class FolderSitesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = scratch_path(::testing::UnitTest::GetInstance()->current_test_info()->name());
    set_default_settings(settings_, "", "");
    copy_string_bounded(settings_.extension, ".html");
    settings_.style.line_anchors = true;
    set_builtin_vocabulary(vocabulary_);
  }
  void TearDown() override { free_vocabulary(vocabulary_); }

  // Two folders that define and use names of each other's, a file named
  // alone, a plain file to skip and a page that cannot be written.
  void make_tree() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
    for (const char* folder : {"", "/lib", "/lib/deep", "/app", "/app/blocked.cpp.html"})
      make_folder(root_ + folder);
    write_file(in("lib/shape.h"), "struct Shape {\n};\nint area(Shape s);\n");
    write_file(in("lib/deep/area.cpp"), "int area(Shape s) {\n  return 4;\n}\n");
    write_file(in("lib/notes.txt"), "no source\n");
    write_file(in("app/main.cpp"),
               "int run() {\n  return 1;\n}\nint main() {\n  return area(Shape{}) + run();\n}\n");
    write_file(in("app/blocked.cpp"), "// blocked\n");
    write_file(in("alone.cpp"), "int alone() {\n  return area(Shape{});\n}\n");
  }
  std::string in(const std::string& relative) const { return join_path(root_, relative); }

  // The run's symbols into `symbols` (null: not asked), their bytes kept by
  // the fixture.
  int convert(const std::vector<std::string>& paths, FileProgress* progress,
              std::vector<Symbol>* symbols = nullptr) {
    TreeOptions options;
    options.tell_skipped = true;
    if (symbols != nullptr) options.symbols = &kept_;
    const int failed = convert_files(paths, settings_, vocabulary_, progress, options);
    if (symbols != nullptr) *symbols = std::exchange(kept_.symbols, {});
    return failed;
  }

  std::string root_;
  Settings settings_;
  Vocabulary vocabulary_;
  SiteSymbols kept_;
};

TEST_F(FolderSitesTest, EachNamedFolderIsASiteOfItsOwn) {
  make_tree();
  settings_.cross_references = true;
  RunLog log;
  std::vector<Symbol> symbols;
  EXPECT_EQ(convert({in("lib"), in("alone.cpp"), in("app")}, &log, &symbols), 1);  // the blocked page
  // Each site's names link within it, its symbol pages at its root; a name
  // the other folder defines stays plain, and so does the file named alone.
  const std::string area = read_file(in("lib/deep/area.cpp.html"));
  EXPECT_NE(area.find("<a href=\"../shape.h.html#L1\">Shape</a>"), std::string::npos) << area;
  EXPECT_NE(area.find("<a href=\"../prismet-symbols/17f.html#area.uses\">area</a>"), std::string::npos)
      << area;
  const std::string main = read_file(in("app/main.cpp.html"));
  EXPECT_NE(main.find("<a href=\"#L1\">run</a>()"), std::string::npos) << main;
  EXPECT_NE(main.find("area(Shape{})"), std::string::npos) << main;
  EXPECT_EQ(read_file(in("alone.html")).find("<a href"), std::string::npos);
  for (const char* index : {"lib/prismet-symbols/+index.html", "app/prismet-symbols/+index.html"})
    EXPECT_TRUE(std::filesystem::is_regular_file(in(index))) << index;
  EXPECT_NE(read_file(in("lib/index.html")).find("prismet-symbols/+index.html"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(in("prismet-symbols")));
  // The sites' symbols one after the other, each site's pages from its root.
  std::vector<std::string> shown;
  for (const Symbol& symbol : symbols)
    shown.push_back(std::string(symbol.name) + "@" + std::string(symbol.definitions.front().page));
  EXPECT_EQ(shown, (std::vector<std::string>{"Shape@shape.h.html", "area@shape.h.html", "main@main.cpp.html",
                                             "run@main.cpp.html"}));
}

// What the user hears, and the exit status, are those of the run without
// the key, a second run's too: the symbol pages in the tree are neither
// walked nor skipped.
TEST_F(FolderSitesTest, TheRunIsToldAsOneRun) {
  const std::vector<std::string> arguments = {in("lib"), in("alone.cpp"), in("missing.cpp"), in("app")};
  std::vector<std::string> told[2];
  for (const bool cross_references : {false, true}) {
    make_tree();
    settings_.cross_references = cross_references;
    for (int run = 0; run < 2; ++run) {
      RunLog log;
      EXPECT_EQ(convert(arguments, &log), 2) << cross_references;
      told[cross_references].insert(told[cross_references].end(), log.told.begin(), log.told.end());
    }
  }
  EXPECT_EQ(told[true], told[false]);
  // Told as the user reads it: the folders' files by index, the named ones
  // as the n-th of the run's four, and one summary for the whole run.
  ASSERT_EQ(told[false].size(), 14u);
  EXPECT_EQ(told[false][0], "skipped 0 " + join_path(in("lib"), "notes.txt") + ": no C++ extension");
  EXPECT_EQ(told[false][1], "started 1/4 " + in("alone.cpp"));
  EXPECT_EQ(told[false][4].rfind("failed 3 " + join_path(in("app"), "blocked.cpp"), 0), 0u) << told[false][4];
  EXPECT_EQ(told[false][5], "progress 4/4");
  EXPECT_EQ(told[false][6],
            "finished converted 4 files, 0.0 MB, in 0.0 s; 2 not converted; 1 skipped: no C++ extension");
  EXPECT_EQ(told[false][13],
            "finished converted 1 file, 0.0 MB, in 0.0 s; 3 unchanged; 2 not converted; 1 "
            "skipped: no C++ extension");
}

TEST_F(FolderSitesTest, OnlyWithTheKeyAFolderAndNoOutputFolder) {
  make_tree();
  const struct {
    bool key;
    const char* output;
    std::vector<std::string> paths;
    bool sites;
  } cases[] = {
      {true, "", {in("alone.cpp"), in("lib")}, true},
      {false, "", {in("alone.cpp"), in("lib")}, false},
      {true, "", {in("alone.cpp"), "-"}, false},
      {true, "site", {in("lib")}, false},
  };
  for (const auto& c : cases) {
    settings_.cross_references = c.key;
    copy_string_bounded(settings_.output_folder, c.output);
    EXPECT_EQ(makes_folder_sites(c.paths, settings_), c.sites) << c.key << c.output << c.paths.size();
  }
}

}  // namespace
}  // namespace prismet

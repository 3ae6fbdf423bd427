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

// Pages beside their sources with cross-references: the site's symbol
// pages lie in the tree, and neither they nor the output folder are walked
// (their files would count as skipped); a folder of the same name below
// is walked.
TEST(TreeWalk, TheSymbolFolderInsideTheTreeIsNotWalked) {
  const std::string root = scratch_path("walk-with-symbols");
  for (const char* folder : {"", "/prismet-symbols", "/site", "/src", "/src/prismet-symbols"})
    make_folder(root + folder);
  write_file(root + "/prismet-symbols/+index.html", "x");
  FileStamp symbols, output;
  ASSERT_TRUE(file_stamp((root + "/prismet-symbols").c_str(), symbols));
  ASSERT_TRUE(file_stamp((root + "/site").c_str(), output));
  const SourceExtensions extensions(".cpp");
  const struct {
    const FileStamp* output;
    const FileStamp* symbols;
    Names subfolders;
  } cases[] = {
      {nullptr, nullptr, {"prismet-symbols", "site", "src"}},
      {nullptr, &symbols, {"site", "src"}},
      {&output, &symbols, {"src"}},
  };
  for (const auto& c : cases) {
    SiteFolder folder;
    folder.source_path = folder.output_path = root;
    folder.beside = true;
    WalkRules rules{extensions, ".htm", c.output};
    rules.symbol_folder = c.symbols;
    int error = 0;
    ASSERT_TRUE(list_folder_sources(folder, rules, error));
    EXPECT_EQ(folder.subfolders, c.subfolders);
  }
  SiteFolder below;
  below.source_path = below.output_path = root + "/src";
  WalkRules rules{extensions, ".htm", nullptr};
  rules.symbol_folder = &symbols;
  int error = 0;
  ASSERT_TRUE(list_folder_sources(below, rules, error));
  EXPECT_EQ(below.subfolders, (Names{"prismet-symbols"}));
}

// Only a dot after the name's first byte makes an extension.
TEST(TreeWalk, WhatHasAnExtension) {
  const struct {
    const char* name;
    bool extension;
  } cases[] = {
      {"vector", false}, {"Makefile", false}, {".clang-format", false}, {"x", false},
      {"a.b", true},     {"a.", true},        {"a.tar.gz", true},       {".a.b", true},
  };
  for (const auto& c : cases) EXPECT_EQ(has_extension(c.name), c.extension) << c.name;
}

// The one decision whether a file is a source: by its extension, and for a
// name without one by the names and patterns or its mode line (read only
// then).
TEST(TreeWalk, WhichFilesAreSources) {
  const std::string root = scratch_path("walk-sources");
  make_folder(root);
  write_file(root + "/vector", "// <vector> -*- C++ -*-\n");
  write_file(root + "/Makefile", "all:\n");
  write_file(root + "/QString", "#include \"qstring.h\"\n");
  write_file(root + "/a.cpp", "int a;\n");
  write_file(root + "/said.txt", "// -*- C++ -*-\n");
  const SourceExtensions extensions(".cpp");
  const struct {
    const char* patterns;
    bool mode_line;
    const char* name;
    bool source;
  } cases[] = {
      {"", false, "a.cpp", true},      {"", false, "vector", false},
      {"", true, "vector", true},      {"", true, "Makefile", false},
      {"", true, "said.txt", false},   {"Q*", false, "QString", true},
      {"Q*", false, "vector", false},  {"Q* vector", false, "vector", true},
      {"*", false, "said.txt", false},  // a pattern never takes a name with an extension
      {"", true, "missing", false},
  };
  for (const auto& c : cases) {
    const ExtensionlessSources extensionless(c.patterns, c.mode_line);
    const WalkRules rules{extensions, ".htm", nullptr, &extensionless};
    EXPECT_EQ(is_source_file(rules, root, c.name), c.source)
        << c.patterns << " " << c.mode_line << " " << c.name;
  }
  const WalkRules without{extensions, ".htm", nullptr};
  EXPECT_FALSE(is_source_file(without, root, "vector"));
  EXPECT_TRUE(is_source_file(without, root, "a.cpp"));
}

// The plain files that are no sources are the folder's skipped ones, in
// order; this program's pages and index beside the sources are not, nor are
// hidden files, folders or links to nothing.
TEST(TreeWalk, SkippedFilesAreTheOtherPlainFiles) {
  const std::string root = scratch_path("walk-skipped");
  make_folder(root);
  for (const char* name :
       {"vector", "map", "a.cpp", "a.cpp.htm", "notes.txt", ".hidden", "index.html", "vector.htm", "README"})
    write_file(root + "/" + name, "// -*- C++ -*-\n");
  write_file(root + "/map", "no mode line\n");
  make_folder(root + "/sub");
  const SourceExtensions extensions(".cpp");
  const struct {
    bool beside;
    bool mode_line;
    Names files;
    Names skipped;
  } cases[] = {
      {true, false, {"a.cpp"}, {"README", "map", "notes.txt", "vector", "vector.htm"}},
      {true, true, {"README", "a.cpp", "vector"}, {"map", "notes.txt"}},
      {false,
       true,
       {"README", "a.cpp", "vector"},
       {"a.cpp.htm", "index.html", "map", "notes.txt", "vector.htm"}},
  };
  for (const auto& c : cases) {
    SiteFolder folder;
    folder.source_path = root;
    folder.output_path = c.beside ? root : scratch_path("walk-skipped-out");
    folder.beside = c.beside;
    const ExtensionlessSources extensionless("", c.mode_line);
    const WalkRules rules{extensions, ".htm", nullptr, &extensionless};
    int error = 0;
    ASSERT_TRUE(list_folder_sources(folder, rules, error));
    EXPECT_EQ(folder.files, c.files) << c.beside << c.mode_line;
    EXPECT_EQ(folder.skipped, c.skipped) << c.beside << c.mode_line;
  }
}

}  // namespace
}  // namespace prismet

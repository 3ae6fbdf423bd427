#include "convert/site_folder.h"

#include <gtest/gtest.h>

#include <string>

#include "common/file_system.h"
#include "convert/site_index.h"
#include "tests/test_files.h"

namespace prismet {
namespace {

using testing::make_folder;
using testing::read_file;
using testing::scratch_path;
using testing::write_file;

IndexPage page_of(const char* name, std::uint64_t size) {
  IndexPage page;
  page.source_name = name;
  page.page_name = std::string(name) + ".htm";
  page.record.source.size = size;
  return page;
}

TEST(SiteFolder, AnEndedFolderWritesItsIndexAndCountsForItsParent) {
  const std::string output = scratch_path("ended");
  make_folder(output);
  SiteFolder parent;
  SiteFolder folder;
  folder.parent = &parent;
  folder.name = "sub";
  folder.output_path = output;
  folder.index.pages = {page_of("a.cpp", 10), page_of("b.h", 5)};
  folder.files_below = 1;  // a folder below it with one page of 7 bytes
  folder.bytes_below = 7;
  EXPECT_FALSE(end_folder(folder).has_value());
  const std::string index = read_file(output + "/index.html");
  EXPECT_TRUE(begins_like_index(index));
  EXPECT_NE(index.find("a.cpp.htm"), std::string::npos);
  ASSERT_EQ(parent.index.folders.size(), 1u);
  EXPECT_EQ(parent.index.folders[0].name, "sub");
  EXPECT_EQ(parent.index.folders[0].files, 3u);
  EXPECT_EQ(parent.index.folders[0].bytes, 22u);
  EXPECT_EQ(parent.files_below, 3u);
  EXPECT_EQ(parent.bytes_below, 22u);
  EXPECT_TRUE(folder.index.pages.empty());  // let go
}

TEST(SiteFolder, AForeignIndexIsNeitherWrittenNorRemoved) {
  const std::string output = scratch_path("foreign");
  make_folder(output);
  write_file(output + "/index.html", "theirs");
  for (const bool with_pages : {true, false}) {
    SiteFolder folder;
    folder.output_path = output;
    folder.previous.in_the_way = true;
    if (with_pages) folder.index.pages = {page_of("a.cpp", 1)};
    const auto failure = end_folder(folder);
    EXPECT_EQ(failure.has_value(), with_pages);
    if (failure) {
      EXPECT_EQ(failure->culprit, Culprit::kPage);
      EXPECT_STREQ(failure->reason, "a file of that name that this program did not make is in the way");
      const std::string& path = failure->path;  // the index in the output folder
      EXPECT_EQ(path.rfind(output, 0), 0u) << path;
      EXPECT_EQ(path.substr(output.size() + 1), "index.html") << path;
    }
    EXPECT_EQ(read_file(output + "/index.html"), "theirs");
  }
}

TEST(SiteFolder, OurIndexGoesOnlyWhenNoPagesAreLeftAndAllWasWalked) {
  const std::string output = scratch_path("emptied");
  make_folder(output);
  SiteFolder parent;
  for (const bool complete : {false, true}) {
    write_file(output + "/index.html", "ours");
    SiteFolder folder;
    folder.parent = &parent;
    folder.output_path = output;
    folder.previous.bytes = "ours";
    folder.complete = complete;
    EXPECT_FALSE(end_folder(folder).has_value());
    EXPECT_EQ(path_exists((output + "/index.html").c_str()), !complete);
  }
  EXPECT_FALSE(parent.complete);  // a folder not walked whole is told above
  EXPECT_TRUE(parent.index.folders.empty());
}

TEST(SiteFolder, FailuresAreToldForTheSourcesFolderElseTheOutputFolder) {
  SiteFolder folder;
  folder.output_path = "out";
  EXPECT_STREQ(culprit_path(folder), "out");
  folder.source_path = "src";
  EXPECT_STREQ(culprit_path(folder), "src");
}

}  // namespace
}  // namespace prismet

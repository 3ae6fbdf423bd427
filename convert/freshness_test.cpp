#include "convert/freshness.h"

#include <gtest/gtest.h>

#include <string>

#include "common/file_system.h"
#include "convert/site_index.h"
#include "tests/test_files.h"

namespace prismet {
namespace {

using testing::make_folder;
using testing::scratch_path;
using testing::write_file;

TEST(Freshness, OnlyARecordOfThisRunsFingerprintWithItsPageMayBeCurrent) {
  PageRecord record;
  record.fingerprint = 42;
  PageRecord other = record;
  other.fingerprint = 43;
  const struct {
    bool rewrite_all;
    const PageRecord* previous;
    bool page_exists;
    bool may_be_current;
  } cases[] = {
      {false, &record, true, true},  {false, &record, false, false}, {false, &other, true, false},
      {false, nullptr, true, false}, {true, &record, true, false},
  };
  for (const auto& c : cases) {
    const Freshness freshness{42, c.rewrite_all};
    EXPECT_EQ(freshness.may_be_current(c.previous, c.page_exists), c.may_be_current)
        << c.rewrite_all << (c.previous == &record) << c.page_exists;
  }
}

TEST(Freshness, APageIsUnchangedOnlyWithItsSourcesStampAndItsOwnSize) {
  const std::string folder = scratch_path("freshness");
  make_folder(folder);
  const std::string source = folder + "/a.cpp";
  const std::string page = folder + "/a.cpp.htm";
  write_file(source, "int a;\n");
  write_file(page, "<pre>int a;</pre>\n");
  PageRecord recorded;
  ASSERT_TRUE(file_stamp(source.c_str(), recorded.source));
  recorded.page_size = 18;
  OpenFolder unheld;  // asks by path
  const PagePlace place{&unheld, &unheld, "a.cpp", source.c_str(), "a.cpp.htm", page.c_str()};
  EXPECT_EQ(page_size_of(page), 18u);
  EXPECT_EQ(check_page(recorded, place), PageState::kUnchanged);

  PageRecord grown = recorded;
  grown.page_size = 17;
  EXPECT_EQ(check_page(grown, place), PageState::kChanged);
  PageRecord unknown_size = recorded;
  unknown_size.page_size = kUnknownPageSize;
  EXPECT_EQ(check_page(unknown_size, place), PageState::kChanged);
  PageRecord other_source = recorded;
  other_source.source.size += 1;
  EXPECT_EQ(check_page(other_source, place), PageState::kChanged);

  const std::string missing_page = folder + "/b.cpp.htm";
  const PagePlace no_page{&unheld, &unheld, "a.cpp", source.c_str(), "b.cpp.htm", missing_page.c_str()};
  EXPECT_EQ(check_page(recorded, no_page), PageState::kChanged);
  const std::string gone = folder + "/gone.cpp";
  const PagePlace no_source{&unheld, &unheld, "gone.cpp", gone.c_str(), "a.cpp.htm", page.c_str()};
  EXPECT_EQ(check_page(recorded, no_source), PageState::kSourceUnknown);
  EXPECT_EQ(page_size_of(gone), kUnknownPageSize);
}

}  // namespace
}  // namespace prismet

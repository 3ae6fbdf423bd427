#include "settings/ini_file_image.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "common/file_system.h"
#include "settings/ini_file.h"
#include "tests/test_files.h"

namespace prismet::ini {
namespace {

using prismet::testing::read_file;
using prismet::testing::scratch_path;
using prismet::testing::write_file;

struct Write {
  const char* section;
  const char* key;
  const char* value;
};

std::string read_back(FileImage& image, const char* section, const char* key) {
  char buffer[300];
  image.read_string(section, key, "<none>", buffer, sizeof buffer);
  return buffer;
}

// Many writes through one image end in the bytes that the same writes give
// one call at a time, each of which reads the file afresh, also where a
// value or name does not read back as it was written.
TEST(IniFileImage, WritesEndAsSingleWritesWould) {
  const std::vector<Write> writes = {
      {"a", "plain", "1"},    {"a", "trailing", "x   "},
      {"a", "trailing", "x"}, {"a", "broken", "v\r\nmade=up"},
      {"a", "made", "again"}, {"a", "k=v", "w"},
      {"a", "k", "z"},        {"b ", "late", "  spaced"},
      {"b", "late", "2"},     {"a\nb", "x", "1"},
      {"a\nb", "x", "2"},     {"a", "[c]", "keyed"},
      {"c", "into", "c"},     {"d", "lead", "\x82"},
  };
  const std::string one_by_one = scratch_path("one-by-one.ini");
  const std::string at_once = scratch_path("at-once.ini");
  const std::string start = "; a comment\r\n[a]\r\nplain = 0  \r\n\r\n[b]\r\n";
  write_file(one_by_one, start);
  write_file(at_once, start);
  FileImage image(at_once.c_str());
  for (const Write& w : writes) {
    EXPECT_TRUE(write_string(one_by_one.c_str(), w.section, w.key, w.value)) << w.key;
    EXPECT_TRUE(image.write_string(w.section, w.key, w.value)) << w.key;
  }
  EXPECT_EQ(read_file(at_once), start) << "nothing is written before save()";
  EXPECT_TRUE(image.save());
  EXPECT_EQ(read_file(at_once), read_file(one_by_one));
  EXPECT_EQ(read_file(at_once).substr(0, 61),
            "; a comment\r\n[a]\r\nplain=1\r\ntrailing=x\r\nbroken=v\r\nmade=again\r\n");
  // What the image reads is what the file reads.
  FileImage fresh(at_once.c_str());
  for (const char* key : {"trailing", "broken", "made", "k", "[c]"}) {
    EXPECT_EQ(read_back(image, "a", key), read_back(fresh, "a", key)) << key;
  }
  EXPECT_EQ(read_back(image, "a", "trailing"), "x");
}

TEST(IniFileImage, ReadsTheFileOnceAndWritesItOnlyWhenChanged) {
  const std::string file = scratch_path("once.ini");
  std::string bytes = "[s]\r\n";
  for (int i = 0; i < 20000; ++i) bytes += "key" + std::to_string(i) + "=value\r\n";
  write_file(file, bytes);
  const std::uint64_t before = bytes_read_for_testing();
  FileImage image(file.c_str());
  for (int i = 0; i < 50; ++i) {
    EXPECT_EQ(read_back(image, "s", ("key" + std::to_string(i * 300)).c_str()), "value");
    EXPECT_TRUE(image.write_string("s", "key7", "value"));  // the value it holds
  }
  EXPECT_EQ(bytes_read_for_testing() - before, bytes.size());
  EXPECT_TRUE(image.save());
  EXPECT_EQ(read_file(file), bytes);
  EXPECT_TRUE(image.write_string("s", "new", "1"));
  EXPECT_TRUE(image.save());
  EXPECT_EQ(read_file(file), bytes + "new=1\r\n");
  EXPECT_EQ(bytes_read_for_testing() - before, bytes.size());
}

// A file that fails in the middle is not taken in part: reads give the
// defaults, and the file is never written back from what was read of it.
TEST(IniFileImage, AReadErrorLeavesTheFileAlone) {
  const std::string file = scratch_path("failing.ini");
  const std::string bytes = "[s]\r\nfirst=1\r\npad=" + std::string(200000, 'p') + "\r\nlast=2\r\n";
  write_file(file, bytes);
  fail_reads_for_testing(100, EIO);
  FileImage image(file.c_str());
  EXPECT_EQ(read_back(image, "s", "first"), "<none>");
  EXPECT_FALSE(image.write_string("s", "first", "3"));
  EXPECT_EQ(image.error(), EIO);
  EXPECT_TRUE(image.save()) << "nothing was changed, so nothing is written";
  EXPECT_EQ(read_file(file), bytes);
  fail_reads_for_testing(0, 0);
}

TEST(IniFileImage, AMissingFileIsMadeOnSave) {
  const std::string file = scratch_path("made.ini");
  delete_file(file.c_str());
  FileImage image(file.c_str());
  EXPECT_EQ(read_back(image, "s", "k"), "<none>");
  EXPECT_TRUE(image.write_string("s", "k", "v"));
  EXPECT_FALSE(path_exists(file.c_str()));
  EXPECT_TRUE(image.save());
  EXPECT_EQ(read_file(file), "[s]\r\nk=v\r\n");
  FileImage nowhere(scratch_path("no-such-folder/x.ini").c_str());
  EXPECT_TRUE(nowhere.write_string("s", "k", "v"));
  EXPECT_FALSE(nowhere.save());
  EXPECT_NE(nowhere.error(), 0);
}

}  // namespace
}  // namespace prismet::ini

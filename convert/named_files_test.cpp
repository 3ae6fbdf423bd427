#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <exception>
#include <string>
#include <utility>
#include <vector>

#include "common/bounded_copy.h"
#include "common/file_system.h"
#include "common/path_text.h"
#include "convert/conversion.h"
#include "settings/settings_file.h"
#include "tests/small_disk.h"
#include "tests/test_files.h"

namespace prismet {
namespace {

using testing::read_file;
using testing::scratch_path;
using testing::write_file;

const std::string kPathSeparatorText(1, kPathSeparator);

using Culprit = FileFailure::Culprit;

// What the batch told of a file that failed.
struct Told {
  int index;
  Culprit culprit;
  int error;
  std::string path;  // the page or insert file
  bool operator==(const Told&) const = default;
};

// Records what the batch tells about each file.
class Recorder : public FileProgress {
 public:
  void file_started(int index, int count, const char*) override { started.push_back({index, count}); }
  void file_failed(int index, const char*, const FileFailure& failure) override {
    failed.push_back({index, failure.culprit, failure.error, failure.path});
  }
  std::vector<std::pair<int, int>> started;
  std::vector<Told> failed;
};

class BatchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    set_default_settings(settings_, "", "");
    settings_.style.whole = {"<W>", "</W>"};
    set_builtin_vocabulary(vocabulary_);
  }
  void TearDown() override { free_vocabulary(vocabulary_); }

  int convert(const std::vector<std::string>& files, FileProgress* progress = nullptr) {
    return convert_files(files, settings_, vocabulary_, progress);
  }

  Settings settings_;
  Vocabulary vocabulary_;
};

TEST_F(BatchTest, WritesThePageBesideTheSourceBetweenTheInsertFiles) {
  const std::string source = scratch_path("main.cpp");
  write_file(source, "int x;\r\n");
  write_file(scratch_path("top.html"), "<html>\n<body>\r\n\x1A ignored");
  write_file(scratch_path("bottom.html"), "</body>\n");
  copy_string_bounded(settings_.style.insert_before, scratch_path("top.html").c_str());
  copy_string_bounded(settings_.style.insert_after, scratch_path("bottom.html").c_str());
  convert({source});
  EXPECT_EQ(read_file(scratch_path("main.htm")),
            "<html>\r\n<body>\r\n<W><FONT COLOR=\"#0000FF\">int</FONT> x;\r\n</W></body>\r\n");
  EXPECT_EQ(read_file(source), "int x;\r\n");
}

TEST_F(BatchTest, MissingInsertFilesAreLeftOut) {
  const std::string source = scratch_path("plain.cpp");
  write_file(source, "a\nb");
  copy_string_bounded(settings_.style.insert_before, scratch_path("no-top").c_str());
  copy_string_bounded(settings_.style.insert_after, scratch_path("no-bottom").c_str());
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
    copy_string_bounded(settings_.extension, c.extension);
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

// With variables on, every page gets its own source's name in the header
// and footer, a kept (small) header and a streamed (big) one alike; with
// them off, the placeholder is copied as it stands.
TEST_F(BatchTest, InsertFileVariablesNameEachPagesSource) {
  write_file(scratch_path("one&two.cpp"), "v");
  write_file(scratch_path("three.cpp"), "w");
  write_file(scratch_path("vars.top"), "<title>{{source}}</title>");
  // Over the size kept in memory, with the placeholder cut by the 4,096-byte
  // pieces the file is copied in.
  const std::string big = std::string(4096 * 300 - 4, 'x') + "{{source}}";
  write_file(scratch_path("vars.btm"), big);
  copy_string_bounded(settings_.style.insert_before, scratch_path("vars.top").c_str());
  copy_string_bounded(settings_.style.insert_after, scratch_path("vars.btm").c_str());
  convert({scratch_path("one&two.cpp"), scratch_path("three.cpp")});
  const std::string filler(4096 * 300 - 4, 'x');
  EXPECT_TRUE(read_file(scratch_path("one&two.htm")) == "<title>{{source}}</title><W>v</W>" + big);

  settings_.insert_file_variables = true;
  convert({scratch_path("one&two.cpp"), scratch_path("three.cpp")});
  EXPECT_TRUE(read_file(scratch_path("one&two.htm")) ==
              "<title>one&amp;two.cpp</title><W>v</W>" + filler + "one&amp;two.cpp");
  EXPECT_TRUE(read_file(scratch_path("three.htm")) ==
              "<title>three.cpp</title><W>w</W>" + filler + "three.cpp");
}

// The mode's encoding decides how each source is read: automatic decodes
// UTF-16, Shift_JIS and UTF-8 with a byte order mark to UTF-8 pages; the
// other two pass the source's bytes on.
TEST_F(BatchTest, SourcesAreReadInTheModesEncoding) {
  const std::string comment = "<FONT COLOR=\"#008040\">";
  const struct {
    SourceEncoding encoding;
    std::string source;
    std::string page;
  } cases[] = {
      // UTF-16 LE and BE with their marks: "// コメ" and a line break.
      {SourceEncoding::kAutomatic, std::string("\xFF\xFE/\0/\0 \0\xB3\x30\xE1\x30\r\0\n\0x\0", 18),
       "<W>" + comment + "// \xE3\x82\xB3\xE3\x83\xA1</FONT>\r\nx</W>"},
      {SourceEncoding::kAutomatic, std::string("\xFE\xFF\0/\0/\0 \x30\xB3\x30\xE1", 12),
       "<W>" + comment + "// \xE3\x82\xB3\xE3\x83\xA1</FONT></W>"},
      // Shift_JIS: 表 (its second byte a backslash) and a half-width ｱ.
      {SourceEncoding::kAutomatic, "// \x95\x5C\xB1",
       "<W>" + comment + "// \xE8\xA1\xA8\xEF\xBD\xB1</FONT></W>"},
      // The UTF-8 mark is not copied into the page.
      {SourceEncoding::kAutomatic, "\xEF\xBB\xBFx // \xE3\x81\x82",
       "<W>x " + comment + "// \xE3\x81\x82</FONT></W>"},
      // Nothing is dropped: a lone lead byte becomes U+FFFD.
      {SourceEncoding::kAutomatic, "// \x95", "<W>" + comment + "// \xEF\xBF\xBD</FONT></W>"},
      // In UTF-8 the string closes after あ (whose last byte is a Shift_JIS
      // lead byte), so the keyword after it is coloured.
      {SourceEncoding::kAutomatic, "\"\xE3\x81\x82\" int",
       "<W><FONT COLOR=\"#FF0000\">&quot;\xE3\x81\x82&quot;</FONT> <FONT COLOR=\"#0000FF\">int</FONT></W>"},
      {SourceEncoding::kUtf8, "\"\xE3\x81\x82\" int",
       "<W><FONT COLOR=\"#FF0000\">&quot;\xE3\x81\x82&quot;</FONT> <FONT COLOR=\"#0000FF\">int</FONT></W>"},
      // The two others keep the source's bytes.
      {SourceEncoding::kUtf8, "// \x95\x5C", "<W>" + comment + "// \x95\x5C</FONT></W>"},
      {SourceEncoding::kShiftJis, "// \x95\x5C", "<W>" + comment + "// \x95\x5C</FONT></W>"},
      {SourceEncoding::kShiftJis, "\xFF\xFEx", "<W>\xFF\xFEx</W>"},
  };
  const std::string source = scratch_path("encoded.cpp");
  for (const auto& c : cases) {
    write_file(source, c.source);
    settings_.encoding = c.encoding;
    EXPECT_EQ(convert({source}), 0);
    EXPECT_EQ(read_file(scratch_path("encoded.htm")), c.page) << c.source;
  }
}

// Two sources of one batch never get one page: the second is told and not
// converted, and the first's page stays. One source named twice (in any
// spelling) is converted each time, as before.
TEST_F(BatchTest, NoPageReplacesAnotherSourcesPage) {
  const std::string folder = scratch_path("taken");
  testing::make_folder(folder);
  const std::string a_cpp = folder + kPathSeparatorText + "a.cpp";
  const std::string a_h = folder + kPathSeparatorText + "a.h";
  const std::string page = folder + kPathSeparatorText + "a.htm";
  write_file(a_cpp, "c");
  write_file(a_h, "h");
  Recorder recorder;
  EXPECT_EQ(convert({a_cpp, a_h}, &recorder), 1);
  EXPECT_EQ(recorder.failed, (std::vector<Told>{{1, Culprit::kPageTaken, 0, page}}));
  EXPECT_EQ(read_file(page), "<W>c</W>");
  FileFailure failure;
  failure.culprit = Culprit::kPageTaken;
  failure.path = "out/a.htm";
  failure.other_source = "src/a.cpp";
  EXPECT_EQ(describe_failure("src/a.h", failure), "src/a.h: page out/a.htm already written for src/a.cpp");

  // The same source again, also by another spelling of its path.
  const std::string again = folder + kPathSeparatorText + "." + kPathSeparatorText + "a.cpp";
  Recorder twice;
  EXPECT_EQ(convert({a_cpp, again, a_cpp}, &twice), 0);
  EXPECT_TRUE(twice.failed.empty());
  // A later run starts afresh.
  EXPECT_EQ(convert({a_h}), 0);
  EXPECT_EQ(read_file(page), "<W>h</W>");
  EXPECT_EQ(testing::count_entries(folder), 3) << "a temporary file was left behind";
}

// The header and footer are read once and reused while they stay as they
// were; a changed one (here: the page of an earlier file of the same batch)
// is read again.
TEST_F(BatchTest, InsertFilesFollowTheirChanges) {
  const std::string folder = scratch_path("inserts");
  testing::make_folder(folder);
  const std::string top = folder + kPathSeparatorText + "top.htm";
  write_file(top, "[old top]");
  write_file(folder + kPathSeparatorText + "top.cpp", "fresh top");
  write_file(folder + kPathSeparatorText + "a.cpp", "a");
  write_file(folder + kPathSeparatorText + "b.cpp", "b");
  copy_string_bounded(settings_.style.insert_before, top.c_str());
  EXPECT_EQ(convert({folder + kPathSeparatorText + "a.cpp", folder + kPathSeparatorText + "top.cpp",
                     folder + kPathSeparatorText + "b.cpp"}),
            0);
  EXPECT_EQ(read_file(folder + kPathSeparatorText + "a.htm"), "[old top]<W>a</W>");
  EXPECT_EQ(read_file(top), "[old top]<W>fresh top</W>");
  EXPECT_EQ(read_file(folder + kPathSeparatorText + "b.htm"), "[old top]<W>fresh top</W><W>b</W>");
  EXPECT_EQ(testing::count_entries(folder), 6) << "a temporary file was left behind";
}

// Files that cannot be converted are skipped, each told with its reason,
// and the batch goes on. A folder is a tree (this one holds no source).
TEST_F(BatchTest, FilesNotConvertedAreToldAndSkipped) {
  const std::string good = scratch_path("good.cpp");
  write_file(good, "1");
  const std::string folder = scratch_path("folder.cpp");
  testing::make_folder(folder);
  write_file(scratch_path("taken.cpp"), "t");
  testing::make_folder(scratch_path("taken.htm"));
  Recorder recorder;
  EXPECT_EQ(convert({scratch_path("missing.cpp"), folder, good, scratch_path("taken.cpp")}, &recorder), 2);
  EXPECT_EQ(read_file(scratch_path("good.htm")), "<W><FONT COLOR=\"#FF0000\">1</FONT></W>");
  EXPECT_FALSE(path_exists(scratch_path("folder.htm").c_str()));
  EXPECT_FALSE(path_exists(scratch_path("missing.htm").c_str()));
  EXPECT_EQ(recorder.started, (std::vector<std::pair<int, int>>{{0, 4}, {2, 4}, {3, 4}}));
  EXPECT_EQ(recorder.failed, (std::vector<Told>{{0, Culprit::kSource, ENOENT, ""},
                                                {3, Culprit::kPage, EISDIR, scratch_path("taken.htm")}}));
}

// A read that fails in the middle of a source fails that file: its page is
// not made and nothing it would replace changes, also when the page is to
// replace the source itself; the next file of the batch is converted.
TEST_F(BatchTest, AReadErrorInTheMiddleOfASourceFailsThatFile) {
  const std::string source_text(300000, 'x');  // several blocks of reading
  const std::string next = scratch_path("next.cpp");
  write_file(next, "n");
  for (const char* extension : {".htm", ".cpp"}) {
    SCOPED_TRACE(extension);
    const std::string folder = scratch_path(std::string("read-error") + extension);
    testing::make_folder(folder);
    const std::string source = folder + kPathSeparatorText + "a.cpp";
    const std::string page = folder + kPathSeparatorText + "a" + extension;
    write_file(source, source_text);
    if (page != source) write_file(page, "the old page");
    copy_string_bounded(settings_.extension, extension);
    Recorder recorder;
    fail_reads_for_testing(100000, EIO);
    EXPECT_EQ(convert({source, next}, &recorder), 1);
    fail_reads_for_testing(0, 0);
    EXPECT_EQ(recorder.failed, (std::vector<Told>{{0, Culprit::kSource, EIO, ""}}));
    EXPECT_TRUE(read_file(source) == source_text);
    if (page != source) {
      EXPECT_EQ(read_file(page), "the old page");
    }
    EXPECT_EQ(testing::count_entries(folder), page != source ? 2 : 1) << "a temporary file was left behind";
    EXPECT_EQ(read_file(scratch_path(std::string("next") + extension)), "<W>n</W>");
  }
}

// The automatic reading fails a source whose read fails the same way,
// wherever the failure falls: at the start, within the bytes that decide the
// encoding, just past them, or well into the source. The old page stays.
TEST_F(BatchTest, AReadErrorInTheAutomaticReadingKeepsTheOldPage) {
  settings_.encoding = SourceEncoding::kAutomatic;
  std::string source_text;
  while (source_text.size() < 300000) source_text += "int a; // \x93\xfa\x96\x7b\x8c\xea\n";  // Shift_JIS
  const std::string folder = scratch_path("auto-read-error");
  testing::make_folder(folder);
  const std::string source = folder + kPathSeparatorText + "a.cpp";
  const std::string page = folder + kPathSeparatorText + "a.htm";
  write_file(source, source_text);
  for (const std::uint64_t fail_after : {0u, 10u, 65535u, 65536u, 65537u, 200000u}) {
    SCOPED_TRACE("failing after " + std::to_string(fail_after) + " bytes");
    write_file(page, "the old page");
    Recorder recorder;
    fail_reads_for_testing(fail_after, EIO);
    EXPECT_EQ(convert({source}, &recorder), 1);
    fail_reads_for_testing(0, 0);
    EXPECT_EQ(recorder.failed, (std::vector<Told>{{0, Culprit::kSource, EIO, ""}}));
    EXPECT_EQ(read_file(page), "the old page");
    EXPECT_EQ(testing::count_entries(folder), 2) << "a temporary file was left behind";
  }
  // Without the failure the same source converts.
  EXPECT_EQ(convert({source}), 0);
  EXPECT_NE(read_file(page).find("\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E"), std::string::npos);
}

// The header is kept in memory up to 1 MiB and copied afresh for every page
// beyond that: either way every page holds it whole, as text-mode reading
// delivers it. A read that fails in the middle of it fails that page only.
TEST_F(BatchTest, HeadersAroundTheSizeKeptInMemory) {
  const std::string header = scratch_path("header.html");
  const std::string footer = scratch_path("footer.html");
  copy_string_bounded(settings_.style.insert_before, header.c_str());
  copy_string_bounded(settings_.style.insert_after, footer.c_str());
  write_file(footer, "<end>\n");
  const std::string a = scratch_path("sized-a.cpp");
  const std::string b = scratch_path("sized-b.cpp");
  write_file(a, "a");
  write_file(b, "b");
  constexpr std::size_t kMiB = 1 << 20;
  const struct {
    std::size_t size;
    std::size_t fail_after;  // 0: no failure
  } cases[] = {
      {kMiB - 1, 0}, {kMiB, 0}, {kMiB + 1, 0}, {3 * kMiB + 7, 0}, {kMiB / 2, kMiB / 4}, {3 * kMiB, 2 * kMiB},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("header of " + std::to_string(c.size) + " bytes");
    // Lines of 16 bytes ending in LF, the last one cut to size.
    std::string text;
    while (text.size() < c.size) text += "<p>0123456789a\n";
    text.resize(c.size);
    write_file(header, text);
    std::string in_page;  // each LF becomes CR LF
    for (const char byte : text) in_page += byte == '\n' ? std::string("\r\n") : std::string(1, byte);
    delete_file(scratch_path("sized-a.htm").c_str());
    Recorder recorder;
    // The source is read first: the failure falls into the header.
    if (c.fail_after != 0) fail_reads_for_testing(c.fail_after, EIO);
    EXPECT_EQ(convert({a, b}, &recorder), c.fail_after != 0 ? 1 : 0);
    fail_reads_for_testing(0, 0);
    if (c.fail_after != 0) {
      EXPECT_EQ(recorder.failed, (std::vector<Told>{{0, Culprit::kInsertFile, EIO, header}}));
      EXPECT_FALSE(path_exists(scratch_path("sized-a.htm").c_str()));
    } else {
      EXPECT_TRUE(read_file(scratch_path("sized-a.htm")) == in_page + "<W>a</W><end>\r\n");
    }
    EXPECT_TRUE(read_file(scratch_path("sized-b.htm")) == in_page + "<W>b</W><end>\r\n");
  }
}

// On a disk that fills up, the first failed write ends the page: the rest of
// the source is not read, the output and the source stay as they were.
TEST_F(BatchTest, AFullDiskEndsTheReadingOfTheSource) {
  const std::string folder = testing::small_disk_folder("stops-reading");
  if (folder.empty()) GTEST_SKIP() << "no small file system (PRISMET_SMALL_DISK) in this run";
  const std::string source = folder + kPathSeparatorText + "wide.cpp";
  delete_file(source.c_str());
  // Every '"' becomes "&quot;": the page needs three times the space that is
  // still free once the source is there.
  const std::size_t size = static_cast<std::size_t>(testing::free_bytes(folder) / 3);
  // More than one block of reading (64 KB), so that stopping early shows.
  if (size < 72 * 1024) GTEST_SKIP() << "too little room on the small file system";
  const std::string text = std::string(size - 1, '"') + "\n";
  write_file(source, text);
  Recorder recorder;
  const std::uint64_t before = bytes_read_for_testing();
  EXPECT_EQ(convert({source}, &recorder), 1);
  const std::uint64_t read = bytes_read_for_testing() - before;
  ASSERT_EQ(recorder.failed.size(), 1u);
  EXPECT_EQ(recorder.failed[0].culprit, Culprit::kPage);
  EXPECT_NE(recorder.failed[0].error, 0);  // ENOSPC; Wine's runtime says EINVAL
  EXPECT_LT(read, size) << "the source was read on after the page failed";
  EXPECT_TRUE(read_file(source) == text);
  EXPECT_EQ(testing::count_entries(folder), 1);
  delete_file(source.c_str());
}

// Paths live in buffers of kPathCapacity bytes (261 on Windows, 4,096 on
// Linux): an input path or an output path that fits is converted, one a byte
// longer is skipped (the input's own length counts even when its output
// would be shorter). Where the platform cannot create a file of such a path
// at all, that case is left out.
TEST_F(BatchTest, PathsAtTheLimitOfAPathBuffer) {
  constexpr std::size_t kLongest = kPathCapacity - 1;
  struct Case {
    std::size_t input;  // bytes of the input path
    const char* from;   // its extension
    const char* to;     // the output's extension
    bool converted;
  };
  const Case cases[] = {
      {kLongest - 1, ".c", ".h", true},     // output fits with a byte to spare
      {kLongest - 1, ".c", ".hh", true},    // output fits exactly
      {kLongest - 1, ".c", ".hhh", false},  // output a byte too long
      {kLongest, ".c", ".h", true},         // the input fills its buffer
      {kLongest, ".cc", ".h", true},        // and the output one byte less
      {kLongest, ".c", ".hh", false},       // the output one byte more
      {kLongest + 1, ".cc", ".h", false},   // the input is too long itself
      {kLongest + 1, ".ccc", ".h", false},  // even with a shorter output
  };
  // Folders of 200 bytes down to where a file name of at most about 200
  // bytes reaches each length (a name holds at most 255 bytes).
  std::string folder = scratch_path("long");
  while (kPathCapacity - folder.size() > 220) folder += kPathSeparatorText + std::string(200, 'd');
  testing::make_folder(folder);
  int made = 0;
  for (const Case& c : cases) {
    const std::size_t prefix = folder.size() + 1 + 2;  // separator and a case number
    const std::string stem = folder + kPathSeparatorText + std::to_string(10 + made) +
                             std::string(c.input - prefix - std::strlen(c.from), 'n');
    const std::string input = stem + c.from;
    const std::string output = stem + c.to;
    ASSERT_EQ(input.size(), c.input);
    SCOPED_TRACE("input of " + std::to_string(c.input) + " bytes, output of " +
                 std::to_string(output.size()));
    try {
      write_file(input, "x");
    } catch (const std::exception&) {
      continue;  // the platform cannot name such a file
    }
    ++made;
    copy_string_bounded(settings_.extension, c.to);
    EXPECT_EQ(convert({input}), c.converted ? 0 : 1);
    if (c.converted) {
      EXPECT_EQ(read_file(output), "<W>x</W>");
    } else {
      EXPECT_FALSE(path_exists(output.c_str()));
    }
    EXPECT_EQ(read_file(input), "x");
  }
  RecordProperty("cases_made", made);
  EXPECT_GE(made, 1);
}

}  // namespace
}  // namespace prismet

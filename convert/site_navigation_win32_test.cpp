// A site with navigation from a Windows tree: names in the ANSI code page
// (932) reach the names script as Unicode and its links as UTF-8, and the
// trail and index show them in the page's encoding.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/bounded_copy.h"
#include "convert/conversion.h"
#include "convert/site_names.h"
#include "settings/settings_file.h"
#include "tests/test_files.h"

namespace prismet {
namespace {

using testing::read_file;
using testing::scratch_path;
using testing::write_file;

bool holds(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class Failures : public FileProgress {
 public:
  void file_started(int, int, const char*) override {}
  void file_failed(int, const char* path, const FileFailure& failure) override {
    lines.push_back(describe_failure(path, failure));
  }
  std::vector<std::string> lines;
};

// 日本.h and 表 (its second byte a backslash) in code page 932.
TEST(SiteNamesWin32, ShiftJisNamesBecomeUnicodeTextAndUtf8Links) {
  SiteNamesFolder folder = site_names_folder(SiteNamesFolder(), "\x95\x5C");
  EXPECT_EQ(folder.text, "\\u8868/");
  EXPECT_EQ(folder.url, "%E8%A1%A8/");
  std::string list;
  append_site_name(list, folder, "\x93\xFA\x96\x7B.h", "\x93\xFA\x96\x7B.h.html", ".html");
  append_site_name(list, folder, "\x93\xFA\x96\x7B.h", "x.html", ".html");
  EXPECT_EQ(list,
            "\"\\u8868/\\u65e5\\u672c.h\",\n"
            "[\"\\u8868/\\u65e5\\u672c.h\",\"%E8%A1%A8/x.html\"],\n");
}

TEST(SiteNavigationWin32, AShiftJisTreeIsListedAndTrailedInItsPagesEncoding) {
  for (const SourceEncoding encoding : {SourceEncoding::kUtf8, SourceEncoding::kShiftJis}) {
    Settings settings;
    set_default_settings(settings, "", "");
    settings.encoding = encoding;
    settings.site_navigation = true;
    settings.insert_file_variables = true;
    Vocabulary vocabulary;
    set_builtin_vocabulary(vocabulary);
    const bool utf8 = encoding == SourceEncoding::kUtf8;
    const std::string root = scratch_path(utf8 ? "win32-site-utf8" : "win32-site-sjis");
    const std::string tree = root + "\\src";
    testing::make_folder(root);
    testing::make_folder(tree);
    ASSERT_TRUE(CreateDirectoryA((tree + "\\\x95\x5C").c_str(), nullptr) ||
                GetLastError() == ERROR_ALREADY_EXISTS);
    write_file(tree + "\\\x95\x5C\\\x93\xFA\x96\x7B.h", "int x;\n");
    write_file(root + "\\top.txt", "{{index}}|");
    copy_string_bounded(settings.style.insert_before, (root + "\\top.txt").c_str());
    copy_string_bounded(settings.output_folder, (root + "\\site").c_str());
    Failures failures;
    EXPECT_EQ(convert_files({tree}, settings, vocabulary, &failures), 0);
    EXPECT_TRUE(failures.lines.empty());
    SCOPED_TRACE(utf8 ? "UTF-8" : "Shift_JIS");
    EXPECT_TRUE(holds(read_file(root + "\\site\\prismet-files.js"), "\"\\u8868/\\u65e5\\u672c.h\",\n"));
    const std::string folder_name = utf8 ? "\xE8\xA1\xA8" : "\x95\x5C";
    EXPECT_EQ(read_file(root + "\\site\\\x95\x5C\\\x93\xFA\x96\x7B.h.htm")
                  .rfind("<nav class=\"prismet-nav prismet-breadcrumbs\"><a href=\"../index.html\">src</a> / "
                         "<a href=\"index.html\">" +
                             folder_name + "</a></nav>|",
                         0),
              0u);
    EXPECT_TRUE(holds(read_file(root + "\\site\\index.html"),
                      "<a href=\"%E8%A1%A8/index.html\">" + folder_name + "/</a>"));
    free_vocabulary(vocabulary);
  }
}

}  // namespace
}  // namespace prismet

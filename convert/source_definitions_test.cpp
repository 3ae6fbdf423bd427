// A source's definitions read from its file as its page reads it: the
// settings' encoding, line endings, lines longer than a piece, the texts
// of the definitions' lines, and files that cannot be read.
#include "convert/source_definitions.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "convert/page_converter.h"
#include "engine/vocabulary.h"
#include "tests/test_files.h"

namespace prismet {
namespace {

using testing::scratch_path;
using testing::write_file;

struct Expected {
  std::uint32_t line;
  const char* name;
  std::string text;
};

class SourceDefinitionsTest : public ::testing::Test {
 protected:
  void SetUp() override { set_builtin_vocabulary(vocabulary_); }

  std::vector<Definition> find(const std::string& bytes, SourceEncoding encoding) {
    static int counter = 0;
    const std::string path = scratch_path("definitions" + std::to_string(++counter) + ".cpp");
    write_file(path, bytes);
    settings_.encoding = encoding;
    SourceDefinitions definitions(settings_, vocabulary_);
    std::vector<Definition> found;
    std::optional<FileFailure> failure;
    EXPECT_TRUE(definitions.find(path.c_str(), found, failure));
    EXPECT_FALSE(failure.has_value());
    return found;
  }

  static void expect(const std::vector<Definition>& found, const std::vector<Expected>& expected,
                     const char* what) {
    ASSERT_EQ(found.size(), expected.size()) << what;
    for (std::size_t i = 0; i < found.size(); ++i) {
      EXPECT_EQ(found[i].line, expected[i].line) << what << " #" << i;
      EXPECT_EQ(found[i].name, expected[i].name) << what << " #" << i;
      EXPECT_EQ(found[i].text, expected[i].text) << what << " #" << i;
    }
  }

  Settings settings_;
  Vocabulary vocabulary_;
};

TEST_F(SourceDefinitionsTest, EncodingsAndLineEndings) {
  struct Row {
    const char* what;
    std::string bytes;
    SourceEncoding encoding;
    std::vector<Expected> expected;
  };
  // "表示" in Shift_JIS: the second byte of 表 is a backslash, which must
  // not end the literal early in Shift_JIS; decoded, the text is UTF-8.
  const std::string shift_jis = "const char* msg = \"\x95\x5C\x8E\xA6\";\nint after;\n";
  const std::vector<Row> rows = {
      {"UTF-8",
       "  int x = 1;  \n\tvoid f();\n",
       SourceEncoding::kUtf8,
       {{1, "x", "int x = 1;"}, {2, "f", "void f();"}}},
      {"CR LF", "int a;\r\nint b;\r\n", SourceEncoding::kUtf8, {{1, "a", "int a;"}, {2, "b", "int b;"}}},
      {"Shift_JIS as it is",
       shift_jis,
       SourceEncoding::kShiftJis,
       {{1, "msg", "const char* msg = \"\x95\x5C\x8E\xA6\";"}, {2, "after", "int after;"}}},
      {"Shift_JIS decoded",
       shift_jis,
       SourceEncoding::kAutomatic,
       {{1, "msg", "const char* msg = \"\xE8\xA1\xA8\xE7\xA4\xBA\";"}, {2, "after", "int after;"}}},
      {"UTF-16 with its mark",
       std::string("\xFF\xFEi\0n\0t\0 \0y\0;\0\n\0", 16),
       SourceEncoding::kAutomatic,
       {{1, "y", "int y;"}}},
      {"a NUL byte", std::string("int n\0ul;\nint z;\n", 17), SourceEncoding::kUtf8, {{2, "z", "int z;"}}},
      {"a name outside ASCII",
       "int caf\xC3\xA9 = 1;\nint \xC3\xA9t\xC3\xA9;\nint ok;\n",
       SourceEncoding::kUtf8,
       {{3, "ok", "int ok;"}}},
  };
  for (const Row& row : rows) expect(find(row.bytes, row.encoding), row.expected, row.what);
}

TEST_F(SourceDefinitionsTest, LongLinesCountOnceAndTextsAreCut) {
  // A line of 40,000 bytes comes in two pieces but is one line.
  const std::string long_line = "int first; /*" + std::string(40000, 'x') + "*/ int second;\nint next;\n";
  const std::string first_text = "int first; /*" + std::string(240 - 13, 'x');
  expect(find(long_line, SourceEncoding::kUtf8),
         {{1, "first", first_text}, {1, "second", first_text}, {2, "next", "int next;"}}, "long line");

  // The 240th byte begins a character: the text ends before it.
  const std::string prefix = "int v; // " + std::string(229, 'a');  // 239 bytes
  expect(find(prefix + "\xE8\xA1\xA8 tail\n", SourceEncoding::kUtf8), {{1, "v", prefix}}, "UTF-8 cut");
  expect(find(prefix + "\x95\x5C tail\n", SourceEncoding::kShiftJis), {{1, "v", prefix}}, "Shift_JIS cut");
  // Blanks before the cut go too.
  const std::string blanks = "int w; //" + std::string(225, 'b') + "      ";  // 240 bytes
  expect(find(blanks + "more\n", SourceEncoding::kUtf8), {{1, "w", "int w; //" + std::string(225, 'b')}},
         "blanks at the cut");
}

TEST_F(SourceDefinitionsTest, ADefinitionSettledFarFromItsNameKeepsItsText) {
  std::string source = "int spread(\n";
  for (int i = 0; i < 400; ++i) source += "  int a" + std::to_string(i) + ",\n";
  source += "  int last) {\n}\nint after;\n";
  expect(find(source, SourceEncoding::kUtf8), {{1, "spread", "int spread("}, {404, "after", "int after;"}},
         "long parameter list");
}

// A definition's line is the line its page's anchor "LNN" marks, whatever
// the lines hold: the page itself is the expectation.
TEST_F(SourceDefinitionsTest, LinesAreThePagesAnchors) {
  using namespace std::string_literals;
  const std::string source = "int a;\r\n// comment \\\nint not_a_def;\nint "s + std::string(40000, 'x') +
                             " = 0; int b;\nint c\0;\n\fint d;\nint e; /* two\nlines */ int f;\n"
                             "#define G \\\n  1\nint h;"s;
  for (const SourceEncoding encoding : {SourceEncoding::kUtf8, SourceEncoding::kShiftJis}) {
    const std::vector<Definition> found = find(source, encoding);
    Settings settings;
    set_default_settings(settings, "", "");
    settings.style.line_anchors = true;
    settings.encoding = encoding;
    PageConverter converter(settings, vocabulary_);
    const std::string source_path = scratch_path("anchored.cpp");
    const std::string page_path = scratch_path("anchored.cpp.html");
    write_file(source_path, source);
    ASSERT_FALSE(convert_to_page(source_path.c_str(), page_path, converter, std::string()).failure);
    const std::string page = testing::read_file(page_path);
    std::vector<std::string> names;
    for (const Definition& d : found) {
      names.push_back(d.name);
      const std::string anchor = "id=\"L" + std::to_string(d.line) + "\"";
      const std::size_t at = page.find(anchor);
      ASSERT_NE(at, std::string::npos) << d.name;
      const std::size_t next = page.find("id=\"L", at + anchor.size());
      const std::string line = page.substr(at, next == std::string::npos ? std::string::npos : next - at);
      EXPECT_NE(line.find(d.name), std::string::npos) << d.name << " is not on line " << d.line;
    }
    EXPECT_EQ(names, (std::vector<std::string>{"a", "b", "d", "e", "f", "G", "h"}));
  }
}

TEST_F(SourceDefinitionsTest, AFileThatCannotBeReadAppendsNothing) {
  SourceDefinitions definitions(settings_, vocabulary_);
  std::vector<Definition> found(1);
  found[0].name = "kept";
  std::optional<FileFailure> failure;
  EXPECT_FALSE(definitions.find(scratch_path("no-such-source.cpp").c_str(), found, failure));
  ASSERT_TRUE(failure.has_value());
  EXPECT_EQ(failure->culprit, Culprit::kSource);
  EXPECT_EQ(failure->error, ENOENT);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].name, "kept");

  const std::string folder = scratch_path("a-folder.cpp");
  testing::make_folder(folder);
  failure.reset();
  EXPECT_FALSE(definitions.find(folder.c_str(), found, failure));
  ASSERT_TRUE(failure.has_value());
  EXPECT_EQ(found.size(), 1u);
}

}  // namespace
}  // namespace prismet

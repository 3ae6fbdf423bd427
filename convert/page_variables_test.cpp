#include "convert/page_variables.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/test_files.h"

namespace prismet {
namespace {

using testing::read_file;
using testing::scratch_path;

// Writes `text` through a VariableWriter in pieces of `piece` bytes (0: one
// piece) and returns the bytes that arrived in the file.
std::string written(const std::string& text, std::size_t piece, const PageVariables& variables) {
  const std::string path = scratch_path("variables.out");
  {
    TextWriter output;
    EXPECT_TRUE(output.open(path.c_str()));
    VariableWriter writer(output, variables);
    const std::size_t step = piece == 0 ? text.size() + 1 : piece;
    for (std::size_t at = 0; at < text.size(); at += step) {
      writer.write(text.data() + at, std::min(step, text.size() - at));
    }
    writer.finish();
    EXPECT_TRUE(output.close());
  }
  return read_file(path);
}

// Every text, cut into pieces of every size, comes out the same: known
// placeholders replaced, everything else kept byte for byte.
TEST(VariableWriter, ReplacesKnownPlaceholdersWhereverThePiecesEnd) {
  const PageVariables variables = {{"{{source}}", "a&amp;b.cpp"}, {"{{up}}", "../index.html"}};
  const struct {
    const char* text;
    const char* expected;
  } cases[] = {
      {"<title>{{source}}</title>", "<title>a&amp;b.cpp</title>"},
      {"{{source}}{{source}}",
       "a&amp;b.cpp"
       "a&amp;b.cpp"},
      {"{{{source}}}", "{a&amp;b.cpp}"},
      {"{{{{source}}", "{{a&amp;b.cpp"},
      {"{{sourc}}", "{{sourc}}"},
      {"{{source", "{{source"},
      {"{{Source}}", "{{Source}}"},
      {"{{other}} {{up}}", "{{other}} ../index.html"},
      {"{ {source}}", "{ {source}}"},
      {"{", "{"},
      {"x{{", "x{{"},
      {"{{source}", "{{source}"},
      {"{{s{{source}}", "{{sa&amp;b.cpp"},
      {"", ""},
  };
  for (const auto& c : cases) {
    for (std::size_t piece = 0; piece <= 12; ++piece) {
      EXPECT_EQ(written(c.text, piece, variables), c.expected) << c.text << " in pieces of " << piece;
    }
  }
}

TEST(VariableWriter, WithoutVariablesEveryByteStays) {
  EXPECT_EQ(written("{{source}} {", 3, PageVariables{}), "{{source}} {");
}

// The name is the path's last component, escaped for HTML.
TEST(PageVariables, SourceIsTheEscapedFileName) {
  const struct {
    const char* path;
    const char* name;
  } cases[] = {
      {"a.cpp", "a.cpp"}, {"src/a&b'c\".cpp", "a&amp;b&#39;c&quot;.cpp"}, {"-", "-"},
      {"/x/y/", ""},      {"dir/\x95\x5C.cpp", "\x95\x5C.cpp"},  // 表: its second byte is no separator
  };
  for (const auto& c : cases) {
    const PageVariables variables = page_variables_for(c.path, false);
    ASSERT_EQ(variables.size(), 1u);
    EXPECT_EQ(variables[0].placeholder, "{{source}}");
    EXPECT_EQ(variables[0].value, c.name) << c.path;
  }
}

}  // namespace
}  // namespace prismet

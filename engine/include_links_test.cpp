// Include directives' header names as links: which lines are include
// directives, and the markup of their links in the page.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>

#include "engine/emitter.h"
#include "engine/include_directive.h"
#include "engine/vocabulary_file.h"
#include "tests/test_files.h"

namespace prismet {
namespace {

struct NameCase {
  const char* line;
  const char* name;  // null: no include directive
  bool angled;
};

TEST(IncludeName, FindsTheHeaderNameOfIncludeLinesOnly) {
  const NameCase cases[] = {
      {"#include \"a.h\"", "a.h", false},
      {"#include <vector>", "vector", true},
      {"#include<vector>", "vector", true},
      {"#include\"a.h\"", "a.h", false},
      {"  #  include   <sys/types.h>  // why", "sys/types.h", true},
      {"\t# include \"../x y.h\" /* c */", "../x y.h", false},
      {"#include <a\"b>", "a\"b", true},
      {"#include \"a<b>\"", "a<b>", false},
      {"#include_next <stdlib.h>", nullptr, false},
      {"#includes <x>", nullptr, false},
      {"#import <x>", nullptr, false},
      {"#include MACRO", nullptr, false},
      {"#include <>", nullptr, false},
      {"#include \"\"", nullptr, false},
      {"#include <unclosed", nullptr, false},
      {"#include \"unclosed", nullptr, false},
      {"x #include <x>", nullptr, false},
      {"// #include <x>", nullptr, false},
      {"#", nullptr, false},
      {"", nullptr, false},
      {"#inclu", nullptr, false},
      {"#INCLUDE <x>", nullptr, false},
  };
  for (const NameCase& c : cases) {
    const std::string_view line = c.line;
    const std::optional<IncludeName> found = include_name(line);
    if (c.name == nullptr) {
      EXPECT_FALSE(found) << c.line;
      continue;
    }
    ASSERT_TRUE(found) << c.line;
    EXPECT_EQ(line.substr(found->begin, found->end - found->begin), c.name) << c.line;
    EXPECT_EQ(found->angled, c.angled) << c.line;
  }
}

// Links every name it holds to "T(name)", "<name>" and "\"name\"" apart.
class TableLinks : public PageLinks {
 public:
  std::string_view include_target(std::string_view name, bool angled) override {
    ++asked;
    const auto found = targets.find({std::string(name), angled});
    return found == targets.end() ? std::string_view() : std::string_view(found->second);
  }
  std::map<std::pair<std::string, bool>, std::string> targets;
  int asked = 0;
};

OutputStyle marker_style() {
  OutputStyle style;
  set_default_output_style(style, "", "");
  style.whole = {"", ""};
  style.comment = {"{C", "C}"};
  style.constant = {"{N", "N}"};
  style.char_constant = {"{H", "H}"};
  style.string_literal = {"{S", "S}"};
  style.keyword = {"{K", "K}"};
  style.line = {"", ""};
  return style;
}

class IncludeLinksTest : public ::testing::Test {
 protected:
  void SetUp() override {
    set_builtin_vocabulary(builtin_);
    ASSERT_TRUE(load_vocabulary(shipped_, PRISMET_SOURCE_DIR "/res/share/prismet-cpp26.voc"));
    links_.targets[{"a.h", false}] = "a.h.html";
    links_.targets[{"vector", true}] = "std/vector.html";
    links_.targets[{"new", true}] = "new.html";
    links_.targets[{"sub/b.h", true}] = "sub/b.h.html";
    links_.targets[{"x y.h", false}] = "x%20y.h.html";
  }
  void TearDown() override {
    free_vocabulary(builtin_);
    free_vocabulary(shipped_);
  }

  std::string convert(const std::string& input, const Vocabulary& vocabulary, PageLinks* links,
                      CharacterEncoding encoding = CharacterEncoding::kUtf8) {
    const std::string in_path = testing::scratch_path("links-in");
    const std::string out_path = testing::scratch_path("links-out");
    testing::write_file(in_path, input);
    TextReader reader;
    TextWriter writer;
    EXPECT_TRUE(reader.open(in_path.c_str()));
    EXPECT_TRUE(writer.open(out_path.c_str()));
    const OutputStyle style = marker_style();
    SourceConverter(style, vocabulary).convert(writer, reader, encoding, links);
    EXPECT_TRUE(writer.close());
    std::string page = testing::read_file(out_path);
    // The writer's line ends are the platform's; the markup is what counts.
    for (std::size_t at = page.find('\r'); at != std::string::npos; at = page.find('\r', at))
      page.erase(at, 1);
    return page;
  }

  Vocabulary builtin_;
  Vocabulary shipped_;
  TableLinks links_;
};

struct MarkupCase {
  const char* source;
  const char* builtin;  // the page with the built-in vocabulary
  const char* shipped;  // with the shipped C++26 vocabulary (directives)
};

TEST_F(IncludeLinksTest, LinksTheHeaderNameInsideTheDirectivesColours) {
  const MarkupCase cases[] = {
      {"#include \"a.h\"\n", "{K#includeK} {S&quot;<a href=\"a.h.html\">a.h</a>&quot;S}\n",
       "{K#includeK} {S&quot;<a href=\"a.h.html\">a.h</a>&quot;S}\n"},
      {"#include <vector>\n", "{K#includeK} &lt;<a href=\"std/vector.html\">vector</a>&gt;\n",
       "{K#includeK} &lt;<a href=\"std/vector.html\">vector</a>&gt;\n"},
      {"  #  include <sub/b.h> // why\n",
       "  #  include &lt;<a href=\"sub/b.h.html\">sub/b{N.N}h</a>&gt; {C// whyC}\n",
       "  {K#  includeK} &lt;<a href=\"sub/b.h.html\">sub/b.h</a>&gt; {C// whyC}\n"},
      {"#include <new> /* c */\n", "{K#includeK} &lt;<a href=\"new.html\">{KnewK}</a>&gt; {C/* c */C}\n",
       "{K#includeK} &lt;<a href=\"new.html\">{KnewK}</a>&gt; {C/* c */C}\n"},
      {"#include \"x y.h\"\n", "{K#includeK} {S&quot;<a href=\"x%20y.h.html\">x y.h</a>&quot;S}\n",
       "{K#includeK} {S&quot;<a href=\"x%20y.h.html\">x y.h</a>&quot;S}\n"},
      // Names the links do not know, and lines that include no name.
      {"#include \"b.h\"\n", "{K#includeK} {S&quot;b.h&quot;S}\n", "{K#includeK} {S&quot;b.h&quot;S}\n"},
      {"#include <a.h>\n", "{K#includeK} &lt;a{N.N}h&gt;\n", "{K#includeK} &lt;a.h&gt;\n"},
      {"#include MACRO\n", "{K#includeK} MACRO\n", "{K#includeK} MACRO\n"},
      {"#include_next <vector>\n", "#include_next &lt;vector&gt;\n", "#include_next &lt;vector&gt;\n"},
      {"x; #include \"a.h\"\n", "x; {K#includeK} {S&quot;a.h&quot;S}\n",
       "x; {K#includeK} {S&quot;a.h&quot;S}\n"},
  };
  for (const MarkupCase& c : cases) {
    EXPECT_EQ(convert(c.source, builtin_, &links_), c.builtin) << c.source;
    EXPECT_EQ(convert(c.source, shipped_, &links_), c.shipped) << c.source;
  }
}

TEST_F(IncludeLinksTest, WithoutLinksThePageIsAsBefore) {
  const std::string source =
      "#include \"a.h\"\n#include <vector>\n  #  include <new> // c\nint x = \"#include <vector>\";\n";
  for (const Vocabulary* vocabulary : {&builtin_, &shipped_}) {
    TableLinks none;
    EXPECT_EQ(convert(source, *vocabulary, &none), convert(source, *vocabulary, nullptr));
    // Asked once per include line, never for other lines.
    EXPECT_EQ(none.asked, 3);
  }
}

TEST_F(IncludeLinksTest, AnIncludeInsideACommentOrAContinuedLineLinksNothing) {
  const std::string source = "/*\n#include \"a.h\"\n*/\n#define X \\\n#include \"a.h\"\n";
  const std::string page = convert(source, builtin_, &links_);
  EXPECT_EQ(page.find("<a "), std::string::npos) << page;
}

TEST_F(IncludeLinksTest, AStringThatRunsPastTheNameEndsTheLinkFirst) {
  // The name ends at the second quote, but the escaped quote keeps the
  // string open: no link may hold the string's unclosed tag.
  links_.targets[{"a\\", false}] = "odd.html";
  const std::string page = convert("#include \"a\\\" x\n", builtin_, &links_);
  EXPECT_EQ(page, "{K#includeK} {S&quot;a\\&quot; xS}\n");
}

TEST_F(IncludeLinksTest, ShiftJisNamesAreLinkedWhole) {
  // 表 is 0x95 0x5C in Shift_JIS: its second byte is a backslash.
  links_.targets[{"\x95\x5C.h", false}] = "hyo.html";
  const std::string page =
      convert("#include \"\x95\x5C.h\"\n", builtin_, &links_, CharacterEncoding::kShiftJis);
  EXPECT_EQ(page, "{K#includeK} {S&quot;<a href=\"hyo.html\">\x95\x5C.h</a>&quot;S}\n");
}

}  // namespace
}  // namespace prismet

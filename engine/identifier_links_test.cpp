// Identifiers in code as links: which identifiers the converter asks about,
// what it tells with each (line, member access), and the markup of the
// links among the colours' tags.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "engine/emitter.h"
#include "engine/include_directive.h"
#include "engine/vocabulary_file.h"
#include "tests/page_invariants.h"
#include "tests/test_files.h"

namespace prismet {
namespace {

// Links each name of its table to "#name" or, after member access, to
// "#.name"; records every question.
class NameLinks : public PageLinks {
 public:
  explicit NameLinks(bool identifiers = true) { set_links_identifiers(identifiers); }
  std::string_view include_target(std::string_view name, bool) override {
    return name == "a.h" ? "a.h.html" : "";
  }
  std::string_view identifier_target(const IdentifierUse& use) override {
    asked.push_back(std::string(use.name) + "@" + std::to_string(use.line) + (use.after_member ? "m" : ""));
    texts.emplace_back(use.line_text);
    if (names.count(std::string(use.name)) == 0) return {};
    target = (use.after_member ? "#." : "#") + std::string(use.name);
    return target;
  }
  std::map<std::string, int> names{{"f", 0}, {"x", 0}, {"Point", 0}, {"R", 0}, {"u8", 0}, {"X", 0}};
  std::vector<std::string> asked;
  std::vector<std::string> texts;
  std::string target;
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

class IdentifierLinksTest : public ::testing::Test {
 protected:
  void SetUp() override {
    set_builtin_vocabulary(builtin_);
    ASSERT_TRUE(load_vocabulary(shipped_, PRISMET_SOURCE_DIR "/res/share/prismet-cpp26.voc"));
  }
  void TearDown() override {
    free_vocabulary(builtin_);
    free_vocabulary(shipped_);
  }

  std::string convert(const std::string& input, const Vocabulary& vocabulary, PageLinks* links,
                      const OutputStyle& style = marker_style(),
                      CharacterEncoding encoding = CharacterEncoding::kUtf8) {
    const std::string in_path = testing::scratch_path("identifiers-in");
    const std::string out_path = testing::scratch_path("identifiers-out");
    testing::write_file(in_path, input);
    TextReader reader;
    TextWriter writer;
    EXPECT_TRUE(reader.open(in_path.c_str()));
    EXPECT_TRUE(writer.open(out_path.c_str()));
    SourceConverter(style, vocabulary).convert(writer, reader, encoding, links);
    EXPECT_TRUE(writer.close());
    std::string page = testing::read_file(out_path);
    for (std::size_t at = page.find('\r'); at != std::string::npos; at = page.find('\r', at))
      page.erase(at, 1);
    return page;
  }

  Vocabulary builtin_;
  Vocabulary shipped_;
};

struct MarkupCase {
  const char* source;
  const char* builtin;  // the page with the built-in vocabulary
  const char* shipped;  // with the shipped C++26 vocabulary; null: as the built-in one
};

TEST_F(IdentifierLinksTest, KnownNamesInCodeLinkInsideTheirColours) {
  const MarkupCase cases[] = {
      {"f(x);\n", "<a href=\"#f\">f</a>(<a href=\"#x\">x</a>);\n", nullptr},
      {"int f2 = f;\n", "{KintK} f2 = <a href=\"#f\">f</a>;\n", nullptr},
      {"  f  \n", "  <a href=\"#f\">f</a>  \n", nullptr},
      // Member access and qualified names tell so.
      {"p.x; p->x; N::x; p . x;\n",
       "p{N.N}<a href=\"#.x\">x</a>; p-&gt;<a href=\"#.x\">x</a>; N::<a href=\"#.x\">x</a>; p {N.N} <a "
       "href=\"#.x\">x</a>;\n",
       "p.<a href=\"#.x\">x</a>; p-&gt;<a href=\"#.x\">x</a>; N::<a href=\"#.x\">x</a>; p . <a "
       "href=\"#.x\">x</a>;\n"},
      // A number's suffix is no name, whatever the vocabulary makes of it.
      {"f(a...x); 1.5f; -x; a>x; a:x;\n",
       "<a href=\"#f\">f</a>(a{N...N}<a href=\"#x\">x</a>); {N1.5N}f; -<a href=\"#x\">x</a>; a&gt;<a "
       "href=\"#x\">x</a>; a:<a href=\"#x\">x</a>;\n",
       "<a href=\"#f\">f</a>(a...<a href=\"#x\">x</a>); {N1.5fN}; -<a href=\"#x\">x</a>; a&gt;<a "
       "href=\"#x\">x</a>; a:<a href=\"#x\">x</a>;\n"},
      // Comments, literals and keywords never link.
      {"f; // f x\n", "<a href=\"#f\">f</a>; {C// f xC}\n", nullptr},
      {"/* f */ x\n", "{C/* f */C} <a href=\"#x\">x</a>\n", nullptr},
      {"s = \"f x\"; c = 'x';\n", "s = {S&quot;f x&quot;S}; c = {H'x'H};\n", nullptr},
      {"return x;\n", "{KreturnK} <a href=\"#x\">x</a>;\n", nullptr},
      // Words that begin like a literal's prefix are still names; the
      // prefix of a literal is none.
      {"R + u8 + R\"(f)\" + u8\"x\";\n",
       "<a href=\"#R\">R</a> + <a href=\"#u8\">u8</a> + R{S&quot;(f)&quot;S} + u8{S&quot;x&quot;S};\n",
       "<a href=\"#R\">R</a> + <a href=\"#u8\">u8</a> + {SR&quot;(f)&quot;S} + {Su8&quot;x&quot;S};\n"},
      // Include lines never link a name, whatever they include.
      {"#include <f>\n", "{K#includeK} &lt;f&gt;\n", nullptr},
      {"#include \"a.h\" // f\n", "{K#includeK} {S&quot;<a href=\"a.h.html\">a.h</a>&quot;S} {C// fC}\n",
       nullptr},
      {"# include X\n", "# include X\n", "{K# includeK} X\n"},
      // Other directives link their names.
      {"#define X f\n", "{K#defineK} <a href=\"#X\">X</a> <a href=\"#f\">f</a>\n", nullptr},
      {"#ifdef X\n", "{K#ifdefK} <a href=\"#X\">X</a>\n", nullptr},
      // Only whole words: no part of a longer word, no number.
      {"fx xf f_ _f 0x1f\n", "fx xf f_ _f {N0x1fN}\n", nullptr},
      {"\xCE\xB1x x\xCE\xB1 x\n", "\xCE\xB1x x\xCE\xB1 <a href=\"#x\">x</a>\n", nullptr},
  };
  for (const MarkupCase& c : cases) {
    NameLinks links;
    EXPECT_EQ(convert(c.source, builtin_, &links), c.builtin) << c.source;
    NameLinks shipped_links;
    EXPECT_EQ(convert(c.source, shipped_, &shipped_links), c.shipped ? c.shipped : c.builtin) << c.source;
  }
}

TEST_F(IdentifierLinksTest, EachNameIsAskedWithItsLineAndText) {
  NameLinks links;
  convert("int f;\n/* x\n x */ y.f\n\n  \"s\" z\n", builtin_, &links);
  EXPECT_EQ(links.asked, (std::vector<std::string>{"f@1", "y@3", "f@3m", "z@5"}));
  EXPECT_EQ(links.texts, (std::vector<std::string>{"int f;", " x */ y.f", " x */ y.f", "  \"s\" z"}));
}

TEST_F(IdentifierLinksTest, LineNumbersAndAnchorsCountTheSameLines) {
  OutputStyle style = marker_style();
  style.line_numbers = true;
  style.line_anchors = true;
  for (const CharacterEncoding encoding : {CharacterEncoding::kUtf8, CharacterEncoding::kShiftJis}) {
    NameLinks links;
    const std::string page = convert("a\nb\r\n\nf\n", builtin_, &links, style, encoding);
    EXPECT_EQ(links.asked, (std::vector<std::string>{"a@1", "b@2", "f@4"}));
    EXPECT_NE(page.find("<a href=\"#f\">f</a>"), std::string::npos) << page;
  }
  // Without anchors a Shift_JIS page counts the source's lines too.
  NameLinks links;
  convert("a\nb\n\nf", builtin_, &links, marker_style(), CharacterEncoding::kShiftJis);
  EXPECT_EQ(links.asked, (std::vector<std::string>{"a@1", "b@2", "f@4"}));
}

TEST_F(IdentifierLinksTest, WithoutIdentifierLinksThePageIsAsBeforeAndNothingIsAsked) {
  const std::string source =
      "#include \"b.h\"\nint f(int x) { return p->x + N::f(x); } // f\n#define X \"x\"\n";
  OutputStyle spaced = marker_style();
  spaced.nbsp_spaces = true;
  spaced.expand_tabs = true;
  for (const Vocabulary* vocabulary : {&builtin_, &shipped_}) {
    for (const OutputStyle& style : {marker_style(), spaced}) {
      NameLinks none(false);
      EXPECT_EQ(convert(source, *vocabulary, &none, style), convert(source, *vocabulary, nullptr, style));
      EXPECT_TRUE(none.asked.empty());
      // With links that know no name, neither.
      NameLinks unknown;
      unknown.names.clear();
      EXPECT_EQ(convert(source, *vocabulary, &unknown, style), convert(source, *vocabulary, &none, style));
      EXPECT_FALSE(unknown.asked.empty());
    }
  }
}

TEST_F(IdentifierLinksTest, ExpandedTabsKeepTheirColumnsAroundALink) {
  OutputStyle style = marker_style();
  style.expand_tabs = true;
  style.tab_width = 4;
  NameLinks links;
  EXPECT_EQ(convert("f\tx\ty\n", builtin_, &links, style),
            "<a href=\"#f\">f</a>   <a href=\"#x\">x</a>   y\n");
}

// Real sources, and the corners of the scanner: with every identifier
// linked, the page is the page without links once the links are taken out,
// in every layout, encoding and vocabulary.
TEST_F(IdentifierLinksTest, TakingTheLinksOutGivesThePageWithoutThem) {
  std::vector<std::string> sources;
  for (const char* file : {"/engine/line_converter.cpp", "/engine/scanner.h", "/convert/tree_conversion.cpp"})
    sources.push_back(testing::read_file(std::string(PRISMET_SOURCE_DIR) + file));
  sources.push_back(
      "R\"x(a\nb)x\" u8R\"(c)\" L'd' 1'000u x.y->z::w 0x1fULL .5e-3f a##b #x\n"
      "/* open\n f */ g // h \\\n i\n\"j\\\n k\" l\n#  include <m.h> n\n#error o p\n"
      "\t\tq\tr &s <t> \"u\" \x95\x5C v \xE3\x81\x82w\x80x\n\r\n\0y z");
  OutputStyle numbered = marker_style();
  testing::set_check_tags(numbered);
  numbered.line_numbers = true;
  numbered.line_anchors = true;
  OutputStyle spaced = marker_style();
  spaced.expand_tabs = true;
  spaced.nbsp_spaces = true;
  spaced.tab_width = 3;
  for (const std::string& source : sources) {
    for (const OutputStyle* style : {&numbered, &spaced}) {
      for (const CharacterEncoding encoding : {CharacterEncoding::kUtf8, CharacterEncoding::kShiftJis}) {
        for (const Vocabulary* vocabulary : {&builtin_, &shipped_}) {
          EXPECT_EQ(testing::name_links_error(source, *style, *vocabulary, encoding), "")
              << source.substr(0, 40) << (encoding == CharacterEncoding::kUtf8 ? " utf-8" : " sjis");
        }
      }
    }
  }
}

TEST(IncludeLine, TellsEveryDirectiveThatTakesAFile) {
  const struct {
    const char* line;
    bool include;
  } cases[] = {
      {"#include <a>", true},
      {"  #  include X", true},
      {"#include_next <a>", true},
      {"#import \"a\"", true},
      {"#includes", false},
      {"#define include", false},
      {"x #include <a>", false},
      {"#", false},
      {"", false},
      {"#\tinclude", true},
      {"// #include", false},
      {"#INCLUDE <a>", false},
  };
  for (const auto& c : cases) EXPECT_EQ(is_include_line(c.line), c.include) << c.line;
}

}  // namespace
}  // namespace prismet

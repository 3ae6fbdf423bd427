// Properties of every conversion, over real sources and generated text in
// every layout: the tags nest line by line, source text never puts a raw
// '<', '>', '&' or '"' into the page, and the page's text, tags taken out
// and escapes undone, is the source's (see tests/page_invariants.h).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "engine/emitter.h"
#include "engine/vocabulary.h"
#include "tests/page_invariants.h"

namespace prismet {
namespace {

using testing::conversion_error;

struct Layout {
  bool line_numbers;
  bool expand_tabs;
  bool nbsp_spaces;
  int tab_width;
};

std::vector<Layout> every_layout() {
  std::vector<Layout> layouts;
  for (int flags = 0; flags < 8; ++flags) {
    for (int width : {0, 1, 3, 4, 8}) {
      if (!(flags & 2) && width != 4) continue;  // the width only matters when tabs are expanded
      layouts.push_back({(flags & 1) != 0, (flags & 2) != 0, (flags & 4) != 0, width});
    }
  }
  return layouts;
}

OutputStyle style_for(const Layout& layout) {
  OutputStyle style;
  set_default_output_style(style, "", "");
  testing::set_check_tags(style);
  style.line_numbers = layout.line_numbers;
  style.expand_tabs = layout.expand_tabs;
  style.nbsp_spaces = layout.nbsp_spaces;
  style.tab_width = layout.tab_width;
  return style;
}

std::string describe(const Layout& layout) {
  return std::string("numbers=") + (layout.line_numbers ? "1" : "0") +
         " tabs=" + (layout.expand_tabs ? "1" : "0") + " nbsp=" + (layout.nbsp_spaces ? "1" : "0") +
         " width=" + std::to_string(layout.tab_width);
}

std::string read_whole(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// The project's own sources and the example, each on its own.
std::vector<std::pair<std::string, std::string>> real_sources() {
  namespace fs = std::filesystem;
  const fs::path root = fs::path(__FILE__).parent_path().parent_path();
  std::vector<std::pair<std::string, std::string>> sources;
  for (const char* folder : {"common", "engine", "settings", "app", "examples"}) {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(root / folder, error)) {
      const std::string extension = entry.path().extension().string();
      if (extension == ".cpp" || extension == ".h") {
        sources.emplace_back(entry.path().filename().string(), read_whole(entry.path()));
      }
    }
  }
  return sources;
}

// Text drawn from C++ fragments and from the bytes that take unusual paths:
// the five escaped characters, tabs at every column, lead bytes with valid,
// invalid and missing second bytes, lone CR, NUL, 0x1A, and unclosed
// comments and literals running over line ends.
std::string generated_text(std::mt19937& random, std::size_t size) {
  static const char* const kPieces[] = {
      "int ",         "x",     "return", "while", "0x1F", "12.5e3", " ",        "  ",     "\t",
      "a\tb",         "\n",    "\r\n",   "\r",    "//",   "/*",     "*/",       "\"",     "'",
      "\\",           "\\\n",  "<",      ">",     "&",    "&amp;",  "\"a<b>\"", "'\\''",  "&nbsp;",
      "\x81\x40",     "\x81<", "\x81\t", "\x82",  "\xA0", "\xFF",   "\x81\n",   "\xE0\"", "\x1a",
      "#include <a>", ")",     "{"};
  std::string text;
  while (text.size() < size) {
    const std::size_t pick = random() % (std::size(kPieces) + 2);
    if (pick == std::size(kPieces)) {
      text += '\0';
    } else if (pick == std::size(kPieces) + 1) {
      text += static_cast<char>(random());
    } else {
      text += kPieces[pick];
    }
  }
  return text;
}

class ConversionProperties : public ::testing::Test {
 protected:
  void SetUp() override { set_builtin_vocabulary(vocabulary_); }
  void TearDown() override { free_vocabulary(vocabulary_); }
  Vocabulary vocabulary_;
};

TEST_F(ConversionProperties, RealSourcesInEveryLayout) {
  const auto sources = real_sources();
  ASSERT_GT(sources.size(), 20u);
  for (const Layout& layout : every_layout()) {
    const OutputStyle style = style_for(layout);
    for (const auto& [name, text] : sources) {
      ASSERT_EQ(conversion_error(text, style, vocabulary_), "") << name << ", " << describe(layout);
    }
  }
}

TEST_F(ConversionProperties, GeneratedTextInEveryLayout) {
  std::mt19937 random(20261207);
  const std::vector<Layout> layouts = every_layout();
  for (int round = 0; round < 3000; ++round) {
    const std::string text = generated_text(random, random() % 200);
    const Layout& layout = layouts[random() % layouts.size()];
    ASSERT_EQ(conversion_error(text, style_for(layout), vocabulary_), "")
        << describe(layout) << ", input " << ::testing::PrintToString(text);
  }
}

// Lines longer than a piece are cut into pieces, each converted as a line
// of its own; a piece boundary may fall inside a double-byte character, a
// comment or a tab run.
TEST_F(ConversionProperties, LinesLongerThanAPiece) {
  std::mt19937 random(7);
  for (const char* unit : {"x", "\t", "\x81\x40", "/* \t */", "\"<&>\""}) {
    std::string text;
    while (text.size() < 2 * kMaxPieceBytes + 10) text += unit;
    text += "\n" + generated_text(random, 50);
    for (const Layout& layout : {Layout{true, true, true, 4}, Layout{false, false, false, 8}}) {
      ASSERT_EQ(conversion_error(text, style_for(layout), vocabulary_), "")
          << unit << ", " << describe(layout);
    }
  }
}

// A vocabulary whose delimiters begin with letters, digits, blanks, escaped
// characters and lead bytes, so tokens start in unusual places.
TEST_F(ConversionProperties, OddDelimiters) {
  add_entry(*vocabulary_.line_comment, "rem ", std::nullopt);
  add_entry(*vocabulary_.block_comment, "9l", "es");
  add_entry(*vocabulary_.block_comment, "\t", "\t");
  add_entry(*vocabulary_.string_literal, "<", ">");
  add_entry(*vocabulary_.string_literal, "&", "\n");
  add_entry(*vocabulary_.char_constant, "\x81\x40", "\"");
  add_entry(*vocabulary_.keyword, "x", std::nullopt);
  std::mt19937 random(99);
  const std::vector<Layout> layouts = every_layout();
  for (int round = 0; round < 1500; ++round) {
    std::string text = generated_text(random, random() % 150);
    if (round % 3 == 0) text += "rem <9lives> & \x81\x40 x \t";
    const Layout& layout = layouts[random() % layouts.size()];
    ASSERT_EQ(conversion_error(text, style_for(layout), vocabulary_), "")
        << describe(layout) << ", input " << ::testing::PrintToString(text);
  }
}

// UTF-8: generated text with well-formed, cut and invalid sequences among
// the pieces, with the built-in vocabulary and with delimiters that begin
// with bytes of 0x80-0xFF (the run loop then leaves such bytes to the
// recognisers).
TEST_F(ConversionProperties, Utf8InEveryLayout) {
  static const char* const kUtf8Pieces[] = {"\xE3\x81\x82",   "\xE3\x81",     "\xC3\xA9",  "\xF0\x9F\x98\x80",
                                            "\xF0\x9F\x98",   "\xED\xA0\x80", "\xC0\x80",  "\xE3\x81\x82\t",
                                            "\xEF\xBC\xA1\t", "\x80\"",       "\xE3\x81\n"};
  std::mt19937 random(20261208);
  const std::vector<Layout> layouts = every_layout();
  for (int round = 0; round < 3000; ++round) {
    if (round == 1500) {
      add_entry(*vocabulary_.string_literal, "\xE3\x80\x8C", "\xE3\x80\x8D");
      add_entry(*vocabulary_.char_constant, "\x82", "'");
    }
    std::string text;
    while (text.size() < static_cast<std::size_t>(random() % 200)) {
      text += random() % 2 ? generated_text(random, 4)
                           : std::string(kUtf8Pieces[random() % std::size(kUtf8Pieces)]);
      if (round >= 1500 && random() % 8 == 0) text += "\xE3\x80\x8Cq\xE3\x80\x8D\x82";
    }
    const Layout& layout = layouts[random() % layouts.size()];
    ASSERT_EQ(conversion_error(text, style_for(layout), vocabulary_, CharacterEncoding::kUtf8), "")
        << describe(layout) << ", input " << ::testing::PrintToString(text);
  }
}

}  // namespace
}  // namespace prismet

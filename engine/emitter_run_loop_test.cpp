// The emitter writes the code state's plain tokens in runs: copied as they
// stand, or through the escaper when spaces or tabs are rewritten. That must
// write exactly what the plain token loop (next_token, then emit_token for
// every token) writes: checked here on the project's own sources and on
// generated text full of odd bytes, in every layout, with the built-in
// vocabulary and with one whose delimiters start with letters, digits,
// blanks and escaped characters.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>

#include "engine/emitter.h"
#include "tests/page_invariants.h"
#include "tests/reference_converter.h"

namespace prismet {
namespace {

const TagPair* category_of(ScanState state, const OutputStyle& style) {
  return state == ScanState::LineComment || state == ScanState::BlockComment ? &style.comment
         : state == ScanState::StringLiteral                                 ? &style.string_literal
         : state == ScanState::CharConstant                                  ? &style.char_constant
                                                                             : nullptr;
}

// The conversion token by token, the way the emitter works without runs.
// In UTF-8 and with line anchors, a line read in several pieces gets its
// prefix and line tags once, and its columns go on from piece to piece.
std::string convert_token_by_token(const std::string& input, const OutputStyle& style,
                                   const Vocabulary& vocabulary, CharacterEncoding encoding) {
  const bool whole_lines = encoding == CharacterEncoding::kUtf8 || style.line_anchors;
  TextReader reader;
  reader.open_memory(input.data(), input.size());
  if (whole_lines) reader.replace_nuls(encoding == CharacterEncoding::kUtf8 ? "\xEF\xBF\xBD" : "?");
  std::string out;
  TextWriter writer;
  writer.open_memory(&out);
  const VocabularyIndex index(vocabulary);
  writer.write(style.whole.open.data(), style.whole.open.size());
  auto line = std::make_unique<SourceLine>();
  ScanState state = ScanState::Code;
  bool in_line = false;
  int column = 0;
  for (int number = 1;
       whole_lines ? read_whole_line_piece(reader, *line, encoding) : read_source_line(reader, *line);) {
    if (!in_line) {
      if (style.line_anchors) {
        const std::string id = "L" + std::to_string(number);
        const std::string anchor = style.line_numbers ? "<a id=\"" + id + "\" href=\"#" + id + "\">"
                                                      : "<span id=\"" + id + "\"></span>";
        writer.write_raw(anchor.data(), anchor.size());
      }
      if (style.line_numbers) write_line_number(writer, number, style);
      if (style.line_anchors && style.line_numbers) writer.write_raw("</a>", 4);
      writer.write(style.line.open.data(), style.line.open.size());
      column = 0;
      ++number;
    }
    const TagPair* category = category_of(state, style);
    if (category != nullptr) writer.write(category->open.data(), category->open.size());
    Token token;
    while (next_token(*line, token, index, state, encoding))
      state = emit_token(writer, column, token, style, state, encoding);
    category = category_of(state, style);
    if (category != nullptr) writer.write(category->close.data(), category->close.size());
    in_line = whole_lines && line->line_ending[0] == '\0';
    if (!in_line) {
      writer.write(style.line.close.data(), style.line.close.size());
      if (line->line_ending[0] != '\0') writer.put('\n');
    }
    if (!whole_lines) column = 0;
  }
  if (in_line) writer.write(style.line.close.data(), style.line.close.size());
  writer.write(style.whole.close.data(), style.whole.close.size());
  writer.close();
  return out;
}

// The C++ sources of the project, one after the other.
std::string project_sources() {
  namespace fs = std::filesystem;
  const fs::path root = fs::path(__FILE__).parent_path().parent_path();
  std::string all;
  for (const char* folder : {"common", "engine", "settings", "app"}) {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(root / folder, error)) {
      const std::string extension = entry.path().extension().string();
      if (extension != ".cpp" && extension != ".h") continue;
      std::ifstream file(entry.path(), std::ios::binary);
      all.append(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
  }
  return all;
}

// Text made of C++ fragments and bytes that take the unusual paths: escapes,
// lead bytes with valid and invalid second bytes, CR, NUL, 0x1A late on.
std::string generated_text(unsigned seed, std::size_t size) {
  static const char* const kPieces[] = {
      "int ", "x", "_y1", "#define", "0x1F", "0x", "12.5", ".", "  ", "\t", "\n", "\r\n", "\r", "//", "/*",
      "*/", "\"", "'", "\\", "<", ">", "&", "\"a<b>\"", "'\\''", "return", "while", "\x81\x40", "\x81<",
      "\x82", "\xA0", "\xFF", "R\"(", ")\"", "@@", "rem ", "9lives", " --", "\x81int", "\x81\t", "\x95\x5C",
      "$", "\xE3\x81\x82", "\xF0\x9F\x98\x80",
      // Words around sixteen bytes long, and the bytes next to the word bytes.
      "static_assert_16", "reinterpret_cast_", "a_very_long_identifier_of_forty_bytes__", "`", "[", "{", "@",
      "/",
      // Directives with blanks, their text, and line ends after a backslash.
      "\n#", "\n  #  if", "\n#error x'", "\n# define", "#\t", "\\\n"};
  std::mt19937 random(seed);
  std::string text;
  while (text.size() < size) {
    const std::size_t pick = random() % (std::size(kPieces) + 1);
    if (pick == std::size(kPieces))
      text += std::string(1, '\0');
    else
      text += kPieces[pick];
  }
  return text;
}

// Delimiters that begin with bytes the run loop would otherwise copy: a
// letter, a digit, a blank, an escaped character and a lead byte; and
// directives, their text and literals that end with their line.
void add_odd_delimiters(Vocabulary& vocabulary) {
  add_entry(*vocabulary.line_comment, "rem ", std::nullopt);
  add_entry(*vocabulary.line_comment, " --", std::nullopt);
  add_entry(*vocabulary.block_comment, "9l", "es");
  add_entry(*vocabulary.string_literal, "R\"(", ")\"");
  add_entry(*vocabulary.string_literal, "<", ">");
  add_entry(*vocabulary.char_constant, "@@", "@@");
  add_entry(*vocabulary.char_constant, "\x81\x40", "\x81\x40");
  add_entry(*vocabulary.keyword, "x", std::nullopt);
  add_entry(*vocabulary.keyword, "a<b", std::nullopt);
  add_entry(*vocabulary.keyword, "static_assert_16", std::nullopt);
  add_entry(*vocabulary.keyword, "reinterpret_cast_", std::nullopt);
  add_entry(*vocabulary.directive, "define", std::nullopt);
  add_entry(*vocabulary.directive, "if", std::nullopt);
  add_entry(*vocabulary.directive_text, "error", std::nullopt);
  add_entry(*vocabulary.line_literal, "string_literal", std::nullopt);
  add_entry(*vocabulary.line_literal, "char_constant", std::nullopt);
}

struct StyleCase {
  const char* name;
  bool marker_tags;
  bool empty_tags;
  bool line_numbers;
  bool nbsp_spaces = false;
  bool expand_tabs = false;
  int tab_width = 4;
  bool line_anchors = false;
};

OutputStyle make_style(const StyleCase& c) {
  OutputStyle style;
  set_default_output_style(style, "", "");
  style.line_numbers = c.line_numbers;
  style.nbsp_spaces = c.nbsp_spaces;
  style.expand_tabs = c.expand_tabs;
  style.tab_width = c.tab_width;
  style.line_anchors = c.line_anchors;
  if (c.marker_tags) {
    style.whole = {"{W", "W}"};
    style.keyword = {"{K", "K}"};
    style.constant = {"{N\n", "N}"};
    style.line = {"{L", "L}"};
  }
  if (c.empty_tags) style.keyword = style.constant = style.comment = TagPair{};
  return style;
}

TEST(EmitterRunLoop, WritesWhatTheTokenLoopWrites) {
  const std::string sources = project_sources();
  ASSERT_GT(sources.size(), 100000u) << "the project's sources were not found";
  // Lines of up to 100,000 bytes, read in several pieces.
  std::string long_lines = generated_text(3, 200000);
  for (std::size_t at = 0; at < long_lines.size(); ++at) {
    if (long_lines[at] == '\n' && at % 400 != 0) long_lines[at] = ' ';
  }
  const std::string inputs[] = {sources, generated_text(1, 300000), generated_text(2, 300000), long_lines};
  const StyleCase styles[] = {
      {"default tags", false, false, false},
      {"marker tags with a newline, line numbers", true, false, true},
      {"empty keyword, constant and comment tags", false, true, false},
      {"numbers, tabs and &nbsp;", false, false, true, true, true},
      {"&nbsp; only", true, false, false, true, false},
      {"tabs of width 3 only", false, false, false, false, true, 3},
      {"tabs of width 0, marker tags", true, false, true, false, true, 0},
      {"line anchors", false, false, false, false, false, 4, true},
      {"line anchors on numbers, tabs", true, false, true, false, true, 4, true},
  };
  for (const bool odd_vocabulary : {false, true}) {
    Vocabulary vocabulary;
    set_builtin_vocabulary(vocabulary);
    if (odd_vocabulary) add_odd_delimiters(vocabulary);
    for (const StyleCase& style_case : styles) {
      const OutputStyle style = make_style(style_case);
      for (const CharacterEncoding encoding : {CharacterEncoding::kShiftJis, CharacterEncoding::kUtf8}) {
        for (std::size_t i = 0; i < std::size(inputs); ++i) {
          SCOPED_TRACE(std::string(style_case.name) + (odd_vocabulary ? ", odd vocabulary" : "") +
                       (encoding == CharacterEncoding::kUtf8 ? ", UTF-8" : ", Shift_JIS") + ", input " +
                       std::to_string(i));
          const std::string expected = convert_token_by_token(inputs[i], style, vocabulary, encoding);
          const std::string actual = testing::convert_in_memory(inputs[i], style, vocabulary, encoding);
          ASSERT_EQ(actual.size(), expected.size());
          EXPECT_TRUE(actual == expected);
        }
      }
    }
    free_vocabulary(vocabulary);
  }
}

}  // namespace
}  // namespace prismet

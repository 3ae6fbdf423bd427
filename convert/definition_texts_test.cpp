#include "convert/definition_texts.h"

#include <gtest/gtest.h>

#include <string>

namespace prismet {
namespace {

TEST(DefinitionTextTest, TrimsAndCutsAtACharacter) {
  struct Row {
    const char* what;
    std::string text;
    CharacterEncoding encoding;
    std::string expected;
  };
  const std::string a239(239, 'a');
  const std::string a240(240, 'a');
  const std::vector<Row> rows = {
      {"blanks", " \t int x; \t ", CharacterEncoding::kUtf8, "int x;"},
      {"only blanks", " \t ", CharacterEncoding::kUtf8, ""},
      {"exactly 240", a240, CharacterEncoding::kUtf8, a240},
      {"241 ASCII", a240 + "b", CharacterEncoding::kUtf8, a240},
      {"UTF-8 across the limit", a239 + "\xE8\xA1\xA8", CharacterEncoding::kUtf8, a239},
      {"UTF-8 ending at the limit", std::string(237, 'a') + "\xE8\xA1\xA8" + "z", CharacterEncoding::kUtf8,
       std::string(237, 'a') + "\xE8\xA1\xA8"},
      {"Shift_JIS across the limit", a239 + "\x95\x5C", CharacterEncoding::kShiftJis, a239},
      {"Shift_JIS ending at the limit", std::string(238, 'a') + "\x95\x5C" + "z",
       CharacterEncoding::kShiftJis, std::string(238, 'a') + "\x95\x5C"},
      {"Shift_JIS half-width kana is one byte", std::string(239, '\xB1') + "\xB2z",
       CharacterEncoding::kShiftJis, std::string(239, '\xB1') + "\xB2"},
      {"blanks before the cut", std::string(230, 'a') + std::string(20, ' ') + "b", CharacterEncoding::kUtf8,
       std::string(230, 'a')},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(std::string(definition_text(row.text, row.encoding)), row.expected) << row.what;
  }
}

TEST(DefinitionTextsTest, KeepsTheLastLines) {
  auto texts = std::make_unique<DefinitionTexts>();
  texts->start(CharacterEncoding::kUtf8);
  for (std::uint32_t line = 1; line <= 300; ++line) {
    texts->begin_line(line);
    texts->add("   ", 3);      // blanks of a first piece...
    texts->add("  line ", 7);  // ...and of the next piece before any text
    const std::string number = std::to_string(line);
    texts->add(number.data(), number.size());
  }
  std::string text;
  EXPECT_TRUE(texts->find(300, text));
  EXPECT_EQ(text, "line 300");
  EXPECT_TRUE(texts->find(300 - DefinitionTexts::kLines + 1, text));
  EXPECT_EQ(text, "line " + std::to_string(300 - DefinitionTexts::kLines + 1));
  EXPECT_FALSE(texts->find(300 - DefinitionTexts::kLines, text));
  EXPECT_FALSE(texts->find(0, text));
  EXPECT_FALSE(texts->find(301, text));
}

}  // namespace
}  // namespace prismet

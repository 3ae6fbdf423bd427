#include "engine/vocabulary_file.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "tests/builtin_keywords.h"
#include "tests/test_files.h"

namespace prismet {
namespace {

using testing::scratch_path;
using testing::write_file;
using testing::written_builtin_keywords;

std::vector<std::string> describe(const EntryList& list) {
  std::vector<std::string> entries;
  for (auto* node = list.first(); node != nullptr; node = node->next()) {
    const VocabularyEntry& entry = node->item();
    entries.push_back(entry.end ? entry.start + " " + *entry.end : entry.start);
  }
  return entries;
}

std::vector<std::vector<std::string>> describe_all(const Vocabulary& vocabulary) {
  return {describe(*vocabulary.line_comment), describe(*vocabulary.block_comment),
          describe(*vocabulary.string_literal), describe(*vocabulary.char_constant),
          describe(*vocabulary.keyword)};
}

// The vocabulary built from a file holding `text`; every case also checks
// that the same bytes read from memory build the same lists.
struct Loaded {
  Vocabulary vocabulary;
  explicit Loaded(const std::string& text) {
    const std::string path = scratch_path("vocabulary.txt");
    write_file(path, text);
    EXPECT_TRUE(load_vocabulary(vocabulary, path.c_str()));
    Vocabulary from_memory;
    load_vocabulary_from_memory(from_memory, text.data(), text.size());
    EXPECT_EQ(describe_all(from_memory), describe_all(vocabulary));
    free_vocabulary(from_memory);
  }
  ~Loaded() { free_vocabulary(vocabulary); }
  std::vector<std::string> keywords() const { return describe(*vocabulary.keyword); }
  std::vector<std::string> blocks() const { return describe(*vocabulary.block_comment); }
};

void expect_builtin(const Vocabulary& vocabulary) {
  EXPECT_EQ(describe(*vocabulary.keyword), written_builtin_keywords());
  EXPECT_EQ(describe(*vocabulary.line_comment), std::vector<std::string>{"//"});
  EXPECT_EQ(describe(*vocabulary.block_comment), std::vector<std::string>{"/* */"});
  EXPECT_EQ(describe(*vocabulary.string_literal), std::vector<std::string>{"\" \""});
  EXPECT_EQ(describe(*vocabulary.char_constant), std::vector<std::string>{"' '"});
}

TEST(VocabularyFile, RejectedFilesLeaveTheBuiltinVocabulary) {
  const char* files[] = {
      "",
      "#version 00000001\n[keyword]\n",
      "#version00000000\n[keyword]\n",
      "x #version 00000000\n[keyword]\n",
      "\xEF\xBB\xBF#version 00000000\n[keyword]\n",
      "#version\n[keyword]\n",
      "#VERSION 00000000\n[keyword]\n",
      "\n#version 00000000\n[keyword]\n",
  };
  for (const char* text : files) {
    Loaded loaded(text);
    expect_builtin(loaded.vocabulary);
  }
}

TEST(VocabularyFile, MissingPathsLeaveTheBuiltinVocabulary) {
  for (const std::string& path : {std::string(), scratch_path("absent.txt"), scratch_path("")}) {
    Vocabulary vocabulary;
    EXPECT_TRUE(load_vocabulary(vocabulary, path.c_str()));
    expect_builtin(vocabulary);
    free_vocabulary(vocabulary);
  }
}

TEST(VocabularyFile, VersionLineMayCarryMore) {
  Loaded loaded(" \t#version\v00000000 comment\r\n[keyword]\r\n");
  EXPECT_TRUE(loaded.keywords().empty());
  EXPECT_EQ(describe(*loaded.vocabulary.line_comment), std::vector<std::string>{"//"});
  EXPECT_EQ(loaded.blocks(), std::vector<std::string>{"/* */"});
}

TEST(VocabularyFile, HeadersReplaceAddAndRemove) {
  struct Case {
    const char* name;
    const char* body;                                 // after the version line
    std::vector<std::string> keywords_after_builtin;  // appended to the built-in ones
  };
  const Case cases[] = {
      {"add takes the first token", "[+keyword]\nnullptr override\n", {"nullptr"}},
      {"entries before a header are ignored", "[foo]\nbefore\n[+keyword]\n[foo]\n", {"[foo]"}},
      {"bracket glued to more is an entry",
       "[+keyword]\n[keyword]x\n[Keyword]\n",
       {"[keyword]x", "[Keyword]"}},
      {"blank lines carry no entry", "[+keyword]\n\n \t\n#pragma\n", {"#pragma"}},
      {"open header form", "[+keyword anything]\nx\n", {"x"}},
      {"a header needs a closing bracket", "[+keyword]\n[-keyword\ny\n", {"[-keyword", "y"}},
  };
  for (const Case& c : cases) {
    Loaded loaded(std::string("#version 00000000\n") + c.body);
    std::vector<std::string> expected = written_builtin_keywords();
    expected.insert(expected.end(), c.keywords_after_builtin.begin(), c.keywords_after_builtin.end());
    EXPECT_EQ(loaded.keywords(), expected) << c.name;
  }
}

TEST(VocabularyFile, RemovesEveryEqualEntry) {
  for (const char* header : {"[-keyword]", "[-keyword ]", "[-keyword x]"}) {
    Loaded loaded(std::string("#version 00000000\n") + header + "\ngoto\nnot-there\n");
    std::vector<std::string> expected = written_builtin_keywords();
    std::erase(expected, "goto");
    EXPECT_EQ(loaded.keywords(), expected) << header;
  }
  Loaded twice("#version 00000000\n[+keyword]\nx\nx\n[-keyword]\nx\n");
  EXPECT_EQ(twice.keywords(), written_builtin_keywords());
  // A built-in entry removed and added again goes to the back.
  Loaded again("#version 00000000\n[-keyword]\nint\n[+keyword]\nint\n");
  std::vector<std::string> expected = written_builtin_keywords();
  std::erase(expected, "int");
  expected.push_back("int");
  EXPECT_EQ(again.keywords(), expected);
}

// A removal takes every equal entry that stands in the list at its line,
// built-in or added, and none added after it; a replacing header empties the
// list, removals before it included. Each list is its own.
TEST(VocabularyFile, RemovalsTakeWhatStandsBeforeThem) {
  struct Case {
    const char* name;
    const char* body;                                  // after the version line
    std::optional<std::vector<std::string>> keywords;  // none: the built-in ones
    std::optional<std::vector<std::string>> blocks;    // none: the built-in one
  };
  const Case cases[] = {
      {"an entry added after the removal stays", "[keyword]\nx\n[-keyword]\nx\n[+keyword]\nx\n", {{"x"}}, {}},
      {"every earlier copy goes", "[keyword]\nx\ny\nx\n[-keyword]\nx\n", {{"y"}}, {}},
      {"duplicates stay in order", "[keyword]\nx\nx\ny\nx\n", {{"x", "x", "y", "x"}}, {}},
      {"the others keep their order",
       "[keyword]\na\nb\nc\nd\nb\n[-keyword]\nb\n[+keyword]\nb\na\n",
       {{"a", "c", "d", "b", "a"}},
       {}},
      {"removals between additions",
       "[keyword]\nx\n[-keyword]\nx\n[+keyword]\nx\ny\n[-keyword]\nx\n[+keyword]\nx\n",
       {{"y", "x"}},
       {}},
      {"removing what is not there, or in another case", "[keyword]\na\n[-keyword]\nb\nA\n", {{"a"}}, {}},
      {"a replace forgets the removals before it",
       "[keyword]\na\n[-keyword]\nb\n[keyword]\nb\n",
       {{"b"}},
       {}},
      {"a removal after a replace", "[+keyword]\nx\n[keyword]\nx\ny\n[-keyword]\nx\n", {{"y"}}, {}},
      {"a removal in another list",
       "[keyword]\n//\n(* *)\n[-line_comment]\n//\n[-block_comment]\n(* *)\n",
       {{"//", "(*"}},
       {}},
      {"both ends must match",
       "[+block_comment]\n(* *)\n[-block_comment]\n(* x\n(*\n*) *)\n",
       {},
       {{"/* */", "(* *)"}}},
      {"a pair removal takes the built-in pair too",
       "[-block_comment]\n/* */\n[+block_comment]\n/* */\n{ }\n/* */\n[-block_comment]\n{ }\n",
       {},
       {{"/* */", "/* */"}}},
      {"one start with several ends",
       "[block_comment]\n( )\n( ]\n( )\n[-block_comment]\n( )\n",
       {},
       {{"( ]"}}},
  };
  for (const Case& c : cases) {
    Loaded loaded(std::string("#version 00000000\n") + c.body);
    EXPECT_EQ(loaded.keywords(), c.keywords.value_or(written_builtin_keywords())) << c.name;
    EXPECT_EQ(loaded.blocks(), c.blocks.value_or(std::vector<std::string>{"/* */"})) << c.name;
  }
  Loaded other_list("#version 00000000\n[keyword]\n//\n[-line_comment]\n//\n");
  EXPECT_TRUE(describe(*other_list.vocabulary.line_comment).empty());
}

// Files of random additions, removals and headers over a few entries give
// what applying each line at once to a plain list gives.
TEST(VocabularyFile, AnyMixGivesWhatEachLineAppliedAtOnceGives) {
  const char* const words[] = {"a", "b", "int", "goto", "#if"};
  const char* const pairs[] = {"/* */", "( )", "( ]", "[ )"};
  std::mt19937 random(5);
  for (int round = 0; round < 200; ++round) {
    std::vector<std::string> keywords = written_builtin_keywords();
    std::vector<std::string> blocks = {"/* */"};
    std::vector<std::string>* list = nullptr;
    char mode = 0;
    std::string file = "#version 00000000\n";
    for (int line = 0; line < 40; ++line) {
      if (random() % 4 == 0) {
        const bool keyword = random() % 2 == 0;
        const char* const signs[] = {"", "+", "-"};
        const std::string sign = signs[random() % 3];
        file += "[" + sign + (keyword ? "keyword]\n" : "block_comment]\n");
        list = keyword ? &keywords : &blocks;
        mode = sign.empty() ? '+' : sign[0];
        if (sign.empty()) list->clear();
        continue;
      }
      const std::string entry =
          list == &keywords ? words[random() % std::size(words)] : pairs[random() % std::size(pairs)];
      file += entry + "\n";
      if (list == nullptr) continue;
      if (mode == '+')
        list->push_back(entry);
      else
        std::erase(*list, entry);
    }
    Loaded loaded(file);
    ASSERT_EQ(loaded.keywords(), keywords) << file;
    ASSERT_EQ(loaded.blocks(), blocks) << file;
  }
}

TEST(VocabularyFile, ReplaceHappensAtTheHeader) {
  Loaded loaded(
      "#version 00000000\n"
      "[keyword]\na\n[+keyword]\nb\n[keyword]\nc\n"  // the second replace drops a and b
      "[block_comment]\n(* *)\n(*\n{ } extra\n"
      "[+block_comment]\n/* */\n"
      "[-block_comment]\n{ }x\n{\n"
      "[line_comment]\n"
      "[string_literal]\n\"\"\" \"\"\"\n");
  EXPECT_EQ(loaded.keywords(), std::vector<std::string>{"c"});
  EXPECT_EQ(loaded.blocks(), (std::vector<std::string>{"(* *)", "{ }", "/* */"}));
  EXPECT_TRUE(describe(*loaded.vocabulary.line_comment).empty());
  EXPECT_EQ(describe(*loaded.vocabulary.string_literal), std::vector<std::string>{"\"\"\" \"\"\""});
  EXPECT_EQ(describe(*loaded.vocabulary.char_constant), std::vector<std::string>{"' '"});
}

TEST(VocabularyFile, BlankBytesAndDoubleByteTokens) {
  // BS, VT, FF and BEL separate tokens; every byte of a double-byte
  // character, and any other control byte, belongs to one.
  Loaded loaded("#version 00000000\n[+block_comment]\n\b「\a」\f\n\x01x\x1a");
  EXPECT_EQ(loaded.blocks(), (std::vector<std::string>{"/* */", "「 」"}));
}

TEST(VocabularyFile, ReadsInTextMode) {
  // CR LF arrives as LF, a lone CR is a blank, 0x1A ends the input.
  Loaded loaded("#version 00000000\r\n[keyword]\r\na\rb\r\nc\x1a\r\nd\r\n");
  EXPECT_EQ(loaded.keywords(), (std::vector<std::string>{"a", "c"}));
}

TEST(VocabularyFile, LongLinesArriveInPiecesOf32767Bytes) {
  const std::string first(32767, 'k');
  Loaded loaded("#version 00000000\n[keyword]\n" + first + "second piece\nlast\n");
  EXPECT_EQ(loaded.keywords(), (std::vector<std::string>{first, "second", "last"}));
}

TEST(VocabularyFile, NulEndsALine) {
  Loaded loaded(std::string("#version 00000000\n[+keyword]\n") + std::string("ab\0cd\n", 6));
  std::vector<std::string> expected = written_builtin_keywords();
  expected.push_back("ab");
  EXPECT_EQ(loaded.keywords(), expected);
}

}  // namespace
}  // namespace prismet

namespace prismet {
namespace {

// The seven lists for today's C++ start empty, take the same headers as the
// others, and a file without them leaves them empty.
TEST(VocabularyFile, ListsForTodaysCpp) {
  const Loaded none("#version 00000000\n[+keyword]\nx\n");
  for (const EntryList* list : {none.vocabulary.raw_string.get(), none.vocabulary.digit_separator.get(),
                                none.vocabulary.number_rule.get(), none.vocabulary.literal_suffix.get(),
                                none.vocabulary.directive.get(), none.vocabulary.directive_text.get(),
                                none.vocabulary.line_literal.get()}) {
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->count(), 0);
  }
  const Loaded some(
      "#version 00000000\n[raw_string]\nR\" \"\nLR\" \"\n[-raw_string]\nR\" \"\n[digit_separator]\n' extra\n"
      "[+number_rule]\npp_number\n[literal_suffix]\nstring_literal\n[-literal_suffix]\nstring_literal\n");
  EXPECT_EQ(describe(*some.vocabulary.raw_string), (std::vector<std::string>{"LR\" \""}));
  EXPECT_EQ(describe(*some.vocabulary.digit_separator), (std::vector<std::string>{"'"}));
  EXPECT_EQ(describe(*some.vocabulary.number_rule), (std::vector<std::string>{"pp_number"}));
  EXPECT_TRUE(describe(*some.vocabulary.literal_suffix).empty());
  const Loaded directives(
      "#version 00000000\n[directive]\ninclude\nif\n[-directive]\nif\n[directive_text]\nerror "
      "more\n[+line_literal]\nchar_constant\n");
  EXPECT_EQ(describe(*directives.vocabulary.directive), (std::vector<std::string>{"include"}));
  EXPECT_EQ(describe(*directives.vocabulary.directive_text), (std::vector<std::string>{"error"}));
  EXPECT_EQ(describe(*directives.vocabulary.line_literal), (std::vector<std::string>{"char_constant"}));
}

}  // namespace
}  // namespace prismet

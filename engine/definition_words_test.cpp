#include "engine/definition_words.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace prismet {
namespace {

TEST(DefinitionWordsTest, EachWordHasItsPart) {
  using W = DeclarationWord;
  struct Row {
    const char* word;
    W expected;
  };
  const std::vector<Row> rows = {
      {"namespace", W::kNamespace},
      {"class", W::kClass},
      {"struct", W::kStruct},
      {"union", W::kUnion},
      {"enum", W::kEnum},
      {"typedef", W::kTypedef},
      {"using", W::kUsing},
      {"template", W::kTemplate},
      {"operator", W::kOperator},
      {"friend", W::kFriend},
      {"extern", W::kExtern},
      {"concept", W::kConcept},
      {"public", W::kAccess},
      {"protected", W::kAccess},
      {"private", W::kAccess},
      {"requires", W::kRequires},
      {"const", W::kTrailing},
      {"noexcept", W::kTrailing},
      {"override", W::kTrailing},
      {"final", W::kTrailing},
      {"throw", W::kTrailing},
      {"default", W::kDefault},
      {"delete", W::kDelete},
      {"inline", W::kInline},
      {"alignas", W::kAttribute},
      {"__attribute__", W::kAttribute},
      {"__declspec", W::kAttribute},
      {"decltype", W::kNotCallee},
      {"sizeof", W::kNotCallee},
      {"static_assert", W::kNotCallee},
      {"reinterpret_cast", W::kNotCallee},  // the longest word, 16 bytes
      {"int", W::kKeyword},
      {"static", W::kKeyword},
      {"constexpr", W::kKeyword},
      {"typename", W::kKeyword},
      // Names: near a word in length or first byte, or a word's prefix or extension.
      {"classes", W::kName},
      {"clas", W::kName},
      {"Class", W::kName},
      {"int_", W::kName},
      {"i", W::kName},
      {"x", W::kName},
      {"reinterpret_cast_", W::kName},
      {"a_very_long_name_of_no_keyword", W::kName},
      {"usingx", W::kName},
      {"final_", W::kName},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(declaration_word(row.word, std::char_traits<char>::length(row.word)), row.expected) << row.word;
  }
  EXPECT_EQ(declaration_word("int", 0), W::kName);
  EXPECT_EQ(declaration_word("interface", 3), W::kKeyword);  // only the bytes given count
}

TEST(DefinitionWordsTest, MacroLookingNames) {
  struct Row {
    const char* word;
    bool expected;
  };
  const std::vector<Row> rows = {
      {"FMT_API", true},  {"BOOST_NOEXCEPT", true},
      {"X2", true},       {"_GLIBCXX_VISIBILITY", true},
      {"A", false},       {"__", false},
      {"Widget", false},  {"fmt_api", false},
      {"FMT_api", false}, {"_1", false},
      {"", false},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(looks_like_macro(row.word, std::char_traits<char>::length(row.word)), row.expected) << row.word;
  }
}

}  // namespace
}  // namespace prismet

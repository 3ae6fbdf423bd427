#include "engine/vocabulary.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/builtin_keywords.h"

namespace prismet {
namespace {

std::vector<std::string> describe(const EntryList& list) {
  std::vector<std::string> entries;
  for (auto* node = list.first(); node != nullptr; node = node->next()) {
    const VocabularyEntry& entry = node->item();
    entries.push_back(entry.end ? entry.start + " " + *entry.end : entry.start);
  }
  return entries;
}

TEST(Vocabulary, BuiltinEntriesInOrder) {
  Vocabulary vocabulary;
  set_builtin_vocabulary(vocabulary);
  EXPECT_EQ(describe(*vocabulary.line_comment), std::vector<std::string>{"//"});
  EXPECT_EQ(describe(*vocabulary.block_comment), std::vector<std::string>{"/* */"});
  EXPECT_EQ(describe(*vocabulary.string_literal), std::vector<std::string>{"\" \""});
  EXPECT_EQ(describe(*vocabulary.char_constant), std::vector<std::string>{"' '"});
  // Entry by entry against the list written out, not the code's own table.
  const auto keywords = describe(*vocabulary.keyword);
  const auto written = testing::written_builtin_keywords();
  ASSERT_EQ(keywords.size(), written.size());
  for (std::size_t i = 0; i < written.size(); ++i) EXPECT_EQ(keywords[i], written[i]) << "entry " << i;
  for (const auto& word : keywords) EXPECT_NE(word, "nullptr");
  free_vocabulary(vocabulary);
  EXPECT_EQ(vocabulary.keyword, nullptr);
}

TEST(Vocabulary, AddAndRemoveCompareStartAndEnd) {
  Vocabulary vocabulary;
  set_builtin_vocabulary(vocabulary);
  EntryList& blocks = *vocabulary.block_comment;
  add_entry(blocks, "/*", "*/");  // duplicates are kept
  add_entry(blocks, "(*", "*)");
  EXPECT_EQ(describe(blocks), (std::vector<std::string>{"/* */", "/* */", "(* *)"}));
  remove_entries(blocks, "/*", "*/x");  // the end must match too
  EXPECT_EQ(blocks.count(), 3);
  remove_entries(blocks, "/*", std::nullopt);  // absent end differs from a present one
  EXPECT_EQ(blocks.count(), 3);
  remove_entries(blocks, "/*", "*/");  // every equal entry goes
  EXPECT_EQ(describe(blocks), std::vector<std::string>{"(* *)"});

  EntryList& keywords = *vocabulary.keyword;
  remove_entries(keywords, "goto", std::nullopt);
  remove_entries(keywords, "nothing", std::nullopt);
  EXPECT_EQ(keywords.count(), 69);
  clear_list(keywords);
  EXPECT_EQ(keywords.count(), 0);
  add_entry(keywords, "nullptr", std::nullopt);
  EXPECT_EQ(describe(keywords), std::vector<std::string>{"nullptr"});
}

}  // namespace
}  // namespace prismet

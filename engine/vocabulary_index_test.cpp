#include "engine/vocabulary_index.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace prismet {
namespace {

// The bytes the scanner puts into words, written out.
bool is_word(const std::string& text) {
  static const std::string kWordBytes = "#_abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  return !text.empty() && text.find_first_not_of(kWordBytes) == std::string::npos;
}

std::vector<std::string> numbered(const char* format, int count) {
  std::vector<std::string> words;
  for (int i = 0; i < count; ++i) {
    char word[64];
    std::snprintf(word, sizeof word, format, i);
    words.push_back(word);
  }
  return words;
}

// The words to ask about: every keyword, each changed in one byte at every
// place, cut short and made longer by one byte, and random words of the
// keywords' bytes; only runs of word bytes, as the scanner asks.
std::vector<std::string> words_near(const std::vector<std::string>& keywords, std::mt19937& random) {
  std::vector<std::string> words;
  for (const std::string& keyword : keywords) {
    if (!is_word(keyword)) continue;
    words.push_back(keyword);
    words.push_back(keyword.substr(0, keyword.size() - 1));
    words.push_back(keyword + "_");
    for (std::size_t at = 0; at < keyword.size(); at += 1 + keyword.size() / 8) {
      std::string changed = keyword;
      changed[at] = changed[at] == 'z' ? '0' : 'z';
      words.push_back(changed);
    }
  }
  for (int i = 0; i < 2000; ++i) {
    std::string made(1 + random() % 70, 'k');
    for (char& c : made) c = "kqfo09_#"[random() % 8];
    words.push_back(made);
  }
  std::erase_if(words, [](const std::string& word) { return !is_word(word); });
  return words;
}

// The keyword lookup answers as the linear walk over the list does: a word
// is a keyword when some entry equals it whole. Checked on key sets that a
// hash of a word's ends and length alone would put on one chain, on
// duplicates, on entries that can never match a word and on long keywords.
TEST(KeywordSet, AnswersAsTheLinearWalk) {
  struct Case {
    const char* name;
    std::vector<std::string> extra;  // after the built-in keywords
  };
  std::vector<std::string> duplicates(300, "dup");
  duplicates.insert(duplicates.end(), {"int", "int", "goto", "dup"});
  const Case cases[] = {
      {"the built-in keywords alone", {}},
      {"shared first and last two bytes, one length", numbered("fo%05doo", 1000)},
      {"foo0 to foo999", numbered("foo%d", 1000)},
      {"one length, one first byte", numbered("x%04d", 1000)},
      {"duplicates", duplicates},
      {"bytes outside the words",
       {"a<b", "a b", "a-b", "", "\x81\x40", "int\n", "#if ", "x\t", "\xE0\x9F", "in t"}},
      {"64 bytes and more",
       {std::string(63, 'q'), std::string(64, 'q'), std::string(65, 'q'), std::string(70, 'k'),
        std::string(1000, 'k'), std::string(64, 'q') + "a", std::string(64, 'q') + "b",
        std::string(40, 'q') + "m" + std::string(40, 'q')}},
      {"one byte each", {"x", "_", "#", "0", "Z"}},
      {"sixteen bytes and either side",
       {"abcdefghijklmno", "abcdefghijklmnop", "abcdefghijklmnopq", "abcdefgh", "abcdefghi", "abcdefg"}},
      {"more keywords than the short table takes", numbered("w%d", 5000)},
  };
  std::mt19937 random(7);
  for (const Case& c : cases) {
    Vocabulary vocabulary;
    set_builtin_vocabulary(vocabulary);
    for (const std::string& word : c.extra) add_entry(*vocabulary.keyword, word, std::nullopt);
    std::vector<std::string> keywords;
    for (auto* node = vocabulary.keyword->first(); node != nullptr; node = node->next()) {
      keywords.push_back(node->item().start);
    }
    const VocabularyIndex index(vocabulary);
    const auto linear = [&](const std::string& word) {
      for (const std::string& keyword : keywords) {
        if (keyword == word) return true;
      }
      return false;
    };
    int found = 0;
    for (const std::string& word : words_near(keywords, random)) {
      const bool expected = linear(word);
      ASSERT_EQ(index.keywords.contains(word.data(), word.size()), expected) << c.name << ": " << word;
      // The same word followed by junk word bytes, as in a line piece.
      const std::string padded = word + std::string(KeywordSet::kShortKey, 'e');
      ASSERT_EQ(index.keywords.contains_padded(padded.data(), word.size()), expected)
          << c.name << ": " << word;
      found += expected;
    }
    EXPECT_GT(found, 0) << c.name;
    free_vocabulary(vocabulary);
  }
}

TEST(KeywordSet, EmptyAndMissingLists) {
  Vocabulary vocabulary;
  set_builtin_vocabulary(vocabulary);
  clear_list(*vocabulary.keyword);
  add_entry(*vocabulary.keyword, "a<b", std::nullopt);  // nothing that can match
  const VocabularyIndex index(vocabulary);
  for (const char* word : {"a", "b", "int", "x"})
    EXPECT_FALSE(index.keywords.contains(word, std::strlen(word))) << word;
  vocabulary.keyword.reset();
  const VocabularyIndex without(vocabulary);
  EXPECT_FALSE(without.keywords.contains("int", 3));
  free_vocabulary(vocabulary);
}

}  // namespace
}  // namespace prismet

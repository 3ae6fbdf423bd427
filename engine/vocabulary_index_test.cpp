#include "engine/vocabulary_index.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine/char_sets.h"

namespace prismet {
namespace {

// The keyword lookup answers as the linear walk over the list does: a word
// is a keyword when some entry equals it whole. Checked for words of every
// length around the quick rejections (first byte and length), keywords of
// 64 bytes and more, and entries that can never match a word.
TEST(KeywordSet, AnswersAsTheLinearWalk) {
  Vocabulary vocabulary;
  set_builtin_vocabulary(vocabulary);
  const std::string long_keyword(70, 'k');
  for (const std::string& extra :
       {long_keyword, std::string(64, 'q'), std::string(63, 'q'), std::string("a<b"), std::string(""),
        std::string("x"), std::string("int")}) {
    add_entry(*vocabulary.keyword, extra, std::nullopt);
  }
  const VocabularyIndex index(vocabulary);
  std::vector<std::string> keywords;
  for (auto* node = vocabulary.keyword->first(); node != nullptr; node = node->next()) {
    keywords.push_back(node->item().start);
  }
  auto linear = [&](const std::string& word) {
    for (const std::string& keyword : keywords) {
      if (keyword == word) return true;
    }
    return false;
  };
  std::vector<std::string> words = keywords;
  std::mt19937 random(7);
  for (int i = 0; i < 20000; ++i) {
    // Keywords changed in one byte or cut short, and random words.
    std::string word = keywords[random() % keywords.size()];
    if (word.empty()) continue;
    if (random() % 2)
      word[random() % word.size()] = "_#aiz09"[random() % 7];
    else
      word.resize(1 + random() % word.size());
    words.push_back(word);
    std::string made(1 + random() % 70, 'k');
    for (char& c : made) c = "kqabi_"[random() % 6];
    words.push_back(made);
  }
  for (const std::string& word : words) {
    if (word.empty() || !is_word_run(word.data(), word.size())) continue;
    ASSERT_EQ(index.keywords.contains(word.data(), word.size()), linear(word)) << word;
  }
  free_vocabulary(vocabulary);
}

}  // namespace
}  // namespace prismet

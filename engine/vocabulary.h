// The vocabulary: five ordered lists of delimiters and keywords that tell the
// scanner what a comment, string literal, char constant and keyword is.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "common/word_list.h"

namespace prismet {

struct VocabularyEntry {
  std::string start;               // the keyword, or the opening delimiter
  std::optional<std::string> end;  // the closing delimiter; absent for line comments and keywords
};

using EntryList = WordList<VocabularyEntry>;

struct Vocabulary {
  std::unique_ptr<EntryList> line_comment;
  std::unique_ptr<EntryList> block_comment;
  std::unique_ptr<EntryList> string_literal;
  std::unique_ptr<EntryList> char_constant;
  std::unique_ptr<EntryList> keyword;
};

// The 70 built-in keywords, in list order.
inline constexpr int kBuiltinKeywordCount = 70;
extern const char* const kBuiltinKeywords[kBuiltinKeywordCount];

// Creates the five lists (without looking at what the record held) and fills
// them with the built-in C++ entries.
void set_builtin_vocabulary(Vocabulary& vocabulary);

// Appends an entry holding copies of `start` and `end` (absent for
// line comments and keywords). No duplicate check; a failed allocation adds
// nothing.
void add_entry(EntryList& list, std::string_view start, std::optional<std::string_view> end);

// Removes every entry whose start and end equal the given ones (two absent
// ends are equal). Entries that do not match keep their order.
void remove_entries(EntryList& list, std::string_view start, std::optional<std::string_view> end);

// Removes every entry; the list remains, empty.
void clear_list(EntryList& list);

// Clears and releases all five lists.
void free_vocabulary(Vocabulary& vocabulary);

}  // namespace prismet

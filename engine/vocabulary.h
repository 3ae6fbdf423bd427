// The vocabulary: five ordered lists of delimiters and keywords that tell the
// scanner what a comment, string literal, char constant and keyword is, and
// seven lists for what fixed delimiters cannot say (raw strings, digit
// separators, the number rule, literal suffixes, directives, directives
// whose rest of line is text, literals that end with their line). The
// built-in vocabulary leaves those seven empty, and empty they change
// nothing.
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
  // Raw strings: a start (such as R") and an end (such as "). After the
  // start come up to 16 delimiter characters and "("; the string ends at
  // ")", the same delimiter characters and the end, over any number of
  // lines, and a backslash escapes nothing in it.
  std::unique_ptr<EntryList> raw_string;
  // One-byte tokens that continue a number when a digit or letter follows
  // them (' in 1'000'000).
  std::unique_ptr<EntryList> digit_separator;
  // "pp_number": numbers follow the preprocessing-number rule (a digit, or
  // a point and a digit, then digits, letters, '_', points, exponent signs
  // and separators), so "stdio.h" holds no number and "1.5e+10f" is one.
  std::unique_ptr<EntryList> number_rule;
  // Names of lists ("string_literal", "char_constant", "raw_string") whose
  // literals take the letters, digits and '_' right after their end into
  // their colour ("abc"s, 'a'_c).
  std::unique_ptr<EntryList> literal_suffix;
  // Directive words ("include", "if"): a '#' that is the first byte of a
  // line but for blanks, the blanks after it and such a word are one keyword
  // token ("#  include").
  std::unique_ptr<EntryList> directive;
  // Directive words whose rest of line is text, not code ("error",
  // "warning"): it runs on over lines that end in a backslash.
  std::unique_ptr<EntryList> directive_text;
  // Names of lists ("string_literal", "char_constant") whose literals end at
  // the end of their line unless it ends in a backslash, as a compiler ends
  // them, instead of running on until their end delimiter.
  std::unique_ptr<EntryList> line_literal;
};

// The 70 built-in keywords, in list order.
inline constexpr int kBuiltinKeywordCount = 70;
extern const char* const kBuiltinKeywords[kBuiltinKeywordCount];

// Creates the twelve lists (without looking at what the record held) and fills
// the first five with the built-in C++ entries.
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

// Clears and releases all twelve lists.
void free_vocabulary(Vocabulary& vocabulary);

}  // namespace prismet

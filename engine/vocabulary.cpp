#include "engine/vocabulary.h"

namespace prismet {

const char* const kBuiltinKeywords[kBuiltinKeywordCount] = {
    "#include",   "#line",        "#error",   "#pragma",     "#define",
    "#undef",     "#ifdef",       "#ifndef",  "#if",         "#endif",
    "#else",      "#elif",        "bool",     "true",        "false",
    "char",       "short",        "int",      "long",        "float",
    "double",     "void",         "signed",   "unsigned",    "const",
    "volatile",   "auto",         "register", "static",      "extern",
    "typedef",    "struct",       "union",    "enum",        "class",
    "do",         "while",        "for",      "switch",      "case",
    "default",    "if",           "else",     "break",       "continue",
    "goto",       "return",       "sizeof",   "new",         "delete",
    "this",       "inline",       "typeid",   "static_cast", "reinterpret_cast",
    "const_cast", "dynamic_cast", "private",  "protected",   "public",
    "virtual",    "friend",       "asm",      "operator",    "template",
    "using",      "namespace",    "try",      "catch",       "throw"};

namespace {

std::unique_ptr<EntryList> new_list() { return std::unique_ptr<EntryList>(new (std::nothrow) EntryList); }

bool same_end(const std::optional<std::string>& a, const std::optional<std::string_view>& b) {
  if (!a.has_value() || !b.has_value()) return a.has_value() == b.has_value();
  return *a == *b;
}

}  // namespace

void set_builtin_vocabulary(Vocabulary& vocabulary) {
  // The record is fresh when this runs; lists it might still hold are
  // released by the assignments below rather than leaked.
  vocabulary.line_comment = new_list();
  vocabulary.block_comment = new_list();
  vocabulary.string_literal = new_list();
  vocabulary.char_constant = new_list();
  vocabulary.keyword = new_list();
  vocabulary.raw_string = new_list();
  vocabulary.digit_separator = new_list();
  vocabulary.number_rule = new_list();
  vocabulary.literal_suffix = new_list();
  vocabulary.directive = new_list();
  vocabulary.directive_text = new_list();
  vocabulary.line_literal = new_list();
  if (vocabulary.line_comment) add_entry(*vocabulary.line_comment, "//", std::nullopt);
  if (vocabulary.block_comment) add_entry(*vocabulary.block_comment, "/*", "*/");
  if (vocabulary.string_literal) add_entry(*vocabulary.string_literal, "\"", "\"");
  if (vocabulary.char_constant) add_entry(*vocabulary.char_constant, "'", "'");
  if (vocabulary.keyword) {
    for (const char* word : kBuiltinKeywords) add_entry(*vocabulary.keyword, word, std::nullopt);
  }
}

void add_entry(EntryList& list, std::string_view start, std::optional<std::string_view> end) {
  try {
    VocabularyEntry entry;
    entry.start.assign(start);
    if (end.has_value()) entry.end.emplace(*end);
    list.push_back(std::move(entry));
  } catch (const std::bad_alloc&) {
    // Out of memory: the entry is simply not added.
  }
}

void remove_entries(EntryList& list, std::string_view start, std::optional<std::string_view> end) {
  const auto matches = [&](const VocabularyEntry& entry, int, int) {
    return entry.start == start && same_end(entry.end, end);
  };
  list.remove_forward(matches, 0);
}

void clear_list(EntryList& list) { list.clear(); }

void free_vocabulary(Vocabulary& vocabulary) {
  vocabulary.line_comment.reset();
  vocabulary.block_comment.reset();
  vocabulary.string_literal.reset();
  vocabulary.char_constant.reset();
  vocabulary.keyword.reset();
  vocabulary.raw_string.reset();
  vocabulary.digit_separator.reset();
  vocabulary.number_rule.reset();
  vocabulary.literal_suffix.reset();
  vocabulary.directive.reset();
  vocabulary.directive_text.reset();
  vocabulary.line_literal.reset();
}

}  // namespace prismet

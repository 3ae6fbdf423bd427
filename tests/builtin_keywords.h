// The 70 built-in keywords, written out in list order for the tests that
// expect them: taken from the code's own table, a fault there would move the
// expectation with it.
#pragma once

#include <string>
#include <vector>

namespace prismet::testing {

inline std::vector<std::string> written_builtin_keywords() {
  return {"#include",   "#line",        "#error",   "#pragma",     "#define",
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
}

}  // namespace prismet::testing

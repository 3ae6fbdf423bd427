#include "engine/definition_finder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "common/text_stream.h"
#include "engine/scanner.h"
#include "engine/vocabulary.h"
#include "engine/vocabulary_file.h"
#include "engine/vocabulary_index.h"

namespace prismet {
namespace {

// The kinds as the expectations below spell them, written out here rather
// than taken from the code's own names.
const char* kind_text(SymbolKind kind) {
  static const char* const kTexts[] = {"namespace", "class",    "struct", "union",   "enum",     "enumerator",
                                       "typealias", "function", "macro",  "concept", "variable", "member"};
  return kTexts[static_cast<int>(kind)];
}

ScanState state_after(TokenKind kind, ScanState state) {
  if (kind == TokenKind::LineCommentStart) return ScanState::LineComment;
  if (kind == TokenKind::BlockCommentStart) return ScanState::BlockComment;
  if (kind == TokenKind::StringStart) return ScanState::StringLiteral;
  if (kind == TokenKind::CharStart) return ScanState::CharConstant;
  if (kind == TokenKind::LineCommentText || kind == TokenKind::BlockCommentText ||
      kind == TokenKind::StringText || kind == TokenKind::CharText) {
    return state;
  }
  return ScanState::Code;
}

// "LINE KIND SCOPE NAME", with " decl" for a declaration only; scope "-" at
// global scope.
std::vector<std::string> find_definitions(const std::string& source, const Vocabulary& vocabulary) {
  const VocabularyIndex index(vocabulary);
  TextReader input;
  input.open_memory(source.data(), source.size());
  input.replace_nuls(kUtf8NulReplacement);
  auto line = std::make_unique<SourceLine>();
  start_source(*line);
  DefinitionFinder finder;
  std::vector<Definition> found;
  finder.start(found);
  ScanState state = ScanState::Code;
  std::uint32_t number = 0;
  bool in_line = false;
  Token token;
  while (read_whole_line_piece(input, *line, CharacterEncoding::kUtf8)) {
    if (!in_line) ++number;
    finder.begin_piece(number, in_line);
    while (next_token(*line, token, index, state, CharacterEncoding::kUtf8)) {
      finder.token(token);
      state = state_after(token.kind, state);
    }
    in_line = !line->ends_source_line;
    if (!in_line) finder.end_line(line->continuation);
  }
  std::vector<std::string> lines;
  for (const Definition& d : found) {
    lines.push_back(std::to_string(d.line) + " " + kind_text(d.kind) + " " +
                    (d.scope.empty() ? "-" : d.scope) + " " + d.name + (d.declaration_only ? " decl" : ""));
    EXPECT_TRUE(d.text.empty());
  }
  return lines;
}

struct Row {
  const char* what;
  const char* source;
  std::vector<std::string> expected;
};

class DefinitionFinderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    set_builtin_vocabulary(builtin_);
    ASSERT_TRUE(load_vocabulary(shipped_, PRISMET_SOURCE_DIR "/res/share/prismet-cpp26.voc"));
  }
  // Every row holds with the built-in vocabulary and with the shipped one
  // (whose directives are tokens of their own).
  void check(const std::vector<Row>& rows) {
    for (const Row& row : rows) {
      EXPECT_EQ(find_definitions(row.source, builtin_), row.expected) << row.what << " (built-in vocabulary)";
      EXPECT_EQ(find_definitions(row.source, shipped_), row.expected) << row.what << " (shipped vocabulary)";
    }
  }
  Vocabulary builtin_;
  Vocabulary shipped_;
};

TEST_F(DefinitionFinderTest, NamespacesGiveScopes) {
  check({
      {"nested",
       "namespace a::b {\nint x;\n}\n",
       {"1 namespace - a", "1 namespace a b", "2 variable a::b x"}},
      {"inline",
       "namespace a {\ninline namespace v1 {\nint x;\n}\n}\n",
       {"1 namespace - a", "2 namespace a v1", "3 variable a::v1 x"}},
      {"anonymous",
       "namespace {\nint hidden;\n}\nint after;\n",
       {"2 variable - hidden", "4 variable - after"}},
      {"a macro after the name",
       "namespace std M_VISIBILITY(default)\n{\nint x;\n}\n",
       {"1 namespace - std", "3 variable std x"}},
      {"an alias is none", "namespace fs = std::filesystem;\nint y;\n", {"2 variable - y"}},
      {"extern C is no scope",
       "extern \"C\" {\nint c_function(void);\n}\n",
       {"2 function - c_function decl"}},
  });
}

TEST_F(DefinitionFinderTest, ClassesStructsAndUnions) {
  check({
      {"class with a body", "class Widget {\n};\n", {"1 class - Widget"}},
      {"forward declaration",
       "class Widget;\nstruct Point;\n",
       {"1 class - Widget decl", "2 struct - Point decl"}},
      {"friend class", "class A {\n  friend class B;\n};\n", {"1 class - A", "2 class - B decl"}},
      {"template, final and bases",
       "template <class T>\nclass Box final : public Base<T>, private Other {\n};\n",
       {"2 class - Box"}},
      {"attributes and alignas", "struct [[nodiscard]] alignas(16) Vec {\n};\n", {"1 struct - Vec"}},
      {"an export macro",
       "class FMT_API format_error {\n};\nclass FMT_API later;\n",
       {"1 class - format_error", "3 class - later decl"}},
      {"a specialisation", "template <>\nstruct hash<int> {\n};\n", {"2 struct - hash"}},
      {"union and nested struct",
       "union U {\n  struct Inner {\n    int a;\n  };\n  float f;\n};\n",
       {"1 union - U", "2 struct U Inner", "3 member U::Inner a", "5 member U f"}},
      {"qualified name",
       "struct outer::inner {\n  int v;\n};\n",
       {"1 struct outer inner", "2 member outer::inner v"}},
      {"elaborated type is a variable", "struct stat st;\n", {"1 variable - st"}},
  });
}

TEST_F(DefinitionFinderTest, EnumsAndEnumerators) {
  check({
      {"scoped with a base",
       "enum class Color : int { Red, Green = 2, Blue };\n",
       {"1 enum - Color", "1 enumerator Color Red", "1 enumerator Color Green", "1 enumerator Color Blue"}},
      {"plain over lines",
       "enum E {\n  A = 1 << 2,\n  B = f(1, 2),\n  C\n};\n",
       {"1 enum - E", "2 enumerator E A", "3 enumerator E B", "4 enumerator E C"}},
      {"forward", "enum class Mode : unsigned;\n", {"1 enum - Mode decl"}},
      {"anonymous", "enum { kOne, kTwo };\n", {"1 enumerator - kOne", "1 enumerator - kTwo"}},
      {"a macro making enumerators",
       "enum F {\n  X_LIST(ITEM)\n  Last\n};\n",
       {"1 enum - F", "3 enumerator F Last"}},
  });
}

TEST_F(DefinitionFinderTest, TypeAliases) {
  check({
      {"typedef", "typedef unsigned long size_type;\n", {"1 typealias - size_type"}},
      {"function pointer", "typedef void (*handler_t)(int);\n", {"1 typealias - handler_t"}},
      {"member function pointer", "typedef int (X::*method_t)(int) const;\n", {"1 typealias - method_t"}},
      {"array", "typedef int row_t[10];\n", {"1 typealias - row_t"}},
      {"function type", "typedef int callback(int);\n", {"1 typealias - callback"}},
      {"struct body",
       "typedef struct {\n  int a;\n} pair_t, *pair_p;\n",
       {"2 member - a", "3 typealias - pair_t", "3 typealias - pair_p"}},
      {"using", "using value_type = std::pair<const K, V>;\n", {"1 typealias - value_type"}},
      {"alias template",
       "template <class T>\nusing vec = std::vector<T, alloc<T>>;\n",
       {"2 typealias - vec"}},
      {"attribute after the name", "typedef float f32 __attribute__((mode(SF)));\n", {"1 typealias - f32"}},
  });
}

TEST_F(DefinitionFinderTest, Functions) {
  check({
      {"definition and prototype",
       "int add(int a, int b) {\n  return a + b;\n}\nvoid proto(int);\n",
       {"1 function - add", "4 function - proto decl"}},
      {"parameters over lines", "static int\nspread(int a,\n       int b)\n{\n}\n", {"2 function - spread"}},
      {"in the class",
       "struct S {\n  int get() const & noexcept { return 1; }\n  void set(int);\n};\n",
       {"1 struct - S", "2 function S get", "3 function S set decl"}},
      {"out of the class",
       "void S::set(int v) {}\nS::~S() {}\nS::S() : a(1), b{2} {}\n",
       {"1 function S set", "2 function S ~S", "3 function S S"}},
      {"constructors in the class",
       "class W {\n public:\n  W() : x_(0) {}\n  explicit W(int x);\n  ~W();\n  W(const W&) = delete;\n  W& "
       "operator=(W&&) = default;\n};\n",
       {"1 class - W", "3 function W W", "4 function W W decl", "5 function W ~W decl", "6 function W W",
        "7 function W operator="}},
      {"templates, trailing return and requires",
       "template <class T>\nauto twice(T t) -> decltype(t + t) requires Small<T> {\n  return t + t;\n}\n",
       {"2 function - twice"}},
      {"noexcept with an argument",
       "void swap(T& a) noexcept(noexcept(a.swap(a))) {\n}\n",
       {"1 function - swap"}},
      {"operators",
       "bool operator==(const A&, const A&);\nstruct F {\n  int operator()(int) const { return 0; }\n};\n",
       {"1 function - operator== decl", "2 struct - F", "3 function F operator()"}},
      {"an attribute after operator()",
       "struct G {\n  void operator() [[nodiscard]] (int) const;\n};\n",
       {"1 struct - G", "2 function G operator() decl"}},
      {"pure virtual",
       "struct I {\n  virtual void run() = 0;\n};\n",
       {"1 struct - I", "2 function I run decl"}},
      {"macros before and after",
       "FMT_DEPRECATED(\"x\") void old();\nint f() FMT_NOEXCEPT { return 0; }\n",
       {"1 function - old decl", "2 function - f"}},
      {"a macro call defines nothing",
       "BOOST_STATIC_ASSERT(x);\nQ_OBJECT\nvoid after();\n",
       {"3 function - after decl"}},
      {"function-try-block",
       "void g() try {\n} catch (...) {\n}\nint h;\n",
       {"1 function - g", "4 variable - h"}},
  });
}

TEST_F(DefinitionFinderTest, MoreFunctionsAndTemplates) {
  check({
      {"a member of a class template, outside",
       "template <class T>\nvoid Box<T>::put(const T& v) {\n}\ntemplate <class T>\nBox<T>::Box() = "
       "default;\n",
       {"2 function Box put", "5 function Box Box"}},
      {"default template arguments with parentheses and commas",
       "template <class T, class = std::enable_if_t<(sizeof(T) > 4), int>>\nvoid wide(T);\n",
       {"2 function - wide decl"}},
      {"variadic",
       "template <typename... Ts>\nstruct pack {\n  static constexpr int size = sizeof...(Ts);\n};\n",
       {"2 struct - pack", "3 member pack size"}},
      {"a conversion operator",
       "struct B {\n  explicit operator bool() const noexcept { return true; }\n};\n",
       {"1 struct - B", "2 function B operator bool"}},
      {"a friend defined in the class",
       "struct E {\n  friend bool operator<(E, E) { return false; }\n  friend void swap(E&, E&);\n};\n",
       {"1 struct - E", "2 function - operator<", "3 function - swap decl"}},
      {"deleted at namespace scope",
       "void g(int) = delete;\nvoid h(double) = delete(\"no\");\n",
       {"1 function - g", "2 function - h"}},
      {"typedef of an enum body",
       "typedef enum {\n  kA,\n  kB\n} letters;\n",
       {"2 enumerator - kA", "3 enumerator - kB", "4 typealias - letters"}},
      {"a nested class declared", "class Outer::Inner;\n", {"1 class Outer Inner decl"}},
      {"a static data member of a template",
       "template <class T>\nconst int Box<T>::limit = 4;\ntemplate <class T>\nconstexpr bool is_box_v = "
       "false;\n",
       {"2 member Box limit", "4 variable - is_box_v"}},
  });
}

TEST_F(DefinitionFinderTest, MacrosAndConcepts) {
  check({
      {"object and function-like",
       "#define LIMIT 10\n#define MAX(a, b) ((a) > (b) ? (a) : (b))\n",
       {"1 macro - LIMIT", "2 macro - MAX"}},
      {"spaced", "#  define SPACED 1\n  # define INDENTED\n", {"1 macro - SPACED", "2 macro - INDENTED"}},
      {"continued lines hold no code",
       "#define BODY \\\n  int not_a_variable; \\\n  }\nint after;\n",
       {"1 macro - BODY", "4 variable - after"}},
      {"inside a body", "void f() {\n#define LOCAL 1\n}\n", {"1 function - f", "2 macro - LOCAL"}},
      {"inside a namespace, global",
       "namespace n {\n#define GLOBAL\n}\n",
       {"1 namespace - n", "2 macro - GLOBAL"}},
      {"concept", "template <typename T>\nconcept Small = sizeof(T) < 4;\n", {"2 concept - Small"}},
  });
}

TEST_F(DefinitionFinderTest, VariablesAndMembers) {
  check({
      {"namespace scope",
       "int counter = 0;\nstd::vector<int> v{1, 2};\nconst char* names[] = {\"a\"};\n",
       {"1 variable - counter", "2 variable - v", "3 variable - names"}},
      {"extern",
       "extern int declared;\nextern int defined = 1;\n",
       {"1 variable - declared decl", "2 variable - defined"}},
      {"several declarators",
       "int a = 1, b, c[3] = {}, *d;\n",
       {"1 variable - a", "1 variable - b", "1 variable - c", "1 variable - d"}},
      {"function pointer", "void (*on_exit)(int) = nullptr;\n", {"1 variable - on_exit"}},
      {"template arguments in an initialiser",
       "constexpr bool ok = A<T, N>::value && B<C<T>, N>::value, more = 1;\n",
       {"1 variable - ok", "1 variable - more"}},
      {"a lambda",
       "auto twice = [](int x) { return x * 2; };\nint after;\n",
       {"1 variable - twice", "2 variable - after"}},
      {"members",
       "struct M {\n  static int count;\n  int x_ = 3, y_;\n  unsigned bits : 4;\n  std::map<K, V> m;\n};\n",
       {"1 struct - M", "2 member M count", "3 member M x_", "3 member M y_", "4 member M bits",
        "5 member M m"}},
      {"static member defined outside", "int M::count = 0;\n", {"1 member M count"}},
      {"anonymous struct variable",
       "struct {\n  int a;\n} config;\n",
       {"2 member - a", "3 variable - config"}},
  });
}

TEST_F(DefinitionFinderTest, WhatDefinesNothing) {
  check({
      {"locals and parameters",
       "void f(int param) {\n  int local = 1;\n  struct L { int m; };\n}\n",
       {"1 function - f"}},
      {"using-directives and declarations",
       "using namespace std;\nusing std::swap;\nusing enum Color;\n",
       {}},
      {"comments and literals",
       "// int fake;\n/* class Fake { }; */\nconst char* s = \"int nope;\";\n",
       {"3 variable - s"}},
      {"explicit instantiation", "template class std::vector<int>;\nextern template struct X<int>;\n", {}},
      {"type aliases in a body",
       "void f() {\n  typedef typename traits<T, U>::type local_t;\n  using other_t = int;\n  using "
       "namespace std;\n"
       "  using std::swap;\n  { typedef int deeper_t; }\n}\n",
       {"1 function - f", "2 typealias f local_t", "3 typealias f other_t", "6 typealias f deeper_t"}},
      {"a body that is no function's",
       "struct T {\n  int a = [] { typedef int in_lambda; return 1; }();\n};\n",
       {"1 struct - T", "2 member T a"}},
      {"static_assert", "static_assert(sizeof(int) == 4, \"int\");\n", {}},
      {"a condition in parentheses is no declarator",
       "struct R {\n  static_assert(a::b && c::d, \"x\");\n};\n",
       {"1 struct - R"}},
      {"bases are no declarators", "class D : public B1, private B2<int> {\n};\n", {"1 class - D"}},
      {"access labels",
       "class C {\n public:\n  int a;\n protected:\n  int b;\n};\n",
       {"1 class - C", "3 member C a", "5 member C b"}},
  });
}

TEST_F(DefinitionFinderTest, BothBranchesOfAnIf) {
  check({
      {"a body opened in each branch",
       "#ifdef A\nvoid f(int x) {\n#else\nvoid f(long x) {\n#endif\n}\nint after;\n",
       {"2 function - f", "4 function - f", "7 variable - after"}},
      {"a base in each branch",
       "struct S\n#if A\n: public B\n#else\n: public C\n#endif\n{\n  int m;\n};\n",
       {"1 struct - S", "8 member S m"}},
      {"an unmatched #else and #endif", "#else\n#endif\nint x;\n", {"3 variable - x"}},
  });
}

TEST_F(DefinitionFinderTest, BadInputEndsWell) {
  std::string deep;
  for (int i = 0; i < 300; ++i) deep += "namespace n {\n";
  deep += "int inner;\n";
  for (int i = 0; i < 300; ++i) deep += "}\n";
  deep += "int after;\n";
  const std::vector<std::string> found = find_definitions(deep, builtin_);
  ASSERT_FALSE(found.empty());
  EXPECT_EQ(found.back(), "602 variable - after");

  // Scopes are bounded: what lies deeper than 1,024 bytes of scope defines
  // nothing, and what comes after it is found again.
  const std::string long_name(200, 'n');
  std::string long_scopes;
  for (int i = 0; i < 6; ++i) long_scopes += "namespace " + long_name + " {\n";
  long_scopes += "int too_deep;\n}\n}\nint in_fourth;\n}\n}\n}\n}\nint outside;\n";
  const std::vector<std::string> bounded = find_definitions(long_scopes, builtin_);
  ASSERT_EQ(bounded.size(), 8u);  // six namespaces, in_fourth and outside
  EXPECT_EQ(bounded[6], "10 variable " + long_name + "::" + long_name + "::" + long_name + "::" + long_name +
                            " in_fourth");
  EXPECT_EQ(bounded[7], "15 variable - outside");

  std::string long_line = "int first;\nint " + std::string(40000, 'x') + " = 1; int second;\nint third;\n";
  const std::vector<std::string> pieces = find_definitions(long_line, builtin_);
  // The 40,000-byte name, which comes in two pieces, is too long to define anything.
  EXPECT_EQ(pieces,
            (std::vector<std::string>{"1 variable - first", "2 variable - second", "3 variable - third"}));

  check({
      {"a brace closing nothing", "}\n}\nint x;\n", {"3 variable - x"}},
      {"a body never closed", "void f() {\nint not_seen;\n", {"1 function - f"}},
      {"binary bytes", std::string("\x01\xff\xfe{(<[\0int\x80 y;\n", 16).c_str(), {}},
      {"unbalanced parentheses end at ';'", "int f(((;\nint g;\n", {"2 variable - g"}},
  });
}

}  // namespace
}  // namespace prismet

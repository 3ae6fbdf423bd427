// The definition finder's state, shared by its files: the name being read,
// the declaration being read, the stack of scopes and the open #if
// branches. Every buffer is of fixed size or reserved once per finder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "engine/definition.h"
#include "engine/definition_words.h"
#include "engine/scanner.h"

namespace prismet {

// A possibly qualified name ("a::b::f"); a name too long to hold is broken
// and defines nothing.
struct FoundName {
  static constexpr std::size_t kMaxBytes = 255;
  char text[kMaxBytes];
  std::uint16_t length = 0;
  std::uint16_t last = 0;  // where the last component starts
  std::uint32_t line = 0;  // the line of the last component
  bool broken = false;

  void clear() {
    length = last = 0;
    broken = false;
  }
  bool empty() const { return length == 0 || broken; }
  // A copy of the bytes in use only.
  void assign(const FoundName& other) {
    std::memcpy(text, other.text, other.length);
    length = other.length;
    last = other.last;
    line = other.line;
    broken = other.broken;
  }
  FoundName() = default;
  FoundName(const FoundName& other) { assign(other); }
  FoundName& operator=(const FoundName& other) {
    if (this != &other) assign(other);
    return *this;
  }
  void set(std::string_view word, std::uint32_t at_line) {
    clear();
    append_component(word, at_line);
  }
  // "::" and `word` after what is held (only `word` when nothing is).
  void append_component(std::string_view word, std::uint32_t at_line);
  // Bytes that go on the last component (an operator's name).
  void append(std::string_view bytes);
  std::string_view component() const { return std::string_view(text + last, length - last); }
  std::string_view qualifier() const { return std::string_view(text, last >= 2 ? last - 2 : 0); }
  bool qualified() const { return last != 0; }
};

enum class LastToken : std::uint8_t {
  kNone,
  kName,
  kKeyword,
  kPunct,
  kLiteral,
  kCloseParen,
  kCloseAngle,
  kCloseBracket,
  kCloseBrace
};
enum class Head : std::uint8_t { kNone, kNamespace, kClass, kEnum, kUsing, kConcept };
enum class Parameters : std::uint8_t { kNone, kOpen, kClosed };
// A declarator in parentheses: "(*name)", "(X::*name)", "(&name)".
// kOpen: after the '(' or a "::"; kQualifier: after a name there, which
// only "::" may follow.
enum class Inner : std::uint8_t { kNone, kOpen, kQualifier, kCapturing, kDone };

// What is known of the declaration being read at the scope's level.
struct Statement {
  FoundName name;      // the name read last, with its qualifier
  FoundName function;  // the name before the parameters
  FoundName head;      // the name after namespace, class, enum, using or concept
  FoundName inner;     // the name of a declarator in parentheses
  std::uint32_t parens = 0;
  std::uint32_t angles = 0;
  std::uint32_t brackets = 0;
  std::uint32_t tokens = 0;  // significant tokens before the name being read
  LastToken last = LastToken::kNone;
  Head head_kind = Head::kNone;
  SymbolKind class_kind = SymbolKind::Class;
  Parameters parameters = Parameters::kNone;
  Inner inner_state = Inner::kNone;
  std::uint8_t head_words = 0;
  bool head_open = false;  // the head's name may still come
  bool head_first_macro = false;
  bool name_prefixed = false;  // the name being read has something before it
  bool function_prefixed = false;
  bool after_scope_operator = false;
  bool tilde = false;
  bool operator_name = false;  // reading an operator's name
  bool typedef_ = false;
  bool friend_ = false;
  bool extern_ = false;
  bool linkage = false;  // extern "C"
  bool skip = false;     // defines nothing (explicit instantiation, using-directive, alias)
  bool template_parameters = false;
  bool trailing = false;  // after a function's parameters: return type, requires, init list
  bool init_list = false;
  bool after_equals = false;  // "=" after a function's parameters
  bool defaulted = false;
  bool initializer = false;       // stepping over an initializer
  bool initializer_name = false;  // the initializer's last token was a name
  bool declared = false;          // the declarator in hand has been told
  bool bitfield = false;
  bool after_body = false;  // declarators after a class's or enum's body
  bool bases = false;       // after the ':' of a class's head
  bool access = false;
  std::uint8_t attribute = 0;  // 1: an attribute's parentheses come next; 2: inside them; 3: inside [[...]]
                               // // public, protected or private: a label follows
};

enum class ScopeKind : std::uint8_t { kNamespace, kClass, kEnum, kLinkage };

struct Scope {
  ScopeKind kind;
  std::uint32_t outer_length;  // the scope text's length outside this scope
  bool typedef_;               // its declaration began with typedef
};

// An open #if: how deep the braces were at it, to go back there at #else.
struct Conditional {
  std::uint32_t scopes;
  std::uint64_t opaque;
};

enum class Directive : std::uint8_t { kNone, kWord, kDefineName, kRest };
enum class Opaque : std::uint8_t { kBody, kInitializer };

// The enumerator being read in an enum's body.
struct Enumerator {
  FoundName name;
  std::uint32_t depth = 0;
  bool has_name = false;
  bool value = false;
  bool macro = false;
};

// A type alias inside a function's body: "typedef ... name;" or "using
// name = ...;", the only definitions looked for there.
struct BodyAlias {
  enum class Step : std::uint8_t { kNone, kTypedef, kUsing, kUsingName };
  Step step = Step::kNone;
  std::uint32_t parens = 0;
  std::uint32_t angles = 0;
  bool after_name = false;
  FoundName name;
};

struct DefinitionFinderState {
  static constexpr std::size_t kMaxScopes = 256;
  static constexpr std::size_t kMaxConditionals = 64;
  static constexpr std::size_t kMaxScopeBytes = 1024;

  DefinitionFinderState();

  std::vector<Definition>* out = nullptr;
  std::uint32_t line = 0;
  bool line_start = true;  // no code token yet on this source line
  bool continued = false;  // the line before ended with a backslash
  Directive directive = Directive::kNone;
  char previous_char = 0;       // the token before, when it was one punctuation byte
  bool pending_colon = false;   // a ':' that may begin "::"
  bool previous_word = false;   // the token before was a name, with no blank after it
  bool previous_other = false;  // the token before was a character outside ASCII
  std::uint64_t opaque = 0;     // depth of braces stepped over
  Opaque opaque_kind = Opaque::kBody;
  std::uint64_t deep_conditionals = 0;  // #if nested beyond the stack
  std::string scope;
  std::vector<Scope> scopes;
  std::vector<Conditional> conditionals;
  Statement statement;
  Enumerator enumerator;
  FoundName body_function;  // the function whose body is stepped over
  BodyAlias alias;

  // definition_finder.cpp
  void code_token(const Token& token);
  void body_plain(const Token& token);
  void directive_token(const Token& token);
  void directive_word(std::string_view word);
  void conditional(std::string_view word);
  void emit(const FoundName& name, SymbolKind kind, bool declaration_only);

  // body_aliases.cpp
  void body_token(const Token& token);
  void body_alias_punct(char c);
  void emit_body_alias();

  // definition_scopes.cpp
  void open_brace();
  void close_brace();
  void enter_scope(ScopeKind kind, std::string_view name, bool typedef_);
  void leave_scope();
  void unwind_to(const Conditional& frame);
  void enumerator_word(std::string_view word);
  void enumerator_punct(char c);
  void end_enumerator();
  std::string_view class_name() const;
  bool in_class() const { return !scopes.empty() && scopes.back().kind == ScopeKind::kClass; }
  bool in_enum() const { return !scopes.empty() && scopes.back().kind == ScopeKind::kEnum; }

  // declaration_statement.cpp
  void reset_statement();
  void word(std::string_view word);
  void name_word(std::string_view word);
  bool read_name(std::string_view word);
  void head_name(std::string_view word, bool qualified);
  void keyword(DeclarationWord kind);
  bool starting_keyword(DeclarationWord kind, bool after_scope);
  void head_keyword(DeclarationWord kind);
  void operator_part(std::string_view bytes, bool is_word);
  void inner_word(std::string_view word, DeclarationWord kind);
  void punct(char c);
  void depth_punct(char c);
  void open_paren();
  void close_paren();
  void colon();
  void scope_operator();
  void less();
  void greater();
  void equals();
  void comma();
  void semicolon();
  void finish_declarator();
  void finish_function();
  bool forward_declaration() const;
  void declare_current(bool declaration_only);
  void declare_variable(const FoundName& name, bool declaration_only);
  void begin_opaque(Opaque kind);
  void open_namespace();
  void literal();
  bool at_top() const { return statement.parens == 0 && statement.angles == 0 && statement.brackets == 0; }
};

}  // namespace prismet

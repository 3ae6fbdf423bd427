#include "engine/definition_finder.h"

#include <cstring>
#include <string_view>

#include "engine/definition_finder_internal.h"
#include "engine/scanner.h"

namespace prismet {

void FoundName::append_component(std::string_view word, std::uint32_t at_line) {
  const std::size_t separator = length == 0 ? 0 : 2;
  if (broken || length + separator + word.size() > kMaxBytes) {
    broken = true;
    return;
  }
  if (separator != 0) {
    text[length] = ':';
    text[length + 1] = ':';
  }
  last = static_cast<std::uint16_t>(length + separator);
  std::memcpy(text + last, word.data(), word.size());
  length = static_cast<std::uint16_t>(last + word.size());
  line = at_line;
}

void FoundName::append(std::string_view bytes) {
  if (broken || length + bytes.size() > kMaxBytes) {
    broken = true;
    return;
  }
  std::memcpy(text + length, bytes.data(), bytes.size());
  length = static_cast<std::uint16_t>(length + bytes.size());
}

DefinitionFinderState::DefinitionFinderState() {
  scopes.reserve(kMaxScopes);
  conditionals.reserve(kMaxConditionals);
  scope.reserve(256);
}

void DefinitionFinderState::emit(const FoundName& name, SymbolKind kind, bool declaration_only) {
  if (name.empty() || out == nullptr) return;
  Definition& definition = out->emplace_back();
  definition.name.assign(name.component());
  if (kind != SymbolKind::Macro) {
    // What a friend declaration names belongs to the namespace around its class.
    std::string_view outer = scope;
    for (const Scope& enclosing : scopes) {
      if (!statement.friend_) break;
      if (enclosing.kind == ScopeKind::kClass) {
        outer = outer.substr(0, enclosing.outer_length);
        break;
      }
    }
    definition.scope = outer;
    const std::string_view qualifier = name.qualifier();
    if (!qualifier.empty()) {
      if (!definition.scope.empty()) definition.scope += "::";
      definition.scope += qualifier;
    }
  }
  definition.line = name.line;
  definition.kind = kind;
  definition.declaration_only = declaration_only;
}

namespace {

bool is_identifier_start(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }

// A word token of the scanner holds letters, digits, '_' and '#' only.
bool is_identifier(const char* text, std::size_t length) {
  return length != 0 && is_identifier_start(text[0]) && std::memchr(text, '#', length) == nullptr;
}

// The directive word of a token that begins with '#' ("#define", "#  if"):
// empty when the word comes as a token of its own.
std::string_view word_after_hash(const Token& token) {
  std::size_t i = 1;
  while (i < token.length && (token.text[i] == ' ' || token.text[i] == '\t')) ++i;
  return std::string_view(token.text + i, token.length - i);
}

}  // namespace

void DefinitionFinderState::directive_word(std::string_view word) {
  if (word == "define") {
    directive = Directive::kDefineName;
    return;
  }
  directive = Directive::kRest;
  conditional(word);
}

void DefinitionFinderState::conditional(std::string_view word) {
  if (word == "if" || word == "ifdef" || word == "ifndef") {
    if (conditionals.size() < kMaxConditionals) {
      conditionals.push_back({static_cast<std::uint32_t>(scopes.size()), opaque});
    } else {
      ++deep_conditionals;
    }
  } else if (word == "else" || word == "elif" || word == "elifdef" || word == "elifndef") {
    // Both branches are read: the second starts where the first did, so
    // that a brace each branch opens is counted once.
    if (deep_conditionals == 0 && !conditionals.empty()) unwind_to(conditionals.back());
  } else if (word == "endif") {
    if (deep_conditionals != 0) {
      --deep_conditionals;
    } else if (!conditionals.empty()) {
      conditionals.pop_back();
    }
  }
}

void DefinitionFinderState::directive_token(const Token& token) {
  if (token.kind == TokenKind::Whitespace) return;
  const bool word = (token.kind == TokenKind::Plain || token.kind == TokenKind::Keyword) &&
                    is_identifier(token.text, token.length);
  if (directive == Directive::kWord) {
    if (word) {
      directive_word(std::string_view(token.text, token.length));
    } else {
      directive = Directive::kRest;
    }
  } else if (directive == Directive::kDefineName) {
    if (word) {
      FoundName name;
      name.set(std::string_view(token.text, token.length), line);
      emit(name, SymbolKind::Macro, false);
    }
    directive = Directive::kRest;
  }
}

void DefinitionFinderState::code_token(const Token& token) {
  switch (token.kind) {
    case TokenKind::Plain:
    case TokenKind::Keyword:
      break;
    case TokenKind::StringStart:
    case TokenKind::CharStart:
    case TokenKind::Constant:
      if (opaque == 0) literal();
      return;
    default:
      return;
  }
  const char first = token.text[0];
  const bool was_word = previous_word;
  const bool was_other = previous_other;
  previous_word = previous_other = false;
  if (opaque != 0) return body_plain(token);
  const bool identifier = is_identifier(token.text, token.length);
  previous_word = identifier;
  previous_other = static_cast<unsigned char>(first) >= 0x80;
  if (previous_other || (identifier && was_other)) {
    // A character outside ASCII glued to a name: a name this finder cannot
    // spell, which defines nothing.
    if ((was_word || was_other || identifier) && !in_enum()) statement.name.broken = true;
  } else if (identifier) {
    word(std::string_view(token.text, token.length));
  } else if (token.length == 1) {
    punct(first);
  }
}

void DefinitionFinderState::body_plain(const Token& token) {
  // A type alias begins with "using" or "typedef": other words of five or
  // seven bytes are looked at, the rest only while an alias is read.
  if (opaque_kind == Opaque::kBody &&
      (alias.step != BodyAlias::Step::kNone || token.length == 5 || token.length == 7)) {
    body_token(token);
  }
  if (token.length == 1 && token.text[0] == '{') {
    ++opaque;
  } else if (token.length == 1 && token.text[0] == '}') {
    close_brace();
  }
}

DefinitionFinder::DefinitionFinder() : state_(std::make_unique<DefinitionFinderState>()) {}
DefinitionFinder::~DefinitionFinder() = default;

void DefinitionFinder::start(std::vector<Definition>& out) {
  DefinitionFinderState& s = *state_;
  s.out = &out;
  s.line = 0;
  s.line_start = true;
  s.continued = false;
  s.directive = Directive::kNone;
  s.previous_char = 0;
  s.pending_colon = false;
  s.previous_word = s.previous_other = false;
  s.opaque = 0;
  s.deep_conditionals = 0;
  s.scope.clear();
  s.scopes.clear();
  s.conditionals.clear();
  s.reset_statement();
  s.enumerator = Enumerator();
}

void DefinitionFinder::begin_piece(std::uint32_t line, bool goes_on) {
  DefinitionFinderState& s = *state_;
  s.line = line;
  if (!goes_on) s.line_start = !s.continued;
}

void DefinitionFinder::token(const Token& token) {
  DefinitionFinderState& s = *state_;
  if (token.length == 0) return;
  if (s.directive != Directive::kNone) {
    s.directive_token(token);
    return;
  }
  const bool plain = token.kind == TokenKind::Plain || token.kind == TokenKind::Keyword;
  if (s.opaque != 0 && !s.line_start) {
    // Inside a body, past a line's start: only its braces and its type
    // aliases count.
    if (plain) s.body_plain(token);
    return;
  }
  if (s.line_start && (plain || token.kind == TokenKind::Directive) && token.text[0] == '#') {
    s.line_start = false;
    if (s.pending_colon) {
      s.pending_colon = false;
      if (s.opaque == 0) s.colon();
    }
    const std::string_view word = word_after_hash(token);
    s.directive = Directive::kWord;
    if (!word.empty()) s.directive_word(word);
    return;
  }
  if (token.kind == TokenKind::Whitespace || token.kind == TokenKind::BlockCommentStart ||
      token.kind == TokenKind::BlockCommentText || token.kind == TokenKind::BlockCommentEnd) {
    if (token.kind == TokenKind::Whitespace) s.previous_char = 0;
    s.previous_word = s.previous_other = false;
    return;
  }
  s.line_start = false;
  if (s.pending_colon) {
    s.pending_colon = false;
    if (token.length == 1 && token.text[0] == ':' && s.previous_char == ':') {
      s.previous_char = 0;
      if (s.opaque == 0) s.scope_operator();
      return;
    }
    if (s.opaque == 0) s.colon();
  }
  if (token.kind != TokenKind::Plain && token.kind != TokenKind::Keyword)
    s.previous_word = s.previous_other = false;
  s.code_token(token);
  const bool one_byte = token.length == 1 && token.kind == TokenKind::Plain;
  s.previous_char = one_byte ? token.text[0] : 0;
  if (one_byte && token.text[0] == ':' && s.opaque == 0) s.pending_colon = true;
}

void DefinitionFinder::end_line(bool backslash) {
  DefinitionFinderState& s = *state_;
  s.continued = backslash;
  if (!backslash) s.directive = Directive::kNone;
  s.previous_char = 0;
  s.previous_word = s.previous_other = false;
}

const char* symbol_kind_name(SymbolKind kind) {
  switch (kind) {
    case SymbolKind::Namespace:
      return "namespace";
    case SymbolKind::Class:
      return "class";
    case SymbolKind::Struct:
      return "struct";
    case SymbolKind::Union:
      return "union";
    case SymbolKind::Enum:
      return "enum";
    case SymbolKind::Enumerator:
      return "enumerator";
    case SymbolKind::TypeAlias:
      return "typealias";
    case SymbolKind::Function:
      return "function";
    case SymbolKind::Macro:
      return "macro";
    case SymbolKind::Concept:
      return "concept";
    case SymbolKind::Variable:
      return "variable";
    case SymbolKind::Member:
      return "member";
  }
  return "unknown";
}

}  // namespace prismet

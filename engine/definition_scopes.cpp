// The definition finder's braces: the scopes they open and close, the
// bodies and initialisers stepped over, the #else that goes back to its
// #if's depth, and the enumerators of an enum's body.
#include <string_view>

#include "engine/definition_finder_internal.h"

namespace prismet {

void DefinitionFinderState::enter_scope(ScopeKind kind, std::string_view name, bool typedef_) {
  if (scopes.size() >= kMaxScopes || scope.size() + 2 + name.size() > kMaxScopeBytes) {
    // Deeper or longer than any real source: stepped over as a body, so
    // that no definition carries more than a bounded scope.
    opaque = 1;
    opaque_kind = Opaque::kInitializer;
    return;
  }
  scopes.push_back({kind, static_cast<std::uint32_t>(scope.size()), typedef_});
  if (!name.empty()) {
    if (!scope.empty()) scope += "::";
    scope += name;
  }
  if (kind == ScopeKind::kEnum) enumerator = Enumerator();
}

void DefinitionFinderState::leave_scope() {
  const Scope left = scopes.back();
  scopes.pop_back();
  scope.resize(left.outer_length);
  reset_statement();
  if (left.kind == ScopeKind::kClass || left.kind == ScopeKind::kEnum) {
    // Declarators may follow the body: "} name;", "} *pointer, name;".
    statement.after_body = true;
    statement.typedef_ = left.typedef_;
    statement.tokens = 1;
    statement.last = LastToken::kCloseBrace;
  }
}

std::string_view DefinitionFinderState::class_name() const {
  if (!in_class()) return {};
  std::string_view name(scope);
  name.remove_prefix(scopes.back().outer_length);
  if (name.starts_with("::")) name.remove_prefix(2);
  const std::size_t separator = name.rfind("::");
  if (separator != std::string_view::npos) name.remove_prefix(separator + 2);
  return name;
}

void DefinitionFinderState::close_brace() {
  if (opaque != 0) {
    if (--opaque == 0) {
      if (opaque_kind == Opaque::kBody) {
        reset_statement();
      } else {
        statement.last = LastToken::kCloseBrace;
      }
    }
    return;
  }
  if (in_enum()) end_enumerator();
  if (!scopes.empty()) {
    leave_scope();
  } else {
    // A brace closing nothing: the declaration in hand is lost.
    reset_statement();
  }
}

void DefinitionFinderState::unwind_to(const Conditional& frame) {
  bool unwound = false;
  if (opaque > frame.opaque) {
    opaque = frame.opaque;
    unwound = true;
  }
  while (opaque == 0 && scopes.size() > frame.scopes) {
    const Scope left = scopes.back();
    scopes.pop_back();
    scope.resize(left.outer_length);
    unwound = true;
  }
  if (unwound) reset_statement();
}

void DefinitionFinderState::end_enumerator() {
  Enumerator& e = enumerator;
  if (e.has_name && !e.macro) emit(e.name, SymbolKind::Enumerator, false);
  e = Enumerator();
}

void DefinitionFinderState::enumerator_word(std::string_view word) {
  Enumerator& e = enumerator;
  // After a macro's call that ends without a comma, a name begins the next enumerator.
  if (e.macro && e.depth == 0 && !e.value) e = Enumerator();
  if (e.has_name || e.depth != 0) return;
  if (declaration_word(word.data(), word.size()) != DeclarationWord::kName) return;
  e.name.set(word, line);
  e.has_name = true;
}

void DefinitionFinderState::enumerator_punct(char c) {
  Enumerator& e = enumerator;
  switch (c) {
    case '(':
      // A name followed by parentheses is a macro making enumerators.
      if (e.depth == 0 && !e.value) e.macro = true;
      ++e.depth;
      break;
    case '[':
    case '{':
      ++e.depth;
      break;
    case ')':
    case ']':
      if (e.depth != 0) --e.depth;
      break;
    case '=':
      if (e.depth == 0) e.value = true;
      break;
    case ',':
      if (e.depth == 0) end_enumerator();
      break;
    default:
      break;
  }
}

}  // namespace prismet

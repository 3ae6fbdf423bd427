// The type aliases of a function's body, which the definition finder
// otherwise steps over: "typedef ... name;" and "using name = ...;" at any
// depth of the body, defined in the function's scope.
#include <string_view>

#include "engine/definition_finder_internal.h"

namespace prismet {

namespace {

bool is_name(const Token& token) {
  const unsigned char first = static_cast<unsigned char>(token.text[0]);
  return (token.kind == TokenKind::Plain || token.kind == TokenKind::Keyword) &&
         ((first >= 'a' && first <= 'z') || (first >= 'A' && first <= 'Z') || first == '_');
}

}  // namespace

void DefinitionFinderState::emit_body_alias() {
  FoundName name = body_function;
  name.append_component(alias.name.component(), alias.name.line);
  if (alias.name.broken) name.broken = true;
  emit(name, SymbolKind::TypeAlias, false);
}

void DefinitionFinderState::body_alias_punct(char c) {
  BodyAlias& a = alias;
  switch (c) {
    case '(':
      ++a.parens;
      break;
    case ')':
      if (a.parens != 0) --a.parens;
      break;
    case '<':
      if (a.after_name && a.parens == 0) ++a.angles;
      break;
    case '>':
      if (a.angles != 0 && a.parens == 0) --a.angles;
      break;
    case ';':
      if (a.step == BodyAlias::Step::kTypedef && !a.name.empty()) emit_body_alias();
      a.step = BodyAlias::Step::kNone;
      return;
    case '{':
    case '}':
      a.step = BodyAlias::Step::kNone;
      return;
    default:
      break;
  }
  a.after_name = false;
}

void DefinitionFinderState::body_token(const Token& token) {
  BodyAlias& a = alias;
  const std::string_view text(token.text, token.length);
  const bool name = is_name(token);
  switch (a.step) {
    case BodyAlias::Step::kNone:
      if (!name || (token.length != 5 && token.length != 7)) return;
      if (text == "typedef") {
        a = BodyAlias();
        a.step = BodyAlias::Step::kTypedef;
      } else if (text == "using") {
        a = BodyAlias();
        a.step = BodyAlias::Step::kUsing;
      }
      return;
    case BodyAlias::Step::kUsing:
      // "using namespace", "using enum" and "using typename" make no alias.
      if (name && declaration_word(token.text, token.length) == DeclarationWord::kName) {
        a.name.set(text, line);
        a.step = BodyAlias::Step::kUsingName;
      } else {
        a.step = BodyAlias::Step::kNone;
      }
      return;
    case BodyAlias::Step::kUsingName:
      if (text == "=") emit_body_alias();
      a.step = BodyAlias::Step::kNone;
      return;
    case BodyAlias::Step::kTypedef:
      break;
  }
  if (name) {
    // The alias is the last name outside parentheses and template arguments.
    if (a.parens == 0 && a.angles == 0 &&
        declaration_word(token.text, token.length) == DeclarationWord::kName) {
      a.name.set(text, line);
    }
    a.after_name = true;
  } else if (token.length == 1) {
    body_alias_punct(token.text[0]);
  } else {
    a.after_name = false;
  }
}

}  // namespace prismet

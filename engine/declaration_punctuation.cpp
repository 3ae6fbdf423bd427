// The definition finder's punctuation at a scope's level: the nesting it
// counts, and the ';', ',', '=', ':' and '{' that settle what a
// declaration defines.
#include <string_view>

#include "engine/definition_finder_internal.h"

namespace prismet {

void DefinitionFinderState::punct(char c) {
  Statement& s = statement;
  if (in_enum()) {
    if (c == '{') {
      ++enumerator.depth;
    } else if (c == '}' && enumerator.depth != 0) {
      --enumerator.depth;
    } else if (c == '}') {
      close_brace();
    } else {
      enumerator_punct(c);
    }
    return;
  }
  if (c == '{') return open_brace();
  if (c == '}') return close_brace();
  if (c == ';') return semicolon();
  if (s.operator_name && s.name.component() == "operator()" && c != '(') s.operator_name = false;
  if (s.operator_name) {
    if (c != '(' || s.name.component() == "operator") {
      s.name.append(std::string_view(&c, 1));
      if (s.name.component().size() > 120) s.skip = true;
      return;
    }
    s.operator_name = false;
  }
  if (s.initializer) {
    // A '<' right after a name opens template arguments, whose commas
    // separate no declarators.
    if (c == '(') ++s.parens;
    if (c == ')' && s.parens != 0) --s.parens;
    if (c == '[') ++s.brackets;
    if (c == ']' && s.brackets != 0) --s.brackets;
    if (c == '<' && s.initializer_name && s.parens == 0) ++s.angles;
    if (c == '>' && s.angles != 0 && s.parens == 0 && previous_char != '-') --s.angles;
    s.initializer_name = false;
    if (c == ',' && at_top()) comma();
    return;
  }
  depth_punct(c);
}

void DefinitionFinderState::depth_punct(char c) {
  Statement& s = statement;
  if (s.parens == 1 && c != ':' && c != '(') {
    // A declarator in parentheses is '*', '&' or '^' after the '(' or
    // after "X::"; anything else makes the parentheses no declarator.
    const bool pointer = c == '*' || c == '&' || c == '^';
    if (s.inner_state == Inner::kOpen && pointer) {
      s.inner_state = Inner::kCapturing;
    } else if (s.inner_state == Inner::kOpen || s.inner_state == Inner::kQualifier) {
      s.inner_state = Inner::kNone;
    }
  }
  switch (c) {
    case '(':
      return open_paren();
    case ')':
      return close_paren();
    case '[':
      // "[[...]]" is an attribute: it leaves the declaration as it was.
      if (++s.brackets == 2 && previous_char == '[' && s.attribute == 0) s.attribute = 3;
      return;
    case ']':
      if (s.brackets != 0) --s.brackets;
      if (!at_top()) return;
      if (s.attribute == 3) {
        s.attribute = 0;
      } else {
        s.last = LastToken::kCloseBracket;
      }
      return;
    case '<':
      return less();
    case '>':
      return greater();
    case '=':
      if (at_top()) equals();
      return;
    case ',':
      if (at_top()) comma();
      return;
    case ':':
      return;  // settled by the token after it: colon() or scope_operator()
    case '~':
      if (at_top()) s.tilde = true;
      return;
    case '*':
    case '&':
    case '^':
      if (!at_top()) return;
      s.head_open = false;
      break;
    default:
      if (!at_top()) return;
      break;
  }
  if (s.last != LastToken::kNone) ++s.tokens;
  ++s.tokens;
  s.last = LastToken::kPunct;
}

void DefinitionFinderState::open_paren() {
  Statement& s = statement;
  if (s.attribute == 1 && at_top()) {
    s.attribute = 2;
    ++s.parens;
    return;
  }
  if (at_top() && !s.skip && !s.template_parameters && !s.trailing && s.parameters == Parameters::kNone &&
      s.head_kind != Head::kNamespace && s.head_kind != Head::kUsing) {
    if (s.last == LastToken::kName && !s.name.empty()) {
      s.function = s.name;
      const std::string_view name = s.name.component();
      s.function_prefixed = s.name_prefixed || s.name.qualified() || name.starts_with('~') ||
                            name.starts_with("operator") || name == class_name();
      s.parameters = Parameters::kOpen;
      s.head_open = false;
      s.inner_state = Inner::kNone;  // what came before in parentheses was no declarator
      s.inner.clear();
    } else if (s.inner_state == Inner::kNone) {
      s.inner_state = Inner::kOpen;
    }
  }
  ++s.parens;
}

void DefinitionFinderState::close_paren() {
  Statement& s = statement;
  if (s.parens == 0) return;
  --s.parens;
  if (!at_top()) return;
  if (s.attribute == 2) {
    s.attribute = 0;
    return;
  }
  if (s.parameters == Parameters::kOpen) s.parameters = Parameters::kClosed;
  if (s.inner_state == Inner::kOpen || s.inner_state == Inner::kCapturing) {
    s.inner_state = s.inner.empty() ? Inner::kNone : Inner::kDone;
  }
  s.last = LastToken::kCloseParen;
}

void DefinitionFinderState::less() {
  Statement& s = statement;
  if (s.parens != 0 || s.brackets != 0) return;
  if (previous_char == '<') {
    // "<<" shifts.
    if (s.angles != 0) --s.angles;
    return;
  }
  if (s.angles != 0 || s.template_parameters || s.last == LastToken::kName) ++s.angles;
}

void DefinitionFinderState::greater() {
  Statement& s = statement;
  if (previous_char == '-') {
    // "->": a trailing return type after the parameters.
    if (s.parameters == Parameters::kClosed) s.trailing = true;
    return;
  }
  if (s.parens != 0 || s.brackets != 0 || s.angles == 0) return;
  if (--s.angles != 0) return;
  if (s.template_parameters) {
    // The template's parameters are no part of the declaration after them.
    s.template_parameters = false;
    s.tokens = 0;
    s.name.clear();
    s.last = LastToken::kNone;
  } else {
    s.last = LastToken::kCloseAngle;
  }
}

void DefinitionFinderState::scope_operator() {
  Statement& s = statement;
  if (s.parens == 1 && s.inner_state == Inner::kQualifier) s.inner_state = Inner::kOpen;
  if (!at_top() || s.initializer || s.operator_name) return;
  s.after_scope_operator = true;
  if (s.last != LastToken::kName && s.last != LastToken::kCloseAngle) s.name.clear();
}

void DefinitionFinderState::colon() {
  Statement& s = statement;
  if (!at_top() || s.initializer || s.skip) return;
  if (s.access || (in_class() && s.tokens == 0 && s.last == LastToken::kName && s.head_kind == Head::kNone)) {
    reset_statement();  // "public:", or a label such as a macro's
    return;
  }
  if (s.parameters == Parameters::kClosed && !s.init_list) {
    s.init_list = s.trailing = true;
    return;
  }
  if ((s.head_kind == Head::kClass || s.head_kind == Head::kEnum) && s.head_open) {
    s.head_open = false;  // bases, or the enum's underlying type
    s.bases = true;
    s.last = LastToken::kPunct;
    return;
  }
  if (s.last == LastToken::kName && s.parameters == Parameters::kNone && in_class()) {
    s.bitfield = true;
    declare_current(false);
    s.initializer = true;
  }
}

void DefinitionFinderState::declare_variable(const FoundName& name, bool declaration_only) {
  const SymbolKind kind = in_class() || name.qualified() ? SymbolKind::Member : SymbolKind::Variable;
  emit(name, kind, declaration_only);
}

void DefinitionFinderState::declare_current(bool declaration_only) {
  Statement& s = statement;
  if (s.declared || s.skip || s.friend_) return;
  const FoundName* target = nullptr;
  if (s.inner_state == Inner::kDone) {
    target = &s.inner;
  } else if ((s.last == LastToken::kName || s.last == LastToken::kCloseBracket || s.bitfield) &&
             s.name_prefixed && s.parameters == Parameters::kNone) {
    target = &s.name;
  }
  if (target == nullptr) return;
  s.declared = true;
  if (s.typedef_) {
    emit(*target, SymbolKind::TypeAlias, false);
  } else {
    declare_variable(*target, declaration_only);
  }
}

void DefinitionFinderState::equals() {
  Statement& s = statement;
  s.initializer = true;
  if (s.skip) return;
  if (s.parameters == Parameters::kClosed && s.inner_state != Inner::kDone) {
    s.after_equals = true;  // "= default", "= delete", "= 0"
  } else if (s.head_kind == Head::kUsing || s.head_kind == Head::kConcept) {
    emit(s.head, s.head_kind == Head::kUsing ? SymbolKind::TypeAlias : SymbolKind::Concept, false);
    s.skip = true;
  } else if (s.head_kind == Head::kNamespace) {
    s.skip = true;  // a namespace alias
  } else {
    declare_current(false);
  }
}

void DefinitionFinderState::finish_function() {
  Statement& s = statement;
  if (!s.function_prefixed) return;  // a macro's call
  if (s.typedef_) {
    emit(s.function, SymbolKind::TypeAlias, false);
    return;
  }
  emit(s.function, SymbolKind::Function, s.friend_ || !(s.after_equals && s.defaulted));
}

bool DefinitionFinderState::forward_declaration() const {
  const Statement& s = statement;
  if (s.after_body || s.parameters != Parameters::kNone || s.typedef_ || s.head.empty()) return false;
  if (s.head_kind == Head::kEnum && !s.head_open) return true;  // enum E : int;
  if (s.head_kind != Head::kClass && s.head_kind != Head::kEnum) return false;
  if (s.name.length != s.head.length || s.name.component() != s.head.component()) return false;
  return s.head_words == 1 || (s.head_words == 2 && s.head_first_macro);
}

void DefinitionFinderState::finish_declarator() {
  Statement& s = statement;
  if (s.skip || s.template_parameters || s.init_list) return;
  if (s.head_kind == Head::kNamespace || s.head_kind == Head::kUsing || s.head_kind == Head::kConcept) return;
  if (s.parameters == Parameters::kClosed && s.inner_state != Inner::kDone) {
    finish_function();
  } else if (s.parameters == Parameters::kOpen) {
    return;
  } else if (forward_declaration()) {
    emit(s.head, s.class_kind, true);
  } else {
    declare_current(s.extern_ && !s.initializer);
  }
}

void DefinitionFinderState::comma() {
  Statement& s = statement;
  if (s.skip || s.template_parameters || s.init_list || s.bases || !at_top()) return;
  finish_declarator();
  // The next declarator shares what came before the first.
  s.name.clear();
  s.function.clear();
  s.inner.clear();
  s.parameters = Parameters::kNone;
  s.inner_state = Inner::kNone;
  s.initializer = s.declared = s.bitfield = s.after_equals = s.defaulted = false;
  s.head_open = false;
  s.last = LastToken::kPunct;
  ++s.tokens;
}

void DefinitionFinderState::semicolon() {
  Statement& s = statement;
  if (s.operator_name) s.operator_name = false;
  finish_declarator();
  reset_statement();
}

void DefinitionFinderState::begin_opaque(Opaque kind) {
  opaque = 1;
  opaque_kind = kind;
  body_function.clear();
  alias.step = BodyAlias::Step::kNone;
}

void DefinitionFinderState::open_namespace() {
  Statement& s = statement;
  FoundName part;
  std::string_view rest = s.head.empty() ? std::string_view() : std::string_view(s.head.text, s.head.length);
  while (!rest.empty()) {
    const std::size_t separator = rest.find("::");
    part.append_component(rest.substr(0, separator), s.head.line);
    emit(part, SymbolKind::Namespace, false);
    rest = separator == std::string_view::npos ? std::string_view() : rest.substr(separator + 2);
  }
  const std::string name(s.head.empty() ? std::string_view() : std::string_view(s.head.text, s.head.length));
  enter_scope(ScopeKind::kNamespace, name, false);
  reset_statement();
}

void DefinitionFinderState::open_brace() {
  Statement& s = statement;
  s.operator_name = false;
  if (s.initializer || s.parens != 0 || s.brackets != 0) return begin_opaque(Opaque::kInitializer);
  s.angles = 0;
  if (s.skip || s.template_parameters) return begin_opaque(Opaque::kBody);
  if (s.head_kind == Head::kNamespace) return open_namespace();
  if (s.linkage) {
    enter_scope(ScopeKind::kLinkage, {}, false);
    return reset_statement();
  }
  if (s.parameters == Parameters::kClosed && s.inner_state != Inner::kDone && !s.typedef_) {
    if (s.init_list && (s.last == LastToken::kName || s.last == LastToken::kCloseAngle)) {
      return begin_opaque(Opaque::kInitializer);  // a member's braced initialiser
    }
    emit(s.function, SymbolKind::Function, false);
    begin_opaque(Opaque::kBody);
    body_function = s.function;
    return;
  }
  if ((s.head_kind == Head::kClass || s.head_kind == Head::kEnum) && !s.after_body &&
      s.parameters == Parameters::kNone) {
    emit(s.head, s.class_kind, false);
    const std::string name(s.head.empty() ? std::string_view()
                                          : std::string_view(s.head.text, s.head.length));
    const bool typedef_ = s.typedef_;
    const ScopeKind kind = s.class_kind == SymbolKind::Enum ? ScopeKind::kEnum : ScopeKind::kClass;
    reset_statement();
    return enter_scope(kind, name, typedef_);
  }
  if (s.last == LastToken::kName && s.name_prefixed && s.parameters == Parameters::kNone) {
    declare_current(false);  // int x{1};
    return begin_opaque(Opaque::kInitializer);
  }
  begin_opaque(Opaque::kBody);
}

}  // namespace prismet

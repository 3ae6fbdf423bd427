// The definition finder's reading of one declaration at a scope's level:
// its words and punctuation, and what it defines when a ';', ',', '=' or
// '{' settles it.
#include <string_view>

#include "engine/definition_finder_internal.h"

namespace prismet {

void DefinitionFinderState::reset_statement() {
  Statement& s = statement;
  s.name.clear();
  s.function.clear();
  s.head.clear();
  s.inner.clear();
  s.parens = s.angles = s.brackets = s.tokens = 0;
  s.last = LastToken::kNone;
  s.head_kind = Head::kNone;
  s.parameters = Parameters::kNone;
  s.inner_state = Inner::kNone;
  s.head_words = 0;
  s.head_open = s.head_first_macro = s.name_prefixed = s.function_prefixed = false;
  s.after_scope_operator = s.tilde = s.operator_name = false;
  s.typedef_ = s.friend_ = s.extern_ = s.linkage = s.skip = s.template_parameters = false;
  s.trailing = s.init_list = s.after_equals = s.defaulted = false;
  s.initializer = s.declared = s.bitfield = s.after_body = s.access = s.bases = false;
  s.attribute = 0;
  s.initializer_name = false;
}

void DefinitionFinderState::literal() {
  Statement& s = statement;
  if (in_enum()) return;
  if (s.operator_name) {
    s.name.append("\"\"");
    return;
  }
  if (s.inner_state == Inner::kOpen || s.inner_state == Inner::kQualifier) s.inner_state = Inner::kNone;
  s.initializer_name = false;
  if (s.initializer || !at_top()) return;
  if (s.extern_ && s.last == LastToken::kKeyword) s.linkage = true;
  ++s.tokens;
  s.last = LastToken::kLiteral;
}

void DefinitionFinderState::word(std::string_view text) {
  Statement& s = statement;
  if (in_enum()) {
    enumerator_word(text);
    return;
  }
  const DeclarationWord kind = declaration_word(text.data(), text.size());
  if (s.template_parameters && s.angles == 0 && !s.skip) {
    // "template" without parameters: an explicit instantiation.
    s.skip = true;
  }
  if (s.operator_name) {
    operator_part(text, true);
    return;
  }
  if (s.initializer) {
    if (kind == DeclarationWord::kDefault || kind == DeclarationWord::kDelete) s.defaulted = true;
    s.initializer_name = kind == DeclarationWord::kName;
    return;
  }
  if (!at_top()) {
    inner_word(text, kind);
    return;
  }
  if (kind == DeclarationWord::kName) {
    name_word(text);
  } else {
    keyword(kind);
  }
}

void DefinitionFinderState::inner_word(std::string_view text, DeclarationWord kind) {
  Statement& s = statement;
  if (s.parens != 1 || s.angles != 0 || s.brackets != 0) return;
  if (s.inner_state == Inner::kCapturing && kind == DeclarationWord::kName) {
    s.inner.set(text, line);
  } else if (s.inner_state == Inner::kOpen && kind == DeclarationWord::kName) {
    s.inner_state = Inner::kQualifier;  // "(X::*name)"
  } else if (s.inner_state == Inner::kOpen || s.inner_state == Inner::kQualifier) {
    s.inner_state = Inner::kNone;
  }
}

void DefinitionFinderState::name_word(std::string_view text) {
  Statement& s = statement;
  if (s.parameters == Parameters::kClosed && !s.trailing && !s.after_equals) {
    // A name after a call that no type came before, or after a call of a
    // name in capitals: the call was a macro's and the declaration starts
    // here. After a function's parameters, a name is a macro standing for
    // a qualifier.
    const std::string_view called = s.function.component();
    const bool macro_call =
        looks_like_macro(called.data(), called.size()) && !looks_like_macro(text.data(), text.size());
    if (s.function_prefixed && !macro_call) return;
    reset_statement();
  }
  if (s.trailing || s.skip) {
    s.last = LastToken::kName;
    return;
  }
  if (s.head_kind == Head::kUsing || s.head_kind == Head::kConcept) {
    if (s.head_open) {
      s.head.set(text, line);
      s.head_open = false;
    }
    s.last = LastToken::kName;
    return;
  }
  const bool qualified = read_name(text);
  s.after_scope_operator = false;
  s.tilde = false;
  s.last = LastToken::kName;
  if ((s.head_kind == Head::kClass || s.head_kind == Head::kEnum || s.head_kind == Head::kNamespace) &&
      s.head_open) {
    head_name(text, qualified);
  }
}

bool DefinitionFinderState::read_name(std::string_view text) {
  Statement& s = statement;
  const bool qualified = s.after_scope_operator && !s.name.empty();
  if (qualified) {
    if (s.tilde) {
      char destructor[FoundName::kMaxBytes];
      const std::size_t n = text.size() < sizeof destructor - 1 ? text.size() : sizeof destructor - 1;
      destructor[0] = '~';
      text.copy(destructor + 1, n);
      s.name.append_component(std::string_view(destructor, n + 1), line);
    } else {
      s.name.append_component(text, line);
    }
    return true;
  }
  if (s.last != LastToken::kNone) ++s.tokens;
  s.name_prefixed = s.tokens > 0 || s.tilde;
  s.name.set(text, line);
  if (s.tilde) {
    s.name.clear();
    s.name.append_component("~", line);
    s.name.append(text);
  }
  return false;
}

void DefinitionFinderState::head_name(std::string_view text, bool qualified) {
  Statement& s = statement;
  if (!qualified) {
    ++s.head_words;
    if (s.head_words == 1) s.head_first_macro = looks_like_macro(text.data(), text.size());
  }
  if (s.head_kind != Head::kNamespace) {
    s.head = s.name;
  } else if (qualified) {
    s.head.append_component(text, line);
  } else if (s.head_words == 1) {
    s.head.set(text, line);
  } else {
    s.head_open = false;  // the namespace's name is the first; a macro may follow it
  }
}

void DefinitionFinderState::head_keyword(DeclarationWord kind) {
  Statement& s = statement;
  if (kind == DeclarationWord::kEnum) {
    s.head_kind = Head::kEnum;
    s.class_kind = SymbolKind::Enum;
  } else if (s.head_kind == Head::kEnum && s.head_words == 0) {
    return;  // enum class, enum struct
  } else {
    s.head_kind = Head::kClass;
    s.class_kind = kind == DeclarationWord::kStruct  ? SymbolKind::Struct
                   : kind == DeclarationWord::kUnion ? SymbolKind::Union
                                                     : SymbolKind::Class;
  }
  s.head_open = true;
  s.head_words = 0;
  s.head.clear();
  ++s.tokens;
  s.last = LastToken::kKeyword;
}

void DefinitionFinderState::keyword(DeclarationWord kind) {
  Statement& s = statement;
  if (s.skip) return;
  if (s.parameters == Parameters::kClosed && !s.trailing && !s.after_equals &&
      kind != DeclarationWord::kTrailing && kind != DeclarationWord::kRequires &&
      kind != DeclarationWord::kDefault && kind != DeclarationWord::kDelete &&
      kind != DeclarationWord::kAttribute) {
    reset_statement();  // the call before was a macro's
  }
  const bool after_scope = s.after_scope_operator;
  s.after_scope_operator = false;
  if (starting_keyword(kind, after_scope)) return;
  switch (kind) {
    case DeclarationWord::kOperator:
      if (!after_scope) {
        if (s.last != LastToken::kNone) ++s.tokens;
        s.name_prefixed = s.tokens > 0;
        s.name.clear();
      }
      s.name.append_component("operator", line);
      s.operator_name = true;
      s.last = LastToken::kName;
      return;
    case DeclarationWord::kFriend:
      s.friend_ = true;
      return;
    case DeclarationWord::kExtern:
      s.extern_ = true;
      s.last = LastToken::kKeyword;
      return;
    case DeclarationWord::kAccess:
      s.access = s.head_kind == Head::kNone && s.parameters == Parameters::kNone;
      s.last = LastToken::kKeyword;
      return;
    case DeclarationWord::kAttribute:
      s.attribute = 1;
      return;
    case DeclarationWord::kRequires:
      if (s.parameters == Parameters::kClosed) s.trailing = true;
      return;
    case DeclarationWord::kDefault:
    case DeclarationWord::kDelete:
      if (s.after_equals) s.defaulted = true;
      return;
    default:
      if (s.parameters == Parameters::kClosed) return;
      break;
  }
  ++s.tokens;
  s.last = kind == DeclarationWord::kNotCallee ? LastToken::kPunct : LastToken::kKeyword;
}

// The keywords that begin a declaration or its head; false for the others.
bool DefinitionFinderState::starting_keyword(DeclarationWord kind, bool after_scope) {
  Statement& s = statement;
  switch (kind) {
    case DeclarationWord::kNamespace:
    case DeclarationWord::kUsing:
      if (kind == DeclarationWord::kNamespace && s.head_kind == Head::kUsing) {
        s.skip = true;  // using namespace
        return true;
      }
      reset_statement();
      s.head_kind = kind == DeclarationWord::kUsing ? Head::kUsing : Head::kNamespace;
      s.head_open = true;
      return true;
    case DeclarationWord::kClass:
    case DeclarationWord::kStruct:
    case DeclarationWord::kUnion:
    case DeclarationWord::kEnum:
      if (s.head_kind == Head::kUsing) {
        s.skip = true;  // using enum
      } else if (s.parameters == Parameters::kNone) {
        head_keyword(kind);
      }
      return true;
    case DeclarationWord::kTypedef:
      s.typedef_ = true;
      return true;
    case DeclarationWord::kConcept:
      s.head_kind = Head::kConcept;
      s.head_open = true;
      return true;
    case DeclarationWord::kTemplate:
      if (after_scope || s.last == LastToken::kPunct) return true;  // a dependent name: X::template f
      if (s.extern_) {
        s.skip = true;
        return true;
      }
      reset_statement();
      s.template_parameters = true;
      return true;
    default:
      return false;
  }
}

void DefinitionFinderState::operator_part(std::string_view bytes, bool is_word) {
  Statement& s = statement;
  // "operator bool", "operator new[]", "operator""_km".
  if (is_word && s.name.text[s.name.length - 1] != '"') s.name.append(" ");
  s.name.append(bytes);
}

}  // namespace prismet

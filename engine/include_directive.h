// The header name of an include directive: `#include "name"` or
// `#include <name>`, with blanks allowed before and after the '#'. The
// name is found in the line's text alone; `#include_next`, `#import` and an
// include of a macro name are no include directive here.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace prismet {

struct IncludeName {
  std::size_t begin = 0;  // the name's first byte in the line, after the quote or '<'
  std::size_t end = 0;    // one past its last byte, at the closing quote or '>'
  bool angled = false;    // "<name>", else "\"name\""
};

// The header name of the line, which holds one whole source line (or its
// first piece) without its line ending; none when the line is no include
// directive with a name that is closed on the line and not empty.
std::optional<IncludeName> include_name(std::string_view line);

// Whether the line is a directive that takes a file: "#include",
// "#include_next" or "#import", with blanks allowed before and after the
// '#', whatever follows.
bool is_include_line(std::string_view line);

}  // namespace prismet

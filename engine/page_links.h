// What the text of one page links to: the pages its include directives
// name and, where the page links them, the definitions its code names. The
// converter asks once per include line and once per identifier in code,
// never per byte; a page converted without links is written as it always
// was.
#pragma once

#include <cstdint>
#include <string_view>

namespace prismet {

// An identifier in code, as the converter meets it.
struct IdentifierUse {
  std::string_view name;       // its bytes: a letter or '_', then letters, digits and '_'
  std::string_view line_text;  // the line that holds it (the piece of a long line), without its line ending
  std::uint64_t line = 0;      // the 1-based line of the source
  bool after_member = false;   // it follows ".", "->" or "::" on its line
};

class PageLinks {
 public:
  virtual ~PageLinks() = default;

  // The URL of the page that the header name of an include directive links
  // to, ready to stand in an attribute (no '"', '&', '<' or '>' in it), or
  // empty for none. `name` holds the bytes between the quotes or the angle
  // brackets, in the page's encoding; `angled` tells "<name>" from "name".
  // The view stays valid until the next call.
  virtual std::string_view include_target(std::string_view name, bool angled) = 0;

  // Whether identifiers in the page's code are asked about at all; fixed
  // for the page before its conversion starts.
  bool links_identifiers() const { return links_identifiers_; }

  // The URL an identifier in code (no keyword, outside comments, literals
  // and include directives) links to, as include_target's, or empty for
  // none. The view stays valid until the next call.
  virtual std::string_view identifier_target(const IdentifierUse& use) {
    static_cast<void>(use);
    return {};
  }

 protected:
  void set_links_identifiers(bool links) { links_identifiers_ = links; }

 private:
  bool links_identifiers_ = false;
};

}  // namespace prismet

// What the text of one page links to: the pages its include directives
// name. The converter asks once per include line, never per byte; a page
// converted without links is written as it always was.
#pragma once

#include <string_view>

namespace prismet {

class PageLinks {
 public:
  virtual ~PageLinks() = default;

  // The URL of the page that the header name of an include directive links
  // to, ready to stand in an attribute (no '"', '&', '<' or '>' in it), or
  // empty for none. `name` holds the bytes between the quotes or the angle
  // brackets, in the page's encoding; `angled` tells "<name>" from "name".
  // The view stays valid until the next call.
  virtual std::string_view include_target(std::string_view name, bool angled) = 0;
};

}  // namespace prismet

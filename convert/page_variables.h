// Variables of a page's insert files: "{{source}}" in the header or footer
// becomes the source's file name, escaped for HTML, so one header gives
// every page its own title. Only modes that ask for variables get them; the
// bytes of other insert files are copied as they are.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "common/text_stream.h"

namespace prismet {

struct PageVariable {
  std::string placeholder;  // "{{name}}"
  std::string value;        // written in its place, as it is
};

using PageVariables = std::vector<PageVariable>;

// The variables of one page: "{{source}}" is the last component of
// `source_path` (the whole text for standard input's "-") as
// name_as_page_text shows it.
PageVariables page_variables_for(const char* source_path, bool utf8_page);

// `text` with '&', '<', '>', '"' and '\'' written as entities.
std::string escaped_for_html(std::string_view text);

// A file name (or a path of names) as the text of a page in UTF-8 or in
// Shift_JIS, escaped for HTML and always valid in the page's encoding. A
// UTF-8 page gets the name in UTF-8, each byte that begins no well-formed
// sequence as U+FFFD. A Shift_JIS page gets a name of the system's code
// page 932 as it is; a UTF-8 name (Linux) in code page 932, with a numeric
// character reference for each character the code page does not have. A
// Linux name that is not UTF-8 but whole code page 932 characters is taken
// to be Shift_JIS already and kept.
std::string name_as_page_text(std::string_view name, bool utf8_page);

// A file name's bytes as a UTF-8 page shows them, one implementation per
// platform: Windows names are in the ANSI code page and are converted by
// the system; Linux names are taken as they are (file systems hold UTF-8).
std::string file_name_as_utf8(std::string_view name);

// True when the system's file names are in code page 932 (Windows with that
// ANSI code page); Linux names are bytes, usually UTF-8.
bool file_names_are_cp932();

// True when the system's file names are UTF-8 (Linux; Windows with UTF-8 as
// its ANSI code page).
bool file_names_are_utf8();

// Writes text to a page with each placeholder of a known variable replaced
// by its value. Text arrives in pieces that may split a placeholder; the
// start of a possible placeholder is held back until the next piece or
// finish() decides it. Unknown names and unclosed braces are written as
// they are, so nothing of the file is lost.
class VariableWriter {
 public:
  VariableWriter(TextWriter& output, const PageVariables& variables)
      : output_(output), variables_(variables) {}

  void write(const char* data, std::size_t size);
  // Writes what is held back.
  void finish();

 private:
  void take(char byte);
  // True when the held bytes begin some placeholder.
  bool held_begins_placeholder() const;

  TextWriter& output_;
  const PageVariables& variables_;
  std::string held_;
};

}  // namespace prismet

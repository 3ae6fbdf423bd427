// The style sheet of the html5 mode's pages, as the package's html5 header
// carries it. The header is the style sheet's one home, so what the program
// prints as the style sheet never differs from what the pages hold.
#pragma once

#include <optional>
#include <string>

namespace prismet {

// The html5 mode's header among the package's data files.
inline constexpr char kHtml5HeaderFile[] = "prismet-html5.top";

// The lines between the header's "<style>" line and its "</style>" line,
// each ended with a line feed (a CR LF is taken as one line break).
// Nothing when the header holds no such pair of lines.
std::optional<std::string> style_sheet_of_header(const std::string& header);

// Writes the style sheet to standard output: 0, or 1 with a line on
// standard error when the header cannot be read or holds none.
int print_style_sheet();

}  // namespace prismet

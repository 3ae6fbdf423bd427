#include "app/style_sheet_posix.h"

#include <cstdio>
#include <string_view>

#include "app/first_run_posix.h"
#include "common/file_system.h"
#include "common/path_text.h"

namespace prismet {

namespace {

// The line starting at `at` without its line break.
std::string_view line_at(const std::string& text, std::size_t at, std::size_t& next) {
  const std::size_t lf = text.find('\n', at);
  next = lf == std::string::npos ? text.size() : lf + 1;
  std::size_t end = lf == std::string::npos ? text.size() : lf;
  if (end > at && text[end - 1] == '\r') --end;
  return std::string_view(text).substr(at, end - at);
}

}  // namespace

std::optional<std::string> style_sheet_of_header(const std::string& header) {
  bool inside = false;
  std::string sheet;
  for (std::size_t at = 0, next = 0; at < header.size(); at = next) {
    const std::string_view line = line_at(header, at, next);
    if (!inside) {
      inside = line == "<style>";
    } else if (line == "</style>") {
      return sheet;
    } else {
      sheet.append(line);
      sheet += '\n';
    }
  }
  return std::nullopt;
}

int print_style_sheet() {
  const std::string header_path = program_data_folder() + "/" + kHtml5HeaderFile;
  std::string header;
  if (!read_data_file(header_path, header)) {
    std::fprintf(stderr, "prismet: %s: the html5 header cannot be read (is the package's data installed?)\n",
                 header_path.c_str());
    return 1;
  }
  const std::optional<std::string> sheet = style_sheet_of_header(header);
  if (!sheet) {
    std::fprintf(stderr, "prismet: %s: no \"<style>\" ... \"</style>\" lines in the html5 header\n",
                 header_path.c_str());
    return 1;
  }
  std::fwrite(sheet->data(), 1, sheet->size(), stdout);
  return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
}

}  // namespace prismet

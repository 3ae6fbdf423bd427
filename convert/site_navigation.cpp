#include "convert/site_navigation.h"

#include <charconv>

#include "common/file_system.h"
#include "common/path_text.h"
#include "convert/page_variables.h"
#include "convert/site_names.h"
#include "convert/symbol_page_name.h"
#include "convert/symbol_pages.h"

namespace prismet {

namespace {

void append_decimal(std::string& out, std::uint64_t value) {
  char text[24];
  const std::to_chars_result end = std::to_chars(text, text + sizeof text, value);
  out.append(text, end.ptr);
}

// The folder names of a site path ("/a/b/": "a" and "b"), each called with
// how many folders lie below it on the path.
template <typename Visit>
void for_each_folder(const std::string& site_path, Visit visit) {
  std::size_t folders = 0;
  for (const char c : site_path) folders += c == '/';
  folders = folders > 0 ? folders - 1 : 0;
  std::size_t start = 1;
  for (std::size_t left = folders; left > 0; --left) {
    const std::size_t end = site_path.find('/', start);
    visit(std::string_view(site_path).substr(start, end - start), left - 1);
    start = end + 1;
  }
}

std::size_t depth_of(const std::string& site_path) {
  std::size_t depth = 0;
  for_each_folder(site_path, [&](std::string_view, std::size_t) { ++depth; });
  return depth;
}

void append_up(std::string& out, std::size_t levels) {
  for (std::size_t i = 0; i < levels; ++i) out += "../";
}

void append_crumb(std::string& out, std::string_view text, std::size_t levels_up, bool link) {
  if (link) {
    out += "<a href=\"";
    append_up(out, levels_up);
    out += "index.html\">";
  }
  out += text;
  if (link) out += "</a>";
}

// The trail's links; the last one stays plain text where `last_plain`.
std::string trail(std::string_view root_name, const std::string& site_path, bool utf8, bool last_plain) {
  const std::size_t depth = depth_of(site_path);
  std::string out;
  append_crumb(out, name_as_page_text(root_name, utf8), depth, !(last_plain && depth == 0));
  for_each_folder(site_path, [&](std::string_view name, std::size_t below) {
    out += " / ";
    append_crumb(out, name_as_page_text(name, utf8), below, !(last_plain && below == 0));
  });
  return out;
}

constexpr char kStyle[] =
    "<style>\n"
    "body { margin: 0; padding: 0.6em 1em; background: #ffffff; color: #1f1f1f; font: 0.95rem system-ui, "
    "sans-serif; }\n"
    "h1 { font-size: 1rem; font-weight: 600; }\n"
    "table { border-collapse: collapse; }\n"
    "th, td { padding: 0.15em 1em 0.15em 0; text-align: right; }\n"
    "th:first-child, td:first-child { text-align: left; }\n"
    "a { color: #0033b3; }\n"
    "#prismet-search { font: inherit; width: min(30em, 100%); box-sizing: border-box; }\n"
    "#prismet-found { padding-left: 1.5em; }\n"
    "#prismet-found:empty { display: none; }\n"
    "@media (prefers-color-scheme: dark) {\n"
    "  body { background: #1e1e1e; color: #d4d4d4; }\n"
    "  a { color: #569cd6; }\n"
    "  #prismet-search { background: #2d2d2d; color: inherit; border: 1px solid #555555; }\n"
    "}\n"
    "</style>\n";

constexpr char kSearch[] =
    "<p><input type=\"search\" id=\"prismet-search\" placeholder=\"Find a file by name\" "
    "aria-label=\"Find a file by name\" autocomplete=\"off\" spellcheck=\"false\" hidden></p>\n"
    "<ol id=\"prismet-found\"></ol>\n";

constexpr char kSearchWithSymbols[] =
    "<p><input type=\"search\" id=\"prismet-search\" placeholder=\"Find a file or a symbol by name\" "
    "aria-label=\"Find a file or a symbol by name\" autocomplete=\"off\" spellcheck=\"false\" hidden></p>\n"
    "<ol id=\"prismet-found\"></ol>\n";

void append_size_cell(std::string& out, std::uint64_t bytes) {
  out += "<td title=\"";
  append_decimal(out, bytes);
  out += bytes == 1 ? " byte\">" : " bytes\">";
  out += readable_size(bytes);
  out += "</td>";
}

void append_link_cell(std::string& out, std::string_view href, std::string_view href_tail,
                      std::string_view text, std::string_view text_tail) {
  out += "<tr><td><a href=\"";
  out += href;
  out += href_tail;
  out += "\">";
  out += text;
  out += text_tail;
  out += "</a></td>";
}

void append_rows(std::string& out, const FolderIndex& index) {
  if (index.has_parent)
    out += "<tr><td><a href=\"../index.html\">../</a></td><td></td><td></td><td></td></tr>\n";
  for (const IndexFolder& folder : index.folders) {
    append_link_cell(out, url_of_name(folder.name), "/index.html", name_as_page_text(folder.name, index.utf8),
                     "/");
    out += "<td>";
    append_decimal(out, folder.files);
    out += "</td><td>";
    append_decimal(out, folder.lines);
    out += "</td>";
    append_size_cell(out, folder.bytes);
    out += "</tr>\n";
  }
  for (const IndexPage& page : index.pages) {
    append_link_cell(out, url_of_name(page.page_name), "", name_as_page_text(page.source_name, index.utf8),
                     "");
    out += "<td></td><td>";
    append_decimal(out, page.record.lines);
    out += "</td>";
    append_size_cell(out, page.record.source.size);
    out += "</tr>\n";
  }
}

}  // namespace

std::string readable_size(std::uint64_t bytes) {
  std::string text;
  if (bytes < 1024) {
    append_decimal(text, bytes);
    return text + " B";
  }
  static constexpr const char* kUnits[] = {"KB", "MB", "GB", "TB", "PB", "EB"};
  std::uint64_t unit = 1024;
  std::size_t which = 0;
  std::uint64_t tenths = 0;
  for (;;) {
    // Rounded to the nearest tenth without overflow: the whole units, then
    // the rest (below 2^60, so ten times it still fits).
    tenths = bytes / unit * 10 + (bytes % unit * 10 + unit / 2) / unit;
    if (tenths < 10240 || which + 1 == std::size(kUnits)) break;
    unit *= 1024;
    ++which;
  }
  append_decimal(text, tenths / 10);
  text += '.';
  append_decimal(text, tenths % 10);
  text += ' ';
  text += kUnits[which];
  return text;
}

std::string site_root_name(const std::string& path) {
  std::string full = full_path_of(path.c_str());
  while (full.size() > 1 && ends_with_separator(full)) full.pop_back();
  const std::string_view name = file_name_of(full.c_str());
  return name.empty() || name == "." || name == ".." ? full : std::string(name);
}

std::string breadcrumbs_link(std::string_view root_name, const std::string& site_path, bool utf8) {
  return "<nav class=\"prismet-nav prismet-breadcrumbs\">" + trail(root_name, site_path, utf8, false) +
         "</nav>";
}

std::string render_navigation_index(const FolderIndex& index) {
  std::string title = name_as_page_text(index.root_name, index.utf8);
  if (index.site_path.size() > 1) title += name_as_page_text(index.site_path, index.utf8);
  std::string out = index_document_head(title, index.utf8, kStyle);
  out += "<h1 class=\"prismet-breadcrumbs\">";
  out += trail(index.root_name, index.site_path, index.utf8, true);
  out += "</h1>\n";
  if (index.cross_references) {
    out += kSearchWithSymbols;
    out += symbol_index_link(index.site_path);
  } else {
    out += kSearch;
  }
  out += "<table class=\"prismet-index\">\n";
  out += "<thead><tr><th>Name</th><th>Files</th><th>Lines</th><th>Size</th></tr></thead>\n<tbody>\n";
  append_rows(out, index);
  out += "</tbody>\n</table>\n<script src=\"";
  append_up(out, depth_of(index.site_path));
  out += kSiteNamesName;
  out += "\"></script>\n";
  if (index.cross_references) {
    out += "<script src=\"";
    append_up(out, depth_of(index.site_path));
    out += kSymbolFolder;
    out += '/';
    out += kSymbolNamesName;
    out += "\"></script>\n";
  }
  out += "</body>\n</html>\n";
  append_index_records(out, index);
  return out;
}

}  // namespace prismet

#include "convert/symbol_page_html.h"

#include "convert/symbol_html.h"
#include "convert/symbol_page_name.h"

namespace prismet {

namespace {

// "<a href="URL#LN">" for a line of the page at `url`.
void open_line_link(std::string& out, std::string_view url, std::uint32_t line) {
  out += "<a href=\"";
  out += url;
  out += "#L";
  append_number(out, line);
  out += "\">";
}

void append_code(std::string& out, std::string_view text) {
  out += "<td><code>";
  append_html_text(out, text);
  out += "</code></td></tr>\n";
}

void append_definitions(std::string& out, const Symbol& symbol, const SymbolPagesStyle& style) {
  out += "<h3>Definitions</h3>\n<table class=\"prismet-definitions\">\n";
  out += "<thead><tr><th>Kind</th><th>Scope</th><th>Place</th><th>Line</th></tr></thead>\n<tbody>\n";
  for (const SymbolDefinition& definition : symbol.definitions) {
    out += "<tr><td>";
    out += symbol_kind_text(definition.kind);
    if (definition.declaration_only) out += " declaration";
    out += "</td><td>";
    append_html_text(out, definition.scope);
    out += "</td><td>";
    open_line_link(out, symbol_place_url(definition.page), definition.line);
    out += symbol_place_text(definition.page, style);
    out += ':';
    append_number(out, definition.line);
    out += "</a></td>";
    append_code(out, definition.text);
  }
  out += "</tbody>\n</table>\n";
}

// How many pages the uses are on, a page counted again where its uses do
// not come together.
std::size_t use_groups(const Symbol& symbol) {
  std::size_t groups = 0;
  for (std::size_t i = 0; i < symbol.uses.size(); ++i)
    groups += i == 0 || symbol.uses[i].page != symbol.uses[i - 1].page;
  return groups;
}

void append_uses_count(std::string& out, const Symbol& symbol) {
  if (symbol.uses.empty()) {
    out += "<p>No uses.</p>\n";
    return;
  }
  const std::size_t groups = use_groups(symbol);
  out += "<p>";
  append_number(out, symbol.uses.size());
  out += symbol.uses.size() == 1 ? " use in " : " uses in ";
  append_number(out, groups);
  out += groups == 1 ? " file.</p>\n" : " files.</p>\n";
}

void append_uses(std::string& out, const Symbol& symbol, std::string_view anchor,
                 const SymbolPagesStyle& style) {
  out += "<section class=\"prismet-name-uses\" id=\"";
  out += anchor;
  out += kSymbolUsesSuffix;
  out += "\">\n<h3>Uses</h3>\n";
  append_uses_count(out, symbol);
  std::string url;
  for (std::size_t i = 0; i < symbol.uses.size(); ++i) {
    const SymbolPlace& use = symbol.uses[i];
    if (i == 0 || use.page != symbol.uses[i - 1].page) {
      if (i > 0) out += "</table>\n";
      url = symbol_place_url(use.page);
      out += "<h4><a href=\"";
      out += url;
      out += "\">";
      out += symbol_place_text(use.page, style);
      out += "</a></h4>\n<table class=\"prismet-uses\">\n";
    }
    out += "<tr><td>";
    open_line_link(out, url, use.line);
    append_number(out, use.line);
    out += "</a></td>";
    append_code(out, use.text);
  }
  if (!symbol.uses.empty()) out += "</table>\n";
  out += "</section>\n";
}

// About the bytes of the names' sections, a little over: the page is made
// in one string that then never moves as it grows (the largest pages are
// megabytes).
std::size_t estimated_size(std::span<const Symbol* const> names) {
  constexpr std::size_t kPerName = 400;  // the section's headings and tables
  constexpr std::size_t kPerDefinition = 160;
  constexpr std::size_t kPerUse = 80;
  std::size_t size = 0;
  for (const Symbol* symbol : names) {
    size += kPerName + 3 * symbol->name.size();
    for (const SymbolDefinition& d : symbol->definitions)
      size += kPerDefinition + 3 * d.page.size() + d.text.size() + d.text.size() / 4 + d.scope.size();
    for (const SymbolPlace& use : symbol->uses)
      size += kPerUse + use.page.size() + use.text.size() + use.text.size() / 4;
  }
  return size;
}

}  // namespace

std::string render_symbol_group(std::span<const Symbol* const> names, const SymbolPagesStyle& style) {
  // The title names the first few; the reader comes for one of them.
  constexpr std::size_t kNamesInTitle = 3;
  std::string title = "Symbols: ";
  for (std::size_t i = 0; i < names.size() && i < kNamesInTitle; ++i) {
    if (i > 0) title += ", ";
    append_html_text(title, names[i]->name);
  }
  if (names.size() > kNamesInTitle) {
    title += " and ";
    append_number(title, names.size() - kNamesInTitle);
    title += " more";
  }
  std::string out = symbol_document_head(title, style.utf8);
  out.reserve(out.size() + estimated_size(names) + 1024);
  out += "<nav class=\"prismet-nav prismet-breadcrumbs\">";
  out += symbol_trail(style, false, std::string_view());
  out += "</nav>\n";
  for (const Symbol* symbol : names) {
    const std::string anchor = symbol_anchor(symbol->name);
    out += "<section class=\"prismet-name\" id=\"";
    out += anchor;
    out += "\">\n<h2 class=\"prismet-symbol\">";
    append_html_text(out, symbol->name);
    out += "</h2>\n";
    append_definitions(out, *symbol, style);
    append_uses(out, *symbol, anchor, style);
    out += "</section>\n";
  }
  out += kSymbolDocumentEnd;
  return out;
}

}  // namespace prismet

#include "convert/symbol_page_html.h"

#include "convert/symbol_html.h"

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
  out += "<h2>Definitions</h2>\n<table class=\"prismet-definitions\">\n";
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

void append_uses(std::string& out, const Symbol& symbol, const SymbolPagesStyle& style) {
  out += "<section id=\"uses\">\n<h2>Uses</h2>\n";
  append_uses_count(out, symbol);
  std::string url;
  for (std::size_t i = 0; i < symbol.uses.size(); ++i) {
    const SymbolPlace& use = symbol.uses[i];
    if (i == 0 || use.page != symbol.uses[i - 1].page) {
      if (i > 0) out += "</table>\n";
      url = symbol_place_url(use.page);
      out += "<h3><a href=\"";
      out += url;
      out += "\">";
      out += symbol_place_text(use.page, style);
      out += "</a></h3>\n<table class=\"prismet-uses\">\n";
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

}  // namespace

std::string render_symbol_page(const Symbol& symbol, const SymbolPagesStyle& style) {
  std::string name;
  append_html_text(name, symbol.name);
  std::string out = symbol_document_head(name, style.utf8);
  out += "<nav class=\"prismet-nav prismet-breadcrumbs\">";
  out += symbol_trail(style, false, std::string_view());
  out += "</nav>\n<h1 class=\"prismet-symbol\">";
  out += name;
  out += "</h1>\n";
  append_definitions(out, symbol, style);
  append_uses(out, symbol, style);
  out += kSymbolDocumentEnd;
  return out;
}

}  // namespace prismet

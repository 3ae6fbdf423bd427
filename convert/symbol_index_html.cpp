#include "convert/symbol_index_html.h"

#include "convert/symbol_html.h"
#include "convert/symbol_page_name.h"

namespace prismet {

namespace {

constexpr int kUnderscore = 26;
constexpr int kOther = 27;

unsigned char folded(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte - 'A' + 'a') : byte;
}

// The initial as the pages show it.
std::string initial_text(int initial) {
  if (initial == kUnderscore) return "_";
  if (initial == kOther) return "other";
  return std::string(1, static_cast<char>('A' + initial));
}

constexpr char kSearch[] =
    "<p><input type=\"search\" id=\"prismet-search\" placeholder=\"Find a file or a symbol by name\" "
    "aria-label=\"Find a file or a symbol by name\" autocomplete=\"off\" spellcheck=\"false\" hidden></p>\n"
    "<ol id=\"prismet-found\"></ol>\n";

// The kinds of a name's definitions, each once, in the order of SymbolKind.
std::string kinds_of(const Symbol& symbol) {
  bool seen[static_cast<int>(SymbolKind::Member) + 1] = {};
  for (const SymbolDefinition& definition : symbol.definitions) {
    const auto kind = static_cast<std::size_t>(definition.kind);
    if (kind < std::size(seen)) seen[kind] = true;
  }
  std::string text;
  for (std::size_t kind = 0; kind < std::size(seen); ++kind) {
    if (!seen[kind]) continue;
    if (!text.empty()) text += ", ";
    text += symbol_kind_text(static_cast<SymbolKind>(kind));
  }
  return text;
}

}  // namespace

bool symbol_name_before(std::string_view a, std::string_view b) {
  const std::size_t common = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < common; ++i) {
    if (folded(a[i]) != folded(b[i])) return folded(a[i]) < folded(b[i]);
  }
  if (a.size() != b.size()) return a.size() < b.size();
  for (std::size_t i = 0; i < common; ++i) {
    if (a[i] != b[i]) return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[i]);
  }
  return false;
}

int symbol_initial(std::string_view name) {
  if (name.empty()) return kOther;
  const unsigned char first = folded(name[0]);
  if (first >= 'a' && first <= 'z') return first - 'a';
  return first == '_' ? kUnderscore : kOther;
}

std::string symbol_initial_page(int initial) {
  std::string name = "+index-";
  if (initial == kUnderscore) {
    name += '_';
  } else if (initial >= 0 && initial < kUnderscore) {
    name += static_cast<char>('a' + initial);
  } else {
    name += "other";
  }
  return name + ".html";
}

std::string render_symbol_index(std::span<const std::size_t, kSymbolInitials> counts,
                                const SymbolPagesStyle& style) {
  std::string out = symbol_document_head("Symbols", style.utf8);
  out += "<h1 class=\"prismet-breadcrumbs\">";
  out += symbol_trail(style, true, std::string_view());
  out += "</h1>\n";
  if (style.navigation) out += kSearch;
  out += "<table class=\"prismet-initials\">\n";
  out += "<thead><tr><th>Initial</th><th>Names</th></tr></thead>\n<tbody>\n";
  for (int initial = 0; initial < kSymbolInitials; ++initial) {
    const std::size_t count = counts[static_cast<std::size_t>(initial)];
    if (count == 0) continue;
    out += "<tr><td><a href=\"";
    out += symbol_initial_page(initial);
    out += "\">";
    out += initial_text(initial);
    out += "</a></td><td class=\"prismet-count\">";
    append_number(out, count);
    out += "</td></tr>\n";
  }
  out += "</tbody>\n</table>\n";
  if (style.navigation) {
    // The site's names script first: the names' script adds to what it finds.
    out += "<script src=\"../prismet-files.js\"></script>\n<script src=\"";
    out += kSymbolNamesName;
    out += "\"></script>\n";
  }
  out += kSymbolDocumentEnd;
  return out;
}

std::string render_symbol_initial(int initial, std::span<const Symbol* const> names,
                                  const SymbolPagesStyle& style) {
  const std::string text = initial_text(initial);
  std::string out = symbol_document_head("Symbols: " + text, style.utf8);
  out += "<h1 class=\"prismet-breadcrumbs\">";
  out += symbol_trail(style, false, text);
  out += "</h1>\n<table class=\"prismet-symbols\">\n";
  out += "<thead><tr><th>Name</th><th>Kind</th><th>Definitions</th><th>Uses</th></tr></thead>\n<tbody>\n";
  for (const Symbol* symbol : names) {
    out += "<tr><td><a href=\"";
    out += symbol_href(symbol->name, style.extension);
    out += "\">";
    append_html_text(out, symbol->name);
    out += "</a></td><td>";
    out += kinds_of(*symbol);
    out += "</td><td class=\"prismet-count\">";
    append_number(out, symbol->definitions.size());
    out += "</td><td class=\"prismet-count\">";
    append_number(out, symbol->use_count());
    out += "</td></tr>\n";
  }
  out += "</tbody>\n</table>\n";
  out += kSymbolDocumentEnd;
  return out;
}

}  // namespace prismet

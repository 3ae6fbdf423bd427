#include "convert/symbol_html.h"

#include <charconv>

#include "convert/page_variables.h"
#include "convert/site_index.h"
#include "engine/definition_finder.h"

namespace prismet {

namespace {

constexpr std::string_view kOpening = "<!DOCTYPE html>\n<html>\n<head>\n";
constexpr std::string_view kMark = "\n<meta name=\"prismet-symbols\" content=\"1\">\n";

constexpr char kStyle[] =
    "<style>\n"
    "body { margin: 0; padding: 0.6em 1em; background: #ffffff; color: #1f1f1f; font: 0.95rem system-ui, "
    "sans-serif; }\n"
    "h1 { font-size: 1rem; font-weight: 600; }\n"
    "h2 { font-size: 0.95rem; font-weight: 600; margin: 1.2em 0 0.4em; }\n"
    "h3 { font-size: 0.9rem; font-weight: 600; margin: 0.8em 0 0.2em; }\n"
    "h4 { font-size: 0.85rem; font-weight: 600; margin: 0.6em 0 0.2em; }\n"
    "section.prismet-name { border-top: 1px solid #d0d0d0; margin-top: 1.5em; }\n"
    "section:target > h2, section:target > h3 { background: #fff3b0; }\n"
    "nav.prismet-nav { font-size: 0.85rem; }\n"
    "table { border-collapse: collapse; }\n"
    "th, td { padding: 0.15em 1em 0.15em 0; text-align: left; vertical-align: top; }\n"
    "td.prismet-count { text-align: right; }\n"
    "code { font-family: ui-monospace, Consolas, \"Noto Sans Mono CJK JP\", \"IPAGothic\", \"MS Gothic\", "
    "monospace; white-space: pre-wrap; }\n"
    "a { color: #0033b3; }\n"
    "#prismet-search { font: inherit; width: min(30em, 100%); box-sizing: border-box; }\n"
    "#prismet-found { padding-left: 1.5em; }\n"
    "#prismet-found:empty { display: none; }\n"
    "@media (prefers-color-scheme: dark) {\n"
    "  body { background: #1e1e1e; color: #d4d4d4; }\n"
    "  a { color: #569cd6; }\n"
    "  section.prismet-name { border-top-color: #444444; }\n"
    "  section:target > h2, section:target > h3 { background: #4b4420; }\n"
    "  #prismet-search { background: #2d2d2d; color: inherit; border: 1px solid #555555; }\n"
    "}\n"
    "</style>\n";

}  // namespace

std::string symbol_document_head(std::string_view title, bool utf8) {
  std::string out(kOpening);
  out += utf8 ? "<meta charset=\"utf-8\">\n" : "<meta charset=\"Shift_JIS\">\n";
  out +=
      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
      "<meta name=\"generator\" content=\"prismet\">";
  out += kMark;
  out += "<title>";
  out += title;
  out += "</title>\n";
  out += kStyle;
  out += "</head>\n<body>\n";
  return out;
}

bool begins_like_symbol_page(std::string_view head) {
  if (head.size() > kSymbolHeadSize) head = head.substr(0, kSymbolHeadSize);
  return head.substr(0, kOpening.size()) == kOpening && head.find(kMark) != std::string_view::npos;
}

void append_html_text(std::string& out, std::string_view text) {
  std::size_t plain = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const char* entity = c == '&'   ? "&amp;"
                         : c == '<' ? "&lt;"
                         : c == '>' ? "&gt;"
                         : c == '"' ? "&quot;"
                                    : nullptr;
    if (entity == nullptr) continue;
    out.append(text.data() + plain, i - plain);
    out += entity;
    plain = i + 1;
  }
  out.append(text.data() + plain, text.size() - plain);
}

void append_number(std::string& out, std::uint64_t value) {
  char text[24];
  const std::to_chars_result end = std::to_chars(text, text + sizeof text, value);
  out.append(text, end.ptr);
}

std::string symbol_trail(const SymbolPagesStyle& style, bool symbols_plain, std::string_view last) {
  std::string out = "<a href=\"../index.html\">";
  out += style.root_name.empty() ? std::string("index") : name_as_page_text(style.root_name, style.utf8);
  out += "</a> / ";
  if (symbols_plain) {
    out += "Symbols";
  } else {
    out += "<a href=\"";
    out += kSymbolIndexName;
    out += "\">Symbols</a>";
  }
  if (!last.empty()) {
    out += " / ";
    out += last;
  }
  return out;
}

std::string_view symbol_kind_text(SymbolKind kind) {
  // The finder's names of the kinds, but in words on a page.
  return kind == SymbolKind::TypeAlias ? "type alias" : symbol_kind_name(kind);
}

std::string symbol_place_url(std::string_view page) {
  std::string url = "../";
  while (true) {
    const std::size_t slash = page.find('/');
    url += url_of_name(page.substr(0, slash));
    if (slash == std::string_view::npos) break;
    url += '/';
    page.remove_prefix(slash + 1);
  }
  return url;
}

std::string symbol_place_text(std::string_view page, const SymbolPagesStyle& style) {
  const std::string_view extension = style.extension;
  if (page.size() > extension.size() && page.substr(page.size() - extension.size()) == extension)
    page.remove_suffix(extension.size());
  return name_as_page_text(page, style.utf8);
}

}  // namespace prismet

// What every document of the folder of symbol pages shares: its head, which
// also tells it from anyone else's file; its trail back to the site's root
// index and to the symbol index; the names of the kinds of definitions; and
// places written as links from that folder.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "convert/symbol_pages.h"

namespace prismet {

// The document up to "<body>": the encoding, the generator, the mark of a
// symbol page, `title` (HTML already) and the style sheet.
std::string symbol_document_head(std::string_view title, bool utf8);

inline constexpr std::string_view kSymbolDocumentEnd = "</body>\n</html>\n";

// How many bytes from its start tell a document symbol_document_head began
// from any other file, and whether `head` (up to that many) begins so.
inline constexpr std::size_t kSymbolHeadSize = 512;
bool begins_like_symbol_page(std::string_view head);

// Appends `text` with '&', '<', '>' and '"' written as entities; every other
// byte (those of a Shift_JIS pair too, which are never one of these) as it
// is.
void append_html_text(std::string& out, std::string_view text);

void append_number(std::string& out, std::uint64_t value);

// The trail from the site's root index: the root, then "Symbols" (a link to
// the symbol index unless `symbols_plain`), then `last` (HTML, plain) when
// not empty.
std::string symbol_trail(const SymbolPagesStyle& style, bool symbols_plain, std::string_view last);

// A kind of definition as the pages name it ("function", "type alias").
std::string_view symbol_kind_text(SymbolKind kind);

// A page of the site (its path from the root, '/'-separated) as a link from
// the folder of symbol pages: "../" and each name URL-encoded.
std::string symbol_place_url(std::string_view page);

// The source a page shows, as the page's text: its path without the pages'
// extension.
std::string symbol_place_text(std::string_view page, const SymbolPagesStyle& style);

}  // namespace prismet

// The token-by-token converter the tests and the fuzz target hold the
// engine's run loop to: every token goes through PageWriter::emit on its own,
// with a fresh page writer for each call. Slow by design; not linked into the
// product.
#pragma once

#include <cstddef>

#include "common/text_stream.h"
#include "engine/scanner.h"
#include "settings/output_style.h"

namespace prismet {

// Writes a token with its tags; returns the state that follows it.
ScanState emit_token(TextWriter& output, int& column, const Token& token, const OutputStyle& style,
                     ScanState state, CharacterEncoding encoding = CharacterEncoding::kShiftJis);

// Writes "%4d: " between the line-number tags, spaces escaped as text.
void write_line_number(TextWriter& output, int line_number, const OutputStyle& style);

// Writes text escaped for HTML, expanding tabs and counting columns. A lead
// byte is passed through with the byte after it only when that byte is a
// valid second byte; otherwise the lead byte stands alone and the next byte
// is written by the ordinary rules, so source text can never put a raw
// '<', '>', '&' or '"' into the page.
void write_text(TextWriter& output, int& column, const char* text, std::size_t length,
                const OutputStyle& style);

// Columns a tab fills at `column`: tab_width - column % tab_width. A width of
// 0 or less fills nothing (the tab is dropped), so no division by zero.
int tab_fill(int column, int tab_width);

}  // namespace prismet

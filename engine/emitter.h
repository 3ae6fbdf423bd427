// The HTML emitter: drives the scanner line piece by line piece and writes
// each token with its category tags, escaped, with the framing tags around
// the whole text, around every line and around a category that runs over a
// line's end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "common/text_stream.h"
#include "engine/scanner.h"
#include "engine/vocabulary.h"
#include "settings/output_style.h"

namespace prismet {

// Converts the whole input. Reports nothing: a read error ends the input and
// the output is completed with the whole-text close tag; the first failed
// write of the output ends the reading (the input's failed() and the
// output's ok() tell the caller either).
// The encoding decides which bytes form one character (so that no ASCII
// byte is ever taken into a character) and, for tab expansion, the columns
// a character fills; the page holds the source's bytes as they are.
void convert_source(TextWriter& output, TextReader& input, const OutputStyle& style,
                    const Vocabulary& vocabulary, CharacterEncoding encoding = CharacterEncoding::kShiftJis);

// convert_source for many sources of one run: what depends only on the style
// and the vocabulary (the vocabulary's lookup tables, the byte classes of the
// run loop, the line cursor) is made once. The style and the vocabulary must
// outlive it and stay unchanged.
class SourceConverter {
 public:
  SourceConverter(const OutputStyle& style, const Vocabulary& vocabulary);
  ~SourceConverter();
  SourceConverter(const SourceConverter&) = delete;
  SourceConverter& operator=(const SourceConverter&) = delete;

  // Converts the whole input; returns how many source lines it held (a
  // line longer than one piece counts once).
  std::uint64_t convert(TextWriter& output, TextReader& input,
                        CharacterEncoding encoding = CharacterEncoding::kShiftJis);

 private:
  struct Parts;
  std::unique_ptr<Parts> parts_;
};

// The token-by-token path below is not what convert_source runs (its line
// converter writes runs of plain code at once); it is the plain rule the
// run loop is checked against in the tests and the fuzz target.

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

// The HTML emitter: drives the scanner line piece by line piece and writes
// each token with its category tags, escaped, with the framing tags around
// the whole text, around every line and around a category that runs over a
// line's end.
#pragma once

#include <cstdint>
#include <memory>

#include "common/text_stream.h"
#include "engine/page_links.h"
#include "engine/scanner.h"
#include "engine/vocabulary.h"
#include "settings/output_style.h"

namespace prismet {

// For tests, the fuzz targets and the benchmarks only (the programs convert
// with SourceConverter below): converts the whole input. Reports nothing: a read error ends the input and
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
  // line longer than one piece counts once). With `links`, the header name
  // of each include directive it knows a page for is a link to that page.
  std::uint64_t convert(TextWriter& output, TextReader& input,
                        CharacterEncoding encoding = CharacterEncoding::kShiftJis,
                        PageLinks* links = nullptr);

 private:
  struct Parts;
  std::unique_ptr<Parts> parts_;
};

}  // namespace prismet

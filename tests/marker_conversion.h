// Conversions from memory to memory with short tag markers, so that a
// test's expected pages stay readable: "{C" ... "C}" for comments, "{N" for
// numbers, "{H" for char constants, "{S" for strings, "{K" for keywords, no
// whole-text or line tags.
#pragma once

#include <string>

#include "common/character_encoding.h"
#include "common/text_stream.h"
#include "engine/emitter.h"
#include "engine/vocabulary.h"
#include "settings/output_style.h"

namespace prismet::testing {

inline OutputStyle marker_style() {
  OutputStyle style;
  set_default_output_style(style, "", "");
  style.whole = {"", ""};
  style.comment = {"{C", "C}"};
  style.constant = {"{N", "N}"};
  style.char_constant = {"{H", "H}"};
  style.string_literal = {"{S", "S}"};
  style.keyword = {"{K", "K}"};
  style.line_number = {"", ""};
  style.line = {"", ""};
  return style;
}

inline std::string convert_in_memory(const std::string& source, const OutputStyle& style,
                                     const Vocabulary& vocabulary, CharacterEncoding encoding) {
  std::string page;
  TextReader input;
  input.open_memory(source.data(), source.size());
  TextWriter output;
  output.open_memory(&page);
  convert_source(output, input, style, vocabulary, encoding);
  output.close();
  return page;
}

}  // namespace prismet::testing

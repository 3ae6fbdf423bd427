// The emitter's loop over the code state of a line. Most of code is written
// exactly as it stands (or only escaped): whitespace, words that are no
// keyword, punctuation. Those bytes are gathered into runs and written in
// one piece; keywords and numbers get their tags on the way, and only the
// delimiters that change the state leave the loop. A table built once per
// conversion tells, byte by byte, what may begin at a token boundary.
// Internal to the engine.
#pragma once

#include <cstdint>

#include "engine/page_writer.h"
#include "engine/scanner.h"
#include "engine/vocabulary_index.h"
#include "settings/output_style.h"

namespace prismet {

class CodeRuns {
 public:
  // The index must outlive the runs.
  CodeRuns(const VocabularyIndex& index, const OutputStyle& style);

  // Scans the code state from the line's position and writes it, keywords
  // and numbers with their tags, up to the next token that opens a comment,
  // string literal or char constant: returns true with that token (the
  // position after it) after writing the text before it, or false at the
  // line's end after writing the rest. Writes exactly what next_token and
  // emit_token would write token by token.
  bool next_marked_token(PageWriter& page, SourceLine& line, Token& token, std::int64_t& column) const;

 private:
  // What the byte at a token boundary starts, as far as the run is
  // concerned.
  enum ByteClass : std::uint8_t {
    kRunByte,    // a token of its own that stays in the run (blanks, punctuation)
    kWordStart,  // a word: a keyword leaves the run, any other word stays
    kEntity,     // one character written as an entity (only when runs are copied as they stand)
    kOther,      // the recognisers decide: delimiters, numbers, lead bytes, the end
  };
  void flush(PageWriter& page, const char* from, const char* to, std::int64_t& column) const;
  bool stays_in_run(const Token& token) const;

  const VocabularyIndex& index_;
  // Runs go through the escaper when spaces or tabs are rewritten (columns
  // are counted there); otherwise they hold nothing to escape and are copied.
  bool escaped_;
  std::uint8_t class_[256];
};

}  // namespace prismet

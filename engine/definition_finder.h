// Finds what a source defines and declares from the tokens of the engine's
// scanner, line by line, without a compiler: namespaces, classes, enums and
// their enumerators, type aliases, functions, macros, concepts, variables
// and data members, each with its scope and line. It keeps small state
// only (a bounded stack of scopes and the facts of the declaration being
// read), never the file: function bodies and initialisers are stepped over
// by counting their braces. Whatever the bytes, it ends without a crash in
// time linear in the tokens.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/definition.h"
#include "engine/scanner.h"

namespace prismet {

struct DefinitionFinderState;

class DefinitionFinder {
 public:
  DefinitionFinder();
  ~DefinitionFinder();
  DefinitionFinder(const DefinitionFinder&) = delete;
  DefinitionFinder& operator=(const DefinitionFinder&) = delete;

  // Starts a source: what it defines is appended to `out` (the definitions'
  // text left empty), mostly in the order of their lines.
  // Throws std::bad_alloc when a definition cannot be stored.
  void start(std::vector<Definition>& out);
  // A piece of source line `line` (1-based) begins; `goes_on` when it goes
  // on with the line of the piece before (a line longer than one piece).
  void begin_piece(std::uint32_t line, bool goes_on);
  // The next token of the piece, as the scanner produced it. Comments and
  // the text of literals define nothing; a literal counts as one token.
  void token(const Token& token);
  // The source line ended; `backslash` when its last byte was one, so that
  // a directive goes on over the next line.
  void end_line(bool backslash);

 private:
  std::unique_ptr<DefinitionFinderState> state_;
};

// The name of a kind as the definition dump and the tests print it
// ("namespace", "class", "struct", ...).
const char* symbol_kind_name(SymbolKind kind);

}  // namespace prismet

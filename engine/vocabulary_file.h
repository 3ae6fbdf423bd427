// The user's vocabulary file: a plain-text file that replaces, extends or
// thins out the lists of the built-in vocabulary.
//
// Its first line must hold the tokens "#version" and "00000000". Then
// section headers such as "[keyword]" (replace the list), "[+keyword]" (add
// to it) and "[-keyword]" (remove from it), for each of the five lists, are
// each followed by entry lines: one token for line comments and keywords,
// a start and an end token for the three pair lists. Tokens are runs of
// bytes other than space, tab, CR, LF, BS, VT, FF and BEL.
#pragma once

#include <cstddef>

#include "engine/vocabulary.h"

namespace prismet {

// Sets up the built-in vocabulary, then applies the file at `path` to it,
// line by line in effect; removals are gathered and applied when the file
// ends, so no content costs more than about its size times a logarithm.
// A missing, unreadable or malformed file leaves the built-in vocabulary as
// it is; whatever a file applied before a read error stays. Always true.
bool load_vocabulary(Vocabulary& vocabulary, const char* path);

// For tests and the fuzz targets only: the same for a file's contents held
// in memory: sets up the built-in
// vocabulary, then applies `size` bytes at `data` exactly as load_vocabulary
// applies a file holding them.
void load_vocabulary_from_memory(Vocabulary& vocabulary, const char* data, std::size_t size);

}  // namespace prismet

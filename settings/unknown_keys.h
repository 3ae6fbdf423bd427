// Keys of a settings file's section that prismet does not know: a typo, or
// a key of a later version. They are kept when the file is written; this
// finds them so that the Linux program can tell of them.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace prismet {

struct UnknownKey {
  std::size_t line;  // 1-based
  std::string name;  // in UTF-8
};

// The keys with a value in the section of `mode` (the fixed section for
// null or empty) of `file` that are no settings key, in the order of the
// file. Lines without "=" and comments (";" or "#" first) are none. Only
// the first section of that name counts, as only it is read. Empty when the
// file or the section is missing or cannot be read.
std::vector<UnknownKey> unknown_keys(const char* file, const char* mode);

}  // namespace prismet

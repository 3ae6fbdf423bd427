// The conversion of whole trees. A folder named on the command line stands
// for every file below it whose extension is one of the settings' source
// extensions (hidden entries and links to folders left out, each folder's
// entries in the order of their names' bytes, its files before its
// sub-folders). Each such page keeps its source's whole name with the
// page extension behind it ("a.cpp.htm"), beside the source or, with an
// output folder, in the same place below that folder; files named one by
// one get their usual page there. Each folder that gets pages gets an
// index (site_index.h), and each page of a tree gets "{{index}}", a link to
// it.
//
// Only what changed is converted again: a page whose index records the
// same fingerprint of the run's settings, vocabulary and insert files
// (their contents, not their times) and the same source stamp (device,
// file index, size, modification time and, on Linux, the change time the
// system sets on every write) is left as it is while it exists with the
// recorded size. The files of trees are converted on worker threads; what
// is reported comes in the tree's order, and every page is what one thread
// would have written.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/batch.h"

namespace prismet {

// The source extensions of a settings value: words separated by blanks,
// each with its dot (one is added where missing).
class SourceExtensions {
 public:
  explicit SourceExtensions(std::string_view list);
  // True when the name's extension (from its last dot, the name's first
  // byte excepted) is one of them; without case on Windows.
  bool matches(std::string_view name) const;

 private:
  std::vector<std::string> extensions_;
};

// True when any of the paths names a folder.
bool names_a_folder(const std::vector<std::string>& paths);

// What every page of the run depends on besides its source: the program's
// version, the settings that shape a page, and the bytes of the vocabulary
// file and of both insert files. Any change gives another value (a 64-bit
// FNV-1a hash).
std::uint64_t run_fingerprint(const Settings& settings);

// convert_files for a run with folders or an output folder.
int convert_trees(const std::vector<std::string>& paths, const Settings& settings,
                  const Vocabulary& vocabulary, FileProgress* progress, const TreeOptions& options);

}  // namespace prismet

// Batch conversion: every listed file is converted into a page (insert-before
// file, converted text, insert-after file) that replaces the output, the
// input path with its extension replaced by the configured one. The page is
// written to a temporary file beside the output and takes the output's place
// only when it is complete, so a failure leaves the output as it was.
#pragma once

#include <string>
#include <vector>

#include "engine/vocabulary.h"
#include "settings/output_style.h"

namespace prismet {

// Told about each file before it is converted, and about each file that was
// not converted (the busy indicator, which on Linux also reports failures).
class FileProgress {
 public:
  virtual ~FileProgress() = default;
  virtual void file_started(int index, int count, const char* path) = 0;
  // `error` is the system's error number (errno) that tells why.
  virtual void file_failed(int index, const char* path, int error) = 0;
};

// Converts the paths in order; a file that fails leaves its output as it was
// and the batch goes on. A path that does not exist, cannot be read, names a
// folder, or whose output cannot be written (or whose output path would not
// fit in a path buffer) is not converted. Where the platform has one, the
// name of the standard streams converts standard input to standard output.
// Returns how many files were not converted.
int convert_files(const std::vector<std::string>& files, const Settings& settings,
                  const Vocabulary& vocabulary, FileProgress* progress);

}  // namespace prismet

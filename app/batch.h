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

// Why a file was not converted, and what was at fault: the source itself,
// its page, an insert file or standard output.
struct FileFailure {
  enum class Culprit { kSource, kPage, kInsertFile, kStandardOutput, kPageTaken };
  Culprit culprit = Culprit::kSource;
  std::string path;              // the page or the insert file; empty otherwise
  std::string other_source;      // kPageTaken: the source the page was written for
  int error = 0;                 // the system's error number (errno)...
  const char* reason = nullptr;  // ...or, where none fits, a reason of our own
};

// One line that tells a failure: "SOURCE: reason", "SOURCE: page PAGE:
// reason", "SOURCE: insert file PATH: reason" or "SOURCE: standard output:
// reason", the reason being the system's text for the error number; or
// "SOURCE: page PAGE already written for OTHER".
std::string describe_failure(const char* source, const FileFailure& failure);

// Told about each file before it is converted, and about each file that was
// not converted (the busy indicator, which on Linux also reports failures).
class FileProgress {
 public:
  virtual ~FileProgress() = default;
  virtual void file_started(int index, int count, const char* path) = 0;
  virtual void file_failed(int index, const char* path, const FileFailure& failure) = 0;
};

// Converts the paths in order; a file that fails leaves its output as it was
// and the batch goes on. A path that does not exist, cannot be read, names a
// folder, or whose output cannot be written (or whose output path would not
// fit in a path buffer) is not converted; nor is one whose insert file is
// no plain file or fails to be read. The first failed write of a page ends
// its conversion at once (the rest of the source is not read). Within one
// batch no page replaces the page of another source: a source whose page
// is a file the batch already wrote for another source is not converted
// (naming one source twice converts it twice, as before). Where the
// platform has one, the name of the standard streams converts standard
// input to standard output.
// Returns how many files were not converted.
int convert_files(const std::vector<std::string>& files, const Settings& settings,
                  const Vocabulary& vocabulary, FileProgress* progress);

}  // namespace prismet

// Batch conversion: every listed file is converted into a page (insert-before
// file, converted text, insert-after file) that replaces the output, the
// input path with its extension replaced by the configured one. The page is
// written to a temporary file beside the output and takes the output's place
// only when it is complete, so a failure leaves the output as it was.
#pragma once

#include <cstdint>
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

// What a tree conversion did, for its closing line.
struct TreeSummary {
  std::uint64_t converted = 0;  // pages written
  std::uint64_t unchanged = 0;  // pages left as they were, still current
  std::uint64_t failed = 0;     // files and folders not converted
  std::uint64_t bytes = 0;      // the converted sources' bytes
  double seconds = 0;
};

// The closing line of a tree: "converted 783 files, 11.7 MB, in 0.9 s",
// then "; K unchanged" and "; F not converted" where there are any.
std::string tree_summary_text(const TreeSummary& summary);

// Told about each file before it is converted, and about each file that was
// not converted (the busy indicator, which on Linux also reports failures).
// A tree conversion tells its files' progress in counts instead, and what
// it did at its end; a folder that cannot be read fails as a file does.
class FileProgress {
 public:
  virtual ~FileProgress() = default;
  virtual void file_started(int index, int count, const char* path) = 0;
  virtual void file_failed(int index, const char* path, const FileFailure& failure) = 0;
  virtual void tree_progress(std::uint64_t /*done*/, std::uint64_t /*found*/) {}
  virtual void tree_finished(const TreeSummary& /*summary*/) {}
};

// How a tree conversion treats pages that are still current.
struct TreeOptions {
  bool rewrite_all = false;  // write every page, current or not
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
//
// When a path names a folder, or the settings name an output folder, the
// files are converted as trees instead (see tree_conversion.h).
// Returns how many files (and folders) were not converted.
int convert_files(const std::vector<std::string>& files, const Settings& settings,
                  const Vocabulary& vocabulary, FileProgress* progress, const TreeOptions& options = {});

}  // namespace prismet

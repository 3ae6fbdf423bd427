// What a conversion tells its caller as it goes: each file started and each
// file not converted, a tree's progress in counts, and what a tree
// conversion did at its end.
#pragma once

#include <cstdint>
#include <string>

#include "convert/failure.h"

namespace prismet {

// Why a file of a walked folder that is no source was skipped, as the run
// tells it ("S skipped: no C++ extension", "PATH: skipped: no C++ extension").
inline constexpr char kSkippedReason[] = "no C++ extension";

// What a tree conversion did, for its closing line.
struct TreeSummary {
  std::uint64_t converted = 0;  // pages written
  std::uint64_t unchanged = 0;  // pages left as they were, still current
  std::uint64_t failed = 0;     // files and folders not converted
  std::uint64_t bytes = 0;      // the converted sources' bytes
  std::uint64_t skipped = 0;    // plain files of the walked folders that are no sources
  double seconds = 0;
};

// The closing line of a tree: "converted 783 files, 11.7 MB, in 0.9 s",
// then "; K unchanged", "; F not converted" and "; S skipped: no C++
// extension" where there are any.
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
  // A file of a walked folder that is no source, told in the tree's order
  // where the tree options ask for it.
  virtual void file_skipped(int /*index*/, const char* /*path*/, const char* /*reason*/) {}
  virtual void tree_finished(const TreeSummary& /*summary*/) {}
};

}  // namespace prismet

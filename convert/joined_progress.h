// Several conversions, one after another, told as one run: each part's
// arguments keep their places among the run's, its tree progress counts on
// from the parts before it, and its closing summary is held back, so that
// the caller hears one summary, the parts' summed, at the end.
#pragma once

#include <cstdint>
#include <vector>

#include "convert/progress.h"

namespace prismet {

class JoinedProgress : public FileProgress {
 public:
  // `count`: how many arguments the whole run has.
  JoinedProgress(FileProgress& run, int count);

  // The next part begins; its argument i is the run's `arguments[i]`.
  void begin_part(std::vector<int> arguments);
  // Tells the run the summed summary of every part (once, at its end).
  void finish();

  void file_started(int index, int count, const char* path) override;
  void file_failed(int index, const char* path, const FileFailure& failure) override;
  void tree_progress(std::uint64_t done, std::uint64_t found) override;
  void file_skipped(int index, const char* path, const char* reason) override;
  void tree_finished(const TreeSummary& summary) override;

 private:
  int run_index(int index) const;

  FileProgress& run_;
  int count_;
  std::vector<int> arguments_;  // the current part's
  TreeSummary summary_;         // of the parts ended
  // The tree progress of the parts ended, and the last the current part told.
  std::uint64_t done_before_ = 0, found_before_ = 0;
  std::uint64_t done_ = 0, found_ = 0;
};

}  // namespace prismet

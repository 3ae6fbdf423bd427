#include "convert/joined_progress.h"

#include <utility>

namespace prismet {

JoinedProgress::JoinedProgress(FileProgress& run, int count) : run_(run), count_(count) {}

void JoinedProgress::begin_part(std::vector<int> arguments) {
  arguments_ = std::move(arguments);
  done_before_ += done_;
  found_before_ += found_;
  done_ = found_ = 0;
}

void JoinedProgress::finish() { run_.tree_finished(summary_); }

// A part's index that is none of its arguments' is told as it is.
int JoinedProgress::run_index(int index) const {
  return index >= 0 && static_cast<std::size_t>(index) < arguments_.size()
             ? arguments_[static_cast<std::size_t>(index)]
             : index;
}

void JoinedProgress::file_started(int index, int, const char* path) {
  run_.file_started(run_index(index), count_, path);
}

void JoinedProgress::file_failed(int index, const char* path, const FileFailure& failure) {
  run_.file_failed(run_index(index), path, failure);
}

void JoinedProgress::tree_progress(std::uint64_t done, std::uint64_t found) {
  done_ = done;
  found_ = found;
  run_.tree_progress(done_before_ + done, found_before_ + found);
}

void JoinedProgress::file_skipped(int index, const char* path, const char* reason) {
  run_.file_skipped(run_index(index), path, reason);
}

void JoinedProgress::tree_finished(const TreeSummary& summary) {
  summary_.converted += summary.converted;
  summary_.unchanged += summary.unchanged;
  summary_.failed += summary.failed;
  summary_.bytes += summary.bytes;
  summary_.skipped += summary.skipped;
  summary_.seconds += summary.seconds;
}

}  // namespace prismet

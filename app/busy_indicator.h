// Shows that the program is at work while files are converted: on Windows
// the hidden busy window with its tray icon, on Linux a progress line on a
// terminal's standard error. Shown from construction to destruction. On
// Linux it also reports each file that was not converted, one line on
// standard error: "prismet: " and the line describe_failure makes; and
// each file a tree skipped, where the run asks for them ("prismet: PATH:
// skipped: REASON").
#pragma once

#include "convert/progress.h"

namespace prismet {

class BusyIndicator : public FileProgress {
 public:
  // `quiet`: on Linux no progress line and no closing line of a tree (the
  // failures are still told).
  explicit BusyIndicator(void* module_instance, bool quiet = false);
  ~BusyIndicator() override;
  BusyIndicator(const BusyIndicator&) = delete;
  BusyIndicator& operator=(const BusyIndicator&) = delete;

  void file_started(int index, int count, const char* path) override;
  void file_failed(int index, const char* path, const FileFailure& failure) override;
  void tree_progress(std::uint64_t done, std::uint64_t found) override;
  void file_skipped(int index, const char* path, const char* reason) override;
  void tree_finished(const TreeSummary& summary) override;

 private:
  void* window_ = nullptr;  // Windows: the busy window
  bool terminal_ = false;   // Linux: standard error is a terminal
  bool shown_line_ = false;
  bool quiet_ = false;
  double started_ = 0;  // Linux: when the run began, for the rate
};

}  // namespace prismet

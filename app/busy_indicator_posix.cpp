#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "app/busy_indicator.h"
#include "common/clock.h"
#include "common/interruption.h"

namespace prismet {

namespace {
constexpr char kClearLine[] = "\r\x1b[K";
}  // namespace

BusyIndicator::BusyIndicator(void*, bool quiet)
    : terminal_(::isatty(STDERR_FILENO) == 1), quiet_(quiet), started_(monotonic_seconds()) {}

BusyIndicator::~BusyIndicator() {
  if (shown_line_) std::fputs(kClearLine, stderr);
}

void BusyIndicator::file_started(int index, int count, const char* path) {
  if (!terminal_ || quiet_) return;
  std::fprintf(stderr, "%sprismet: %d/%d %s", kClearLine, index + 1, count, path);
  std::fflush(stderr);
  shown_line_ = true;
}

void BusyIndicator::file_failed(int, const char* path, const FileFailure& failure) {
  // A pipe whose reader has gone ends the run, silently, as it ends any
  // command that writes into it.
  if (failure.culprit == FileFailure::Culprit::kStandardOutput) end_if_reader_gone(failure.error);
  // The progress line gives way to the error line, and comes back with the
  // next file.
  if (shown_line_) std::fputs(kClearLine, stderr);
  shown_line_ = false;
  std::fprintf(stderr, "prismet: %s\n", describe_failure(path, failure).c_str());
  std::fflush(stderr);
}

void BusyIndicator::file_skipped(int, const char* path, const char* reason) {
  if (shown_line_) std::fputs(kClearLine, stderr);
  shown_line_ = false;
  std::fprintf(stderr, "prismet: %s: skipped: %s\n", path, reason);
  std::fflush(stderr);
}

void BusyIndicator::tree_progress(std::uint64_t done, std::uint64_t found) {
  if (!terminal_ || quiet_) return;
  const double seconds = monotonic_seconds() - started_;
  const double rate = seconds > 0 ? static_cast<double>(done) / seconds : 0;
  std::fprintf(stderr, "%sprismet: %llu/%llu files, %.0f files/s", kClearLine,
               static_cast<unsigned long long>(done), static_cast<unsigned long long>(found), rate);
  std::fflush(stderr);
  shown_line_ = true;
}

void BusyIndicator::tree_finished(const TreeSummary& summary) {
  if (shown_line_) std::fputs(kClearLine, stderr);
  shown_line_ = false;
  if (quiet_) return;
  std::fputs(("prismet: " + tree_summary_text(summary) + "\n").c_str(), stderr);
  std::fflush(stderr);
}

}  // namespace prismet

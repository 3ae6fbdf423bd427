#include <unistd.h>

#include <cstdio>

#include "app/busy_indicator.h"

namespace prismet {

BusyIndicator::BusyIndicator(void*) : terminal_(::isatty(STDERR_FILENO) == 1) {}

BusyIndicator::~BusyIndicator() {
  // Clear the progress line.
  if (shown_line_) std::fputs("\r\x1b[K", stderr);
}

void BusyIndicator::file_started(int index, int count, const char* path) {
  if (!terminal_) return;
  std::fprintf(stderr, "\r\x1b[Kprismet: %d/%d %s", index + 1, count, path);
  std::fflush(stderr);
  shown_line_ = true;
}

}  // namespace prismet

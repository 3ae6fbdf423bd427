#include "app/busy_indicator.h"
#include "app/busy_window_win32.h"

namespace prismet {

namespace {
// The tray icon's tooltip while files are converted.
constexpr char kBusyTip[] = "prismet が作業中です";
}  // namespace

BusyIndicator::BusyIndicator(void* module_instance, bool quiet) : quiet_(quiet) {
  HINSTANCE instance = static_cast<HINSTANCE>(module_instance);
  register_busy_window_class(instance);
  window_ = create_busy_window(instance, kBusyTip);
}

BusyIndicator::~BusyIndicator() { destroy_busy_window(static_cast<HWND>(window_)); }

// The tray icon says it all: nothing changes per file or at the end.
void BusyIndicator::tree_progress(std::uint64_t, std::uint64_t) {}
void BusyIndicator::tree_finished(const TreeSummary&) {}

void BusyIndicator::file_started(int, int, const char*) {
  // The tray icon says it all; nothing changes per file.
}

void BusyIndicator::file_skipped(int, const char*, const char*) {
  // No console to tell it on.
}

void BusyIndicator::file_failed(int, const char*, const FileFailure&) {
  // The program shows no message: a file that fails leaves its output as it
  // was, and that is all.
}

}  // namespace prismet

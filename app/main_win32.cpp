// The Windows program: its entry and its wiring. The start-up flow of
// prismet_app reads the Shift key and shows the settings dialog of
// prismet_ui through the seams given here, so neither library knows the
// other's upper layer.
#include <windows.h>

#include <cstdlib>

#include "app/startup.h"
#include "ui/settings_dialog.h"

namespace {

bool shift_key_down() { return GetKeyState(VK_SHIFT) < 0; }

// At start-up the dialog has no owner window.
bool show_settings_dialog(prismet::CustomBoxParam& param, int) {
  return prismet::run_settings_dialog(nullptr, param);
}

constexpr prismet::StartupPlatform kPlatform{shift_key_down, show_settings_dialog};

}  // namespace

// The command line arrives split by the runtime's usual rules (white space
// separates, double quotes group); the text and show state passed here are
// not used.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  return prismet::run_application(instance, __argc, __argv, kPlatform);
}

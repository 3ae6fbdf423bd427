// The Windows seams of start-up: the Shift key and the settings dialog. This
// file is part of the program itself rather than of prismet_app, because
// the dialog lives in prismet_ui, which builds on prismet_app.
#include <windows.h>

#include "app/startup.h"
#include "ui/settings_dialog.h"

namespace prismet {

namespace {

bool shift_key_down() { return GetKeyState(VK_SHIFT) < 0; }

// At start-up the dialog has no owner window.
bool show_settings_dialog(CustomBoxParam& param, int) { return run_settings_dialog(nullptr, param); }

}  // namespace

const StartupPlatform& native_startup_platform() {
  static const StartupPlatform platform{shift_key_down, show_settings_dialog};
  return platform;
}

}  // namespace prismet

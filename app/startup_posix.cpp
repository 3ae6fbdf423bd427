#include "app/dialog_stand_in.h"
#include "app/startup.h"

namespace prismet {

namespace {
// No keyboard state is available to a command-line program.
bool no_shift_key() { return false; }
}  // namespace

const StartupPlatform& native_startup_platform() {
  static const StartupPlatform platform{no_shift_key, run_dialog_stand_in};
  return platform;
}

}  // namespace prismet

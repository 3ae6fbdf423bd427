// The Linux program: its entry and its wiring. There is no keyboard state
// and no settings dialog; the stand-in beside this file takes the dialog's
// place.
#include "app/dialog_stand_in_posix.h"
#include "app/options_posix.h"
#include "common/interruption.h"

namespace {

bool no_shift_key() { return false; }

constexpr prismet::StartupPlatform kPlatform{no_shift_key, prismet::run_dialog_stand_in};

}  // namespace

int main(int argc, char** argv) {
  // Before anything else, so that an interruption never leaves a temporary
  // file or a half-rewritten page.
  prismet::watch_for_interruptions();
  return prismet::run_program(argc, argv, kPlatform);
}

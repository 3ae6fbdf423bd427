// Where no settings dialog exists: with arguments the run goes on as if the
// dialog had been confirmed unchanged; without any, a usage text goes to
// standard error and the run ends as a cancelled dialog does.
#pragma once

#include "app/startup.h"

namespace prismet {

bool run_dialog_stand_in(CustomBoxParam& param, int argument_count);

}  // namespace prismet

#include "app/dialog_stand_in.h"

#include <cstdio>

#include "app/options_posix.h"
#include "settings/settings_file.h"

namespace prismet {

bool run_dialog_stand_in(CustomBoxParam&, int argument_count) {
  if (argument_count > 1) return true;
  char settings_path[kPathCapacity] = "";
  if (!settings_file_path(settings_path)) settings_path[0] = '\0';
  std::fputs(usage_text(settings_path).c_str(), stderr);
  return false;
}

}  // namespace prismet

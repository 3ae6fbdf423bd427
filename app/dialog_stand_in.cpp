#include "app/dialog_stand_in.h"

#include <cstdio>

#include "settings/settings_file.h"

namespace prismet {

bool run_dialog_stand_in(CustomBoxParam&, int argument_count) {
  if (argument_count > 1) return true;
  char settings_path[kPathCapacity] = "";
  settings_file_path(settings_path);
  std::fprintf(stderr,
               "prismet: turns C++ source files into HTML with syntax colouring.\n"
               "\n"
               "usage: prismet [/mode:NAME] [/dlg:0 | /dlg:1] FILE...\n"
               "\n"
               "Each FILE is converted into a page beside it, named after it with its\n"
               "extension replaced (\".htm\" unless the settings say otherwise).\n"
               "\n"
               "  /mode:NAME  use the settings of section NAME (default \"prismet\")\n"
               "  /dlg:0      do not ask for the settings first\n"
               "  /dlg:1      ask for the settings first\n"
               "\n"
               "Settings are kept in %s\n",
               settings_path);
  return false;
}

}  // namespace prismet

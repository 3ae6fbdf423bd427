#include "settings/settings_file.h"

namespace prismet {

bool settings_file_path(char (&buffer)[kPathCapacity]) {
  return module_path_with_extension(buffer, kPathCapacity, ".ini");
}

// The program's own folder always exists.
bool make_settings_folder(const char*) { return true; }

}  // namespace prismet

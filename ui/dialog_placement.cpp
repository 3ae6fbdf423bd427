#include "ui/dialog_placement.h"

#include <new>

#include "settings/profile_values.h"
#include "settings/settings_file.h"
#include "ui/geometry.h"

namespace prismet {

void load_dialog_placement(const char* section, DialogPlacement& placement) {
  char file[kPathCapacity];
  if (!settings_file_path(file)) return;
  try {
    ProfileFile profile(file);
    DialogPlacement read = placement;
    read.topmost = read_profile_bool(profile, section, kTopmostKey, read.topmost);
    read.maximized = read_profile_bool(profile, section, kMaximizedKey, read.maximized);
    read.height = read_profile_int(profile, section, kHeightKey, read.height);
    read.width = read_profile_int(profile, section, kWidthKey, read.width);
    placement = read;
  } catch (const std::bad_alloc&) {
    // No memory for the file: the placement stays as it was.
  }
}

void save_dialog_placement(HWND window, const char* section) {
  char file[kPathCapacity];
  if (!settings_file_path(file)) return;
  try {
    ProfileFile profile(file);
    write_profile_bool(profile, section, kTopmostKey, is_topmost(window));
    write_profile_bool(profile, section, kMaximizedKey, IsZoomed(window) != FALSE);
    RECT restored{};
    if (!normal_rect(window, restored)) return;  // no size is better than a wrong one
    write_profile_int(profile, section, kHeightKey, rect_height(restored));
    write_profile_int(profile, section, kWidthKey, rect_width(restored));
  } catch (const std::bad_alloc&) {
    // No memory for the file: nothing is saved.
  }
}

}  // namespace prismet

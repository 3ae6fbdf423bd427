#include "ui/dialog_placement.h"

#include "settings/profile_values.h"
#include "settings/settings_file.h"
#include "ui/geometry.h"

namespace prismet {

void load_dialog_placement(const char* section, DialogPlacement& placement) {
  char file[kPathCapacity];
  if (!settings_file_path(file)) return;
  ProfileFile profile(file);
  placement.topmost = read_profile_bool(profile, section, kTopmostKey, placement.topmost);
  placement.maximized = read_profile_bool(profile, section, kMaximizedKey, placement.maximized);
  placement.height = read_profile_int(profile, section, kHeightKey, placement.height);
  placement.width = read_profile_int(profile, section, kWidthKey, placement.width);
}

void save_dialog_placement(HWND window, const char* section) {
  char file[kPathCapacity];
  if (!settings_file_path(file)) return;
  ProfileFile profile(file);
  write_profile_bool(profile, section, kTopmostKey, is_topmost(window));
  write_profile_bool(profile, section, kMaximizedKey, IsZoomed(window) != FALSE);
  RECT restored{};
  if (!normal_rect(window, restored)) return;  // no size is better than a wrong one
  write_profile_int(profile, section, kHeightKey, rect_height(restored));
  write_profile_int(profile, section, kWidthKey, rect_width(restored));
}

}  // namespace prismet

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "common/file_system.h"
#include "common/folder_listing.h"
#include "common/path_text.h"
#include "settings/settings_file.h"

namespace prismet {

namespace {

// The user's configuration folder: $XDG_CONFIG_HOME when it is an absolute
// path, else ~/.config; empty when $HOME is not set either.
std::string configuration_folder() {
  const char* configured = std::getenv("XDG_CONFIG_HOME");
  if (configured != nullptr && configured[0] == '/') return configured;
  const char* home = std::getenv("HOME");
  if (home == nullptr || home[0] == '\0') return "";
  std::string folder = home;
  if (folder.back() != '/') folder += '/';
  return folder + ".config";
}

bool fits(const std::string& path, char (&buffer)[kPathCapacity]) {
  if (path.size() >= kPathCapacity) return false;
  std::memcpy(buffer, path.c_str(), path.size() + 1);
  return true;
}

}  // namespace

bool settings_file_path(char (&buffer)[kPathCapacity]) {
  // A settings file beside the program makes a portable copy of it.
  if (module_path_with_extension(buffer, kPathCapacity, ".ini") && path_exists(buffer)) return true;
  // Without a home (cron, a service, env -i) there is no settings file:
  // one made beside the program would be shared by every user from then on
  // (in /usr/bin for root).
  buffer[0] = '\0';
  const std::string folder = configuration_folder();
  return !folder.empty() && fits(folder + "/prismet/prismet.ini", buffer);
}

bool make_settings_folder(const char* file) {
  const std::string folder = folder_of(file);
  if (folder == "." || folder == "/") return true;  // they always exist
  int error = 0;
  if (make_folders(folder, error, 0700)) return true;
  errno = error;
  return false;
}

}  // namespace prismet

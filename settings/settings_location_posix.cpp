#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "common/file_system.h"
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
  const std::string folder = configuration_folder();
  if (!folder.empty() && fits(folder + "/prismet/prismet.ini", buffer)) return true;
  // Without a home, beside the program after all.
  return module_path_with_extension(buffer, kPathCapacity, ".ini");
}

bool make_settings_folder(const char* file) {
  std::string folder = file;
  const std::size_t slash = folder.rfind('/');
  if (slash == std::string::npos || slash == 0) return true;
  folder.resize(slash);
  // Each missing folder from the top down.
  for (std::size_t at = 1; at <= folder.size(); ++at) {
    if (at != folder.size() && folder[at] != '/') continue;
    const std::string part = folder.substr(0, at);
    if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  struct stat info;
  return ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace prismet

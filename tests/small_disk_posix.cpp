#include <sys/statvfs.h>

#include <cstdlib>

#include "tests/small_disk.h"
#include "tests/test_files.h"

namespace prismet::testing {

std::string small_disk_folder(const std::string& name) {
  const char* root = std::getenv("PRISMET_SMALL_DISK");
  if (root == nullptr || root[0] == '\0') return "";
  const std::string folder = std::string(root) + "/native-" + name;
  make_folder(folder);
  return folder;
}

std::uint64_t free_bytes(const std::string& folder) {
  struct statvfs info;
  if (::statvfs(folder.c_str(), &info) != 0) return 0;
  return static_cast<std::uint64_t>(info.f_bavail) * info.f_frsize;
}

}  // namespace prismet::testing

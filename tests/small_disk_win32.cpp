#include <windows.h>

#include <cstdlib>

#include "tests/small_disk.h"
#include "tests/test_files.h"

namespace prismet::testing {

std::string small_disk_folder(const std::string& name) {
  const char* root = std::getenv("PRISMET_SMALL_DISK");
  if (root == nullptr || root[0] != '/') return "";
  // Wine's drive Z: is the Linux root.
  std::string folder = std::string("Z:") + root + "/windows-" + name;
  for (char& byte : folder) {
    if (byte == '/') byte = '\\';
  }
  make_folder(folder);
  return folder;
}

std::uint64_t free_bytes(const std::string& folder) {
  ULARGE_INTEGER available;
  if (!GetDiskFreeSpaceExA(folder.c_str(), &available, nullptr, nullptr)) return 0;
  return available.QuadPart;
}

}  // namespace prismet::testing

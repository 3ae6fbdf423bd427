#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "common/file_system.h"

namespace prismet {

bool path_exists(const char* path) {
  struct stat info;
  return path[0] != '\0' && ::stat(path, &info) == 0;
}

std::FILE* open_file_for_reading(const char* path) {
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return nullptr;
  // fopen opens folders on this platform; reading one must fail as it does
  // on Windows.
  struct stat info;
  if (::fstat(fileno(file), &info) != 0 || S_ISDIR(info.st_mode)) {
    std::fclose(file);
    return nullptr;
  }
  return file;
}

std::FILE* open_file_for_writing(const char* path) { return std::fopen(path, "wb"); }

bool executable_path(char* buffer, std::size_t capacity) {
  if (capacity == 0) return false;
  char full[4096];
  const ssize_t length = ::readlink("/proc/self/exe", full, sizeof full - 1);
  if (length <= 0) return false;
  std::size_t kept = static_cast<std::size_t>(length);
  if (kept > capacity - 1) kept = capacity - 1;
  std::memcpy(buffer, full, kept);
  buffer[kept] = '\0';
  return true;
}

}  // namespace prismet

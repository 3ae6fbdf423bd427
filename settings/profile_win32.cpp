#include <windows.h>

#include <cstring>

#include "common/cp932.h"
#include "settings/profile.h"

namespace prismet {

std::size_t read_profile_string(const char* file, const char* section, const char* key,
                                const char* default_value, char* buffer, std::size_t capacity) {
  if (buffer == nullptr || capacity == 0) return 0;
  if (file == nullptr || section == nullptr || key == nullptr) {
    // Without them the platform would read win.ini or list names instead.
    buffer[0] = '\0';
    return 0;
  }
  const DWORD size = capacity > 0x7FFFFFFFu ? 0x7FFFFFFFu : static_cast<DWORD>(capacity);
  // A value cut inside a double-byte character may leave the byte before
  // the terminator unwritten; a cleared buffer keeps it a terminator.
  std::memset(buffer, 0, size);
  GetPrivateProfileStringA(section, key, default_value, buffer, size, file);
  buffer[size - 1] = '\0';
  std::size_t length = std::strlen(buffer);
  // Never end in the first half of a character that was cut.
  if (length + 1 >= size && length > 0 && byte_class_at(buffer, length - 1) == kFirstByte) {
    buffer[--length] = '\0';
  }
  return length;
}

bool write_profile_string(const char* file, const char* section, const char* key, const char* value) {
  if (file == nullptr || section == nullptr || key == nullptr || value == nullptr) return false;
  return WritePrivateProfileStringA(section, key, value, file) != 0;
}

}  // namespace prismet

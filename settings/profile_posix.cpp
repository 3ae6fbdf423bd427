#include "settings/ini_file.h"
#include "settings/profile.h"

namespace prismet {

std::size_t read_profile_string(const char* file, const char* section, const char* key,
                                const char* default_value, char* buffer, std::size_t capacity) {
  return ini::read_string(file, section, key, default_value, buffer, capacity);
}

bool write_profile_string(const char* file, const char* section, const char* key, const char* value) {
  return ini::write_string(file, section, key, value);
}

}  // namespace prismet

#include "settings/ini_file.h"

#include "settings/ini_file_image.h"

namespace prismet::ini {

std::size_t read_string(const char* file, const char* section, const char* key, const char* default_value,
                        char* buffer, std::size_t capacity) {
  FileImage image(file);
  return image.read_string(section, key, default_value, buffer, capacity);
}

bool write_string(const char* file, const char* section, const char* key, const char* value) {
  FileImage image(file);
  return image.write_string(section, key, value) && image.save();
}

}  // namespace prismet::ini

#include "settings/ini_file_image.h"
#include "settings/profile.h"

namespace prismet {

struct ProfileFile::State {
  // A settings file a Linux editor saved in UTF-8 stays UTF-8.
  explicit State(const char* file) : image(file, true) {}
  ini::FileImage image;
  bool refused = false;  // a write was refused: save() must say so
};

ProfileFile::ProfileFile(const char* file) : state_(std::make_unique<State>(file)) {}
ProfileFile::~ProfileFile() = default;

std::size_t ProfileFile::read_string(const char* section, const char* key, const char* default_value,
                                     char* buffer, std::size_t capacity) {
  return state_->image.read_string(section, key, default_value, buffer, capacity);
}

bool ProfileFile::has_section(const char* section) { return state_->image.has_section(section); }

bool ProfileFile::write_string(const char* section, const char* key, const char* value) {
  const bool written = state_->image.write_string(section, key, value);
  if (!written) state_->refused = true;
  return written;
}

bool ProfileFile::save() { return state_->image.save() && !state_->refused; }

int ProfileFile::error() const { return state_->image.error(); }

}  // namespace prismet

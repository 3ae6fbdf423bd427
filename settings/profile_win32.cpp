#include <windows.h>

#include <cstring>
#include <string>

#include "common/cp932.h"
#include "settings/profile.h"

namespace prismet {

struct ProfileFile::State {
  bool has_file = false;
  std::string file;
  bool refused = false;  // a write failed
};

ProfileFile::ProfileFile(const char* file) : state_(std::make_unique<State>()) {
  state_->has_file = file != nullptr;
  if (file != nullptr) state_->file = file;
}

ProfileFile::~ProfileFile() = default;

bool ProfileFile::has_section(const char* section) {
  if (!state_->has_file || section == nullptr) return false;
  char first[4];
  return GetPrivateProfileSectionA(section, first, sizeof first, state_->file.c_str()) > 0;
}

std::size_t ProfileFile::read_string(const char* section, const char* key, const char* default_value,
                                     char* buffer, std::size_t capacity) {
  if (buffer == nullptr || capacity == 0) return 0;
  if (!state_->has_file || section == nullptr || key == nullptr) {
    // Without them the platform would read win.ini or list names instead.
    buffer[0] = '\0';
    return 0;
  }
  const DWORD size = capacity > 0x7FFFFFFFu ? 0x7FFFFFFFu : static_cast<DWORD>(capacity);
  // A value cut inside a double-byte character may leave the byte before
  // the terminator unwritten; a cleared buffer keeps it a terminator.
  std::memset(buffer, 0, size);
  GetPrivateProfileStringA(section, key, default_value, buffer, size, state_->file.c_str());
  buffer[size - 1] = '\0';
  std::size_t length = std::strlen(buffer);
  // Never end in the first half of a character that was cut.
  if (length + 1 >= size && length > 0 && byte_class_at(buffer, length - 1) == kFirstByte) {
    buffer[--length] = '\0';
  }
  return length;
}

bool ProfileFile::write_string(const char* section, const char* key, const char* value) {
  const bool written = state_->has_file && section != nullptr && key != nullptr && value != nullptr &&
                       WritePrivateProfileStringA(section, key, value, state_->file.c_str()) != 0;
  if (!written) state_->refused = true;
  return written;
}

// Every write has gone to the file already.
bool ProfileFile::save() { return !state_->refused; }

int ProfileFile::error() const { return 0; }

}  // namespace prismet

#include "common/file_replacement.h"

#include <cerrno>

namespace prismet {

bool FileReplacement::begin(const char* target, Options options) {
  reset_state(options);
  error_ = 0;
  if (target == nullptr || target[0] == '\0') return fail(ENOENT);
  const int error = open_replacement(target);
  return error == 0 || fail(error);
}

bool replace_file_contents(const char* path, std::string_view bytes, int* error) {
  FileReplacement replacement;
  FileReplacement::Options options;
  options.replace_read_only = false;
  options.durable = true;
  bool replaced = replacement.begin(path, options);
  if (replaced && !bytes.empty() &&
      std::fwrite(bytes.data(), 1, bytes.size(), replacement.stream()) != bytes.size()) {
    if (error != nullptr) *error = errno != 0 ? errno : EIO;
    return false;
  }
  replaced = replaced && replacement.commit();
  if (!replaced && error != nullptr) *error = replacement.error() != 0 ? replacement.error() : EIO;
  return replaced;
}

}  // namespace prismet

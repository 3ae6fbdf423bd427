#include "common/file_replacement.h"

#include <cerrno>

namespace prismet {

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

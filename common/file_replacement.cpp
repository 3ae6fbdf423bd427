#include "common/file_replacement.h"

namespace prismet {

bool replace_file_contents(const char* path, std::string_view bytes) {
  FileReplacement replacement;
  FileReplacement::Options options;
  options.replace_read_only = false;
  options.durable = true;
  if (!replacement.begin(path, options)) return false;
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), replacement.stream()) != bytes.size()) {
    return false;
  }
  return replacement.commit();
}

}  // namespace prismet

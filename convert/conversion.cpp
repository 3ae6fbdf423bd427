#include "convert/conversion.h"

#include "common/file_system.h"
#include "common/folder_listing.h"
#include "convert/named_files.h"

namespace prismet {

bool names_a_folder(const std::vector<std::string>& paths) {
  for (const std::string& path : paths) {
    if (!names_standard_streams(path.c_str()) && is_folder(path.c_str())) return true;
  }
  return false;
}

int convert_files(const std::vector<std::string>& files, const Settings& settings,
                  const Vocabulary& vocabulary, FileProgress* progress, const TreeOptions& options) {
  if (settings.output_folder[0] != '\0' || names_a_folder(files)) {
    return convert_trees(files, settings, vocabulary, progress, options);
  }
  return convert_named_files(files, settings, vocabulary, progress);
}

}  // namespace prismet

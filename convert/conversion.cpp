#include "convert/conversion.h"

#include "common/file_system.h"
#include "common/folder_listing.h"
#include "convert/folder_sites.h"
#include "convert/named_files.h"
#include "convert/page_converter.h"

namespace prismet {

bool names_a_folder(const std::vector<std::string>& paths) {
  for (const std::string& path : paths) {
    if (!names_standard_streams(path.c_str()) && is_folder(path.c_str())) return true;
  }
  return false;
}

int convert_files(const std::vector<std::string>& files, const Settings& settings,
                  const Vocabulary& vocabulary, FileProgress* progress, const TreeOptions& options) {
  if (makes_folder_sites(files, settings))
    return convert_folder_sites(files, settings, vocabulary, progress, options);
  if (settings.output_folder[0] != '\0' || names_a_folder(files)) {
    return convert_trees(files, settings, vocabulary, progress, options);
  }
  return convert_named_files(files, settings, vocabulary, progress);
}

int convert_file_to_page(const std::string& source, const std::string& page_path, const Settings& settings,
                         const Vocabulary& vocabulary, FileProgress* progress) {
  PageConverter converter(settings, vocabulary);
  if (progress != nullptr) progress->file_started(0, 1, source.c_str());
  const PageResult result = names_standard_streams(source.c_str())
                                ? convert_standard_input_to_page(page_path, converter)
                                : convert_to_page(source.c_str(), page_path, converter, std::string());
  if (!result.failure) return 0;
  if (progress != nullptr) progress->file_failed(0, source.c_str(), *result.failure);
  return 1;
}

}  // namespace prismet

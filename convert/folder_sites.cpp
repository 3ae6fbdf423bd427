#include "convert/folder_sites.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <utility>

#include "common/bounded_copy.h"
#include "common/file_system.h"
#include "common/fixed_text.h"
#include "common/folder_listing.h"
#include "convert/joined_progress.h"

namespace prismet {

namespace {

bool names_folder(const std::string& path) {
  return !names_standard_streams(path.c_str()) && is_folder(path.c_str());
}

// One conversion of the run: a folder that is a site of its own, or a run
// of other arguments, with their indices among the run's.
struct Part {
  std::vector<std::string> paths;
  std::vector<int> arguments;
  bool site = false;
};

std::vector<Part> parts_of(const std::vector<std::string>& paths) {
  std::vector<Part> parts;
  for (std::size_t i = 0; i < paths.size(); ++i) {
    const bool site = names_folder(paths[i]) && paths[i].size() < kPathCapacity;
    if (site || parts.empty() || parts.back().site) parts.push_back(Part{{}, {}, site});
    parts.back().paths.push_back(paths[i]);
    parts.back().arguments.push_back(static_cast<int>(i));
  }
  return parts;
}

}  // namespace

bool makes_folder_sites(const std::vector<std::string>& paths, const Settings& settings) {
  if (!settings.cross_references || settings.output_folder[0] != '\0') return false;
  for (const std::string& path : paths) {
    if (names_folder(path)) return true;
  }
  return false;
}

int convert_folder_sites(const std::vector<std::string>& paths, const Settings& settings,
                         const Vocabulary& vocabulary, FileProgress* progress, const TreeOptions& options) {
  std::optional<JoinedProgress> joined;
  if (progress != nullptr) joined.emplace(*progress, static_cast<int>(paths.size()));
  // A copy for the sites' output folders: Settings is large, and one is
  // enough for every part.
  auto site_settings = std::make_unique<Settings>(settings);
  int failed = 0;
  for (Part& part : parts_of(paths)) {
    if (joined) joined->begin_part(std::move(part.arguments));
    const Settings* part_settings = &settings;
    if (part.site) {
      copy_string_bounded(site_settings->output_folder, part.paths.front().c_str());
      part_settings = site_settings.get();
    }
    failed += convert_trees(part.paths, *part_settings, vocabulary, joined ? &*joined : nullptr, options);
  }
  if (joined) joined->finish();
  return failed;
}

}  // namespace prismet

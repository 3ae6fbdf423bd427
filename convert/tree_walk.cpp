#include "convert/tree_walk.h"

#include <algorithm>
#include <string>
#include <unordered_set>

#include "common/folder_listing.h"
#include "common/path_text.h"
#include "convert/mode_line.h"
#include "convert/site_index.h"

namespace prismet {

SourceExtensions::SourceExtensions(std::string_view list) {
  std::size_t position = 0;
  while (position < list.size()) {
    while (position < list.size() && (list[position] == ' ' || list[position] == '\t')) ++position;
    std::size_t end = position;
    while (end < list.size() && list[end] != ' ' && list[end] != '\t') ++end;
    if (end > position) {
      std::string extension(list.substr(position, end - position));
      if (extension[0] != '.') extension.insert(0, 1, '.');
      if (kCaseBlindFileNames) lower_case_path(extension.data());
      extensions_.push_back(std::move(extension));
    }
    position = end;
  }
}

bool SourceExtensions::matches(std::string_view name) const {
  const std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos || dot == 0) return false;
  std::string extension(name.substr(dot));
  if (kCaseBlindFileNames) lower_case_path(extension.data());
  return std::find(extensions_.begin(), extensions_.end(), extension) != extensions_.end();
}

std::string name_key(std::string_view name) {
  std::string key(name);
  if (kCaseBlindFileNames) lower_case_path(key.data());
  return key;
}

bool has_extension(std::string_view name) { return name.size() > 1 && name.find('.', 1) != name.npos; }

ExtensionlessSources::ExtensionlessSources(std::string_view patterns, bool read_mode_line)
    : names(patterns), mode_line(read_mode_line) {}

bool is_source_file(const WalkRules& rules, const std::string& folder_path, std::string_view name) {
  if (rules.extensions.matches(name)) return true;
  const ExtensionlessSources* extensionless = rules.extensionless;
  if (extensionless == nullptr || !extensionless->any() || has_extension(name)) return false;
  if (extensionless->names.matches(name)) return true;
  return extensionless->mode_line && file_says_cpp(join_path(folder_path, name).c_str());
}

namespace {

// Keeps the names of the plain files in the folder's output folder, where
// its index recorded pages: a recorded page that is gone is made again.
void note_outputs(SiteFolder& folder, const std::vector<FolderEntry>& entries) {
  if (folder.previous.records.empty()) return;
  std::vector<FolderEntry> outputs;
  int ignored = 0;
  const bool beside = folder.output_path == folder.source_path;
  if (beside || list_folder(folder.output_path.c_str(), outputs, ignored)) {
    for (const FolderEntry& entry : beside ? entries : outputs) {
      // A link is never a current page: it is refused when its turn comes.
      if (entry.kind == FolderEntry::Kind::kFile && !entry.link) folder.outputs.insert(name_key(entry.name));
    }
  }
}

// With pages beside their sources, a page of a source here, or a page the
// folder's index records from an earlier run, is no source of its own even
// where its name would match.
bool is_a_page(const SiteFolder& folder, std::string_view name, std::string_view extension,
               const std::unordered_set<std::string>& sources) {
  if (!folder.beside) return false;
  if (name.size() > extension.size() && !extension.empty() &&
      name.substr(name.size() - extension.size()) == extension &&
      sources.count(std::string(name.substr(0, name.size() - extension.size())))) {
    return true;
  }
  return !folder.previous.records.empty() && folder.previous.records.count(url_of_name(name));
}

// This program's own index beside the sources: no file skipped.
bool is_own_index(const SiteFolder& folder, std::string_view name) {
  return folder.beside && !folder.previous.in_the_way && name.size() == sizeof kIndexName - 1 &&
         name_key(name) == kIndexName;
}

// Whether the folder entry is the run's own output inside the tree: the
// output folder, or the folder of the site's symbol pages.
bool is_own_output(const SiteFolder& folder, const std::string& name, const WalkRules& rules) {
  if (rules.output_folder == nullptr && rules.symbol_folder == nullptr) return false;
  FileStamp stamp;
  const std::string path = join_path(folder.source_path, name);
  if (!file_stamp(path.c_str(), stamp)) return false;
  for (const FileStamp* own : {rules.output_folder, rules.symbol_folder}) {
    if (own != nullptr && stamp.device == own->device && stamp.index == own->index) return true;
  }
  return false;
}

}  // namespace

bool list_folder_entries(const std::string& path, std::vector<FolderEntry>& entries, int& error) {
  if (!list_folder(path.c_str(), entries, error)) return false;
  std::sort(entries.begin(), entries.end(),
            [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
  return true;
}

bool list_folder_sources(SiteFolder& folder, const WalkRules& rules, int& error,
                         const std::vector<FolderEntry>* listed) {
  std::vector<FolderEntry> own;
  if (listed == nullptr) {
    if (!list_folder_entries(folder.source_path, own, error)) return false;
    listed = &own;
  }
  const std::vector<FolderEntry>& entries = *listed;
  note_outputs(folder, entries);
  std::unordered_set<std::string> sources;
  for (const FolderEntry& entry : entries) {
    if (entry.hidden) continue;
    if (entry.link) folder.links.insert(name_key(entry.name));
    if (entry.kind == FolderEntry::Kind::kFile && is_source_file(rules, folder.source_path, entry.name))
      sources.insert(entry.name);
  }
  for (const FolderEntry& entry : entries) {
    if (entry.hidden) continue;
    if (entry.kind == FolderEntry::Kind::kFile) {
      const bool page = is_a_page(folder, entry.name, rules.page_extension, sources);
      if (sources.count(entry.name) && !page) {
        folder.files.push_back(entry.name);
      } else if (!page && !sources.count(entry.name) && !is_own_index(folder, entry.name)) {
        folder.skipped.push_back(entry.name);
      }
    } else if (entry.kind == FolderEntry::Kind::kFolder && !entry.link) {
      if (!is_own_output(folder, entry.name, rules)) folder.subfolders.push_back(entry.name);
    }
  }
  return true;
}

}  // namespace prismet

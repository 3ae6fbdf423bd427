// The tree walk's choices: which files of a folder are sources (by the
// settings' source extensions; hidden entries, links to folders, pages and
// the output folder itself left out) and in what order (each folder's
// entries in the order of their names' bytes, its files before its
// sub-folders).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/file_system.h"
#include "common/folder_listing.h"
#include "convert/site_folder.h"

namespace prismet {

// The source extensions of a settings value: words separated by blanks,
// each with its dot (one is added where missing).
class SourceExtensions {
 public:
  explicit SourceExtensions(std::string_view list);
  // True when the name's extension (from its last dot, the name's first
  // byte excepted) is one of them; without case on Windows.
  bool matches(std::string_view name) const;

 private:
  std::vector<std::string> extensions_;
};

// A name as the file system compares it.
std::string name_key(std::string_view name);

// What a walk takes its sources by.
struct WalkRules {
  const SourceExtensions& extensions;
  const char* page_extension;
  const FileStamp* output_folder;  // the output folder's identity, or null
};

// Lists the folder's sources and sub-folders, in order, into `folder.files`
// and `folder.subfolders`, with the names of its links and, where its
// index recorded pages, of the files in its output folder. False, with
// `error` set, when its sources' folder cannot be listed. With `listed`,
// the folder's entries as listed already, in order (list_folder_entries),
// are taken instead of a listing of its own.
bool list_folder_sources(SiteFolder& folder, const WalkRules& rules, int& error,
                         const std::vector<FolderEntry>* listed = nullptr);

// The folder's entries in the walk's order: by their names' bytes. False,
// with `error` set, when it cannot be listed.
bool list_folder_entries(const std::string& path, std::vector<FolderEntry>& entries, int& error);

}  // namespace prismet

// The tree walk's choices: which files of a folder are sources (by the
// settings' source extensions, and for names without an extension by the
// settings' names and patterns or the file's mode line; hidden entries,
// links to folders, pages, the output folder itself and the site's folder
// of symbol pages left out), which
// files it skipped, and in what order (each folder's entries in the order
// of their names' bytes, its files before its sub-folders).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/file_system.h"
#include "common/folder_listing.h"
#include "convert/name_pattern.h"
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

// True when the name has an extension: a dot after its first byte
// ("a.b", "a."; not "Makefile", "vector" or ".clang-format").
bool has_extension(std::string_view name);

// Which files without an extension are sources too: those whose names
// match one of the patterns, and, with `mode_line`, those whose first lines
// say C++ (mode_line.h), which costs an open and a small read per such file.
struct ExtensionlessSources {
  NamePatterns names;
  bool mode_line = false;
  ExtensionlessSources(std::string_view patterns, bool mode_line);
  // Whether any file without an extension can be a source.
  bool any() const { return mode_line || !names.empty(); }
};

// What a walk takes its sources by.
struct WalkRules {
  const SourceExtensions& extensions;
  const char* page_extension;
  const FileStamp* output_folder;  // the output folder's identity, or null
  // Which files without an extension are sources; null: none.
  const ExtensionlessSources* extensionless = nullptr;
  // The identity of the folder the run writes its symbol pages into, or
  // null: with pages beside their sources it lies in the tree, and is no
  // folder of it.
  const FileStamp* symbol_folder = nullptr;
};

// The one decision whether the plain file `name` in the folder
// `folder_path` is a source with a page, as far as its name and contents
// go: its extension is a source extension, or it has none and the rules'
// extensionless sources take it (which may read its first bytes). Hidden
// entries and pages are left out by the walk before this.
bool is_source_file(const WalkRules& rules, const std::string& folder_path, std::string_view name);

// Lists the folder's sources and sub-folders, in order, into `folder.files`
// and `folder.subfolders`, with the names of its links and, where its
// index recorded pages, of the files in its output folder; the plain files
// that are neither sources nor this program's pages and index go into
// `folder.skipped`, in order. False, with `error` set, when its sources'
// folder cannot be listed. With `listed`, the folder's entries as listed
// already, in order (list_folder_entries), are taken instead of a listing
// of its own.
bool list_folder_sources(SiteFolder& folder, const WalkRules& rules, int& error,
                         const std::vector<FolderEntry>* listed = nullptr);

// The folder's entries in the walk's order: by their names' bytes. False,
// with `error` set, when it cannot be listed.
bool list_folder_entries(const std::string& path, std::vector<FolderEntry>& entries, int& error);

}  // namespace prismet

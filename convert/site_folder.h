// One output folder of a site while its tree is walked: where its pages and
// its index go, what its index said before this run, what it will say, and
// the walk's place in it; and its end, when its index is written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "common/file_system.h"
#include "convert/failure.h"
#include "convert/site_index.h"
#include "convert/site_index_file.h"
#include "convert/site_names.h"

namespace prismet {

// A folder's site top when it has none.
inline constexpr std::size_t kNoSiteTop = static_cast<std::size_t>(-1);

struct SiteFolder {
  std::string source_path;  // the folder its sources are in (empty: none)
  std::string output_path;
  SiteFolder* parent = nullptr;
  std::string name;  // in the parent's index
  PreviousIndex previous;
  bool index_is_link = false;  // an index.html that is a symbolic link, never written through
  // With an output folder: its folder there is a symbolic link, which could
  // lead its pages and index anywhere; nothing is read or written there.
  bool output_is_link = false;
  // Its pages go into the folder of its sources: beside them, or through an
  // output folder that is that same folder.
  bool beside = false;
  FolderIndex index;
  std::string index_value;  // its pages' "{{index}}"
  // Page and folder names, as the file system compares them, with the
  // source each was taken for.
  std::map<std::string, std::string> taken;
  std::unordered_set<std::string> links;  // names of links among its sources' entries
  // Files in its output folder, where earlier pages are recorded: a page
  // deleted since is made again.
  std::unordered_set<std::string> outputs;
  // The walk: sources still to queue and sub-folders still to enter, in order.
  std::vector<std::string> files;
  std::size_t next_file = 0;
  std::vector<std::string> subfolders;
  std::size_t next_subfolder = 0;
  // Its plain files that are no sources, in order, until they are told.
  std::vector<std::string> skipped;
  bool output_made = false;
  // False once anything in it or below it could not be listed, made or
  // converted: its index then never goes for lack of pages.
  bool complete = true;
  // Held while sources whose pages may be current are checked.
  OpenFolder sources;
  // With an output folder: that folder, held for the pages' sizes likewise.
  OpenFolder pages;
  std::uint64_t files_below = 0;
  std::uint64_t bytes_below = 0;
  std::uint64_t lines_below = 0;
  // The root of its site (itself at the root). With site navigation: its
  // place in the site's names script, and at the root the site's list.
  SiteFolder* root = nullptr;
  SiteNamesFolder names_place;
  std::string site_names;
  int argument = 0;  // the index of the argument it was entered for
  // Where its sources are among the site's files (include links): the top
  // folder's number (kNoSiteTop: none) and its folder below that top.
  std::size_t site_top = kNoSiteTop;
  std::string site_folder;
};

// The path a failure of the folder's index is told for: its sources'
// folder, or its output folder where it has none.
const char* culprit_path(const SiteFolder& folder);

// Ends the folder once everything below it is done: its index is written
// where it has pages below it (unless unchanged), or removed where it has
// none left and all of it was walked; its pages and bytes are added to its
// parent's, and what its index kept is let go. Returns nothing, or why its
// index could not be written or removed.
std::optional<FileFailure> end_folder(SiteFolder& folder);

// Ends a site with navigation at its root, after end_folder: the script of
// its pages' names is written where it has pages (unless unchanged), or
// removed where it has none left and all of it was walked.
std::optional<FileFailure> end_site(SiteFolder& root, std::string_view extension);

}  // namespace prismet

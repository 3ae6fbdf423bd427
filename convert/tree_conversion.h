// The conversion of whole trees, orchestrated: the walk (tree_walk.h) gives
// each folder's sources in order, each becomes a job (tree_job.h) carried
// out on the worker pool (worker_pool.h) unless still current
// (freshness.h), and what comes back is consumed in the tree's order: told
// to the caller and recorded in its folder's index (site_index.h), which is
// written when the folder ends (site_folder.h, site_index_file.h).
//
// A folder named on the command line stands for every file below it whose
// extension is one of the settings' source extensions. Each such page keeps
// its source's whole name with the page extension behind it ("a.cpp.htm"),
// beside the source or, with an output folder, in the same place below that
// folder; files named one by one get their usual page there. Each folder
// that gets pages gets an index, and each page of a tree gets "{{index}}",
// a link to it. What is reported comes in the tree's order, and every page
// is what one thread would have written.
#pragma once

#include <string>
#include <vector>

#include "convert/progress.h"
#include "convert/symbol_pages.h"
#include "engine/vocabulary.h"
#include "settings/output_style.h"

namespace prismet {

// How a tree conversion treats pages that are still current.
struct TreeOptions {
  bool rewrite_all = false;  // write every page, current or not
  // Tell each file of a walked folder that is no source.
  bool tell_skipped = false;
  // With cross-references: the site's symbols, each with its definitions
  // and the uses the run's pages linked, are added to it (null: not asked).
  SiteSymbols* symbols = nullptr;
};

// Converts the paths, files and folders alike, as trees: for a run with
// folders or an output folder. Cross-references take effect with an output
// folder, the site's root (without one, folder_sites.h makes each folder a
// site of its own). Returns how many files (and folders) were not
// converted.
int convert_trees(const std::vector<std::string>& paths, const Settings& settings,
                  const Vocabulary& vocabulary, FileProgress* progress, const TreeOptions& options);

}  // namespace prismet

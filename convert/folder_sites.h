// Cross-references without an output folder: each folder named on the
// command line becomes a site of its own, its pages beside its sources
// linking the names its own sources define, its symbol pages in its folder
// "prismet-symbols". The arguments are converted in their order, each such
// folder as a tree whose output folder is that folder itself (which makes
// the pages what they are beside their sources, and puts the site's root
// there), and the files named between them as trees convert them; the
// caller hears it all as one run.
#pragma once

#include <string>
#include <vector>

#include "convert/progress.h"
#include "convert/tree_conversion.h"
#include "engine/vocabulary.h"
#include "settings/output_style.h"

namespace prismet {

// True when the run is one of those: cross-references on, no output
// folder, and a folder among the paths.
bool makes_folder_sites(const std::vector<std::string>& paths, const Settings& settings);

// Converts the paths so; returns how many files (and folders) were not
// converted. A folder whose path is too long to be an output folder is
// converted as a tree without cross-references (none of its pages fits a
// path either). With `options.symbols`, every site's symbols, site after
// site.
int convert_folder_sites(const std::vector<std::string>& paths, const Settings& settings,
                         const Vocabulary& vocabulary, FileProgress* progress, const TreeOptions& options);

}  // namespace prismet

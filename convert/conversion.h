// The one entry point for converting what the command line names: files
// named one by one (named_files.h) or, when a path names a folder or the
// settings name an output folder, trees (tree_conversion.h).
#pragma once

#include <string>
#include <vector>

#include "convert/progress.h"
#include "convert/tree_conversion.h"
#include "engine/vocabulary.h"
#include "settings/output_style.h"

namespace prismet {

// True when any of the paths names a folder.
bool names_a_folder(const std::vector<std::string>& paths);

// Converts the paths in order; a file that fails leaves its output as it was
// and the batch goes on. A path that does not exist, cannot be read, names a
// folder, or whose output cannot be written (or whose output path would not
// fit in a path buffer) is not converted; nor is one whose insert file is
// no plain file or fails to be read. The first failed write of a page ends
// its conversion at once (the rest of the source is not read). Within one
// batch no page replaces the page of another source: a source whose page
// is a file the batch already wrote for another source is not converted
// (naming one source twice converts it twice, as before). Where the
// platform has one, the name of the standard streams converts standard
// input to standard output.
//
// When a path names a folder, or the settings name an output folder, the
// files are converted as trees instead (see tree_conversion.h); with
// cross-references and no output folder, each folder as a site of its own
// (see folder_sites.h).
// Returns how many files (and folders) were not converted.
int convert_files(const std::vector<std::string>& files, const Settings& settings,
                  const Vocabulary& vocabulary, FileProgress* progress, const TreeOptions& options = {});

// Converts one source (a file, or the name of the standard streams for
// standard input) into the page at `page_path`, made as every page is: it
// replaces what is there only when complete, and a name that is a symbolic
// link is refused. `progress` (when not null) is told as for named files.
// Returns 1 when the source was not converted, else 0.
int convert_file_to_page(const std::string& source, const std::string& page_path, const Settings& settings,
                         const Vocabulary& vocabulary, FileProgress* progress);

}  // namespace prismet

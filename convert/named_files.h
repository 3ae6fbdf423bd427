// Files named one by one: each converted into its page beside it (the path
// with its extension replaced by the configured one) or in an output
// folder, in order; a file that fails leaves its page as it was and the
// others go on. Within one batch no page replaces the page of another
// source.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/file_system.h"
#include "convert/failure.h"
#include "convert/page_converter.h"
#include "convert/progress.h"
#include "engine/vocabulary.h"
#include "settings/output_style.h"

namespace prismet {

// The pages a batch of named files has written so far, by the file they are
// (device and index), with the source each was written for.
struct WrittenPage {
  std::string source;
  FileStamp source_stamp;
  std::string page;  // the path it was written at
};
using WrittenPages = std::map<std::pair<std::uint64_t, std::uint64_t>, WrittenPage>;

// Converts one named file into its page: beside it, or in `output_folder`
// when that is not empty (where a page whose name is a symbolic link or the
// folder's index is refused). No page in `written` is replaced for another
// source; the page written is added. Returns nothing, or why the file was
// not converted. `lines` and `page_path`, when given, receive the source's
// line count and the page's path. With `page_links`, its include
// directives link as they say.
std::optional<FileFailure> convert_named_file(const std::string& input_path, PageConverter& converter,
                                              WrittenPages& written, const std::string& output_folder,
                                              std::uint64_t* lines = nullptr,
                                              std::string* page_path = nullptr,
                                              PageLinks* page_links = nullptr);

// Converts the named files, each into the page beside it, telling
// `progress` (when not null) of each. Returns how many were not converted.
int convert_named_files(const std::vector<std::string>& files, const Settings& settings,
                        const Vocabulary& vocabulary, FileProgress* progress);

}  // namespace prismet

// The state of one converting thread (the settings, the converter, the
// insert files, a page's variables) and the writing of one page, which
// replaces the old page only when it is complete. Internal to app/.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "app/batch.h"
#include "common/file_system.h"
#include "convert/insert_file.h"
#include "convert/page_variables.h"
#include "engine/emitter.h"

namespace prismet::batch {

using Culprit = FileFailure::Culprit;

FileFailure failure_of(Culprit culprit, int error, std::string path = std::string());

// Why a page of a site or an output folder was refused.
inline constexpr char kPageNameIsALink[] = "the page's name is a symbolic link";

// What every page a thread writes shares: the settings, the conversion set
// up once for them, the header and the footer (each thread of a tree
// conversion has its own).
struct Run {
  Run(const Settings& settings, const Vocabulary& vocabulary)
      : settings(settings),
        converter(settings.style, vocabulary),
        before(settings.style.insert_before),
        after(settings.style.insert_after) {}
  const Settings& settings;
  SourceConverter converter;
  InsertFile before;
  InsertFile after;
  // The insert files are read once for all the pages of this run.
  void keep_insert_files() {
    before.keep_for_run();
    after.keep_for_run();
  }
  // The insert files' variables of the page being written, where the
  // settings ask for them.
  PageVariables variables;

  // Automatic decoding gives the engine UTF-8.
  CharacterEncoding engine_encoding() const {
    return settings.encoding == SourceEncoding::kShiftJis ? CharacterEncoding::kShiftJis
                                                          : CharacterEncoding::kUtf8;
  }
  // UTF-8 pages: every encoding but Shift_JIS.
  bool utf8_pages() const { return settings.encoding != SourceEncoding::kShiftJis; }

  // The variables of the next page; `index` is its "{{index}}" (empty for a
  // page outside a site). Null when the settings ask for none.
  const PageVariables* start_page(const char* source_path, const std::string& index);
};

// What became of one page.
struct PageResult {
  std::optional<FileFailure> failure;
  std::uint64_t lines = 0;
  FileStamp source;  // of the source as it was opened
};

// Converts the source at `source_path` into the page at `page_path`, which
// it replaces only when complete; a page whose name is a symbolic link is
// refused. `index` as for Run::start_page. Only a plain file is read:
// anything else fails as "not a regular file".
PageResult convert_to_page(const char* source_path, const std::string& page_path, Run& run,
                           const std::string& index);

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
// line count and the page's path.
std::optional<FileFailure> convert_one(const std::string& input_path, Run& run, WrittenPages& written,
                                       const std::string& output_folder, std::uint64_t* lines = nullptr,
                                       std::string* page_path = nullptr);

}  // namespace prismet::batch

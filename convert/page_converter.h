// One source to one page. A PageConverter is what one thread writes its
// pages with (the settings, the conversion set up once for them, the
// header and the footer, a page's variables); a page is the insert-before
// file, the converted text and the insert-after file, written to a
// temporary file beside the page that takes the page's place only when it
// is complete, so a failure leaves the old page as it was.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "common/file_system.h"
#include "common/text_stream.h"
#include "convert/failure.h"
#include "convert/insert_file.h"
#include "convert/page_variables.h"
#include "convert/site_files.h"
#include "engine/emitter.h"
#include "engine/vocabulary.h"
#include "settings/output_style.h"

namespace prismet {

// What every page a thread writes shares: the settings, the conversion set
// up once for them, the header and the footer (each thread of a tree
// conversion has its own).
struct PageConverter {
  PageConverter(const Settings& settings, const Vocabulary& vocabulary)
      : settings(settings),
        converter(settings.style, vocabulary),
        before(settings.style.insert_before),
        after(settings.style.insert_after) {}
  const Settings& settings;
  SourceConverter converter;
  InsertFile before;
  InsertFile after;
  // The insert files are read once for all the pages of this converter.
  void keep_insert_files() {
    before.keep_for_run();
    after.keep_for_run();
  }
  // The insert files' variables of the page being written, where the
  // settings ask for them.
  PageVariables variables;
  // The targets of the include directives of the folder being written.
  IncludeTargetCache include_targets;

  // Automatic decoding gives the engine UTF-8.
  CharacterEncoding engine_encoding() const {
    return settings.encoding == SourceEncoding::kShiftJis ? CharacterEncoding::kShiftJis
                                                          : CharacterEncoding::kUtf8;
  }
  // UTF-8 pages: every encoding but Shift_JIS.
  bool utf8_pages() const { return settings.encoding != SourceEncoding::kShiftJis; }

  // The variables of the next page; `index` is its "{{index}}" (empty for a
  // page outside a site). Null when the settings ask for none. The
  // settings' page title, when given, is its "{{source}}".
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
// refused. `index` as for PageConverter::start_page. Only a plain file is
// read: anything else fails as "not a regular file". With `page_links`, the
// header names of include directives link as they say.
PageResult convert_to_page(const char* source_path, const std::string& page_path, PageConverter& converter,
                           const std::string& index, PageLinks* page_links = nullptr);

// Converts standard input into the page at `page_path`, which it replaces
// only when complete; a page whose name is a symbolic link is refused.
PageResult convert_standard_input_to_page(const std::string& page_path, PageConverter& converter);

// Writes the page of the open `input` to `page_path` through a replacement.
// With `refuse_links`, a page whose name is a symbolic link is refused
// instead of written through it. The result's `source` is left empty.
// `page_links` as for convert_to_page.
PageResult write_page_file(TextReader& input, const char* source_path, const std::string& page_path,
                           PageConverter& converter, const std::string& index, bool refuse_links,
                           PageLinks* page_links = nullptr);

// What a page made from standard input is titled by ("{{source}}").
inline constexpr char kStandardInputName[] = "standard input";

// Converts standard input to standard output.
std::optional<FileFailure> convert_standard_streams(PageConverter& converter);

}  // namespace prismet

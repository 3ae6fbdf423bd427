// The configuration records of one run and their built-in defaults.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/fixed_text.h"
#include "common/source_encoding.h"

namespace prismet {

// An open and a close tag, written unescaped around text of one category.
struct TagPair {
  std::string open;
  std::string close;
};

struct OutputStyle {
  std::int32_t tab_width = 0;  // columns per tab stop when tabs are expanded
  bool line_numbers = false;   // write "%4d: " in front of every line
  bool expand_tabs = false;    // a tab becomes spaces up to the next tab stop
  bool nbsp_spaces = false;    // every space written becomes "&nbsp;"
  // Every line gets the id "L1", "L2", ... (with line numbers, each number
  // links to its own line); written to the settings only when set.
  bool line_anchors = false;
  TagPair whole;  // around the whole converted text
  TagPair comment;
  TagPair constant;
  TagPair char_constant;
  TagPair string_literal;
  TagPair keyword;
  TagPair line_number;
  TagPair line;                            // around the text of every line
  char insert_before[kPathCapacity] = {};  // copied in front of the converted text; empty: none
  char insert_after[kPathCapacity] = {};   // copied behind it; empty: none
};

// The C and C++ source extensions, as the settings file writes them.
inline constexpr char kDefaultSourceExtensions[] =
    ".c .cc .cpp .cxx .c++ .h .hh .hpp .hxx .h++ .inl .ipp .tcc .ixx .cppm";

// The most files converted at once.
inline constexpr std::int32_t kMaxJobs = 256;

struct Settings {
  char vocabulary_file[kPathCapacity] = {};  // empty: none
  char extension[kPathCapacity] = {};        // put in place of the input's extension
  bool show_settings_dialog = false;
  OutputStyle style;
  // Keys a settings file holds only when they differ from these defaults,
  // which keep every page as the keys before them alone make it. The
  // settings dialog leaves them as they are.
  SourceEncoding encoding = SourceEncoding::kShiftJis;
  // Relative paths of the vocabulary and insert files are taken from the
  // settings file's folder, not from the current folder.
  bool paths_from_settings_folder = false;
  // "{{source}}" in an insert file becomes the source's file name.
  bool insert_file_variables = false;
  // The conversion of folders: the extensions of the files converted below
  // a folder, separated by blanks (compared without case on Windows)...
  std::string source_extensions = kDefaultSourceExtensions;
  // ...the folder their pages and indexes go to (empty: beside the
  // sources)...
  char output_folder[kPathCapacity] = {};
  // ...and how many files are converted at once (0: one per processor).
  std::int32_t jobs = 0;
  // Files without an extension converted below a folder too: names or
  // patterns ("*", "?") separated by blanks...
  std::string extensionless_sources;
  // ...and those whose first lines hold an editor's mode line saying C++.
  bool cpp_mode_line = false;
  // The header name of an include directive links to the page of the file
  // it names, where that file has a page in the same site...
  bool include_links = false;
  // ...looked for, when written "<name>", in these folders too (separated
  // by ';', as a compiler's include folders).
  std::string include_folders;
  // This run's include folders besides those. Never read from or written
  // to a settings file.
  std::vector<std::string> run_include_folders;
  // A tree's pages and indexes lead through the site: breadcrumbs, readable
  // indexes and a search box over the names of its pages.
  bool site_navigation = false;
  // With an output folder, the names in a site's code link to where the
  // site's sources define them.
  bool cross_references = false;
  // This run's title: what "{{source}}" becomes in place of the source's
  // name. Never read from or written to a settings file.
  std::optional<std::string> page_title;
};

// The built-in values of the style, with the given default insert paths
// (normally the program's path with ".top" and ".btm").
void set_default_output_style(OutputStyle& style, const char* insert_before, const char* insert_after);

// The built-in values of the settings; the style as above.
void set_default_settings(Settings& settings, const char* insert_before, const char* insert_after);

// Releases the sixteen tag strings.
void release_output_style(OutputStyle& style);

}  // namespace prismet

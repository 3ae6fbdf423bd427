// The program's main flow: the command line, the decision whether to show
// the settings dialog, saving the settings, and one batch of conversions.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "settings/output_style.h"

namespace prismet {

// The start-up record: the files to convert, in conversion order, and the
// settings. The settings dialog edits it in place and only on OK.
struct CustomBoxParam {
  std::vector<std::string> files;
  Settings settings;
};

// Releases the tag strings of the style and the file list.
void free_custom_box_param(CustomBoxParam& param);

// The window-system seams of start-up: each program's entry file gives its
// own, and tests stand in for them.
struct StartupPlatform {
  // True while the Shift key is held.
  bool (*shift_key_down)();
  // Runs the settings dialog on the record; true when it ended with OK.
  // `argument_count` is the size of the argument vector, program included.
  bool (*run_settings_dialog)(CustomBoxParam& param, int argument_count);
};

// The command line sorted: the files to convert, in command-line order, and
// the options.
struct CommandLine {
  std::vector<std::string> files;
  std::string mode;         // the settings section; empty: the fixed one
  bool forced = false;      // "/dlg:1" (the later of the two options counts)
  bool suppressed = false;  // "/dlg:0"
  int argument_count = 0;   // the size of the argument vector, program included
  // The encoding of this run's sources, in place of the mode's; not saved.
  std::optional<SourceEncoding> encoding;
  // This run's output folder and worker count, in place of the mode's; not
  // saved.
  std::optional<std::string> output_folder;
  std::optional<int> jobs;
  // This run's include folders, besides the mode's; not saved.
  std::vector<std::string> include_folders;
  bool rewrite_all = false;  // every page of a tree, current or not
  bool quiet = false;        // no progress and no closing line
  bool verbose = false;      // each file a tree skipped told
  // This run's page choices, in place of the mode's; not saved.
  std::optional<bool> line_numbers;
  std::optional<bool> line_anchors;
  std::optional<bool> site_navigation;
  std::optional<bool> cross_references;
  std::optional<bool> expand_tabs;
  std::optional<int> tab_width;
  std::optional<bool> nbsp_spaces;
  std::optional<std::string> extension;
  std::optional<std::string> title;
  bool fragment = false;  // no header and no footer
  // The one page of this run's one source, in place of a page beside it.
  std::optional<std::string> output_page;
};

// Sorts the arguments by the Windows program's rules: an existing path is a
// file to convert; "/mode:NAME" (the later one counts), "/dlg:0" and
// "/dlg:1" are options, in any mix of capital and small letters; anything
// else is dropped.
CommandLine sort_arguments(int argument_count, char** arguments);

// Takes "/mode:NAME", "/dlg:0" or "/dlg:1" into the command line; false for
// any other argument.
bool sort_option(const char* argument, CommandLine& command_line);

// What became of a run.
struct RunOutcome {
  bool went_on = false;         // false: cancelled or refused, nothing was done
  int failed_files = 0;         // files named that were not converted
  bool settings_saved = false;  // the settings file holds the run's settings
  int settings_error = 0;       // why not, as an errno value; 0 when unknown
};

// Which row of the decision table decided, and whether the dialog is shown.
struct DialogDecision {
  int row;
  bool shown;
};

// Rows in order: 1 dialog forced; 2 Shift held; 3 not suppressed and the
// stored flag on (not shown: 4 any argument at all); 5 no argument.
DialogDecision decide_dialog(bool forced, bool suppressed, bool shift_down, bool stored_flag,
                             int argument_count);

// Loads the settings of the chosen mode into the record, takes the files,
// shows the dialog when the decision asks for it, and saves the settings.
// True: go on converting. False: cancelled, or refused for a mode name that
// cannot be a section of the settings file (the record has been freed and
// nothing was written). `outcome`, when given, learns whether the settings
// were saved.
bool prepare_run(CustomBoxParam& param, const CommandLine& command_line, const StartupPlatform& platform,
                 RunOutcome* outcome = nullptr);

// sort_arguments, then prepare_run.
bool parse_command_line(CustomBoxParam& param, int argument_count, char** arguments,
                        const StartupPlatform& platform);

// The main flow after the command line: prepare_run, then the busy
// indicator, the vocabulary and the conversion of every file.
RunOutcome run_conversion(void* module_instance, const CommandLine& command_line,
                          const StartupPlatform& platform);

// The Windows program's main flow: sort_arguments and run_conversion.
// Always returns 0.
int run_application(void* module_instance, int argument_count, char** arguments,
                    const StartupPlatform& platform);

}  // namespace prismet

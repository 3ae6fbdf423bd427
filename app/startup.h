// The program's main flow: the command line, the decision whether to show
// the settings dialog, saving the settings, and one batch of conversions.
#pragma once

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

// The window-system seams of start-up, so tests can stand in for them.
struct StartupPlatform {
  // True while the Shift key is held.
  bool (*shift_key_down)();
  // Runs the settings dialog on the record; true when it ended with OK.
  // `argument_count` is the size of the argument vector, program included.
  bool (*run_settings_dialog)(CustomBoxParam& param, int argument_count);
};

// The seams of this platform.
const StartupPlatform& native_startup_platform();

// Which row of the decision table decided, and whether the dialog is shown.
struct DialogDecision {
  int row;
  bool shown;
};

// Rows in order: 1 dialog forced; 2 Shift held; 3 not suppressed and the
// stored flag on (not shown: 4 any argument at all); 5 no argument.
DialogDecision decide_dialog(bool forced, bool suppressed, bool shift_down, bool stored_flag, int argument_count);

// Sorts the arguments into existing paths and options, loads the settings of
// the chosen mode, shows the dialog when the decision asks for it, and saves
// the settings. True: go on converting. False: cancelled (the record has
// been freed and nothing was written).
bool parse_command_line(CustomBoxParam& param, int argument_count, char** arguments,
                        const StartupPlatform& platform);

// The main flow. Always returns 0.
int run_application(void* module_instance, int argument_count, char** arguments, const StartupPlatform& platform);

// Case-insensitive (ASCII letters only) searches, byte by byte.
bool starts_with_no_case(const char* text, const char* prefix);
const char* find_no_case(const char* text, const char* pattern);
const char* find_char_no_case(const char* text, char byte);

}  // namespace prismet

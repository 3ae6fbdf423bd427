// The Linux program's look at its settings file: the settings of a mode
// shown in UTF-8, one of them changed from the command line, and the keys a
// mode's section holds that prismet does not know told on standard error.
#pragma once

#include <string>

namespace prismet {

// Writes "prismet: FILE:LINE: unknown key "KEY" in mode "MODE"" on standard
// error for every such key of the section of `mode` in the settings file
// in use (ini keys in the file's own spelling, in UTF-8).
void tell_unknown_keys(const std::string& mode);

// Prints the settings of `mode` (the fixed section when empty) on standard
// output in UTF-8: a comment line naming the settings file and mode, then
// "KEY = VALUE  # NAME: MEANING" a key a line. Returns the exit status.
int show_settings(const std::string& mode);

// Sets one key of the section of `mode` from "KEY=VALUE" (KEY the file's
// key or its English name, both in UTF-8) and saves the settings file,
// every other line of it as it was. Returns the exit status: 0 saved, 1
// not saved, 2 an unknown key or a value the key does not take.
int set_setting(const std::string& assignment, const std::string& mode);

}  // namespace prismet

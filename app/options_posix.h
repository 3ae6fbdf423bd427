// The Linux program's command line: the Windows program's arguments
// ("/mode:NAME", "/dlg:0", "/dlg:1", files) and the options a Linux user
// expects beside them.
//
//   -h, --help           usage on standard output
//   -V, --version        the version on standard output
//   -m NAME, -mNAME, --mode=NAME, --mode NAME
//                        the same as /mode:NAME
//   -e NAME, -eNAME, --encoding=NAME, --encoding NAME
//                        this run's source encoding: shift_jis, utf-8 or
//                        auto (any case); not saved
//   --settings           the mode's settings on standard output
//   --set KEY=VALUE, --set=KEY=VALUE
//                        changes one setting of the mode and saves it
//   --                   ends the options: later arguments are files
//   -                    as a file: standard input to standard output
//
// Any other argument that starts with "-" is a usage error. Unlike the
// Windows program, an argument that names no existing path and is none of
// the options is kept as a file, so that its failure is reported.
#pragma once

#include <string>

#include "app/startup.h"

namespace prismet {

struct ProgramOptions {
  enum class Action { kConvert, kHelp, kVersion, kUsageError, kShowSettings, kSetSetting };
  Action action = Action::kConvert;
  CommandLine command_line;  // kConvert; its mode also for kShowSettings and kSetSetting
  std::string problem;       // kUsageError: what was wrong
  std::string assignment;    // kSetSetting: "KEY=VALUE"
};

ProgramOptions parse_program_options(int argument_count, char** arguments);

// The usage text, naming the settings file in use.
std::string usage_text(const char* settings_file);

// Runs the Linux program: returns its exit status (0 every file converted,
// 1 any was not, 2 a usage error).
int run_program(int argument_count, char** arguments, const StartupPlatform& platform);

}  // namespace prismet

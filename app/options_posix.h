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
//   -n, --line-numbers, --no-line-numbers, --line-anchors, --no-line-anchors,
//   --expand-tabs, --no-expand-tabs, --tab-width N, --nbsp, --no-nbsp,
//   --extension .EXT, --title TEXT, --fragment
//                        this run's page choices in place of the mode's;
//                        not saved
//   -o PAGE              with one source and a path that ends in .htm, .html,
//                        the --extension or the mode's extension and is no
//                        folder: that source's page; else -o is the output
//                        folder
//   --print-css          the html5 pages' style sheet on standard output
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
  enum class Action { kConvert, kHelp, kVersion, kPrintCss, kUsageError, kShowSettings, kSetSetting };
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

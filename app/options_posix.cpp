#include "app/options_posix.h"

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "app/first_run_posix.h"
#include "app/settings_commands_posix.h"
#include "app/style_sheet_posix.h"
#include "common/ascii_case.h"
#include "common/file_system.h"
#include "common/folder_listing.h"
#include "common/version.h"
#include "settings/settings_file.h"

namespace prismet {

namespace {

constexpr int kExitConverted = 0;
constexpr int kExitNotConverted = 1;
constexpr int kExitUsage = 2;

// An argument that is not an option of the Linux kind: an existing path, one
// of the Windows program's options, or else a file that will be reported
// missing. Only an argument that begins with '/' can be an option, so only
// such a one needs a look at the file system.
void sort_plain_argument(const char* argument, CommandLine& command_line) {
  if (argument[0] != '/' || path_exists(argument) || !sort_option(argument, command_line)) {
    command_line.files.emplace_back(argument);
  }
}

// The conversion has run with the settings; only keeping them failed.
void report_unsaved_settings(int error) {
  char settings_file[kPathCapacity] = "";
  if (!settings_file_path(settings_file)) {
    std::fputs("prismet: settings not saved: no settings file path (no home folder)\n", stderr);
    return;
  }
  std::fprintf(stderr, "prismet: %s: settings not saved: %s\n", settings_file,
               error != 0 ? std::strerror(error) : "the file could not be read or written");
}

// A user without settings gets the package's; said once, on that run.
void make_first_settings() {
  char settings_file[kPathCapacity];
  char beside_program[kPathCapacity];
  if (!settings_file_path(settings_file)) return;
  // Never beside the program (a portable copy, or a user without a home).
  if (module_path_with_extension(beside_program, sizeof beside_program, ".ini") &&
      std::strcmp(settings_file, beside_program) == 0) {
    return;
  }
  const std::string data_folder = program_data_folder();
  const FirstRun run = create_first_settings(data_folder, settings_file);
  if (run.result == FirstRun::Result::kCreated) {
    std::fprintf(stderr, "prismet: first run: settings made in %s from %s (mode \"html5\" as the default)\n",
                 settings_file, data_folder.c_str());
  } else if (run.result == FirstRun::Result::kFailed) {
    std::fprintf(stderr, "prismet: %s: first settings not made: %s\n", run.failed_path.c_str(),
                 std::strerror(run.error));
  }
}

// A mode that names no section yet gets one from the built-in settings: a
// typo would otherwise make a new mode unnoticed.
void tell_of_new_mode(const std::string& mode) {
  if (mode.empty() || settings_have_mode(mode.c_str())) return;
  char settings_file[kPathCapacity] = "";
  if (!settings_file_path(settings_file)) return;
  std::fprintf(stderr, "prismet: mode \"%s\" is new in %s: it starts from the built-in settings\n",
               mode.c_str(), settings_file);
}

ProgramOptions usage_error(std::string problem) {
  ProgramOptions options;
  options.action = ProgramOptions::Action::kUsageError;
  options.problem = std::move(problem);
  return options;
}

// The encodings -e takes, in any mix of capital and small letters.
std::optional<SourceEncoding> encoding_option(const char* name) {
  if (equals_no_case(name, "shift_jis")) return SourceEncoding::kShiftJis;
  if (equals_no_case(name, "utf-8")) return SourceEncoding::kUtf8;
  if (equals_no_case(name, "auto")) return SourceEncoding::kAutomatic;
  return std::nullopt;
}

// An option with a value: "-xVALUE", "-x VALUE", "--long=VALUE" or
// "--long VALUE". True when the argument is the option; `value` is then
// null when the value is missing.
bool option_value(const char* argument, const char* short_name, const char* long_name, int argument_count,
                  char** arguments, int& i, const char*& value) {
  const std::size_t short_length = std::strlen(short_name);
  const std::size_t long_length = std::strlen(long_name);
  value = nullptr;
  if (std::strcmp(argument, short_name) == 0 || std::strcmp(argument, long_name) == 0) {
    if (i + 1 < argument_count) value = arguments[++i];
    return true;
  }
  if (std::strncmp(argument, long_name, long_length) == 0 && argument[long_length] == '=') {
    value = argument + long_length + 1;
    return true;
  }
  if (std::strncmp(argument, short_name, short_length) == 0 && argument[1] != '-') {
    value = argument + short_length;
    return true;
  }
  return false;
}

// A number of decimal digits only (at most three), from 1 to `most`.
std::optional<int> small_number(const char* text, int most) {
  if (text[0] == '\0' || std::strlen(text) > 3) return std::nullopt;
  int number = 0;
  for (const char* c = text; *c != '\0'; ++c) {
    if (*c < '0' || *c > '9') return std::nullopt;
    number = number * 10 + (*c - '0');
  }
  if (number < 1 || number > most) return std::nullopt;
  return number;
}

// A worker count: 1 to kMaxJobs.
std::optional<int> jobs_option(const char* text) { return small_number(text, kMaxJobs); }

// The widest tab stop a run may ask for.
constexpr int kMaxTabWidth = 64;

// The options that do one thing instead of converting: the first one ends
// the command line.
std::optional<ProgramOptions::Action> lone_action(const char* argument) {
  if (std::strcmp(argument, "-h") == 0 || std::strcmp(argument, "--help") == 0) {
    return ProgramOptions::Action::kHelp;
  }
  if (std::strcmp(argument, "-V") == 0 || std::strcmp(argument, "--version") == 0) {
    return ProgramOptions::Action::kVersion;
  }
  if (std::strcmp(argument, "--print-css") == 0) return ProgramOptions::Action::kPrintCss;
  return std::nullopt;
}

// The page switches: each name sets its choice on, its "--no-" form off.
struct PageSwitch {
  const char* on;
  const char* short_on;  // or null
  std::optional<bool> CommandLine::*choice;
};
constexpr PageSwitch kPageSwitches[] = {
    {"--line-numbers", "-n", &CommandLine::line_numbers},
    {"--line-anchors", nullptr, &CommandLine::line_anchors},
    {"--expand-tabs", nullptr, &CommandLine::expand_tabs},
    {"--nbsp", nullptr, &CommandLine::nbsp_spaces},
    {"--site-navigation", nullptr, &CommandLine::site_navigation},
    {"--cross-references", nullptr, &CommandLine::cross_references},
};

bool page_switch(const char* argument, CommandLine& command_line) {
  for (const PageSwitch& page_switch : kPageSwitches) {
    const bool on = std::strcmp(argument, page_switch.on) == 0 ||
                    (page_switch.short_on != nullptr && std::strcmp(argument, page_switch.short_on) == 0);
    const bool off =
        std::strncmp(argument, "--no-", 5) == 0 && std::strcmp(argument + 5, page_switch.on + 2) == 0;
    if (on || off) {
      command_line.*page_switch.choice = on;
      return true;
    }
  }
  return false;
}

// A page extension: a dot and at least one more character, no folder
// separator, and room in a path.
bool is_valid_extension(const char* text) {
  return text[0] == '.' && text[1] != '\0' && std::strchr(text, '/') == nullptr &&
         std::strlen(text) < kPathCapacity;
}

// The page choices that take a value, and --fragment. True when the
// argument is one of them; `problem` then tells what was wrong with it.
bool page_option(const char* argument, int argument_count, char** arguments, int& i,
                 CommandLine& command_line, std::string& problem) {
  const char* value = nullptr;
  if (std::strcmp(argument, "--fragment") == 0) {
    command_line.fragment = true;
  } else if (option_value(argument, "--tab-width", "--tab-width", argument_count, arguments, i, value)) {
    const std::optional<int> width = value == nullptr ? std::nullopt : small_number(value, kMaxTabWidth);
    if (!width) {
      problem = "the tab width must be a number from 1 to " + std::to_string(kMaxTabWidth) + ", not '" +
                (value == nullptr ? "" : value) + "'";
    }
    command_line.tab_width = width;
  } else if (option_value(argument, "--extension", "--extension", argument_count, arguments, i, value)) {
    if (value == nullptr || !is_valid_extension(value)) {
      problem = std::string("the page extension must be a dot and a name, such as '.html', not '") +
                (value == nullptr ? "" : value) + "'";
    } else {
      command_line.extension = value;
    }
  } else if (option_value(argument, "--title", "--title", argument_count, arguments, i, value)) {
    if (value == nullptr)
      problem = "option '--title' needs a TEXT";
    else
      command_line.title = value;
  } else {
    return page_switch(argument, command_line);
  }
  return true;
}

bool ends_with(const std::string& text, const char* end) {
  const std::size_t length = std::strlen(end);
  return text.size() >= length && equals_no_case(text.c_str() + text.size() - length, end);
}

// "-I DIR" or "--include-dir=DIR": true when the argument is one of them;
// `problem` then tells what was wrong with it.
bool include_option(const char* argument, int argument_count, char** arguments, int& i,
                    CommandLine& command_line, std::string& problem) {
  const char* value = nullptr;
  if (!option_value(argument, "-I", "--include-dir", argument_count, arguments, i, value)) return false;
  if (value == nullptr || value[0] == '\0')
    problem = std::string("option '") + argument + "' needs a DIR";
  else
    command_line.include_folders.emplace_back(value);
  return true;
}

// "-o PATH" names one page when PATH is no folder and ends in ".htm",
// ".html", this run's extension or the mode's (`mode_extension`, once the
// settings are read): it is then that page for the one source named, and
// refused where it could be a folder to make as well.
std::string decide_output_page(CommandLine& command_line, const std::string& mode_extension = "") {
  if (!command_line.output_folder) return std::string();
  const std::string& path = *command_line.output_folder;
  if (is_folder(path.c_str())) return std::string();
  if (!ends_with(path, ".htm") && !ends_with(path, ".html") &&
      !(command_line.extension && ends_with(path, command_line.extension->c_str())) &&
      !(is_valid_extension(mode_extension.c_str()) && ends_with(path, mode_extension.c_str()))) {
    return std::string();
  }
  if (command_line.files.size() > 1) {
    return "'-o " + path + "' names one page, but " + std::to_string(command_line.files.size()) +
           " sources are named (make the folder first to put their pages in it)";
  }
  if (command_line.files.size() == 1 && !names_standard_streams(command_line.files[0].c_str()) &&
      is_folder(command_line.files[0].c_str())) {
    return "'-o " + path + "' names one page, but '" + command_line.files[0] +
           "' is a folder (make the output folder first to put its pages in it)";
  }
  if (command_line.files.size() == 1) {
    command_line.output_page = path;
    command_line.output_folder.reset();
  }
  return std::string();
}

// The extension of the mode's pages, as its settings give it.
std::string mode_page_extension(const std::string& mode) {
  Settings settings;
  load_settings(settings, mode.c_str());
  return settings.extension;
}

// A usage error told on standard error: the exit status.
int usage_failure(const std::string& problem) {
  std::fprintf(stderr,
               "prismet: %s\n"
               "usage: prismet [-m NAME | --mode=NAME] [-e NAME] [-o DIR] [-j N] [--] FILE|FOLDER...\n"
               "Try 'prismet --help' for more information.\n",
               problem.c_str());
  return kExitUsage;
}

// The include folders in the usage text.
constexpr char kIncludeOptionsHelp[] =
    "\n"
    "Where the mode links include directives to their pages (include-links):\n"
    "  -I, --include-dir=DIR\n"
    "                   look for a <name> in DIR too, as a compiler does (one\n"
    "                   inside a named folder links to its pages); may be given\n"
    "                   again; not saved\n";

// The page choices in the usage text.
constexpr char kPageOptionsHelp[] =
    "\n"
    "This run's page, in place of the mode's settings (not saved):\n"
    "  -n, --line-numbers, --no-line-numbers\n"
    "                   a number in front of every line, or none\n"
    "  --line-anchors, --no-line-anchors\n"
    "                   every line its id (\"L1\", \"L2\", ...), or none\n"
    "  --site-navigation, --no-site-navigation\n"
    "                   a tree's trails, readable indexes and search box, or none\n"
    "  --cross-references, --no-cross-references\n"
    "                   with -o, names in code link to their definitions and\n"
    "                   definitions to their uses, or none\n"
    "  --expand-tabs, --no-expand-tabs\n"
    "                   tabs as spaces up to the next tab stop, or as they are\n"
    "  --tab-width=N    columns per tab stop, 1 to 64\n"
    "  --nbsp, --no-nbsp\n"
    "                   every space as \"&nbsp;\", or as it is\n"
    "  --extension=.EXT the pages' extension, such as .html\n"
    "  --title=TEXT     the title in place of the source's name (where the\n"
    "                   header has \"{{source}}\", as the html5 mode's has)\n"
    "  --fragment       no header and no footer: the converted text alone\n"
    "  --print-css      show the style sheet the html5 mode's pages carry and\n"
    "                   exit (1 when the package's html5 header is missing)\n";

// "--settings", "--set KEY=VALUE" or "--set=KEY=VALUE": true when the
// argument is one of them, `options` then set to its action (or to a usage
// error).
bool settings_option(const char* argument, int argument_count, char** arguments, int& i,
                     ProgramOptions& options) {
  if (std::strcmp(argument, "--settings") == 0) {
    options.action = ProgramOptions::Action::kShowSettings;
    return true;
  }
  if (std::strcmp(argument, "--set") != 0 && std::strncmp(argument, "--set=", 6) != 0) return false;
  if (argument[5] == '=') {
    options.assignment = argument + 6;
  } else if (i + 1 < argument_count) {
    options.assignment = arguments[++i];
  } else {
    options = usage_error("option '--set' needs KEY=VALUE");
    return true;
  }
  options.action = ProgramOptions::Action::kSetSetting;
  return true;
}

// The options once all are read: what they ask for together.
ProgramOptions checked(ProgramOptions options) {
  if (std::string problem = decide_output_page(options.command_line); !problem.empty()) {
    return usage_error(problem);
  }
  if (!is_valid_mode_name(options.command_line.mode.c_str())) {
    return usage_error("mode name cannot be a section of the settings file (a line break or blanks only)");
  }
  if (options.action != ProgramOptions::Action::kConvert && !options.command_line.files.empty()) {
    return usage_error("--settings and --set take no FILE");
  }
  return options;
}

}  // namespace

namespace {

// The switches of a run: --force, -q and -v. True when the argument is one.
bool run_switch(const char* argument, CommandLine& command_line) {
  if (std::strcmp(argument, "--force") == 0) {
    command_line.rewrite_all = true;
  } else if (std::strcmp(argument, "-q") == 0 || std::strcmp(argument, "--quiet") == 0) {
    command_line.quiet = true;
  } else if (std::strcmp(argument, "-v") == 0 || std::strcmp(argument, "--verbose") == 0) {
    command_line.verbose = true;
  } else {
    return false;
  }
  return true;
}

// The usage lines.
constexpr char kUsageLines[] =
    "usage: prismet [-m NAME | --mode=NAME | /mode:NAME] [-e NAME | --encoding=NAME]\n"
    "               [-o DIR] [-j N] [--force] [-q] [-v] [/dlg:0 | /dlg:1]\n"
    "               [--] FILE|FOLDER...\n"
    "       prismet [OPTION...] [-o PAGE] FILE\n"
    "       prismet --print-css\n"
    "       prismet --settings [-m NAME]\n"
    "       prismet --set KEY=VALUE [-m NAME]\n"
    "       prismet -h | --help\n"
    "       prismet -V | --version\n";

}  // namespace

ProgramOptions parse_program_options(int argument_count, char** arguments) {
  ProgramOptions options;
  CommandLine& command_line = options.command_line;
  command_line.argument_count = argument_count;
  if (argument_count <= 1) return usage_error("no file named");
  bool only_files = false;
  for (int i = 1; i < argument_count; ++i) {
    const char* argument = arguments[i];
    if (only_files || argument[0] != '-' || argument[1] == '\0') {
      if (only_files || argument[0] == '-') {
        command_line.files.emplace_back(argument);
      } else {
        sort_plain_argument(argument, command_line);
      }
    } else if (std::strcmp(argument, "--") == 0) {
      only_files = true;
    } else if (const std::optional<ProgramOptions::Action> action = lone_action(argument)) {
      options.action = *action;
      return options;
    } else if (const char* value = nullptr;
               option_value(argument, "-m", "--mode", argument_count, arguments, i, value)) {
      if (value == nullptr) return usage_error(std::string("option '") + argument + "' needs a NAME");
      command_line.mode = value;
    } else if (option_value(argument, "-e", "--encoding", argument_count, arguments, i, value)) {
      if (value == nullptr) return usage_error(std::string("option '") + argument + "' needs a NAME");
      command_line.encoding = encoding_option(value);
      if (!command_line.encoding) {
        return usage_error(std::string("unknown encoding '") + value + "' (shift_jis, utf-8 or auto)");
      }
    } else if (settings_option(argument, argument_count, arguments, i, options)) {
      if (options.action == ProgramOptions::Action::kUsageError) return options;
    } else if (run_switch(argument, command_line)) {
    } else if (option_value(argument, "-o", "--output-dir", argument_count, arguments, i, value)) {
      if (value == nullptr) return usage_error(std::string("option '") + argument + "' needs a DIR");
      if (value[0] == '\0') return usage_error("the output folder must not be empty");
      if (std::strlen(value) >= kPathCapacity) return usage_error("the output folder's path is too long");
      command_line.output_folder = value;
    } else if (std::string problem;
               include_option(argument, argument_count, arguments, i, command_line, problem)) {
      if (!problem.empty()) return usage_error(problem);
    } else if (option_value(argument, "-j", "--jobs", argument_count, arguments, i, value)) {
      if (value == nullptr) return usage_error(std::string("option '") + argument + "' needs a number");
      const std::optional<int> jobs = jobs_option(value);
      if (!jobs) {
        return usage_error(std::string("jobs must be a number from 1 to ") + std::to_string(kMaxJobs) +
                           ", not '" + value + "'");
      }
      command_line.jobs = *jobs;
    } else if (std::string problem;
               page_option(argument, argument_count, arguments, i, command_line, problem)) {
      if (!problem.empty()) return usage_error(problem);
    } else {
      return usage_error(std::string("unknown option '") + argument + "'");
    }
  }
  return checked(std::move(options));
}

std::string usage_text(const char* settings_file) {
  std::string text = kUsageLines;
  text +=
      "\n"
      "Turns C++ source files into HTML with syntax colouring. Each FILE is\n"
      "converted into a page beside it, named after it with its extension\n"
      "replaced by the mode's: \".html\" in the html5 mode, the default that a\n"
      "first run makes from the package; \".htm\" in the built-in settings.\n"
      "A FILE \"-\" converts standard input to standard output.\n"
      "\n"
      "A FOLDER converts every source file below it (the mode's source\n"
      "extensions, and files without an extension that its extensionless-sources\n"
      "or cpp-mode-line take; hidden files and links to folders left out) into\n"
      "a page that keeps the source's whole name (\"a.cpp.html\"), and gives\n"
      "each folder an index.html. A second run converts only what changed.\n"
      "\n"
      "  -m, --mode=NAME  use the settings of section NAME (default \"prismet\");\n"
      "                   the same as /mode:NAME\n"
      "  -e, --encoding=NAME\n"
      "                   read this run's sources as shift_jis, utf-8 or auto\n"
      "                   (per file; the pages in UTF-8) in place of the mode's\n"
      "                   encoding; not saved\n"
      "  -o, --output-dir=DIR\n"
      "                   put the pages and indexes in DIR, in the folders of\n"
      "                   the tree, instead of beside the sources\n"
      "  -o PAGE          with one FILE (or \"-\") and a PAGE that is no folder and\n"
      "                   ends in .htm, .html, the --extension or the mode's\n"
      "                   extension: write the page there; with several sources\n"
      "                   such a PAGE is refused\n"
      "  -j, --jobs=N     convert N files of a tree at once (default: one per\n"
      "                   processor)\n"
      "  --force          rewrite every page of a tree, also those still current\n"
      "  -q, --quiet      no progress line and no closing line\n"
      "  -v, --verbose    name each file of a folder that is no source, and why\n"
      "  /dlg:0, /dlg:1   accepted as the Windows program takes them; there is\n"
      "                   no dialog here\n"
      "  --settings       show the mode's settings in UTF-8, one \"KEY = VALUE\" a\n"
      "                   line with the key's English name and meaning behind \"#\"\n"
      "  --set KEY=VALUE  change one setting of the mode and save it; KEY is the\n"
      "                   key or its English name as --settings shows them\n"
      "  --               end of the options: later arguments are files\n"
      "  -h, --help       show this text and exit\n"
      "  -V, --version    show the version and exit\n";
  text += kIncludeOptionsHelp;
  text += kPageOptionsHelp;
  text +=
      "\n"
      "A file that is not converted is reported on standard error. Exit status:\n"
      "0 when every file was converted, 1 when any was not, 2 for a usage error.\n"
      "\n"
      "Settings: ";
  text += settings_file[0] != '\0' ? settings_file : "(none: no home folder)";
  text += "\n";
  return text;
}

int run_program(int argument_count, char** arguments, const StartupPlatform& platform) {
  ProgramOptions options = parse_program_options(argument_count, arguments);
  switch (options.action) {
    case ProgramOptions::Action::kHelp: {
      char settings_file[kPathCapacity] = "";
      if (!settings_file_path(settings_file)) settings_file[0] = '\0';
      std::fputs(usage_text(settings_file).c_str(), stdout);
      return std::fflush(stdout) == 0 ? kExitConverted : kExitNotConverted;
    }
    case ProgramOptions::Action::kPrintCss:
      return print_style_sheet();
    case ProgramOptions::Action::kVersion:
      std::fputs("prismet " PRISMET_VERSION "\n", stdout);
      return std::fflush(stdout) == 0 ? kExitConverted : kExitNotConverted;
    case ProgramOptions::Action::kUsageError:
      return usage_failure(options.problem);
    case ProgramOptions::Action::kShowSettings:
    case ProgramOptions::Action::kSetSetting:
    case ProgramOptions::Action::kConvert:
      break;
  }
  make_first_settings();
  if (options.action == ProgramOptions::Action::kSetSetting) {
    return set_setting(options.assignment, options.command_line.mode);
  }
  tell_of_new_mode(options.command_line.mode);
  tell_unknown_keys(options.command_line.mode);
  if (options.action == ProgramOptions::Action::kShowSettings)
    return show_settings(options.command_line.mode);
  if (std::string problem =
          decide_output_page(options.command_line, mode_page_extension(options.command_line.mode));
      !problem.empty()) {
    return usage_failure(problem);
  }
  const RunOutcome outcome = run_conversion(nullptr, options.command_line, platform);
  if (!outcome.went_on) return kExitUsage;
  if (!outcome.settings_saved) report_unsaved_settings(outcome.settings_error);
  return outcome.failed_files == 0 ? kExitConverted : kExitNotConverted;
}

}  // namespace prismet

#include "app/startup.h"

#include <cstring>

#include "app/busy_indicator.h"
#include "app/instance_lock.h"
#include "common/ascii_case.h"
#include "common/bounded_copy.h"
#include "common/file_system.h"
#include "convert/conversion.h"
#include "engine/vocabulary_file.h"
#include "settings/settings_file.h"

namespace prismet {

namespace {

constexpr char kModeOption[] = "/mode:";

// Runs `work` holding the lock on the settings file. Another instance may be
// saving the file at that moment, and the platform's profile functions
// rewrite it in place: a load that met the file half-written would take the
// defaults (and show the dialog nobody asked for), a save could mix with the
// other's. The dialog runs between the two, without the lock. The lock is
// kept by the settings file's folder; before a save that folder is made
// where it is missing.
enum class SettingsAccess { kLoad, kSave };
template <class Work>
void locked_by_settings_file(SettingsAccess access, Work work) {
  char path[kPathCapacity];
  if (!settings_file_path(path)) {
    work();
    return;
  }
  if (access == SettingsAccess::kSave) make_settings_folder(path);
  const InstanceLock lock(path);
  work();
}

// The command line's choices for this run, over the mode's settings (which
// have been saved already, so none of these reaches the settings file).
void apply_run_choices(Settings& settings, const CommandLine& command_line) {
  if (command_line.encoding) settings.encoding = *command_line.encoding;
  if (command_line.output_folder)
    copy_string_bounded(settings.output_folder, command_line.output_folder->c_str());
  if (command_line.jobs) settings.jobs = *command_line.jobs;
  settings.run_include_folders = command_line.include_folders;
  if (command_line.site_navigation) settings.site_navigation = *command_line.site_navigation;
  if (command_line.cross_references) settings.cross_references = *command_line.cross_references;
  OutputStyle& style = settings.style;
  if (command_line.line_numbers) style.line_numbers = *command_line.line_numbers;
  if (command_line.line_anchors) style.line_anchors = *command_line.line_anchors;
  if (command_line.expand_tabs) style.expand_tabs = *command_line.expand_tabs;
  if (command_line.tab_width) style.tab_width = *command_line.tab_width;
  if (command_line.nbsp_spaces) style.nbsp_spaces = *command_line.nbsp_spaces;
  if (command_line.extension) copy_string_bounded(settings.extension, command_line.extension->c_str());
  if (command_line.title) settings.page_title = *command_line.title;
  if (command_line.fragment) {
    style.insert_before[0] = '\0';
    style.insert_after[0] = '\0';
  }
}

}  // namespace

void free_custom_box_param(CustomBoxParam& param) {
  release_output_style(param.settings.style);
  std::vector<std::string>().swap(param.files);
}

DialogDecision decide_dialog(bool forced, bool suppressed, bool shift_down, bool stored_flag,
                             int argument_count) {
  if (forced) return {1, true};
  if (shift_down) return {2, true};
  if (!suppressed && stored_flag) return {3, true};
  if (argument_count > 1) return {4, false};
  return {5, true};
}

CommandLine sort_arguments(int argument_count, char** arguments) {
  CommandLine command_line;
  command_line.argument_count = argument_count;
  command_line.files.reserve(argument_count > 0 ? static_cast<std::size_t>(argument_count) : 0);
  for (int i = 1; i < argument_count; ++i) {
    if (path_exists(arguments[i])) {
      command_line.files.emplace_back(arguments[i]);
    } else {
      sort_option(arguments[i], command_line);
    }
  }
  return command_line;
}

bool sort_option(const char* argument, CommandLine& command_line) {
  if (starts_with_no_case(argument, kModeOption)) {
    command_line.mode = argument + std::strlen(kModeOption);
  } else if (equals_no_case(argument, "/dlg:0")) {
    command_line.suppressed = true;
    command_line.forced = false;
  } else if (equals_no_case(argument, "/dlg:1")) {
    command_line.forced = true;
    command_line.suppressed = false;
  } else {
    return false;
  }
  return true;
}

bool prepare_run(CustomBoxParam& param, const CommandLine& command_line, const StartupPlatform& platform,
                 RunOutcome* outcome) {
  const char* mode = command_line.mode.empty() ? nullptr : command_line.mode.c_str();
  // Settings saved under such a name would never be found again, and each
  // run would add another copy of them.
  if (!is_valid_mode_name(mode)) return false;
  param.files = command_line.files;
  locked_by_settings_file(SettingsAccess::kLoad, [&] { load_settings(param.settings, mode); });
  const DialogDecision decision =
      decide_dialog(command_line.forced, command_line.suppressed, platform.shift_key_down(),
                    param.settings.show_settings_dialog, command_line.argument_count);
  if (decision.shown && !platform.run_settings_dialog(param, command_line.argument_count)) {
    free_custom_box_param(param);
    return false;
  }
  locked_by_settings_file(SettingsAccess::kSave, [&] {
    int error = 0;
    const bool saved = save_settings(param.settings, mode, &error);
    if (outcome != nullptr) {
      outcome->settings_saved = saved;
      outcome->settings_error = error;
    }
  });
  return true;
}

bool parse_command_line(CustomBoxParam& param, int argument_count, char** arguments,
                        const StartupPlatform& platform) {
  return prepare_run(param, sort_arguments(argument_count, arguments), platform);
}

RunOutcome run_conversion(void* module_instance, const CommandLine& command_line,
                          const StartupPlatform& platform) {
  RunOutcome outcome;
  CustomBoxParam param;
  if (!prepare_run(param, command_line, platform, &outcome)) return outcome;
  outcome.went_on = true;
  // The saved settings keep their paths as written; the run uses them resolved.
  resolve_relative_paths(param.settings);
  apply_run_choices(param.settings, command_line);
  {
    BusyIndicator busy(module_instance, command_line.quiet);
    Vocabulary vocabulary;
    load_vocabulary(vocabulary, param.settings.vocabulary_file);
    TreeOptions options;
    options.rewrite_all = command_line.rewrite_all;
    options.tell_skipped = command_line.verbose;
    outcome.failed_files = command_line.output_page && param.files.size() == 1
                               ? convert_file_to_page(param.files.front(), *command_line.output_page,
                                                      param.settings, vocabulary, &busy)
                               : convert_files(param.files, param.settings, vocabulary, &busy, options);
    free_vocabulary(vocabulary);
  }
  free_custom_box_param(param);
  return outcome;
}

int run_application(void* module_instance, int argument_count, char** arguments,
                    const StartupPlatform& platform) {
  run_conversion(module_instance, sort_arguments(argument_count, arguments), platform);
  return 0;
}

}  // namespace prismet

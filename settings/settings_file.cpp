#include "settings/settings_file.h"

#include <cerrno>
#include <cstring>
#include <new>

#include "common/ascii_case.h"
#include "common/file_system.h"
#include "common/path_text.h"
#include "settings/ini_document.h"
#include "settings/profile.h"
#include "settings/profile_values.h"
#include "settings/setting_keys.h"

namespace prismet {

namespace {

constexpr char kDefaultExtension[] = ".htm";
constexpr char kInsertBeforeExtension[] = ".top";
constexpr char kInsertAfterExtension[] = ".btm";

void load_added_keys(ProfileFile& profile, const char* section, Settings& settings) {
  char value[kPathCapacity];
  profile.read_string(section, kEncodingKey, "", value, sizeof value);
  settings.encoding = encoding_named(value).value_or(SourceEncoding::kShiftJis);
  profile.read_string(section, kPathBaseKey, "", value, sizeof value);
  settings.paths_from_settings_folder = std::strcmp(value, kPathBaseSettingsFolder) == 0;
  settings.insert_file_variables = read_profile_bool(profile, section, kInsertVariablesKey, false);
  settings.style.line_anchors = read_profile_bool(profile, section, kLineAnchorsKey, false);
  profile.read_string(section, kSourceExtensionsKey, kDefaultSourceExtensions, value, sizeof value);
  settings.source_extensions = value;
  profile.read_string(section, kOutputFolderKey, "", settings.output_folder, sizeof settings.output_folder);
  const std::int32_t jobs = read_profile_int(profile, section, kJobsKey, 0);
  settings.jobs = jobs < 0 ? 0 : jobs > kMaxJobs ? kMaxJobs : jobs;
  profile.read_string(section, kExtensionlessSourcesKey, "", value, sizeof value);
  settings.extensionless_sources = value;
  settings.cpp_mode_line = read_profile_bool(profile, section, kCppModeLineKey, false);
  settings.include_links = read_profile_bool(profile, section, kIncludeLinksKey, false);
  profile.read_string(section, kIncludeFoldersKey, "", value, sizeof value);
  settings.include_folders = value;
  settings.site_navigation = read_profile_bool(profile, section, kSiteNavigationKey, false);
  settings.cross_references = read_profile_bool(profile, section, kCrossReferencesKey, false);
}

void save_added_keys(ProfileFile& profile, const char* section, const Settings& settings) {
  if (settings.encoding != SourceEncoding::kShiftJis) {
    profile.write_string(section, kEncodingKey, encoding_name(settings.encoding));
  }
  if (settings.paths_from_settings_folder)
    profile.write_string(section, kPathBaseKey, kPathBaseSettingsFolder);
  if (settings.insert_file_variables) write_profile_bool(profile, section, kInsertVariablesKey, true);
  if (settings.style.line_anchors) write_profile_bool(profile, section, kLineAnchorsKey, true);
  if (settings.source_extensions != kDefaultSourceExtensions) {
    profile.write_string(section, kSourceExtensionsKey, settings.source_extensions.c_str());
  }
  if (settings.output_folder[0] != '\0')
    profile.write_string(section, kOutputFolderKey, settings.output_folder);
  if (settings.jobs != 0) write_profile_int(profile, section, kJobsKey, settings.jobs);
  if (!settings.extensionless_sources.empty()) {
    profile.write_string(section, kExtensionlessSourcesKey, settings.extensionless_sources.c_str());
  }
  if (settings.cpp_mode_line) write_profile_bool(profile, section, kCppModeLineKey, true);
  if (settings.include_links) write_profile_bool(profile, section, kIncludeLinksKey, true);
  if (!settings.include_folders.empty())
    profile.write_string(section, kIncludeFoldersKey, settings.include_folders.c_str());
  if (settings.site_navigation) write_profile_bool(profile, section, kSiteNavigationKey, true);
  if (settings.cross_references) write_profile_bool(profile, section, kCrossReferencesKey, true);
}

const char* mode_section(const char* mode) {
  return mode != nullptr && mode[0] != '\0' ? mode : kFixedSection;
}

// The default insert path beside the settings file, or empty when there is
// no settings file path.
void default_insert_path(char (&buffer)[kPathCapacity], const char* extension) {
  if (!settings_file_path(buffer) || !replace_extension(buffer, sizeof buffer, extension)) buffer[0] = '\0';
}

}  // namespace

bool program_path_with_extension(const char* program, char* buffer, std::size_t capacity,
                                 const char* extension) {
  if (capacity == 0) return false;
  buffer[0] = '\0';
  // A path cut to fit would name another file.
  if (std::strlen(program) >= capacity) return false;
  std::memcpy(buffer, program, std::strlen(program) + 1);
  if (!replace_extension(buffer, capacity, extension)) {
    buffer[0] = '\0';
    return false;
  }
  if (kLowerCaseProgramPaths) lower_case_path(buffer);
  return true;
}

bool module_path_with_extension(char* buffer, std::size_t capacity, const char* extension) {
  if (capacity > 0) buffer[0] = '\0';
  // Room for more than any path that could fit, so that a cut is seen.
  char program[4096];
  if (!executable_path(program, sizeof program) || std::strlen(program) + 1 >= sizeof program) return false;
  return program_path_with_extension(program, buffer, capacity, extension);
}

void load_settings(Settings& settings, const char* mode) {
  char file[kPathCapacity];
  if (!settings_file_path(file)) {
    // Without a settings file path there is neither a settings file nor a
    // place for the insert files: the built-in values apply.
    settings = Settings{};
    set_default_settings(settings, "", "");
    return;
  }
  load_settings_from(file, settings, mode);
}

bool save_settings(const Settings& settings, const char* mode, int* error) {
  char file[kPathCapacity];
  return settings_file_path(file) && save_settings_to(file, settings, mode, error);
}

void load_settings_from(const char* file, Settings& settings, const char* mode) {
  ProfileFile profile(file);
  settings = Settings{};
  settings.show_settings_dialog = read_profile_bool(profile, kFixedSection, kShowDialogKey, true);
  const char* section = mode_section(mode);
  profile.read_string(section, kExtensionKey, kDefaultExtension, settings.extension,
                      sizeof settings.extension);
  profile.read_string(section, kVocabularyKey, "", settings.vocabulary_file, sizeof settings.vocabulary_file);
  load_output_style(profile, section, settings.style);
  load_added_keys(profile, section, settings);
}

bool save_settings_to(const char* file, const Settings& settings, const char* mode, int* error) {
  try {
    ProfileFile profile(file);
    write_profile_bool(profile, kFixedSection, kShowDialogKey, settings.show_settings_dialog);
    const char* section = mode_section(mode);
    profile.write_string(section, kExtensionKey, settings.extension);
    profile.write_string(section, kVocabularyKey, settings.vocabulary_file);
    save_output_style(profile, section, settings.style);
    save_added_keys(profile, section, settings);
    const bool saved = profile.save();
    if (!saved && error != nullptr) *error = profile.error();
    return saved;
  } catch (const std::bad_alloc&) {
    // Nothing was saved: the file keeps what it held.
    if (error != nullptr) *error = ENOMEM;
    return false;
  }
}

void load_output_style(ProfileFile& profile, const char* section, OutputStyle& style) {
  char insert_before[kPathCapacity];
  char insert_after[kPathCapacity];
  default_insert_path(insert_before, kInsertBeforeExtension);
  default_insert_path(insert_after, kInsertAfterExtension);
  OutputStyle defaults;
  set_default_output_style(defaults, insert_before, insert_after);

  style = OutputStyle{};
  profile.read_string(section, kInsertBeforeKey, defaults.insert_before, style.insert_before,
                      sizeof style.insert_before);
  profile.read_string(section, kInsertAfterKey, defaults.insert_after, style.insert_after,
                      sizeof style.insert_after);
  style.expand_tabs = read_profile_bool(profile, section, kExpandTabsKey, defaults.expand_tabs);
  style.nbsp_spaces = read_profile_bool(profile, section, kNbspKey, defaults.nbsp_spaces);
  style.line_numbers = read_profile_bool(profile, section, kLineNumbersKey, defaults.line_numbers);
  const std::int32_t tab_width = read_profile_int(profile, section, kTabWidthKey, defaults.tab_width);
  style.tab_width = tab_width < 0 ? 0 : tab_width;
  for (const TagKeys& tag : kTagKeys) {
    const TagPair& fallback = defaults.*tag.pair;
    TagPair& pair = style.*tag.pair;
    pair.open = read_profile_tag(profile, section, tag.open_key, fallback.open.c_str());
    pair.close = read_profile_tag(profile, section, tag.close_key, fallback.close.c_str());
  }
}

void save_output_style(ProfileFile& profile, const char* section, const OutputStyle& style) {
  write_profile_int(profile, section, kTabWidthKey, style.tab_width);
  write_profile_bool(profile, section, kExpandTabsKey, style.expand_tabs);
  write_profile_bool(profile, section, kNbspKey, style.nbsp_spaces);
  write_profile_bool(profile, section, kLineNumbersKey, style.line_numbers);
  profile.write_string(section, kInsertBeforeKey, style.insert_before);
  profile.write_string(section, kInsertAfterKey, style.insert_after);
  for (const TagKeys& tag : kTagKeys) {
    const TagPair& pair = style.*tag.pair;
    profile.write_string(section, tag.open_key, pair.open.c_str());
    profile.write_string(section, tag.close_key, pair.close.c_str());
  }
}

bool settings_have_mode(const char* mode) {
  char file[kPathCapacity];
  if (!settings_file_path(file)) return false;
  ProfileFile profile(file);
  return profile.has_section(mode_section(mode));
}

void resolve_relative_paths(Settings& settings, const char* settings_file) {
  if (!settings.paths_from_settings_folder) return;
  char in_use[kPathCapacity];
  if (settings_file == nullptr) {
    if (!settings_file_path(in_use)) return;
    settings_file = in_use;
  }
  const std::string folder = folder_of(settings_file);
  for (char* path : {settings.vocabulary_file, settings.style.insert_before, settings.style.insert_after,
                     settings.output_folder}) {
    if (!resolve_path_in_folder(folder, path, kPathCapacity)) path[0] = '\0';
  }
  std::string include_folders;
  for (const std::string& include_folder : include_folder_list(settings.include_folders)) {
    char path[kPathCapacity];
    if (include_folder.size() >= sizeof path) continue;
    std::memcpy(path, include_folder.c_str(), include_folder.size() + 1);
    // A folder that no longer fits names no folder at all.
    if (!resolve_path_in_folder(folder, path, sizeof path)) continue;
    if (!include_folders.empty()) include_folders += ';';
    include_folders += path;
  }
  settings.include_folders = include_folders;
}

std::vector<std::string> include_folder_list(std::string_view value) {
  std::vector<std::string> folders;
  std::size_t start = 0;
  while (start <= value.size()) {
    std::size_t end = value.find(';', start);
    if (end == std::string_view::npos) end = value.size();
    std::string_view folder = value.substr(start, end - start);
    while (!folder.empty() && (folder.front() == ' ' || folder.front() == '\t')) folder.remove_prefix(1);
    while (!folder.empty() && (folder.back() == ' ' || folder.back() == '\t')) folder.remove_suffix(1);
    if (!folder.empty()) folders.emplace_back(folder);
    start = end + 1;
  }
  return folders;
}

bool is_valid_mode_name(const char* mode) {
  return mode == nullptr || mode[0] == '\0' || ini::section_name_reads_back(mode);
}

}  // namespace prismet

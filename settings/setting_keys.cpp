#include "settings/setting_keys.h"

#include <cstdio>
#include <vector>

#include "common/ascii_case.h"
#include "settings/ini_document.h"
#include "settings/profile_values.h"

namespace prismet {

namespace {

struct EncodingName {
  SourceEncoding encoding;
  const char* name;  // the one written
  const char* other_names[2];
};

constexpr EncodingName kEncodingNames[] = {
    {SourceEncoding::kShiftJis, "Shift_JIS", {"SJIS", "CP932"}},
    {SourceEncoding::kUtf8, "UTF-8", {"UTF8", nullptr}},
    {SourceEncoding::kAutomatic, "自動", {"auto", nullptr}},
};

// The widest tab stop a value may set, as in the settings dialog.
constexpr std::int32_t kMaxTabWidth = 255;

std::vector<SettingKey> make_setting_keys() {
  std::vector<SettingKey> keys = {
      {kShowDialogKey, "show-dialog", "show the settings dialog (Windows)", SettingKind::kBool},
      {kExtensionKey, "extension", "extension of the pages", SettingKind::kText},
      {kVocabularyKey, "vocabulary", "vocabulary file (empty: built-in words)", SettingKind::kPath},
      {kTabWidthKey, "tab-width", "columns per tab stop", SettingKind::kCount},
      {kExpandTabsKey, "expand-tabs", "tabs become spaces", SettingKind::kBool},
      {kNbspKey, "nbsp", "spaces become &nbsp;", SettingKind::kBool},
      {kLineNumbersKey, "line-numbers", "number the lines", SettingKind::kBool},
      {kInsertBeforeKey, "insert-before", "file copied in front of the page", SettingKind::kPath},
      {kInsertAfterKey, "insert-after", "file copied behind the page", SettingKind::kPath},
  };
  for (const TagKeys& tag : kTagKeys) {
    keys.push_back(
        {tag.open_key, std::string(tag.name) + "-open", "tag opening the category", SettingKind::kTag});
    keys.push_back(
        {tag.close_key, std::string(tag.name) + "-close", "tag closing the category", SettingKind::kTag});
  }
  keys.insert(
      keys.end(),
      {
          {kEncodingKey, "encoding", "encoding of the sources", SettingKind::kEncoding},
          {kPathBaseKey, "path-base", "relative paths from the settings folder", SettingKind::kPathBase},
          {kInsertVariablesKey, "insert-variables", "{{source}} in insert files", SettingKind::kBool},
          {kLineAnchorsKey, "line-anchors", "ids L1, L2, ... on the lines", SettingKind::kBool},
          {kSourceExtensionsKey, "source-extensions", "extensions converted in folders", SettingKind::kText},
          {kOutputFolderKey, "output-folder", "folder of the pages (empty: beside)", SettingKind::kPath},
          {kJobsKey, "jobs", "files converted at once (0: per processor)", SettingKind::kCount},
          {kExtensionlessSourcesKey, "extensionless-sources", "names without extension converted in folders",
           SettingKind::kText},
          {kCppModeLineKey, "cpp-mode-line", "files without extension saying C++ converted",
           SettingKind::kBool},
          {kIncludeLinksKey, "include-links", "#include names link to their pages", SettingKind::kBool},
          {kIncludeFoldersKey, "include-folders", "folders for <names>, separated by ;", SettingKind::kText},
          {kSiteNavigationKey, "site-navigation", "breadcrumbs, readable indexes, a search box",
           SettingKind::kBool},
          {kCrossReferencesKey, "cross-references", "names in code link to their definitions",
           SettingKind::kBool},
      });
  return keys;
}

std::string number_text(std::int32_t number) {
  char text[16];
  std::snprintf(text, sizeof text, "%d", static_cast<int>(number));
  return text;
}

bool is_key(const SettingKey& key, const char* wanted) { return std::string_view(key.key) == wanted; }

std::optional<std::string> bool_value(std::string_view value) {
  for (const char* yes : {"1", "true", "yes", "on"}) {
    if (equals_no_case(std::string(value).c_str(), yes)) return "1";
  }
  for (const char* no : {"0", "false", "no", "off"}) {
    if (equals_no_case(std::string(value).c_str(), no)) return "0";
  }
  return std::nullopt;
}

std::optional<std::string> count_value(const SettingKey& key, std::string_view value) {
  const std::int32_t most = is_key(key, kJobsKey) ? kMaxJobs : kMaxTabWidth;
  if (value.empty() || value.size() > 3) return std::nullopt;
  std::int32_t number = 0;
  for (const char digit : value) {
    if (digit < '0' || digit > '9') return std::nullopt;
    number = number * 10 + (digit - '0');
  }
  if (number > most) return std::nullopt;
  return number_text(number);
}

// A text as a read gives it back: quoted when its ends would be lost.
std::string text_value(std::string_view value) {
  const bool quote = !value.empty() && (ini::is_blank(value.front()) || ini::is_blank(value.back()) ||
                                        value.front() == '"' || value.front() == '\'');
  return quote ? "\"" + std::string(value) + "\"" : std::string(value);
}

}  // namespace

std::optional<SourceEncoding> encoding_named(const char* value) {
  for (const EncodingName& entry : kEncodingNames) {
    if (equals_no_case(value, entry.name)) return entry.encoding;
    for (const char* other : entry.other_names) {
      if (other != nullptr && equals_no_case(value, other)) return entry.encoding;
    }
  }
  return std::nullopt;
}

const char* encoding_name(SourceEncoding encoding) {
  for (const EncodingName& entry : kEncodingNames) {
    if (entry.encoding == encoding) return entry.name;
  }
  return kEncodingNames[0].name;
}

std::span<const SettingKey> setting_keys() {
  static const std::vector<SettingKey> keys = make_setting_keys();
  return keys;
}

const SettingKey* find_setting_key(std::string_view name) {
  for (const SettingKey& key : setting_keys()) {
    if (ini::names_match(key.key, name) || key.name == name) return &key;
  }
  return nullptr;
}

std::string setting_text(const Settings& settings, const SettingKey& key) {
  const OutputStyle& style = settings.style;
  for (const TagKeys& tag : kTagKeys) {
    if (is_key(key, tag.open_key)) return (style.*tag.pair).open;
    if (is_key(key, tag.close_key)) return (style.*tag.pair).close;
  }
  const std::pair<const char*, std::string> texts[] = {
      {kShowDialogKey, settings.show_settings_dialog ? "1" : "0"},
      {kExtensionKey, settings.extension},
      {kVocabularyKey, settings.vocabulary_file},
      {kTabWidthKey, number_text(style.tab_width)},
      {kExpandTabsKey, style.expand_tabs ? "1" : "0"},
      {kNbspKey, style.nbsp_spaces ? "1" : "0"},
      {kLineNumbersKey, style.line_numbers ? "1" : "0"},
      {kInsertBeforeKey, style.insert_before},
      {kInsertAfterKey, style.insert_after},
      {kEncodingKey, encoding_name(settings.encoding)},
      {kPathBaseKey, settings.paths_from_settings_folder ? kPathBaseSettingsFolder : ""},
      {kInsertVariablesKey, settings.insert_file_variables ? "1" : "0"},
      {kLineAnchorsKey, style.line_anchors ? "1" : "0"},
      {kSourceExtensionsKey, settings.source_extensions},
      {kOutputFolderKey, settings.output_folder},
      {kJobsKey, number_text(settings.jobs)},
      {kExtensionlessSourcesKey, settings.extensionless_sources},
      {kCppModeLineKey, settings.cpp_mode_line ? "1" : "0"},
      {kIncludeLinksKey, settings.include_links ? "1" : "0"},
      {kIncludeFoldersKey, settings.include_folders},
      {kSiteNavigationKey, settings.site_navigation ? "1" : "0"},
      {kCrossReferencesKey, settings.cross_references ? "1" : "0"},
  };
  for (const auto& [name, text] : texts) {
    if (is_key(key, name)) return text;
  }
  return "";
}

std::optional<std::string> setting_value_to_write(const SettingKey& key, std::string_view value,
                                                  std::string& problem) {
  if (value.find_first_of(std::string_view("\0\r\n", 3)) != std::string_view::npos) {
    problem = "a value cannot hold a line break";
    return std::nullopt;
  }
  std::optional<std::string> written;
  switch (key.kind) {
    case SettingKind::kBool:
      written = bool_value(value);
      problem = "takes 1 or 0 (true/false, yes/no, on/off)";
      break;
    case SettingKind::kCount:
      written = count_value(key, value);
      problem = "takes a number from 0 to " + number_text(is_key(key, kJobsKey) ? kMaxJobs : kMaxTabWidth);
      break;
    case SettingKind::kEncoding:
      if (const std::optional<SourceEncoding> encoding = encoding_named(std::string(value).c_str())) {
        written = encoding_name(*encoding);
      }
      problem = "takes Shift_JIS, UTF-8 or auto";
      break;
    case SettingKind::kPathBase:
      if (value == kPathBaseSettingsFolder || value == "settings-folder") written = kPathBaseSettingsFolder;
      if (value.empty() || value == "current-folder") written = "";
      problem = "takes settings-folder or current-folder";
      break;
    case SettingKind::kText:
    case SettingKind::kPath:
    case SettingKind::kTag: {
      const std::size_t most = key.kind == SettingKind::kTag ? kMaxTagLength : kPathCapacity - 3;
      if (value.size() <= most) written = text_value(value);
      problem = "is too long (at most " + std::to_string(most) + " bytes)";
      break;
    }
  }
  if (written) problem.clear();
  return written;
}

}  // namespace prismet

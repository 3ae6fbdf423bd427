#include "app/settings_commands_posix.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>

#include "app/instance_lock.h"
#include "settings/ini_text_encoding.h"
#include "settings/profile.h"
#include "settings/setting_keys.h"
#include "settings/settings_file.h"
#include "settings/unknown_keys.h"

namespace prismet {

namespace {

constexpr int kExitDone = 0;
constexpr int kExitNotDone = 1;
constexpr int kExitUsage = 2;

const char* section_of(const std::string& mode) { return mode.empty() ? kFixedSection : mode.c_str(); }

// A command-line text as the settings hold it: UTF-8 converted; text that
// is not UTF-8 taken as code page 932 already. None when a character has no
// place in code page 932.
std::optional<std::string> settings_text_of_argument(std::string_view text) {
  if (!ini::is_well_formed_utf8(text)) return std::string(text);
  return ini::cp932_of_utf8(text);
}

int refuse(const std::string& message) {
  std::fprintf(stderr, "prismet: %s\nTry 'prismet --settings' for the keys.\n", message.c_str());
  return kExitUsage;
}

}  // namespace

void tell_unknown_keys(const std::string& mode) {
  char file[kPathCapacity];
  if (!settings_file_path(file)) return;
  for (const UnknownKey& key : unknown_keys(file, mode.c_str())) {
    std::fprintf(stderr, "prismet: %s:%zu: unknown key \"%s\" in mode \"%s\"\n", file, key.line,
                 key.name.c_str(), section_of(mode));
  }
}

int show_settings(const std::string& mode) {
  char file[kPathCapacity] = "";
  Settings settings;
  load_settings(settings, mode.c_str());
  if (!settings_file_path(file)) file[0] = '\0';
  std::string text = "# mode \"" + std::string(section_of(mode)) + "\" of " +
                     (file[0] != '\0' ? std::string(file) : "(no settings file)") + "\n";
  for (const SettingKey& key : setting_keys()) {
    text += ini::utf8_of_cp932_or_marks(key.key) + " = " +
            ini::utf8_of_cp932_or_marks(setting_text(settings, key)) + "  # " + key.name + ": " +
            key.meaning + "\n";
  }
  std::fputs(text.c_str(), stdout);
  return std::fflush(stdout) == 0 ? kExitDone : kExitNotDone;
}

int set_setting(const std::string& assignment, const std::string& mode) {
  const std::size_t equals = assignment.find('=');
  if (equals == std::string::npos) return refuse("--set takes KEY=VALUE, not '" + assignment + "'");
  const std::string name = assignment.substr(0, equals);
  const std::optional<std::string> key_name = settings_text_of_argument(name);
  const SettingKey* key = key_name ? find_setting_key(*key_name) : nullptr;
  if (key == nullptr) return refuse("unknown settings key '" + name + "'");
  const std::string shown = ini::utf8_of_cp932_or_marks(key->key) + " (" + key->name + ")";
  const std::optional<std::string> value = settings_text_of_argument(assignment.substr(equals + 1));
  if (!value) return refuse(shown + ": the value has a character the settings cannot hold");
  std::string problem;
  const std::optional<std::string> written = setting_value_to_write(*key, *value, problem);
  if (!written) return refuse(shown + " " + problem);
  char file[kPathCapacity];
  if (!settings_file_path(file)) {
    std::fputs("prismet: settings not saved: no settings file path (no home folder)\n", stderr);
    return kExitNotDone;
  }
  const bool folder_made = make_settings_folder(file);
  // Read, changed and saved while no other run saves the file.
  const InstanceLock lock(file);
  ProfileFile profile(file);
  if (!folder_made || !profile.write_string(section_of(mode), key->key, written->c_str()) ||
      !profile.save()) {
    const int error = profile.error() != 0 ? profile.error() : errno;
    std::fprintf(stderr, "prismet: %s: settings not saved: %s\n", file,
                 error != 0 ? std::strerror(error) : "the file could not be read or written");
    return kExitNotDone;
  }
  return kExitDone;
}

}  // namespace prismet

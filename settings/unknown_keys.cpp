#include "settings/unknown_keys.h"

#include "settings/ini_file_image.h"
#include "settings/ini_text_encoding.h"
#include "settings/setting_keys.h"
#include "settings/settings_file.h"

namespace prismet {

namespace {

bool is_known(const ini::Key& key, ini::TextEncoding encoding) {
  if (encoding == ini::TextEncoding::kCp932) return find_setting_key(key.name) != nullptr;
  const std::optional<std::string> name = ini::cp932_of_utf8(key.name);
  return name && find_setting_key(*name) != nullptr;
}

}  // namespace

std::vector<UnknownKey> unknown_keys(const char* file, const char* mode) {
  std::vector<UnknownKey> found;
  ini::FileImage image(file, true);
  const ini::Document* document = image.document();
  if (document == nullptr) return found;
  const std::string section_name(mode != nullptr && mode[0] != '\0' ? mode : kFixedSection);
  for (const ini::Section& section : document->sections) {
    if (!ini::names_match(section.name, ini::trim_blanks(section_name, document->encoding),
                          document->encoding)) {
      continue;
    }
    for (const ini::Key& key : section.keys) {
      if (!key.value || key.name.empty() || key.name[0] == ';' || key.name[0] == '#') continue;
      if (is_known(key, document->encoding)) continue;
      const bool utf8 = document->encoding == ini::TextEncoding::kUtf8;
      found.push_back({key.line, utf8 ? key.name : ini::utf8_of_cp932_or_marks(key.name)});
    }
    break;
  }
  return found;
}

}  // namespace prismet

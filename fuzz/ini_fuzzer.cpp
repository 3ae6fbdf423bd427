// Fuzzes our INI reader and writer with arbitrary file contents: reads keys
// that may or may not be there, writes a key, and checks that the value
// written reads back and that the other values are unchanged.
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "settings/ini_file.h"

namespace {

std::string read(const char* file, const char* section, const char* key) {
  char buffer[512];
  const std::size_t length = prismet::ini::read_string(file, section, key, "<none>", buffer, sizeof buffer);
  if (length >= sizeof buffer || buffer[length] != '\0') __builtin_trap();
  return std::string(buffer, length);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = "/tmp/prismet-ini-fuzz-" + std::to_string(::getpid()) + ".ini";
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return 0;
  std::fwrite(data, 1, size, file);
  std::fclose(file);

  // Names taken from the input when they are plain words, so that they can
  // meet what the file holds; letters are matched regardless of case.
  std::string section = "prismet", key = "other";
  if (size >= 4) {
    const std::size_t section_length = std::min<std::size_t>(data[0] % 8, size);
    const std::size_t key_length = std::min<std::size_t>(data[size - 1] % 6, size - size / 2);
    const std::string s(reinterpret_cast<const char*>(data), section_length);
    const std::string k(reinterpret_cast<const char*>(data) + size / 2, key_length);
    auto plain = [](const std::string& t) {
      if (t.empty()) return false;
      for (char c : t)
        if (!std::isalnum(static_cast<unsigned char>(c))) return false;
      return true;
    };
    if (plain(s)) section = s;
    if (plain(k)) key = k;
  }
  auto lower = [](std::string t) {
    for (char& c : t) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return t;
  };

  const std::string untouched_before = read(path.c_str(), "prismet", "untouched");
  if (!prismet::ini::write_string(path.c_str(), section.c_str(), key.c_str(), "value")) return 0;
  if (read(path.c_str(), section.c_str(), key.c_str()) != "value") __builtin_trap();
  const bool same_key = lower(section) == "prismet" && lower(key) == "untouched";
  if (!same_key && read(path.c_str(), "prismet", "untouched") != untouched_before) __builtin_trap();
  return 0;
}

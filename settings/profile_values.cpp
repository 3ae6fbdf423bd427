#include "settings/profile_values.h"

#include <cstdio>
#include <limits>
#include <new>

#include "settings/profile.h"

namespace prismet {

namespace {

// The buffer sizes of the reads, the same on every platform so that a value
// reads alike everywhere: a boolean is read like a Windows text field of 261
// bytes, an integer into one byte less.
constexpr std::size_t kBoolBufferSize = 261;
constexpr std::size_t kIntBufferSize = kBoolBufferSize - 1;

bool is_scan_blank(char byte) {
  return byte == ' ' || byte == '\t' || byte == '\n' || byte == '\v' || byte == '\f' || byte == '\r';
}

}  // namespace

std::optional<std::int32_t> parse_decimal(const char* text) {
  const char* p = text;
  while (is_scan_blank(*p)) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  if (*p < '0' || *p > '9') return std::nullopt;
  // Accumulate the magnitude, stopping just past the 32-bit range.
  constexpr std::int64_t kLimit = static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::max()) + 1;
  std::int64_t magnitude = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    if (magnitude <= kLimit) magnitude = magnitude * 10 + (*p - '0');
  }
  if (negative) return static_cast<std::int32_t>(-(magnitude > kLimit ? kLimit : magnitude));
  return static_cast<std::int32_t>(magnitude >= kLimit ? kLimit - 1 : magnitude);
}

bool read_profile_bool(ProfileFile& profile, const char* section, const char* key, bool default_value) {
  char buffer[kBoolBufferSize];
  profile.read_string(section, key, "", buffer, sizeof buffer);
  const std::optional<std::int32_t> number = parse_decimal(buffer);
  return number ? *number != 0 : default_value;
}

std::int32_t read_profile_int(ProfileFile& profile, const char* section, const char* key,
                              std::int32_t default_value) {
  char buffer[kIntBufferSize];
  profile.read_string(section, key, "", buffer, sizeof buffer);
  return parse_decimal(buffer).value_or(default_value);
}

bool write_profile_bool(ProfileFile& profile, const char* section, const char* key, bool value) {
  return profile.write_string(section, key, value ? "1" : "0");
}

bool write_profile_int(ProfileFile& profile, const char* section, const char* key, std::int32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
  return profile.write_string(section, key, text);
}

bool write_profile_quoted(ProfileFile& profile, const char* section, const char* key, const char* text) {
  if (text == nullptr) return false;
  std::string quoted;
  try {
    quoted.reserve(std::char_traits<char>::length(text) + 2);
  } catch (const std::bad_alloc&) {
    return false;
  }
  quoted += '"';
  quoted += text;
  quoted += '"';
  return profile.write_string(section, key, quoted.c_str());
}

std::string read_profile_tag(ProfileFile& profile, const char* section, const char* key,
                             const char* default_value) {
  // Read into a scratch string of the longest tag, then copied at its own
  // size: a style holds sixteen tags, which must not keep 32 KB each.
  std::string scratch(kMaxTagLength + 1, '\0');
  const std::size_t length = profile.read_string(section, key, default_value, scratch.data(), scratch.size());
  return std::string(scratch.data(), length);
}

}  // namespace prismet

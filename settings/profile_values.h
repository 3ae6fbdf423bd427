// Typed values in the settings file: booleans, integers, quoted texts and
// tags, each under `key` in `section` of a settings file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "settings/profile.h"

namespace prismet {

// The longest tag a read returns, in bytes.
inline constexpr std::size_t kMaxTagLength = 32766;

// The number at the start of `text` as "%d" reads it: optional blanks, an
// optional sign, then decimal digits. None when there are no digits. A
// number outside the 32-bit range is held at the nearest limit.
std::optional<std::int32_t> parse_decimal(const char* text);

// True when the stored value (at most 260 bytes) begins with a number other
// than 0, false when with 0; `default_value` when there is no number.
bool read_profile_bool(ProfileFile& profile, const char* section, const char* key, bool default_value);

// The number the stored value (at most 259 bytes) begins with;
// `default_value` when there is none.
std::int32_t read_profile_int(ProfileFile& profile, const char* section, const char* key,
                              std::int32_t default_value);

// Writes "1" or "0".
bool write_profile_bool(ProfileFile& profile, const char* section, const char* key, bool value);

// Writes the number in decimal.
bool write_profile_int(ProfileFile& profile, const char* section, const char* key, std::int32_t value);

// Writes `text` inside a pair of double quotes, which a read removes again,
// so that blanks at either end survive. False, with nothing written, when no
// memory is left for the quoted copy.
bool write_profile_quoted(ProfileFile& profile, const char* section, const char* key, const char* text);

// The stored tag, at most kMaxTagLength bytes, or `default_value`. A read
// has no failure to report: with no memory left it throws std::bad_alloc.
std::string read_profile_tag(ProfileFile& profile, const char* section, const char* key,
                             const char* default_value);

}  // namespace prismet

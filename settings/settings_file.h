// The settings file "prismet.ini" beside the program: where it is, and how the
// Settings and OutputStyle records are read from and written to it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/fixed_text.h"
#include "settings/output_style.h"

namespace prismet {

// The fixed section, and the mode section used when no mode is given.
inline constexpr char kFixedSection[] = "prismet";

// Fills `buffer` (of `capacity` bytes) with the running executable's path,
// its extension replaced by `extension` (lower-cased on Windows). False when
// the executable's path cannot be had or the result does not fit.
bool module_path_with_extension(char* buffer, std::size_t capacity, const char* extension);

// module_path_with_extension for a given program path. False, with `buffer`
// empty, when the result does not fit.
bool program_path_with_extension(const char* program, char* buffer, std::size_t capacity, const char* extension);

// module_path_with_extension with ".ini".
bool settings_file_path(char (&buffer)[kPathCapacity]);

// Loads the whole record: "ダイアログを表示" from the fixed section, the rest
// from the section named by `mode` ("prismet" when null or empty). Absent
// keys take the built-in defaults. Always succeeds.
void load_settings(Settings& settings, const char* mode);

// Writes every key back, in the fixed order; write failures are ignored.
void save_settings(const Settings& settings, const char* mode);

// load_settings and save_settings on a given settings file.
void load_settings_from(const char* file, Settings& settings, const char* mode);
void save_settings_to(const char* file, const Settings& settings, const char* mode);

void load_output_style(const char* file, const char* section, OutputStyle& style);
void save_output_style(const char* file, const char* section, const OutputStyle& style);

}  // namespace prismet

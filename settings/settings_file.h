// The settings file "prismet.ini": where it is, and how the Settings and
// OutputStyle records are read from and written to it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/fixed_text.h"
#include "settings/output_style.h"
#include "settings/profile.h"

namespace prismet {

// The fixed section, and the mode section used when no mode is given.
inline constexpr char kFixedSection[] = "prismet";

// Fills `buffer` (of `capacity` bytes) with the running executable's path,
// its extension replaced by `extension` (lower-cased on Windows). False when
// the executable's path cannot be had or the result does not fit.
bool module_path_with_extension(char* buffer, std::size_t capacity, const char* extension);

// module_path_with_extension for a given program path. False, with `buffer`
// empty, when the result does not fit.
bool program_path_with_extension(const char* program, char* buffer, std::size_t capacity,
                                 const char* extension);

// Where the settings file is, one implementation per platform
// (settings_location_win32.cpp, settings_location_posix.cpp). Windows: beside
// the program, named after it with ".ini". Linux: the same when such a file
// exists there (a portable copy of the program), else "prismet.ini" in the
// folder "prismet" of the user's configuration folder ($XDG_CONFIG_HOME, or
// ~/.config). The default insert files lie beside it, with ".top" and
// ".btm". False when no such path can be had (Linux: no home and no copy
// beside the program) or it does not fit.
bool settings_file_path(char (&buffer)[kPathCapacity]);

// Makes the folder that is to hold the settings file, where it is missing
// (Linux: with every missing parent, readable by the user alone). False when
// it cannot be made, with errno telling why.
bool make_settings_folder(const char* file);

// Loads the whole record: "ダイアログを表示" from the fixed section, the rest
// from the section named by `mode` ("prismet" when null or empty). Absent
// keys take the built-in defaults. Always succeeds, but for running out of
// memory, which throws std::bad_alloc.
void load_settings(Settings& settings, const char* mode);

// Writes every key back, in the fixed order. True when the file holds them
// all; false when the file could not be read or written (it then keeps what
// it held) or there is no settings file path, with the system's reason in
// `error` where one is known (ENOMEM when no memory was left; 0 otherwise).
bool save_settings(const Settings& settings, const char* mode, int* error = nullptr);

// load_settings and save_settings on a given settings file.
void load_settings_from(const char* file, Settings& settings, const char* mode);
bool save_settings_to(const char* file, const Settings& settings, const char* mode, int* error = nullptr);

void load_output_style(ProfileFile& profile, const char* section, OutputStyle& style);
void save_output_style(ProfileFile& profile, const char* section, const OutputStyle& style);

// True when the settings file in use holds the section of `mode` (the fixed
// section for null or empty).
bool settings_have_mode(const char* mode);

// For settings that take relative paths from the settings file's folder:
// makes the vocabulary, insert file, output folder and include folder paths
// that are relative absolute
// against the folder of `settings_file` (or of the settings file in use
// when null). A path that would then not fit is emptied, so that no file
// of the current folder is taken in its place. Other settings are left as
// they are. Applied to a run's copy of the settings after they are saved,
// so the settings file keeps the paths as written.
void resolve_relative_paths(Settings& settings, const char* settings_file = nullptr);

// The folders of an include folders value: the texts between ';', blanks
// at either end left out, empty ones dropped.
std::vector<std::string> include_folder_list(std::string_view value);

// True when `mode` names a section that a save writes and a later load finds
// again: no line break, no lone lead byte at its end, nothing that the file
// would read back as another name. Null and empty name the fixed section.
bool is_valid_mode_name(const char* mode);

}  // namespace prismet

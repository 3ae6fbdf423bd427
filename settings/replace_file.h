// Replacing a whole file without ever leaving a part of it: the new contents
// go to a new file beside the old one, which then takes the old one's place
// in one step. One implementation per platform (replace_file_posix.cpp,
// replace_file_win32.cpp).
#pragma once

#include <string_view>

namespace prismet {

// Makes `path` hold exactly `bytes`, creating it when it does not exist.
// False, with the old file (if any) untouched, when the file is read-only,
// names a folder, or any step fails (such as a full disk); no temporary file
// is left behind.
bool replace_file_contents(const char* path, std::string_view bytes);

}  // namespace prismet

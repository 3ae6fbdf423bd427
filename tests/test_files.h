// Scratch files for tests: a folder per test process, removed at exit.
#pragma once

#include <string>
#include <string_view>

namespace prismet::testing {

// A path inside the process's scratch folder (ASCII names only).
std::string scratch_path(std::string_view name);

// The number of entries in a folder.
int count_entries(const std::string& folder);
void make_folder(const std::string& path);
void write_file(const std::string& path, std::string_view bytes);
std::string read_file(const std::string& path);

// A view of a copy of `text` kept until the process ends: for the views
// of a site's symbols, which must outlive the symbols that hold them.
std::string_view kept_text(std::string text);

}  // namespace prismet::testing

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

}  // namespace prismet::testing

// Scratch files for tests: a folder per test process, removed at exit.
#pragma once

#include <string>
#include <string_view>

namespace prismet::testing {

// A path inside the process's scratch folder (ASCII names only).
std::string scratch_path(std::string_view name);

void write_file(const std::string& path, std::string_view bytes);
std::string read_file(const std::string& path);

}  // namespace prismet::testing

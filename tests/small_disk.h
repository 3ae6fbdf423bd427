// A small file system that the test run provides for full-disk tests: its
// folder is named by the environment variable PRISMET_SMALL_DISK (a Linux
// path; the Windows tests reach it through Wine's drive Z:).
#pragma once

#include <cstdint>
#include <string>

namespace prismet::testing {

// A new empty folder on the small file system; empty when the run provides
// none (the test then skips).
std::string small_disk_folder(const std::string& name);

// The bytes still free on the file system that holds `folder`.
std::uint64_t free_bytes(const std::string& folder);

}  // namespace prismet::testing

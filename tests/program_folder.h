// A fixture for end-to-end tests: a copy of the real program in a folder of
// its own (so its settings, temporary and insert files are the test's),
// run as a separate process.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/file_system.h"
#include "common/path_text.h"
#include "tests/run_program.h"
#include "tests/test_files.h"

namespace prismet::testing {

#ifdef _WIN32
inline constexpr char kProgramName[] = "prismet.exe";
#else
inline constexpr char kProgramName[] = "prismet";
#endif

inline const std::string kSep(1, kPathSeparator);

// The program built beside the tests: <build>/app/<name>.
inline std::string built_program() {
  char self[1024];
  executable_path(self, sizeof self);
  std::string path = self;
  path.resize(path.rfind(kPathSeparator));  // <build>/tests
  path.resize(path.rfind(kPathSeparator));  // <build>
  return path + kSep + "app" + kSep + kProgramName;
}

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static int counter = 0;
    folder_ = scratch_path("run" + std::to_string(++counter));
    make_folder(folder_);
    make_folder(folder_ + kSep + "bin");
    program_ = folder_ + kSep + "bin" + kSep + kProgramName;
    std::filesystem::copy_file(built_program(), program_);
  }

  std::string path(const std::string& name) const { return folder_ + kSep + name; }
  std::string beside_program(const std::string& extension) const {
    std::string p = program_;
    p.resize(p.rfind('.') == std::string::npos || p.rfind('.') < p.rfind(kPathSeparator) ? p.size()
                                                                                         : p.rfind('.'));
    return p + extension;
  }
  int run(const std::vector<std::string>& arguments) { return run_program(program_, arguments); }
  void no_temporary_file_left() { EXPECT_FALSE(path_exists(beside_program(".tmp").c_str())); }

  std::string folder_, program_;
};

}  // namespace prismet::testing

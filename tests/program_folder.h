// A fixture for end-to-end tests: a copy of the real program in a folder of
// its own, with settings and insert files of its own (beside the program on
// Windows, in the folder's own configuration folder on Linux), run as a
// separate process.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
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
// The Windows program always ends with 0.
inline constexpr int kExitNotConverted = 0;
#else
inline constexpr char kProgramName[] = "prismet";
inline constexpr int kExitNotConverted = 1;
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
#ifndef _WIN32
    ::setenv("XDG_CONFIG_HOME", path("config").c_str(), 1);
#endif
  }

  std::string path(const std::string& name) const { return folder_ + kSep + name; }
  std::string beside_program(const std::string& extension) const {
    std::string p = program_;
    p.resize(p.rfind('.') == std::string::npos || p.rfind('.') < p.rfind(kPathSeparator) ? p.size()
                                                                                         : p.rfind('.'));
    return p + extension;
  }
  // The settings file (".ini") and the default insert files (".top",
  // ".btm") as the program finds them.
  std::string settings_file(const std::string& extension = ".ini") const {
#ifdef _WIN32
    return beside_program(extension);
#else
    make_folder(path("config") + "/prismet");
    return path("config") + "/prismet/prismet" + extension;
#endif
  }
  int run(const std::vector<std::string>& arguments) { return run_program(program_, arguments); }
  // No temporary file of the program's is left in the test's folder.
  void no_temporary_file_left() {
    for (const auto& entry : std::filesystem::directory_iterator(folder_)) {
      const std::string name = entry.path().filename().string();
      EXPECT_NE(name.rfind(".prismet-", 0), 0u) << name;
      EXPECT_NE(name.rfind("~pm", 0), 0u) << name;
    }
  }

  std::string folder_, program_;
};

}  // namespace prismet::testing

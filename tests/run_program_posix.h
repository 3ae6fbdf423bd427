// Running the Linux program with its standard streams joined to files, and
// as an ordinary user where the test runs as root (see
// ordinary_user_posix.h).
#pragma once

#include <string>
#include <vector>

namespace prismet::testing {

struct ProgramStreams {
  std::string input;   // file read as standard input; empty: /dev/null
  std::string output;  // file standard output is written to; empty: /dev/null
  std::string error;   // file standard error is written to; empty: /dev/null
  bool ordinary_user = false;
  std::string working_folder;  // empty: the test's own
};

// Runs the program and waits for it: its exit status, or -1 when it could
// not be started or did not end normally.
int run_program(const std::string& program, const std::vector<std::string>& arguments,
                const ProgramStreams& streams);

}  // namespace prismet::testing

// Runs a program as a separate process, for end-to-end tests.
#pragma once

#include <string>
#include <vector>

namespace prismet::testing {

class ProgramRun {
 public:
  // Starts `program` with `arguments` (not including the program itself),
  // in `working_folder` when one is given, else in the test's own.
  ProgramRun(const std::string& program, const std::vector<std::string>& arguments,
             const std::string& working_folder = "");
  ~ProgramRun();
  ProgramRun(const ProgramRun&) = delete;
  ProgramRun& operator=(const ProgramRun&) = delete;

  bool started() const;
  // Waits for the end; the exit code, or -1 when it did not start or crashed.
  int wait();

 private:
  long long id_ = -1;  // process id (Linux) or handle (Windows)
};

// Starts the program and waits for it.
int run_program(const std::string& program, const std::vector<std::string>& arguments,
                const std::string& working_folder = "");

}  // namespace prismet::testing

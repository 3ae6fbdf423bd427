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
  // Signals the program starts with ignored (RunningProgram only), as
  // nohup leaves SIGHUP.
  std::vector<int> ignored_signals;
};

// Runs the program and waits for it: its exit status, or -1 when it could
// not be started or did not end normally.
int run_program(const std::string& program, const std::vector<std::string>& arguments,
                const ProgramStreams& streams);

// The program as a process of its own that a test can signal while it runs.
// It starts with every signal at its default action and none blocked, as a
// shell starts a command in the foreground. Killed, if still running, when
// the object goes.
class RunningProgram {
 public:
  RunningProgram(const std::string& program, const std::vector<std::string>& arguments,
                 const ProgramStreams& streams);
  ~RunningProgram();
  RunningProgram(const RunningProgram&) = delete;
  RunningProgram& operator=(const RunningProgram&) = delete;

  bool started() const { return pid_ > 0; }
  void signal(int number) const;
  // Waits up to `seconds` for the end: the status as a shell tells it (the
  // exit status, or 128 + N when signal N ended the process); -1 when it
  // was still running (it is then killed).
  int finish(double seconds);

 private:
  int pid_ = -1;
};

}  // namespace prismet::testing

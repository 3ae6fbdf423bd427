#include <spawn.h>
#include <sys/wait.h>

#include "tests/run_program.h"

extern char** environ;

namespace prismet::testing {

ProgramRun::ProgramRun(const std::string& program, const std::vector<std::string>& arguments,
                       const std::string& working_folder) {
  std::vector<std::string> copies;
  copies.push_back(program);
  copies.insert(copies.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& s : copies) argv.push_back(s.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  if (posix_spawn_file_actions_init(&actions) != 0) return;
  pid_t pid;
  if ((working_folder.empty() || posix_spawn_file_actions_addchdir_np(&actions, working_folder.c_str()) == 0) &&
      posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) == 0) {
    id_ = pid;
  }
  posix_spawn_file_actions_destroy(&actions);
}

ProgramRun::~ProgramRun() { wait(); }

bool ProgramRun::started() const { return id_ > 0; }

int ProgramRun::wait() {
  if (id_ <= 0) return -1;
  int status = 0;
  const pid_t pid = static_cast<pid_t>(id_);
  id_ = -1;
  if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

int run_program(const std::string& program, const std::vector<std::string>& arguments,
                const std::string& working_folder) {
  ProgramRun run(program, arguments, working_folder);
  return run.wait();
}

}  // namespace prismet::testing

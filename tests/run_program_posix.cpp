#include "tests/run_program_posix.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/ordinary_user_posix.h"
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
  if ((working_folder.empty() ||
       posix_spawn_file_actions_addchdir_np(&actions, working_folder.c_str()) == 0) &&
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

namespace prismet::testing {

namespace {

// Joins descriptor `fd` of the child to `path` (or /dev/null).
bool join(int fd, const std::string& path, bool for_writing) {
  const char* name = path.empty() ? "/dev/null" : path.c_str();
  const int opened = for_writing ? ::open(name, O_WRONLY | O_CREAT | O_TRUNC, 0666) : ::open(name, O_RDONLY);
  return opened >= 0 && ::dup2(opened, fd) == fd && ::close(opened) == 0;
}

}  // namespace

int run_program(const std::string& program, const std::vector<std::string>& arguments,
                const ProgramStreams& streams) {
  std::vector<std::string> copies{program};
  copies.insert(copies.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& s : copies) argv.push_back(s.data());
  argv.push_back(nullptr);
  const pid_t child = ::fork();
  if (child < 0) return -1;
  if (child == 0) {
    const bool ready =
        join(STDIN_FILENO, streams.input, false) && join(STDOUT_FILENO, streams.output, true) &&
        join(STDERR_FILENO, streams.error, true) &&
        (streams.working_folder.empty() || ::chdir(streams.working_folder.c_str()) == 0) &&
        (!streams.ordinary_user || !running_as_root() ||
         (::setgroups(0, nullptr) == 0 && ::setgid(kOrdinaryUser) == 0 && ::setuid(kOrdinaryUser) == 0));
    if (ready) ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  int status = 0;
  if (::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

}  // namespace prismet::testing

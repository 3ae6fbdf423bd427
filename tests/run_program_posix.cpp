#include "tests/run_program_posix.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
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

// Starts the program with its streams joined; the child's id, or -1.
pid_t start(const std::string& program, const std::vector<std::string>& arguments,
            const ProgramStreams& streams, bool default_signals) {
  std::vector<std::string> copies{program};
  copies.insert(copies.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& s : copies) argv.push_back(s.data());
  argv.push_back(nullptr);
  const pid_t child = ::fork();
  if (child != 0) return child;
  if (default_signals) {
    for (const int number : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE, SIGXFSZ}) ::signal(number, SIG_DFL);
    sigset_t none;
    ::sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    const struct rlimit no_core = {0, 0};  // SIGQUIT would leave one
    ::setrlimit(RLIMIT_CORE, &no_core);
    for (const int number : streams.ignored_signals) ::signal(number, SIG_IGN);
  }
  const bool ready =
      join(STDIN_FILENO, streams.input, false) && join(STDOUT_FILENO, streams.output, true) &&
      join(STDERR_FILENO, streams.error, true) &&
      (streams.working_folder.empty() || ::chdir(streams.working_folder.c_str()) == 0) &&
      (!streams.ordinary_user || !running_as_root() ||
       (::setgroups(0, nullptr) == 0 && ::setgid(kOrdinaryUser) == 0 && ::setuid(kOrdinaryUser) == 0));
  if (ready) ::execv(program.c_str(), argv.data());
  ::_exit(127);
}

}  // namespace

int run_program(const std::string& program, const std::vector<std::string>& arguments,
                const ProgramStreams& streams) {
  const pid_t child = start(program, arguments, streams, false);
  if (child < 0) return -1;
  int status = 0;
  if (::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

RunningProgram::RunningProgram(const std::string& program, const std::vector<std::string>& arguments,
                               const ProgramStreams& streams)
    : pid_(start(program, arguments, streams, true)) {}

RunningProgram::~RunningProgram() {
  if (pid_ > 0) finish(0);
}

void RunningProgram::signal(int number) const {
  if (pid_ > 0) ::kill(pid_, number);
}

int RunningProgram::finish(double seconds) {
  if (pid_ <= 0) return -1;
  // <chrono> cannot be had here: its texts do not fit code page 932.
  int status = 0;
  pid_t ended = 0;
  const struct timespec pause = {0, 5000000};
  for (double waited = 0; (ended = ::waitpid(pid_, &status, WNOHANG)) == 0 && waited < seconds;
       waited += 0.005) {
    ::nanosleep(&pause, nullptr);
  }
  if (ended == 0) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    return -1;
  }
  pid_ = -1;
  if (ended < 0) return -1;
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace prismet::testing

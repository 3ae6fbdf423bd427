// Permission tests must run as an ordinary user: root passes every
// permission check. Under root these helpers hand files to the user
// "nobody" and run the test's work in a child process that has become that
// user; under any other user they run the work as it is.
#pragma once

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

namespace prismet::testing {

inline constexpr uid_t kOrdinaryUser = 65534;  // nobody

inline bool running_as_root() { return ::geteuid() == 0; }

// Makes `path` belong to the user the work runs as.
inline void give_to_ordinary_user(const std::string& path) {
  if (running_as_root()) (void)!::chown(path.c_str(), kOrdinaryUser, kOrdinaryUser);
}

// Runs `work` as an ordinary user; true when it returned true.
template <class Work>
bool as_ordinary_user(Work work) {
  if (!running_as_root()) return work();
  const pid_t child = ::fork();
  if (child < 0) return false;
  if (child == 0) {
    const bool dropped =
        ::setgroups(0, nullptr) == 0 && ::setgid(kOrdinaryUser) == 0 && ::setuid(kOrdinaryUser) == 0;
    ::_exit(dropped && work() ? 0 : 1);
  }
  int status = 0;
  return ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace prismet::testing

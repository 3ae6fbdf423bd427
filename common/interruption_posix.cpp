#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <mutex>
#include <set>
#include <shared_mutex>
#include <thread>

#include "common/interruption.h"

namespace prismet {

namespace {

// The signals that end the program after the clean-up.
constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

// Every registered temporary name. Only ordinary threads touch these (the
// watching thread receives signals with sigwait, outside any handler), so
// plain locks serve.
std::mutex registry_mutex;
std::set<const TemporaryName*>& registry() {
  static std::set<const TemporaryName*> names;
  return names;
}

// Held shared by each uninterrupted section, exclusively by the ending.
std::shared_mutex section_mutex;
std::atomic<bool> ending{false};
// Whether watch_for_interruptions has held SIGPIPE back (and so a closed pipe
// gives EPIPE instead of the signal).
std::atomic<bool> sigpipe_held{false};

bool ignored(int signal) {
  struct sigaction current;
  return ::sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_IGN;
}

// Removes every registered file and ends the process with `signal`, as its
// default action does. Never returns.
[[noreturn]] void end_with(int signal) {
  ending = true;
  section_mutex.lock();   // waits for the sections; kept until the end
  registry_mutex.lock();  // no name is registered or released any more
  for (const TemporaryName* name : registry()) ::unlink(name->path().c_str());
  struct sigaction default_action = {};
  default_action.sa_handler = SIG_DFL;
  ::sigemptyset(&default_action.sa_mask);
  ::sigaction(signal, &default_action, nullptr);
  sigset_t only;
  ::sigemptyset(&only);
  ::sigaddset(&only, signal);
  ::raise(signal);  // pending here until unblocked
  ::pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
  ::_exit(128 + signal);  // only if the signal did not end the process
}

void watch(sigset_t signals) {
  for (;;) {
    int signal = 0;
    if (::sigwait(&signals, &signal) == 0) end_with(signal);
  }
}

}  // namespace

void watch_for_interruptions() {
  static std::once_flag once;
  std::call_once(once, [] {
    sigset_t held;
    ::sigemptyset(&held);
    sigset_t watched;
    ::sigemptyset(&watched);
    for (const int signal : kEndingSignals) {
      if (ignored(signal)) continue;
      ::sigaddset(&held, signal);
      ::sigaddset(&watched, signal);
    }
    sigpipe_held = !ignored(SIGPIPE);
    ::sigaddset(&held, SIGPIPE);
    ::sigaddset(&held, SIGXFSZ);
    // Every thread made from now on inherits the mask; the watching thread
    // is the only one that takes the watched signals.
    ::pthread_sigmask(SIG_BLOCK, &held, nullptr);
    std::thread(watch, watched).detach();
  });
}

TemporaryName::TemporaryName(std::string path) : path_(std::move(path)) {
  const std::lock_guard lock(registry_mutex);
  registry().insert(this);
  registered_ = true;
}

TemporaryName::~TemporaryName() { release(); }

void TemporaryName::release() {
  if (!registered_) return;
  const std::lock_guard lock(registry_mutex);
  registry().erase(this);
  registered_ = false;
}

UninterruptedSection::UninterruptedSection() {
  section_mutex.lock_shared();
  if (ending) {
    section_mutex.unlock_shared();
    for (;;) ::pause();  // the process is ending
  }
}

UninterruptedSection::~UninterruptedSection() { section_mutex.unlock_shared(); }

void end_if_reader_gone(int error) {
  if (error == EPIPE && sigpipe_held) end_with(SIGPIPE);
}

}  // namespace prismet

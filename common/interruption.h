// What an interruption leaves: nothing of ours. On Linux, once
// watch_for_interruptions() has run, SIGINT, SIGTERM, SIGHUP and SIGQUIT are
// taken by a thread of their own rather than by whatever the program is
// doing. That thread waits for every UninterruptedSection to end, removes
// every registered TemporaryName, and then ends the process as the signal
// would have ended it (a shell sees 128 + the signal's number). A signal that
// was ignored when the program started stays ignored, as a program run under
// nohup expects. SIGPIPE and SIGXFSZ are held back as well, so that a write
// to a closed pipe or past the file-size limit fails with EPIPE or EFBIG and
// is reported like any failed write (see end_if_reader_gone).
//
// On Windows no such signal reaches a window program: every call here does
// nothing (interruption_win32.cpp).
#pragma once

#include <string>

namespace prismet {

// Starts watching; once, at the start of the program, before any thread or
// temporary file exists.
void watch_for_interruptions();

// A file name of ours that an interruption removes. Registered before the
// file is made, and both within one UninterruptedSection, so that there is
// no moment at which the file exists and an interruption would not know it,
// nor one at which the names are already removed and the file still comes;
// whoever holds it removes the file itself otherwise. Unregistered on
// destruction or release().
class TemporaryName {
 public:
  TemporaryName() = default;
  explicit TemporaryName(std::string path);
  ~TemporaryName();
  TemporaryName(const TemporaryName&) = delete;
  TemporaryName& operator=(const TemporaryName&) = delete;

  const std::string& path() const { return path_; }
  void release();

 private:
  std::string path_;
  bool registered_ = false;
};

// While one lives, an interruption waits for it to end: a file being
// rewritten in place is written whole before the process ends. One that is
// begun after an interruption has come never returns (the process is
// ending).
class UninterruptedSection {
 public:
  UninterruptedSection();
  ~UninterruptedSection();
  UninterruptedSection(const UninterruptedSection&) = delete;
  UninterruptedSection& operator=(const UninterruptedSection&) = delete;
};

// When `error` says that the reader of standard output has gone (EPIPE) and
// SIGPIPE was not ignored when the program started, ends the process as
// SIGPIPE would, after the clean-up of an interruption, silently, as command
// line tools do in a pipe whose end was closed. Returns otherwise.
void end_if_reader_gone(int error);

}  // namespace prismet

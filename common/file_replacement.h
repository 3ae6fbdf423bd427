// Replacing a whole file so that it is never lost: the new contents are
// written to a new temporary file of a name not yet taken in the target's
// own folder, and only when they are complete does that file take the
// target's place in one step. Until then, and whenever a step fails, the
// target is byte for byte what it was, with its attributes, and no
// temporary file stays behind. One implementation per platform
// (file_replacement_win32.cpp, file_replacement_posix.cpp); the pages and
// the settings file are both written through it.
//
// What each platform keeps of a replaced file:
// - Windows: its attributes (read-only, hidden, system), cleared for the
//   swap and given back after it, also when the swap fails.
// - Linux: its permission bits (and, where the user may set them, its owner
//   and group). A symbolic link is followed: its target gets the new
//   contents and the link stays a link. A file with more than one hard link,
//   or in a folder the user cannot write, is rewritten in place instead,
//   but only after the new contents are complete in a temporary file and
//   the space for them is reserved, so a full disk leaves it untouched.
#pragma once

#include <cstdio>
#include <memory>
#include <string_view>

namespace prismet {

class FileReplacement {
 public:
  struct Options {
    // Whether a read-only target is replaced (the pages, as on Windows) or
    // refused (the settings file, as the platform's profile functions do).
    bool replace_read_only = true;
    // Whether the new contents reach the disk before they take the target's
    // place (the settings file) or are left to the system (the pages).
    bool durable = false;
    // Whether a target whose name is a symbolic link (Windows: any reparse
    // point) is refused with ELOOP instead of followed (the pages of a site,
    // which must never lead a write out of it).
    bool refuse_links = false;
  };

  FileReplacement();
  // Without a successful commit the temporary file goes and the target is
  // left as it was.
  ~FileReplacement();
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;

  // Creates the temporary file for the new contents of `target`. False,
  // with error() set, when the target cannot be replaced (it is a folder, or
  // read-only where that is refused) or no temporary file can be had.
  bool begin(const char* target, Options options);

  // Where the new contents go, in binary mode; null before begin().
  std::FILE* stream() const;

  // Puts the complete new contents in the target's place. False, with
  // error() set, the target as it was and the temporary file gone, when a
  // write failed or the swap cannot be made.
  bool commit();

  // The system's error number (errno values) of the step that failed; 0
  // when none has.
  int error() const { return error_; }

 private:
  struct State;  // the platform's own
  // Drops the last replacement (its temporary file goes) and starts a state.
  void reset_state(Options options);
  // The platform's steps of begin after the shared checks: prepares the
  // target's replacement and opens the stream; an error number, 0 on success.
  int open_replacement(const char* target);
  bool fail(int error) {
    error_ = error;
    return false;
  }

  std::unique_ptr<State> state_;
  int error_ = 0;
};

// Makes `path` hold exactly `bytes` through a durable replacement that
// refuses read-only files. False, with the old file untouched, on failure;
// `error` (when given) then receives the system's error number.
bool replace_file_contents(const char* path, std::string_view bytes, int* error = nullptr);

}  // namespace prismet

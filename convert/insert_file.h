// An insert file (the header or footer copied around every page), read once
// per run and reused while the file stays as it was: a batch of many small
// sources then reads it once instead of once per page.
#pragma once

#include <cstddef>
#include <string>

#include "common/file_system.h"
#include "common/text_stream.h"
#include "convert/page_variables.h"

namespace prismet {

class InsertFile {
 public:
  // Files up to this size are kept in memory; bigger ones are copied afresh
  // for every page, so memory stays flat whatever the insert files hold.
  static constexpr std::size_t kMaxKeptBytes = 1 << 20;

  explicit InsertFile(const char* path) : path_(path) {}

  // Copies the file's bytes, as text-mode reading delivers them, to the
  // output, and stops early once a write of the output has failed. An empty
  // path, or one that names nothing that can be opened (no file, a folder,
  // a file this user may not read), is left out: nothing is written and the
  // result is true. False when the path names no plain file (a device or a
  // pipe, which may never end or never deliver) or a read failed in the
  // middle: the page is then incomplete, and error() or reason() tell why.
  // With `variables`, their placeholders in the file are replaced by their
  // values (see VariableWriter); the file is still read once per run.
  bool append_to(TextWriter& output, const PageVariables* variables = nullptr);

  // From now on, once the file has been read whole (or found missing), it is
  // not looked at again: every later page gets what was read. For a run
  // whose pages all record one fingerprint of the insert files' contents.
  void keep_for_run() { for_run_ = true; }

  const std::string& path() const { return path_; }
  // Of the last append_to that failed: the system's error number (errno),
  // or 0 and a reason of our own.
  int error() const { return error_; }
  const char* reason() const { return reason_; }

 private:
  // Copies the open file to the output, keeping its bytes when `keep` and
  // they stay within kMaxKeptBytes. False when a read failed.
  bool copy(TextReader& input, TextWriter& output, const PageVariables* variables, bool keep);
  // Writes the file's bytes, with the variables' values where given.
  static void write_bytes(TextWriter& output, const PageVariables* variables, const char* data,
                          std::size_t size);

  std::string path_;
  bool kept_ = false;  // bytes_ hold the file as stamp_ describes it
  bool for_run_ = false;
  bool absent_ = false;  // the last look found nothing to copy
  FileStamp stamp_;
  std::string bytes_;
  int error_ = 0;
  const char* reason_ = nullptr;
};

}  // namespace prismet

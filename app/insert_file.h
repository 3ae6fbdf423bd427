// An insert file (the header or footer copied around every page), read once
// per run and reused while the file stays as it was: a batch of many small
// sources then reads it once instead of once per page.
#pragma once

#include <cstddef>
#include <string>

#include "common/file_system.h"
#include "common/text_stream.h"

namespace prismet {

class InsertFile {
 public:
  // Files up to this size are kept in memory; bigger ones are copied afresh
  // for every page, so memory stays flat whatever the insert files hold.
  static constexpr std::size_t kMaxKeptBytes = 1 << 20;

  explicit InsertFile(const char* path) : path_(path) {}

  // Copies the file's bytes, as text-mode reading delivers them, to the
  // output. False, writing nothing, when the path is empty or the file
  // cannot be opened.
  bool append_to(TextWriter& output);

 private:
  std::string path_;
  bool kept_ = false;  // bytes_ hold the file as stamp_ describes it
  FileStamp stamp_;
  std::string bytes_;
};

}  // namespace prismet

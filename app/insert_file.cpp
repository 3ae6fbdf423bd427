#include "app/insert_file.h"

#include "app/batch.h"

namespace prismet {

bool InsertFile::append_to(TextWriter& output) {
  if (path_.empty()) return false;
  FileStamp now;
  if (!file_stamp(path_.c_str(), now)) {
    kept_ = false;
    return false;
  }
  if (kept_ && now == stamp_) {
    output.write(bytes_.data(), bytes_.size());
    return true;
  }
  kept_ = false;
  if (now.size > kMaxKeptBytes) return append_file(output, path_.c_str());

  TextReader input;
  if (!input.open(path_.c_str())) return false;
  bytes_.clear();
  char block[4097];
  while (const std::size_t got = input.read_line(block, sizeof block - 1)) bytes_.append(block, got);
  const bool read = !input.failed();
  const bool closed = input.close();
  // Kept only when the file did not change while it was read.
  FileStamp after;
  kept_ = read && file_stamp(path_.c_str(), after) && after == now;
  stamp_ = now;
  output.write(bytes_.data(), bytes_.size());
  return closed;
}

}  // namespace prismet

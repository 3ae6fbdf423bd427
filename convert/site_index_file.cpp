#include "convert/site_index_file.h"

#include <cerrno>
#include <cstdio>
#include <memory>
#include <string_view>

#include "common/file_replacement.h"
#include "common/file_system.h"

namespace prismet {

void read_previous_index(const std::string& path, PreviousIndex& previous) {
  bool not_regular = false;
  FileStamp stamp;
  std::unique_ptr<std::FILE, FileCloser> file(
      open_regular_file_for_reading(path.c_str(), not_regular, &stamp));
  if (!file) {
    previous.in_the_way = not_regular;
    return;
  }
  // Its first bytes tell whether it is ours: anyone else's file is not read
  // further, however large it is.
  char buffer[1 << 14];
  static_assert(sizeof buffer >= kIndexHeadSize);
  std::size_t got = 0;
  const bool read = read_block(file.get(), buffer, kIndexHeadSize, got);
  if (!begins_like_index(std::string_view(buffer, got))) {
    previous.in_the_way = true;
    return;
  }
  if (stamp.size > kMaxIndexSize) return;  // no records: made anew
  previous.bytes.reserve(static_cast<std::size_t>(stamp.size));
  previous.bytes.assign(buffer, got);
  while (read && got > 0 && read_block(file.get(), buffer, sizeof buffer, got) && got > 0) {
    if (previous.bytes.size() + got > kMaxIndexSize) {  // grown since
      std::string().swap(previous.bytes);
      return;
    }
    previous.bytes.append(buffer, got);
  }
  if (!read_index_records(previous.bytes, previous.records)) previous.in_the_way = true;
}

bool write_index_file(const std::string& path, const std::string& bytes, int& error) {
  FileReplacement replacement;
  FileReplacement::Options options;
  options.refuse_links = true;  // one made since the folder was entered
  if (!replacement.begin(path.c_str(), options) ||
      std::fwrite(bytes.data(), 1, bytes.size(), replacement.stream()) != bytes.size() ||
      !replacement.commit()) {
    error = replacement.error() != 0 ? replacement.error() : errno;
    return false;
  }
  return true;
}

}  // namespace prismet

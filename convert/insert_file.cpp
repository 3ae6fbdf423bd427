#include "convert/insert_file.h"

#include <optional>

namespace prismet {

void InsertFile::write_bytes(TextWriter& output, const PageVariables* variables, const char* data,
                             std::size_t size) {
  if (variables == nullptr) {
    output.write(data, size);
    return;
  }
  VariableWriter writer(output, *variables);
  writer.write(data, size);
  writer.finish();
}

bool InsertFile::copy(TextReader& input, TextWriter& output, const PageVariables* variables, bool keep) {
  if (keep) bytes_.clear();
  // A big file goes out line piece by line piece; a placeholder may be cut
  // between two pieces, so one writer sees them all.
  std::optional<VariableWriter> streamed;
  if (variables != nullptr) streamed.emplace(output, *variables);
  const auto stream = [&](const char* data, std::size_t size) {
    if (streamed) {
      streamed->write(data, size);
    } else {
      output.write(data, size);
    }
  };
  char block[4097];
  while (output.ok()) {
    const std::size_t got = input.read_line(block, sizeof block - 1);
    if (got == 0) break;
    if (keep && bytes_.size() + got > kMaxKeptBytes) {
      // The file grew while it was read: copy it on as a big one.
      stream(bytes_.data(), bytes_.size());
      std::string().swap(bytes_);
      keep = false;
    }
    if (keep) {
      bytes_.append(block, got);
    } else {
      stream(block, got);
    }
  }
  if (streamed) streamed->finish();
  if (input.failed()) {
    error_ = input.error();
    return false;
  }
  // A page whose write failed is given up: what was read need not be whole.
  if (!keep || !output.ok()) return true;
  input.close();
  write_bytes(output, variables, bytes_.data(), bytes_.size());
  // Kept only when the file did not change while it was read.
  FileStamp after;
  kept_ = file_stamp(path_.c_str(), after) && after == stamp_;
  return true;
}

bool InsertFile::append_to(TextWriter& output, const PageVariables* variables) {
  error_ = 0;
  reason_ = nullptr;
  if (path_.empty()) return true;
  // Two status calls less per page in a tree (the headers' row of the
  // whole-tree benchmark).
  if (for_run_ && (kept_ || absent_)) {
    if (kept_) write_bytes(output, variables, bytes_.data(), bytes_.size());
    return true;
  }
  FileStamp now;
  absent_ = false;
  if (!file_stamp(path_.c_str(), now)) {
    kept_ = false;
    absent_ = true;
    return true;
  }
  if (kept_ && now == stamp_) {
    write_bytes(output, variables, bytes_.data(), bytes_.size());
    return true;
  }
  kept_ = false;
  stamp_ = now;
  TextReader input;
  bool not_regular = false;
  if (!input.open_regular(path_.c_str(), not_regular)) {
    absent_ = !not_regular;
    if (!not_regular) return true;
    reason_ = "not a regular file";
    return false;
  }
  return copy(input, output, variables, now.size <= kMaxKeptBytes);
}

}  // namespace prismet

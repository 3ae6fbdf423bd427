#include "common/file_system.h"

#include <atomic>
#include <cerrno>

namespace prismet {

namespace {

// The failure a test asked for: the error, and how many bytes reads may
// still deliver before it.
std::atomic<int> injected_error{0};
std::atomic<std::uint64_t> bytes_before_failure{0};

}  // namespace

void fail_reads_for_testing(std::uint64_t bytes, int error) {
  bytes_before_failure.store(bytes);
  injected_error.store(error);
}

bool read_block(std::FILE* file, void* buffer, std::size_t size, std::size_t& got) {
  const int error = injected_error.load(std::memory_order_relaxed);
  if (error != 0) {
    const std::uint64_t left = bytes_before_failure.load();
    if (left < size) {
      got = std::fread(buffer, 1, static_cast<std::size_t>(left), file);
      bytes_before_failure.fetch_sub(got);
      if (got == left) {
        errno = error;
        return false;
      }
      return !std::ferror(file);  // the input ended first
    }
    got = std::fread(buffer, 1, size, file);
    bytes_before_failure.fetch_sub(got);
  } else {
    errno = 0;
    got = std::fread(buffer, 1, size, file);
  }
  if (got < size && std::ferror(file)) {
    if (errno == 0) errno = EIO;
    return false;
  }
  return true;
}

}  // namespace prismet

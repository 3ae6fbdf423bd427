#include "common/file_system.h"

#include <atomic>
#include <cerrno>

namespace prismet {

namespace {

// The failure a test asked for: the error, and how many bytes reads may
// still deliver before it.
std::atomic<int> injected_error{0};
std::atomic<std::uint64_t> bytes_before_failure{0};
std::atomic<std::uint64_t> bytes_read{0};

}  // namespace

void fail_reads_for_testing(std::uint64_t bytes, int error) {
  bytes_before_failure.store(bytes);
  injected_error.store(error);
}

std::uint64_t bytes_read_for_testing() { return bytes_read.load(); }

bool read_block(std::FILE* file, void* buffer, std::size_t size, std::size_t& got) {
  // One load per block of 64 KB when no test asks for a failure.
  std::size_t wanted = size;
  const int error = injected_error.load(std::memory_order_relaxed);
  const std::uint64_t left = error != 0 ? bytes_before_failure.load() : 0;
  if (error != 0 && left < size) wanted = static_cast<std::size_t>(left);
  errno = 0;
  got = std::fread(buffer, 1, wanted, file);
  bytes_read.fetch_add(got, std::memory_order_relaxed);
  if (error != 0) {
    bytes_before_failure.fetch_sub(got);
    if (wanted < size && got == wanted) {
      injected_error.store(0);  // once
      errno = error;
      return false;
    }
  }
  if (got < wanted && std::ferror(file)) {
    if (errno == 0) errno = EIO;
    return false;
  }
  return true;
}

}  // namespace prismet

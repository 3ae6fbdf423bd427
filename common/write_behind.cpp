#include "common/write_behind.h"

#include <atomic>
#include <cerrno>
#include <new>
#include <system_error>

namespace prismet {

namespace {
std::atomic<std::uint64_t> threads_started{0};
}  // namespace

std::uint64_t write_behind_threads_for_testing() { return threads_started.load(); }

WriteBehind::WriteBehind(std::FILE* file, std::size_t buffer_size) : file_(file), buffer_size_(buffer_size) {
  for (std::size_t i = 0; i + 1 < kBuffers; ++i) {
    char* buffer = new (std::nothrow) char[buffer_size];
    if (buffer == nullptr) break;
    spare_[spare_count_++] = buffer;
  }
}

WriteBehind::~WriteBehind() {
  finish();
  for (std::size_t i = 0; i < spare_count_; ++i) delete[] spare_[i];
}

char* WriteBehind::hand_over(char* full, std::size_t size) {
  if (!thread_.joinable()) {
    if (stopping_) return nullptr;
    try {
      thread_ = std::thread([this] { run(); });
      threads_started.fetch_add(1, std::memory_order_relaxed);
    } catch (const std::system_error&) {
      return nullptr;
    }
  }
  std::unique_lock<std::mutex> lock(mutex_);
  queue_[(queue_head_ + queue_count_) % kBuffers] = {full, size};
  ++queue_count_;
  work_ready_.notify_one();
  space_ready_.wait(lock, [this] { return spare_count_ > 0; });
  return spare_[--spare_count_];
}

int WriteBehind::error() {
  std::lock_guard<std::mutex> lock(mutex_);
  return error_;
}

void WriteBehind::finish() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  work_ready_.notify_one();
  if (thread_.joinable()) thread_.join();
}

void WriteBehind::run() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    work_ready_.wait(lock, [this] { return queue_count_ > 0 || stopping_; });
    if (queue_count_ == 0) return;  // stopping, and everything is written
    const Queued next = queue_[queue_head_];
    queue_head_ = (queue_head_ + 1) % kBuffers;
    --queue_count_;
    const bool write = error_ == 0;
    lock.unlock();
    int failure = 0;
    if (write && next.size != 0) {
      errno = 0;
      if (std::fwrite(next.data, 1, next.size, file_) != next.size) failure = errno != 0 ? errno : EIO;
    }
    lock.lock();
    if (failure != 0 && error_ == 0) error_ = failure;
    spare_[spare_count_++] = next.data;
    space_ready_.notify_one();
  }
}

}  // namespace prismet

// A background thread that writes full buffers to a file in the order they
// are handed over, while the caller fills the next one. TextWriter starts
// one once a page has grown large, so that the kernel's copying of the page
// overlaps the conversion instead of following it.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <thread>

namespace prismet {

// For tests: how many background threads have been started in this process.
std::uint64_t write_behind_threads_for_testing();

class WriteBehind {
 public:
  // Buffers in all: the one the caller fills and the ones queued or being
  // written.
  static constexpr std::size_t kBuffers = 3;

  // Writes to `file`, which stays the caller's but must not be touched until
  // finish() has returned. Buffers hold `buffer_size` bytes each, allocated
  // with new char[]. The thread starts on the first hand_over.
  WriteBehind(std::FILE* file, std::size_t buffer_size);
  // Finishes (see finish) and frees the buffers it holds.
  ~WriteBehind();
  WriteBehind(const WriteBehind&) = delete;
  WriteBehind& operator=(const WriteBehind&) = delete;

  // Whether the spare buffers could be allocated; without them nothing else
  // may be called but the destructor.
  bool ready() const { return spare_count_ == kBuffers - 1; }

  // Queues the `size` bytes at `full` (a buffer of buffer_size bytes, which
  // passes to this object) and returns an empty buffer, which passes to the
  // caller: a spare one, or the first one written when all are in use. Once
  // a write has failed the bytes handed over are dropped. nullptr when the
  // thread cannot be started; `full` then stays the caller's.
  char* hand_over(char* full, std::size_t size);
  // The errno of the first failed write; 0 while every write succeeded.
  int error();
  // Waits until everything handed over is written and ends the thread; then
  // error() is final. Later calls do nothing.
  void finish();

 private:
  void run();

  std::FILE* file_;
  std::size_t buffer_size_;
  std::thread thread_;
  std::mutex mutex_;
  std::condition_variable work_ready_;   // something queued, or stopping
  std::condition_variable space_ready_;  // a buffer came back
  // The buffers not in use (free) and those waiting to be written (queue, in
  // order); the one being written is in neither.
  char* spare_[kBuffers] = {};
  std::size_t spare_count_ = 0;
  struct Queued {
    char* data;
    std::size_t size;
  };
  Queued queue_[kBuffers] = {};
  std::size_t queue_head_ = 0;
  std::size_t queue_count_ = 0;
  bool stopping_ = false;
  int error_ = 0;
};

}  // namespace prismet

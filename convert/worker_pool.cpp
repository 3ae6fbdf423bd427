#include "convert/worker_pool.h"

#include <algorithm>
#include <utility>

#include "common/folder_listing.h"

namespace prismet {

int converting_threads(int requested) {
  const int processors = static_cast<int>(processor_count());
  return std::min(requested > 0 ? requested : processors, kMaxJobs);
}

std::unique_ptr<WorkerPool> WorkerPool::for_threads(int threads, const Settings& settings,
                                                    const Vocabulary& vocabulary,
                                                    const Freshness& freshness) {
  if (threads <= 1) return nullptr;
  return std::make_unique<WorkerPool>(threads - 1, settings, vocabulary, freshness);
}

WorkerPool::WorkerPool(int workers, const Settings& settings, const Vocabulary& vocabulary,
                       const Freshness& freshness)
    : freshness_(freshness) {
  for (int i = 0; i < workers; ++i) {
    threads_.emplace_back([this, &settings, &vocabulary] { work(settings, vocabulary); });
  }
}

WorkerPool::~WorkerPool() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  work_ready_.notify_all();
  for (std::thread& thread : threads_) thread.join();
}

void WorkerPool::submit(std::span<TreeJob* const> chain) {
  if (chain.empty()) return;
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    for (std::size_t i = 0; i < chain.size(); ++i) {
      const bool end = i == 0 || i + 1 == chain.size();
      queue_.push_back({chain[i], end ? chain.size() : 0});
    }
  }
  work_ready_.notify_one();
}

void WorkerPool::wait_for(const TreeJob& job, PageConverter& converter) {
  std::unique_lock<std::mutex> lock(mutex_);
  while (!job.finished) {
    if (!queue_.empty()) {
      take_and_carry_out(lock, converter, true, waiter_taken_);
      continue;
    }
    ++waiting_;
    job_done_.wait(lock);
    --waiting_;
  }
}

// The waiting thread takes the oldest jobs, the workers the newest: with
// more than one folder queued they then write into different folders,
// whose locks the system would otherwise make them take in turn.
void WorkerPool::take_and_carry_out(std::unique_lock<std::mutex>& lock, PageConverter& converter, bool oldest,
                                    std::vector<TreeJob*>& taken) {
  const std::size_t count = oldest ? queue_.front().chain : queue_.back().chain;
  taken.resize(count);
  for (std::size_t i = 0; i < count; ++i) {
    if (oldest) {
      taken[i] = queue_.front().job;
      queue_.pop_front();
    } else {
      taken[count - 1 - i] = queue_.back().job;
      queue_.pop_back();
    }
  }
  for (TreeJob* job : taken) {
    lock.unlock();
    carry_out(*job, converter, freshness_);
    lock.lock();
    // Once finished, the job may be consumed and freed.
    job->finished = true;
    if (waiting_ > 0) job_done_.notify_all();
  }
}

void WorkerPool::work(const Settings& settings, const Vocabulary& vocabulary) {
  PageConverter converter(settings, vocabulary);
  converter.keep_insert_files();
  std::vector<TreeJob*> taken;
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    work_ready_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
    if (queue_.empty()) return;
    take_and_carry_out(lock, converter, false, taken);
  }
}

}  // namespace prismet

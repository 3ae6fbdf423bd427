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

void WorkerPool::submit(std::vector<TreeJob*> chain) {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    queue_.push_back(std::move(chain));
  }
  work_ready_.notify_one();
}

void WorkerPool::wait_for(const TreeJob& job, PageConverter& converter) {
  std::unique_lock<std::mutex> lock(mutex_);
  while (!job.finished) {
    if (!queue_.empty()) {
      take_and_carry_out(lock, converter, true);
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
void WorkerPool::take_and_carry_out(std::unique_lock<std::mutex>& lock, PageConverter& converter,
                                    bool oldest) {
  std::vector<TreeJob*> chain = std::move(oldest ? queue_.front() : queue_.back());
  if (oldest) {
    queue_.pop_front();
  } else {
    queue_.pop_back();
  }
  for (TreeJob* job : chain) {
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
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    work_ready_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
    if (queue_.empty()) return;
    take_and_carry_out(lock, converter, false);
  }
}

}  // namespace prismet

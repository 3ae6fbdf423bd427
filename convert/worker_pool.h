// The worker pool of a tree conversion, and the one place that decides how
// many threads convert at once (from -j or the settings' count, the
// processors and kMaxJobs). Each worker has its own page converter and
// takes jobs in the order they come; the thread that waits for a job
// carries out queued ones itself meanwhile, so N jobs at once need only
// N - 1 workers.
#pragma once

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "convert/freshness.h"
#include "convert/page_converter.h"
#include "convert/tree_job.h"
#include "engine/vocabulary.h"
#include "settings/output_style.h"

namespace prismet {

// How many threads convert the files of a tree at once: `requested` (the
// command line's -j, else the settings' count; 0 for one per processor),
// at most kMaxJobs.
int converting_threads(int requested);

class WorkerPool {
 public:
  // The pool for `threads` converting threads (the calling thread one of
  // them), or null when that is the calling thread alone.
  static std::unique_ptr<WorkerPool> for_threads(int threads, const Settings& settings,
                                                 const Vocabulary& vocabulary, const Freshness& freshness);

  WorkerPool(int workers, const Settings& settings, const Vocabulary& vocabulary, const Freshness& freshness);
  ~WorkerPool();
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  int workers() const { return static_cast<int>(threads_.size()); }

  // Queues the jobs, to be carried out one after another by one thread; the
  // pool holds them until each is finished.
  void submit(std::vector<TreeJob*> chain);
  void submit(TreeJob* job) { submit(std::vector<TreeJob*>{job}); }

  // Returns once the queued `job` is finished, carrying out queued jobs with
  // `converter` until then.
  void wait_for(const TreeJob& job, PageConverter& converter);

 private:
  void take_and_carry_out(std::unique_lock<std::mutex>& lock, PageConverter& converter, bool oldest);
  void work(const Settings& settings, const Vocabulary& vocabulary);

  const Freshness& freshness_;
  std::mutex mutex_;
  std::condition_variable work_ready_;
  std::condition_variable job_done_;
  std::deque<std::vector<TreeJob*>> queue_;
  int waiting_ = 0;  // threads in wait_for's wait
  bool stopping_ = false;
  std::vector<std::thread> threads_;
};

}  // namespace prismet

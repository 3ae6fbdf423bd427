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
#include <span>
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
  void submit(std::span<TreeJob* const> chain);
  void submit(TreeJob* job) { submit(std::span<TreeJob* const>(&job, 1)); }

  // Returns once the queued `job` is finished, carrying out queued jobs with
  // `converter` until then. Called by one thread only.
  void wait_for(const TreeJob& job, PageConverter& converter);

 private:
  // A queued job. The first and the last job of a chain hold its length, so
  // that a chain is taken whole from either end of the queue.
  struct Queued {
    TreeJob* job;
    std::size_t chain;
  };
  // Takes the oldest or the newest chain into `taken` (the taker's own, kept
  // for its capacity) and carries it out, unlocking meanwhile.
  void take_and_carry_out(std::unique_lock<std::mutex>& lock, PageConverter& converter, bool oldest,
                          std::vector<TreeJob*>& taken);
  void work(const Settings& settings, const Vocabulary& vocabulary);

  const Freshness& freshness_;
  std::mutex mutex_;
  std::condition_variable work_ready_;
  std::condition_variable job_done_;
  std::deque<Queued> queue_;
  std::vector<TreeJob*> waiter_taken_;  // wait_for's chains
  int waiting_ = 0;                     // threads in wait_for's wait
  bool stopping_ = false;
  std::vector<std::thread> threads_;
};

}  // namespace prismet

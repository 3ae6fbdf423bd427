#include "convert/worker_pool.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "common/fixed_text.h"
#include "convert/freshness.h"
#include "convert/tree_job.h"
#include "engine/vocabulary.h"
#include "settings/output_style.h"
#include "settings/settings_file.h"

namespace prismet {
namespace {

TEST(ConvertingThreads, TheRequestBoundedByTheMost) {
  const struct {
    int requested;
    int threads;
  } cases[] = {{1, 1}, {2, 2}, {7, 7}, {256, 256}, {257, 256}, {100000, 256}};
  static_assert(kMaxJobs == 256);
  for (const auto& c : cases) EXPECT_EQ(converting_threads(c.requested), c.threads) << c.requested;
  // Unrequested: one per processor, at least one and never more than the most.
  const int automatic = converting_threads(0);
  EXPECT_GE(automatic, 1);
  EXPECT_LE(automatic, 256);
  EXPECT_EQ(converting_threads(-3), automatic);
}

struct PoolFixture {
  PoolFixture() {
    set_default_settings(settings, "", "");
    set_builtin_vocabulary(vocabulary);
  }
  Settings settings;
  Vocabulary vocabulary;
  Freshness freshness;
};

TEST(WorkerPool, OneThreadNeedsNoPool) {
  PoolFixture f;
  EXPECT_EQ(WorkerPool::for_threads(1, f.settings, f.vocabulary, f.freshness), nullptr);
  EXPECT_EQ(WorkerPool::for_threads(0, f.settings, f.vocabulary, f.freshness), nullptr);
  const auto pool = WorkerPool::for_threads(3, f.settings, f.vocabulary, f.freshness);
  ASSERT_NE(pool, nullptr);
  EXPECT_EQ(pool->workers(), 2);
}

// Jobs whose paths are too long settle without touching the disk: every job
// queued alone or in a chain is carried out once and waited for in order,
// whichever thread takes it.
TEST(WorkerPool, EveryQueuedJobIsCarriedOutAndWaitedFor) {
  PoolFixture f;
  PageConverter converter(f.settings, f.vocabulary);
  for (const int threads : {2, 3, 5}) {
    const auto pool = WorkerPool::for_threads(threads, f.settings, f.vocabulary, f.freshness);
    ASSERT_NE(pool, nullptr);
    std::vector<std::unique_ptr<TreeJob>> jobs;
    for (int i = 0; i < 200; ++i) {
      auto job = std::make_unique<TreeJob>();
      const bool long_source = i % 3 != 0;
      job->source_path = long_source ? std::string(kPathCapacity, 's') : "short.cpp";
      job->page_path = std::string(kPathCapacity + i, 'p');
      jobs.push_back(std::move(job));
    }
    for (std::size_t from = 0; from < jobs.size();) {
      const std::size_t count = from % 7 + 1;  // chains of one to seven
      std::vector<TreeJob*> chain;
      for (std::size_t i = from; i < jobs.size() && i < from + count; ++i) chain.push_back(jobs[i].get());
      from += chain.size();
      if (chain.size() == 1) {
        pool->submit(chain[0]);
      } else {
        pool->submit(chain);
      }
    }
    for (std::size_t i = 0; i < jobs.size(); ++i) {
      const TreeJob& job = *jobs[i];
      pool->wait_for(job, converter);
      ASSERT_TRUE(job.finished) << i;
      ASSERT_TRUE(job.failure.has_value()) << i;
      EXPECT_EQ(job.failure->error, ENAMETOOLONG) << i;
      EXPECT_EQ(job.failure->culprit, i % 3 != 0 ? Culprit::kSource : Culprit::kPage) << i;
    }
  }
}

}  // namespace
}  // namespace prismet

#include "convert/joined_progress.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace prismet {
namespace {

class Told : public FileProgress {
 public:
  void file_started(int index, int count, const char* path) override {
    told.push_back("started " + std::to_string(index) + "/" + std::to_string(count) + " " + path);
  }
  void file_failed(int index, const char* path, const FileFailure&) override {
    told.push_back("failed " + std::to_string(index) + " " + path);
  }
  void file_skipped(int index, const char* path, const char*) override {
    told.push_back("skipped " + std::to_string(index) + " " + path);
  }
  void tree_progress(std::uint64_t done, std::uint64_t found) override {
    told.push_back("progress " + std::to_string(done) + "/" + std::to_string(found));
  }
  void tree_finished(const TreeSummary& summary) override {
    told.push_back("finished " + tree_summary_text(summary));
  }
  std::vector<std::string> told;
};

TEST(JoinedProgress, PartsAreToldAsOneRun) {
  Told run;
  JoinedProgress joined(run, 5);
  joined.begin_part({0});
  joined.file_skipped(0, "a/x.txt", "no C++ extension");
  joined.tree_progress(2, 3);
  joined.tree_progress(3, 3);
  joined.file_failed(0, "a/y.cpp", failure_of(FileFailure::Culprit::kSource, 0));
  joined.tree_finished({.converted = 2, .failed = 1, .bytes = 1000000, .skipped = 1, .seconds = 0.5});
  joined.begin_part({1, 2});
  joined.file_started(1, 2, "c.cpp");
  joined.file_failed(7, "elsewhere", failure_of(FileFailure::Culprit::kSource, 0));
  joined.tree_progress(0, 0);
  joined.tree_finished({.converted = 1, .bytes = 500000, .seconds = 0.25});
  joined.begin_part({4});
  joined.tree_progress(1, 2);
  joined.tree_finished({.unchanged = 4, .seconds = 0.25});
  EXPECT_EQ(run.told.size(), 8u) << "nothing finished before the end";
  joined.finish();
  EXPECT_EQ(run.told, (std::vector<std::string>{
                          "skipped 0 a/x.txt", "progress 2/3", "progress 3/3", "failed 0 a/y.cpp",
                          "started 2/5 c.cpp", "failed 7 elsewhere", "progress 3/3", "progress 4/5",
                          "finished converted 3 files, 1.5 MB, in 1.0 s; 4 unchanged; 1 not converted; "
                          "1 skipped: no C++ extension"}));
}

}  // namespace
}  // namespace prismet

#include "app/tree_conversion.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <unordered_set>

#include "app/batch_internal.h"
#include "common/clock.h"
#include "common/file_replacement.h"
#include "common/file_system.h"
#include "common/fixed_text.h"
#include "common/folder_listing.h"
#include "common/path_text.h"
#include "common/version.h"
#include "convert/site_index.h"

namespace prismet {

using batch::Culprit;
using batch::failure_of;

namespace {

// ---- Fingerprint -------------------------------------------------------

class Fnv1a {
 public:
  void add(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i) hash_ = (hash_ ^ bytes[i]) * 0x100000001b3ull;
  }
  // Each text with its length, so that no two sequences of texts run together.
  void add_text(std::string_view text) {
    add_number(text.size());
    add(text.data(), text.size());
  }
  void add_number(std::uint64_t value) { add(&value, sizeof value); }
  void add_file(const char* path) {
    bool not_regular = false;
    std::unique_ptr<std::FILE, FileCloser> file(
        path[0] == '\0' ? nullptr : open_regular_file_for_reading(path, not_regular));
    if (!file) {
      add_text("no file");
      return;
    }
    char buffer[1 << 14];
    std::size_t got = 0;
    std::uint64_t total = 0;
    while (read_block(file.get(), buffer, sizeof buffer, got) && got > 0) {
      add(buffer, got);
      total += got;
    }
    add_number(total);
  }
  std::uint64_t value() const { return hash_; }

 private:
  std::uint64_t hash_ = 0xcbf29ce484222325ull;
};

// ---- Names and paths ---------------------------------------------------

// A name as the file system compares it.
std::string name_key(std::string_view name) {
  std::string key(name);
  if (kCaseBlindFileNames) lower_case_path(key.data());
  return key;
}

// ---- The walk's folders ------------------------------------------------

// One output folder of a site: where its pages and its index go, what its
// index said before this run, and what it will say.
struct SiteFolder {
  std::string source_path;  // the folder its sources are in (empty: none)
  std::string output_path;
  SiteFolder* parent = nullptr;
  std::string name;  // in the parent's index
  PageRecords previous;
  bool index_in_the_way = false;  // an index.html this program did not make
  bool index_is_link = false;     // an index.html that is a symbolic link, never written through
  // With an output folder: its folder there is a symbolic link, which could
  // lead its pages and index anywhere; nothing is read or written there.
  bool output_is_link = false;
  // Its pages go into the folder of its sources: beside them, or through an
  // output folder that is that same folder.
  bool beside = false;
  std::string old_index;
  FolderIndex index;
  std::string index_value;  // its pages' "{{index}}"
  // Page and folder names, as the file system compares them, with the
  // source each was taken for.
  std::map<std::string, std::string> taken;
  std::unordered_set<std::string> links;  // names of links among its sources' entries
  // Files in its output folder, where earlier pages are recorded: a page
  // deleted since is made again.
  std::unordered_set<std::string> outputs;
  // The walk: sub-folders still to enter, in order.
  std::vector<std::string> files;  // sources still to queue, in order
  std::size_t next_file = 0;
  std::vector<std::string> subfolders;
  std::size_t next_subfolder = 0;
  bool output_made = false;
  // False once anything in it or below it could not be listed, made or
  // converted: its index then never goes for lack of pages.
  bool complete = true;
  // Held while sources whose pages may be current are checked.
  OpenFolder sources;
  // With an output folder: that folder, held for the pages' sizes likewise.
  OpenFolder pages;
  std::uint64_t files_below = 0;
  std::uint64_t bytes_below = 0;
  int argument = 0;  // the index of the argument it was entered for
};

// Reads what the folder's existing index records.
void read_previous_index(SiteFolder& folder) {
  const std::string path = join_path(folder.output_path, kIndexName);
  bool not_regular = false;
  FileStamp stamp;
  std::unique_ptr<std::FILE, FileCloser> file(
      open_regular_file_for_reading(path.c_str(), not_regular, &stamp));
  if (!file) {
    folder.index_in_the_way = not_regular;
    return;
  }
  // Its first bytes tell whether it is ours: anyone else's file is not read
  // further, however large it is.
  char buffer[1 << 14];
  static_assert(sizeof buffer >= kIndexHeadSize);
  std::size_t got = 0;
  const bool read = read_block(file.get(), buffer, kIndexHeadSize, got);
  if (!begins_like_index(std::string_view(buffer, got))) {
    folder.index_in_the_way = true;
    return;
  }
  if (stamp.size > kMaxIndexSize) return;  // no records: made anew
  folder.old_index.reserve(static_cast<std::size_t>(stamp.size));
  folder.old_index.assign(buffer, got);
  while (read && got > 0 && read_block(file.get(), buffer, sizeof buffer, got) && got > 0) {
    if (folder.old_index.size() + got > kMaxIndexSize) {  // grown since
      std::string().swap(folder.old_index);
      return;
    }
    folder.old_index.append(buffer, got);
  }
  if (!read_index_records(folder.old_index, folder.previous)) folder.index_in_the_way = true;
}

// ---- Jobs --------------------------------------------------------------

struct Job {
  const OpenFolder* folder = nullptr;       // the source's
  const OpenFolder* page_folder = nullptr;  // the page's
  std::string source_path;
  std::string page_path;
  std::string source_name;
  std::string page_name;
  const PageRecord* previous = nullptr;
  bool page_exists = false;  // the folder's listing holds the page
  const std::string* index_value = nullptr;
  // The result.
  std::optional<FileFailure> failure;
  PageRecord record;
  bool unchanged = false;
  bool checked = false;    // settle_without_converting has run
  bool submitted = false;  // to the pool, which then owns `done`
  bool done = false;       // under the pool's lock once submitted
  // Submitted with this one, run right after it by the same thread.
  Job* next = nullptr;
};

// What every thread's conversions share.
struct JobContext {
  std::uint64_t fingerprint;
  bool rewrite_all;
};

// Whether the job's page may still be current, so that the source's stamp
// settles it.
bool may_be_current(const Job& job, const JobContext& context) {
  return !context.rewrite_all && job.previous != nullptr && job.page_exists &&
         job.previous->fingerprint == context.fingerprint;
}

// Settles the job without converting where it can: a path too long, a page
// still current, a source whose stamp cannot be had. True when settled.
bool settle_without_converting(Job& job, const JobContext& context) {
  job.checked = true;
  if (job.source_path.size() >= kPathCapacity) {
    job.failure = failure_of(Culprit::kSource, ENAMETOOLONG);
    return true;
  }
  if (job.page_path.size() >= kPathCapacity) {
    job.failure = failure_of(Culprit::kPage, ENAMETOOLONG, job.page_path);
    return true;
  }
  // Only a page that may still be current needs the source's stamp before
  // it is opened; the others take it from the open source (one status call
  // less per page: the headers' row of the whole-tree benchmark).
  const PageRecord* previous = job.previous;
  if (may_be_current(job, context)) {
    FileStamp source;
    if (!job.folder->stamp(job.source_name.c_str(), job.source_path.c_str(), source)) {
      job.failure = failure_of(Culprit::kSource, errno);
      return true;
    }
    // A page cut short or grown since it was written is made again.
    FileStamp page;
    if (previous->source == source && previous->page_size != kUnknownPageSize &&
        job.page_folder->stamp(job.page_name.c_str(), job.page_path.c_str(), page) &&
        page.size == previous->page_size) {
      job.record = *previous;
      job.unchanged = true;
      return true;
    }
  }
  return false;
}

// The size of the page just written, for its record.
std::uint64_t page_size_of(const std::string& page_path) {
  FileStamp page;
  return file_stamp(page_path.c_str(), page) ? page.size : kUnknownPageSize;
}

void run_job(Job& job, batch::Run& run, const JobContext& context) {
  if (!job.checked && settle_without_converting(job, context)) return;
  batch::PageResult result =
      batch::convert_to_page(job.source_path.c_str(), job.page_path, run, *job.index_value);
  if (result.failure) {
    job.failure = std::move(result.failure);
    return;
  }
  job.record.fingerprint = context.fingerprint;
  job.record.source = result.source;
  job.record.lines = result.lines;
  job.record.page_size = page_size_of(job.page_path);
}

// Worker threads, each with its own conversion state, taking jobs in the
// order they come. The thread that waits for a job converts queued ones
// itself meanwhile, so N jobs at once need only N - 1 workers.
class WorkerPool {
 public:
  WorkerPool(int workers, const Settings& settings, const Vocabulary& vocabulary, const JobContext& context)
      : context_(context) {
    for (int i = 0; i < workers; ++i) {
      threads_.emplace_back([this, &settings, &vocabulary] { work(settings, vocabulary); });
    }
  }
  ~WorkerPool() {
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      stopping_ = true;
    }
    work_ready_.notify_all();
    for (std::thread& thread : threads_) thread.join();
  }
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  int workers() const { return static_cast<int>(threads_.size()); }

  // Queues the job, with the jobs chained to it by `next`.
  void submit(Job* job) {
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      queue_.push_back(job);
    }
    work_ready_.notify_one();
  }

  // Returns once `job` is done, converting queued jobs with `run` until then.
  void wait_for(const Job& job, batch::Run& run) {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!job.done) {
      if (!queue_.empty()) {
        take_and_run(lock, run, true);
        continue;
      }
      ++waiting_;
      job_done_.wait(lock);
      --waiting_;
    }
  }

 private:
  // The waiting thread takes the oldest job, the workers the newest: with
  // more than one folder queued they then write into different folders,
  // whose locks the system would otherwise make them take in turn.
  void take_and_run(std::unique_lock<std::mutex>& lock, batch::Run& run, bool oldest) {
    Job* job = oldest ? queue_.front() : queue_.back();
    if (oldest) {
      queue_.pop_front();
    } else {
      queue_.pop_back();
    }
    while (job != nullptr) {
      lock.unlock();
      run_job(*job, run, context_);
      // Once done, the job may be consumed and freed.
      Job* const next = job->next;
      lock.lock();
      job->done = true;
      if (waiting_ > 0) job_done_.notify_all();
      job = next;
    }
  }

  void work(const Settings& settings, const Vocabulary& vocabulary) {
    batch::Run run(settings, vocabulary);
    run.keep_insert_files();
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
      work_ready_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
      if (queue_.empty()) return;
      take_and_run(lock, run, false);
    }
  }

  const JobContext& context_;
  std::mutex mutex_;
  std::condition_variable work_ready_;
  std::condition_variable job_done_;
  std::deque<Job*> queue_;
  int waiting_ = 0;  // threads in wait_for's wait
  bool stopping_ = false;
  std::vector<std::thread> threads_;
};

// ---- The run -----------------------------------------------------------

// What comes out of the walk, in the tree's order: a file of a tree, a
// named file, a folder that could not be read or made, or the end of a
// folder (after everything below it).
struct Event {
  enum class Kind { kFile, kNamedFile, kFolderFailure, kFolderEnd };
  Kind kind = Kind::kFile;
  SiteFolder* folder = nullptr;
  std::unique_ptr<Job> job;  // kFile
  std::string path;          // kNamedFile, kFolderFailure
  FileFailure failure;       // kFolderFailure
  int argument = 0;          // the index of the argument it comes from
};

struct Argument {
  std::string path;
  bool folder = false;
  int index = 0;
};

class TreeRun {
 public:
  TreeRun(const Settings& settings, const Vocabulary& vocabulary, FileProgress* progress,
          const TreeOptions& options)
      : settings_(settings),
        progress_(progress),
        extensions_(settings.source_extensions),
        context_{run_fingerprint(settings), options.rewrite_all},
        named_run_(settings, vocabulary),
        utf8_(settings.encoding != SourceEncoding::kShiftJis) {
    named_run_.keep_insert_files();
    const int processors = static_cast<int>(processor_count());
    const int jobs = std::min(settings.jobs > 0 ? settings.jobs : processors, kMaxJobs);
    if (jobs > 1) pool_ = std::make_unique<WorkerPool>(jobs - 1, settings, vocabulary, context_);
    // Enough work queued to keep every worker busy, with memory bounded.
    window_ = pool_ ? static_cast<std::size_t>(jobs) * 128 : 1;
  }

  int run(const std::vector<std::string>& paths);

 private:
  SiteFolder* new_folder(SiteFolder* parent, std::string source_path, std::string output_path,
                         std::string name);
  void start(const std::vector<std::string>& paths);
  void start_argument(const Argument& argument);
  void enter(SiteFolder& folder);
  bool walk_step();
  void add_file_job(SiteFolder& folder, const std::string& name);
  void check_current();
  bool make_output(SiteFolder& folder);
  void consume(Event& event);
  void convert_named(int argument, const std::string& path);
  void finish_folder(SiteFolder& folder);
  void write_index(SiteFolder& folder);
  void remove_index(SiteFolder& folder);
  void folder_failure(std::string path, FileFailure failure);
  void fail(int argument, const char* path, const FileFailure& failure);
  void tell_progress(bool now);

  const Settings& settings_;
  FileProgress* progress_;
  SourceExtensions extensions_;
  JobContext context_;
  batch::Run named_run_;  // this thread's: named files, and every file without workers
  batch::WrittenPages written_;
  bool utf8_;
  std::unique_ptr<WorkerPool> pool_;
  std::size_t window_;

  std::string output_root_;  // empty: pages beside the sources
  FileStamp output_stamp_;   // its identity, so that a walk never enters it
  bool output_known_ = false;
  SiteFolder* top_ = nullptr;  // the output folder's own
  std::size_t folder_arguments_ = 0;
  std::deque<Argument> arguments_;
  // The folders not yet ended, and the output folder's own: each goes once
  // its index is written, so memory follows the tree's depth, not its size.
  std::unordered_map<SiteFolder*, std::unique_ptr<SiteFolder>> folders_;
  std::vector<SiteFolder*> stack_;  // the walk's open folders
  std::deque<Event> events_;
  std::size_t jobs_in_flight_ = 0;
  std::vector<Job*> checks_;  // this step's jobs whose pages may be current
  static constexpr std::size_t kMaxHeldFolders = 64;
  std::size_t held_folders_ = 0;  // folders whose `sources` are held
  int argument_count_ = 0;
  int argument_ = 0;  // the index of the argument being walked

  TreeSummary summary_;
  std::uint64_t found_ = 0;
  std::uint64_t done_ = 0;
  double started_ = monotonic_seconds();
  double last_told_ = started_;
  int failed_ = 0;
};

SiteFolder* TreeRun::new_folder(SiteFolder* parent, std::string source_path, std::string output_path,
                                std::string name) {
  auto folder = std::make_unique<SiteFolder>();
  folder->source_path = std::move(source_path);
  folder->output_path = std::move(output_path);
  folder->parent = parent;
  folder->name = std::move(name);
  folder->argument = argument_;
  folder->index.utf8 = utf8_;
  folder->index.has_parent = parent != nullptr;
  folder->index.site_path = parent == nullptr ? "/" : parent->index.site_path + folder->name + "/";
  folder->index_value = index_link(folder->index.site_path, utf8_);
  // A link's target is no index of this site: neither read nor written.
  folder->output_is_link = parent != nullptr && !output_root_.empty() && is_link(folder->output_path.c_str());
  folder->index_is_link = is_link(join_path(folder->output_path, kIndexName).c_str());
  if (!folder->index_is_link && !folder->output_is_link) read_previous_index(*folder);
  SiteFolder* made = folder.get();
  folders_.emplace(made, std::move(folder));
  return made;
}

void TreeRun::start(const std::vector<std::string>& paths) {
  for (const std::string& path : paths) {
    const bool folder = !names_standard_streams(path.c_str()) && is_folder(path.c_str());
    arguments_.push_back({path, folder, argument_count_++});
    folder_arguments_ += folder;
  }
  output_root_ = settings_.output_folder;
  if (output_root_.empty()) return;
  int error = 0;
  if (!make_folders(output_root_, error)) {
    // Nothing can be written: every argument fails with it.
    folder_failure(output_root_, failure_of(Culprit::kSource, error));
    arguments_.clear();
    return;
  }
  output_known_ = file_stamp(output_root_.c_str(), output_stamp_);
  top_ = new_folder(nullptr, std::string(), output_root_, std::string());
  top_->output_made = true;
}

// A named file converts when its turn comes; a folder is entered. With an
// output folder, one folder named alone fills it; several each get a
// folder of their name in it.
void TreeRun::start_argument(const Argument& argument) {
  argument_ = argument.index;
  if (!argument.folder) {
    Event event;
    event.kind = Event::Kind::kNamedFile;
    event.argument = argument_;
    event.path = argument.path;
    events_.push_back(std::move(event));
    return;
  }
  if (top_ == nullptr) {
    enter(*new_folder(nullptr, argument.path, argument.path, std::string()));
    return;
  }
  if (folder_arguments_ == 1) {
    top_->source_path = argument.path;
    enter(*top_);
    return;
  }
  std::string trimmed = argument.path;
  while (trimmed.size() > 1 && ends_with_separator(trimmed)) trimmed.pop_back();
  const std::string name(file_name_of(trimmed.c_str()));
  if (name.empty() || name == "." || name == "..") {
    FileFailure failure = failure_of(Culprit::kSource, 0);
    failure.reason = "name the folder by its own name when several folders share an output folder";
    folder_failure(argument.path, failure);
    return;
  }
  const auto [taken, fresh] = top_->taken.emplace(name_key(name), argument.path);
  if (!fresh) {
    FileFailure failure = failure_of(Culprit::kPageTaken, 0, join_path(output_root_, name));
    failure.other_source = taken->second;
    folder_failure(argument.path, failure);
    return;
  }
  enter(*new_folder(top_, argument.path, join_path(output_root_, name), name));
}

void TreeRun::folder_failure(std::string path, FileFailure failure) {
  SiteFolder* owner = stack_.empty() ? top_ : stack_.back();
  if (owner != nullptr) owner->complete = false;
  Event event;
  event.kind = Event::Kind::kFolderFailure;
  event.argument = argument_;
  event.path = std::move(path);
  event.failure = std::move(failure);
  events_.push_back(std::move(event));
}

// Lists the folder and keeps its sources and sub-folders, in order, for the walk.
void TreeRun::enter(SiteFolder& folder) {
  stack_.push_back(&folder);
  if (folder.output_is_link) {
    // Told once; nothing below it is walked (the user named the output
    // folder itself, whatever it is, but not a link inside it).
    FileFailure failure = failure_of(Culprit::kSource, ELOOP);
    failure.reason = "a symbolic link stands where the output folder goes";
    folder_failure(folder.output_path, failure);
    return;
  }
  folder.beside = (folder.parent != nullptr && folder.parent->beside) ||
                  folder.output_path == folder.source_path ||
                  same_file(folder.output_path.c_str(), folder.source_path.c_str());
  std::vector<FolderEntry> entries;
  int error = 0;
  if (!list_folder(folder.source_path.c_str(), entries, error)) {
    folder_failure(folder.source_path, failure_of(Culprit::kSource, error));
    return;
  }
  std::sort(entries.begin(), entries.end(),
            [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
  std::unordered_set<std::string> sources;
  if (!folder.previous.empty()) {
    std::vector<FolderEntry> outputs;
    int ignored = 0;
    const bool beside = folder.output_path == folder.source_path;
    if (beside || list_folder(folder.output_path.c_str(), outputs, ignored)) {
      for (const FolderEntry& entry : beside ? entries : outputs) {
        // A link is never a current page: it is refused when its turn comes.
        if (entry.kind == FolderEntry::Kind::kFile && !entry.link)
          folder.outputs.insert(name_key(entry.name));
      }
    }
  }
  for (const FolderEntry& entry : entries) {
    if (entry.hidden) continue;
    if (entry.link) folder.links.insert(name_key(entry.name));
    if (entry.kind == FolderEntry::Kind::kFile && extensions_.matches(entry.name)) sources.insert(entry.name);
  }
  for (const FolderEntry& entry : entries) {
    if (entry.hidden) continue;
    if (entry.kind == FolderEntry::Kind::kFile) {
      if (!sources.count(entry.name)) continue;
      // With pages beside their sources, a page of a source here, or a page
      // the folder's index records from an earlier run, is no source of its
      // own even where its name would match.
      const std::string_view name = entry.name;
      const std::string_view extension = settings_.extension;
      if (folder.beside && name.size() > extension.size() && !extension.empty() &&
          name.substr(name.size() - extension.size()) == extension &&
          sources.count(std::string(name.substr(0, name.size() - extension.size())))) {
        continue;
      }
      if (folder.beside && !folder.previous.empty() && folder.previous.count(url_of_name(name))) continue;
      folder.files.push_back(entry.name);
    } else if (entry.kind == FolderEntry::Kind::kFolder && !entry.link) {
      if (output_known_) {
        FileStamp stamp;
        const std::string path = join_path(folder.source_path, entry.name);
        if (file_stamp(path.c_str(), stamp) && stamp.device == output_stamp_.device &&
            stamp.index == output_stamp_.index) {
          continue;  // the output folder inside the tree
        }
      }
      folder.subfolders.push_back(entry.name);
    }
  }
  // A bounded number held, so that the file handles left for sources and
  // pages never run out.
  if (!context_.rewrite_all && !folder.previous.empty() && !folder.files.empty() &&
      held_folders_ < kMaxHeldFolders && folder.sources.open(folder.source_path.c_str())) {
    ++held_folders_;
    if (folder.output_path != folder.source_path && folder.pages.open(folder.output_path.c_str()))
      ++held_folders_;
  }
}

bool TreeRun::make_output(SiteFolder& folder) {
  if (folder.output_made) return true;
  int error = 0;
  if (!make_folders(folder.output_path, error)) {
    folder_failure(folder.output_path, failure_of(Culprit::kSource, error));
    return false;
  }
  folder.output_made = true;
  return true;
}

void TreeRun::add_file_job(SiteFolder& folder, const std::string& name) {
  if (!folder.output_made && !output_root_.empty() && !make_output(folder)) return;
  folder.output_made = true;
  auto job = std::make_unique<Job>();
  job->folder = &folder.sources;
  job->page_folder = folder.output_path == folder.source_path ? &folder.sources : &folder.pages;
  job->source_path = join_path(folder.source_path, name);
  job->source_name = name;
  job->page_name = name + settings_.extension;
  job->page_path = join_path(folder.output_path, job->page_name);
  job->index_value = &folder.index_value;
  const auto previous = folder.previous.find(url_of_name(job->page_name));
  if (previous != folder.previous.end()) {
    job->previous = &previous->second;
    job->page_exists = folder.outputs.count(name_key(job->page_name)) != 0;
  }
  const auto [taken, fresh] = folder.taken.emplace(name_key(job->page_name), job->source_path);
  if (!fresh) {
    job->failure = failure_of(Culprit::kPageTaken, 0, job->page_path);
    job->failure->other_source = taken->second;
    job->done = true;
  } else if (job->page_name == name && folder.beside) {
    job->failure = failure_of(Culprit::kPage, 0, job->page_path);
    job->failure->reason = "the page would replace its source (no page extension)";
    job->done = true;
  } else if (folder.beside && folder.links.count(name_key(job->page_name))) {
    // A link there could lead the page out of the tree (elsewhere the
    // page's writing refuses one).
    job->failure = failure_of(Culprit::kPage, ELOOP, job->page_path);
    job->failure->reason = batch::kPageNameIsALink;
    job->done = true;
  } else if (job->page_name.size() == sizeof kIndexName - 1 && name_key(job->page_name) == kIndexName) {
    job->failure = failure_of(Culprit::kPage, 0, job->page_path);
    job->failure->reason = "that name is the folder's index";
    job->done = true;
  }
  ++found_;
  Event event;
  event.kind = Event::Kind::kFile;
  event.argument = argument_;
  event.folder = &folder;
  event.job = std::move(job);
  if (pool_ && !event.job->done) {
    if (may_be_current(*event.job, context_)) {
      checks_.push_back(event.job.get());
    } else {
      event.job->submitted = true;
      pool_->submit(event.job.get());
    }
  }
  ++jobs_in_flight_;
  events_.push_back(std::move(event));
}

// The step's pages that may still be current are checked on every thread:
// each worker gets a share as one chain (a hand-over per status call would
// cost more than the call), and the walking thread, which also lists the
// folders and reads their indexes, checks half a share meanwhile, handing on
// what changed. A few are all checked here.
void TreeRun::check_current() {
  const std::size_t count = checks_.size();
  const std::size_t workers = static_cast<std::size_t>(pool_->workers());
  std::size_t own = count;
  std::size_t share = 0;
  if (count >= 8 * (workers + 1)) {
    share = (2 * count + 2 * workers) / (2 * workers + 1);  // two halves for each worker, one here
    own = count - std::min(count, share * workers);
  }
  for (std::size_t from = own; from < count; from += share) {
    const std::size_t to = std::min(count, from + share);
    for (std::size_t i = from; i < to; ++i) {
      checks_[i]->submitted = true;
      checks_[i]->next = i + 1 < to ? checks_[i + 1] : nullptr;
    }
    pool_->submit(checks_[from]);
  }
  for (std::size_t i = 0; i < own; ++i) {
    Job& job = *checks_[i];
    if (settle_without_converting(job, context_)) {
      job.done = true;
    } else {
      job.submitted = true;
      pool_->submit(&job);
    }
  }
  checks_.clear();
}

// One step of the walk: the next sub-folder of the innermost open folder,
// the end of that folder, or the next argument. False when all is walked.
bool TreeRun::walk_step() {
  if (stack_.empty()) {
    if (arguments_.empty()) return false;
    const Argument argument = std::move(arguments_.front());
    arguments_.pop_front();
    start_argument(argument);
    return true;
  }
  SiteFolder& folder = *stack_.back();
  // Files are queued a few at a time, so a folder of a million files needs
  // no million jobs at once.
  if (folder.next_file < folder.files.size()) {
    const std::size_t end = std::min(folder.files.size(), folder.next_file + 64);
    while (folder.next_file < end) add_file_job(folder, folder.files[folder.next_file++]);
    if (pool_) check_current();
    return true;
  }
  if (folder.next_subfolder < folder.subfolders.size()) {
    const std::string& name = folder.subfolders[folder.next_subfolder++];
    enter(
        *new_folder(&folder, join_path(folder.source_path, name), join_path(folder.output_path, name), name));
    return true;
  }
  stack_.pop_back();
  std::vector<std::string>().swap(folder.subfolders);
  std::vector<std::string>().swap(folder.files);
  if (&folder != top_) {
    Event event;
    event.kind = Event::Kind::kFolderEnd;
    event.folder = &folder;
    events_.push_back(std::move(event));
  }
  return true;
}

void TreeRun::fail(int argument, const char* path, const FileFailure& failure) {
  ++failed_;
  ++summary_.failed;
  if (progress_ != nullptr) progress_->file_failed(argument, path, failure);
}

void TreeRun::convert_named(int argument, const std::string& path) {
  if (progress_ != nullptr) progress_->file_started(argument, argument_count_, path.c_str());
  std::uint64_t lines = 0;
  std::string page_path;
  if (const auto failure = batch::convert_one(path, named_run_, written_, output_root_, &lines, &page_path)) {
    if (top_ != nullptr) top_->complete = false;
    fail(argument, path.c_str(), *failure);
    return;
  }
  ++summary_.converted;
  FileStamp source;
  if (file_stamp(path.c_str(), source)) summary_.bytes += source.size;
  if (top_ == nullptr || names_standard_streams(path.c_str())) return;
  IndexPage page;
  page.source_name = std::string(file_name_of(path.c_str()));
  page.page_name = std::string(file_name_of(page_path.c_str()));
  if (!top_->taken.emplace(name_key(page.page_name), path).second) return;  // listed once
  page.record = {context_.fingerprint, source, lines, page_size_of(page_path)};
  top_->index.pages.push_back(std::move(page));
}

void TreeRun::consume(Event& event) {
  switch (event.kind) {
    case Event::Kind::kFile: {
      Job& job = *event.job;
      if (job.submitted) {
        pool_->wait_for(job, named_run_);
      } else if (!job.done) {
        run_job(job, named_run_, context_);
      }
      --jobs_in_flight_;
      ++done_;
      if (job.failure) {
        event.folder->complete = false;
        fail(event.argument, job.source_path.c_str(), *job.failure);
      } else {
        if (job.unchanged) {
          ++summary_.unchanged;
        } else {
          ++summary_.converted;
          summary_.bytes += job.record.source.size;
        }
        event.folder->index.pages.push_back(
            {std::move(job.source_name), std::move(job.page_name), job.record});
      }
      tell_progress(false);
      break;
    }
    case Event::Kind::kNamedFile:
      convert_named(event.argument, event.path);
      break;
    case Event::Kind::kFolderFailure:
      fail(event.argument, event.path.c_str(), event.failure);
      break;
    case Event::Kind::kFolderEnd:
      finish_folder(*event.folder);
      folders_.erase(event.folder);
      break;
  }
}

void TreeRun::finish_folder(SiteFolder& folder) {
  for (const IndexPage& page : folder.index.pages) {
    ++folder.files_below;
    folder.bytes_below += page.record.source.size;
  }
  if (folder.files_below > 0) {
    write_index(folder);
  } else if (folder.complete) {
    remove_index(folder);
  }
  if (folder.parent != nullptr && !folder.complete) folder.parent->complete = false;
  if (folder.parent != nullptr && folder.files_below > 0) {
    folder.parent->index.folders.push_back({folder.name, folder.files_below, folder.bytes_below});
    folder.parent->files_below += folder.files_below;
    folder.parent->bytes_below += folder.bytes_below;
  }
  // What the index kept is no longer needed.
  folder.index = FolderIndex();
  PageRecords().swap(folder.previous);
  std::string().swap(folder.old_index);
  std::map<std::string, std::string>().swap(folder.taken);
  std::unordered_set<std::string>().swap(folder.links);
  std::unordered_set<std::string>().swap(folder.outputs);
  for (OpenFolder* held : {&folder.sources, &folder.pages}) {
    if (held->held()) {
      held->close();
      --held_folders_;
    }
  }
}

void TreeRun::write_index(SiteFolder& folder) {
  const std::string path = join_path(folder.output_path, kIndexName);
  const char* culprit_path =
      folder.source_path.empty() ? folder.output_path.c_str() : folder.source_path.c_str();
  if (folder.index_in_the_way) {
    FileFailure failure = failure_of(Culprit::kPage, 0, path);
    failure.reason = "a file of that name that this program did not make is in the way";
    fail(folder.argument, culprit_path, failure);
    return;
  }
  if (folder.index_is_link) {
    FileFailure failure = failure_of(Culprit::kPage, ELOOP, path);
    failure.reason = "the index's name is a symbolic link";
    fail(folder.argument, culprit_path, failure);
    return;
  }
  const std::string bytes = render_index(folder.index);
  if (bytes == folder.old_index) return;
  if (path.size() >= kPathCapacity) {
    fail(folder.argument, culprit_path, failure_of(Culprit::kPage, ENAMETOOLONG, path));
    return;
  }
  FileReplacement replacement;
  FileReplacement::Options options;
  options.refuse_links = true;  // one made since the folder was entered
  if (!replacement.begin(path.c_str(), options) ||
      std::fwrite(bytes.data(), 1, bytes.size(), replacement.stream()) != bytes.size() ||
      !replacement.commit()) {
    fail(folder.argument, culprit_path,
         failure_of(Culprit::kPage, replacement.error() != 0 ? replacement.error() : errno, path));
  }
}

// A folder whose sources are all gone keeps no index of its own that would
// still link their pages: the index this program made there goes (and with
// it the link from the folder above, which lists only folders with pages).
// An index.html of anyone else stays as it is.
void TreeRun::remove_index(SiteFolder& folder) {
  if (folder.index_in_the_way || folder.old_index.empty()) return;
  const std::string path = join_path(folder.output_path, kIndexName);
  if (delete_file(path.c_str())) return;
  FileFailure failure = failure_of(Culprit::kPage, 0, path);
  failure.reason = "the index of a folder with no pages left could not be deleted";
  fail(folder.argument, folder.source_path.empty() ? folder.output_path.c_str() : folder.source_path.c_str(),
       failure);
}

void TreeRun::tell_progress(bool now) {
  if (progress_ == nullptr) return;
  const double time = monotonic_seconds();
  if (!now && time - last_told_ < 0.1) return;
  last_told_ = time;
  progress_->tree_progress(done_, found_);
}

int TreeRun::run(const std::vector<std::string>& paths) {
  start(paths);
  bool walking = true;
  for (;;) {
    while (walking && jobs_in_flight_ < window_) walking = walk_step();
    if (events_.empty()) {
      if (!walking) break;
      continue;
    }
    consume(events_.front());
    events_.pop_front();
  }
  if (top_ != nullptr) finish_folder(*top_);
  pool_.reset();
  summary_.seconds = monotonic_seconds() - started_;
  if (progress_ != nullptr) {
    tell_progress(true);
    progress_->tree_finished(summary_);
  }
  return failed_;
}

}  // namespace

SourceExtensions::SourceExtensions(std::string_view list) {
  std::size_t position = 0;
  while (position < list.size()) {
    while (position < list.size() && (list[position] == ' ' || list[position] == '\t')) ++position;
    std::size_t end = position;
    while (end < list.size() && list[end] != ' ' && list[end] != '\t') ++end;
    if (end > position) {
      std::string extension(list.substr(position, end - position));
      if (extension[0] != '.') extension.insert(0, 1, '.');
      if (kCaseBlindFileNames) lower_case_path(extension.data());
      extensions_.push_back(std::move(extension));
    }
    position = end;
  }
}

bool SourceExtensions::matches(std::string_view name) const {
  const std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos || dot == 0) return false;
  std::string extension(name.substr(dot));
  if (kCaseBlindFileNames) lower_case_path(extension.data());
  return std::find(extensions_.begin(), extensions_.end(), extension) != extensions_.end();
}

bool names_a_folder(const std::vector<std::string>& paths) {
  for (const std::string& path : paths) {
    if (!names_standard_streams(path.c_str()) && is_folder(path.c_str())) return true;
  }
  return false;
}

std::uint64_t run_fingerprint(const Settings& settings) {
  Fnv1a hash;
  hash.add_text("prismet " PRISMET_VERSION);
  const OutputStyle& style = settings.style;
  for (const std::int64_t value :
       {std::int64_t{style.tab_width}, std::int64_t{style.line_numbers}, std::int64_t{style.expand_tabs},
        std::int64_t{style.nbsp_spaces}, std::int64_t{style.line_anchors},
        static_cast<std::int64_t>(settings.encoding), std::int64_t{settings.insert_file_variables}}) {
    hash.add_number(static_cast<std::uint64_t>(value));
  }
  for (const TagPair* pair : {&style.whole, &style.comment, &style.constant, &style.char_constant,
                              &style.string_literal, &style.keyword, &style.line_number, &style.line}) {
    hash.add_text(pair->open);
    hash.add_text(pair->close);
  }
  hash.add_text(settings.extension);
  hash.add_file(settings.vocabulary_file);
  hash.add_file(style.insert_before);
  hash.add_file(style.insert_after);
  return hash.value();
}

int convert_trees(const std::vector<std::string>& paths, const Settings& settings,
                  const Vocabulary& vocabulary, FileProgress* progress, const TreeOptions& options) {
  return TreeRun(settings, vocabulary, progress, options).run(paths);
}

}  // namespace prismet

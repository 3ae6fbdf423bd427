#include "convert/tree_conversion.h"

#include <algorithm>
#include <cerrno>
#include <deque>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "common/clock.h"
#include "common/file_system.h"
#include "common/fixed_text.h"
#include "common/folder_listing.h"
#include "common/path_text.h"
#include "convert/freshness.h"
#include "convert/named_files.h"
#include "convert/page_converter.h"
#include "convert/site_definitions.h"
#include "convert/site_files.h"
#include "convert/site_folder.h"
#include "convert/site_index.h"
#include "convert/site_index_file.h"
#include "convert/site_names.h"
#include "convert/site_navigation.h"
#include "convert/site_records.h"
#include "convert/symbol_files.h"
#include "convert/symbol_page_name.h"
#include "convert/symbol_uses.h"
#include "convert/tree_job.h"
#include "convert/tree_walk.h"
#include "convert/worker_pool.h"
#include "settings/settings_file.h"

namespace prismet {

namespace {

// What comes out of the walk, in the tree's order: a file of a tree, a
// named file, a folder that could not be read or made, the end of a
// folder (after everything below it), or a folder's skipped files to tell.
struct Event {
  enum class Kind { kFile, kNamedFile, kFolderFailure, kFolderEnd, kSkipped };
  Kind kind = Kind::kFile;
  SiteFolder* folder = nullptr;
  std::unique_ptr<TreeJob> job;  // kFile
  std::string path;              // kNamedFile, kFolderFailure
  FileFailure failure;           // kFolderFailure
  int argument = 0;              // the index of the argument it comes from
};

struct Argument {
  std::string path;
  bool folder = false;
  int index = 0;
};

class TreeConversion {
 public:
  TreeConversion(const Settings& settings, const Vocabulary& vocabulary, FileProgress* progress,
                 const TreeOptions& options)
      : settings_(settings),
        progress_(progress),
        extensions_(settings.source_extensions),
        extensionless_(settings.extensionless_sources, settings.cpp_mode_line),
        tell_skipped_(options.tell_skipped),
        symbols_out_(options.symbols),
        freshness_{run_fingerprint(settings), options.rewrite_all},
        vocabulary_(vocabulary),
        converter_(settings, vocabulary),
        utf8_(settings.encoding != SourceEncoding::kShiftJis) {
    converter_.keep_insert_files();
    const int threads = converting_threads(settings.jobs);
    pool_ = WorkerPool::for_threads(threads, settings, vocabulary, freshness_);
    // Enough work queued to keep every worker busy, with memory bounded.
    window_ = pool_ ? static_cast<std::size_t>(threads) * 128 : 1;
  }

  int convert(const std::vector<std::string>& paths);

 private:
  SiteFolder* new_folder(SiteFolder* parent, std::string source_path, std::string output_path,
                         std::string name);
  void name_site(SiteFolder& folder, const std::string& root_path);
  void fingerprint_root_names();
  void start(const std::vector<std::string>& paths);
  WalkRules walk_rules() const;
  // The site's folder of symbol pages, or the file `name` in it.
  std::string symbol_path(std::string_view name = std::string_view()) const;
  void start_argument(const Argument& argument);
  void list_site();
  void list_top_sources(std::size_t top, const std::string& source_path, const std::string& output_path,
                        const std::string& site_path = std::string());
  void add_definition_sources(const std::string& source_folder, const std::string& output_folder,
                              const std::string& site_folder, const std::vector<std::string>& names);
  void find_definitions();
  void finish_symbols();
  void gather_uses(const std::vector<char>& wanted);
  bool symbol_pages_by_name(std::uint64_t style_digest);
  // `counts`: each name's uses by its hash, in any order.
  void write_site_record(std::uint64_t style_digest, const FileStamp& symbol_records,
                         std::vector<std::pair<std::uint64_t, std::uint32_t>> counts);
  void judge_links(TreeJob& job);
  void note_uses_changed(const TreeJob& job, bool made);
  void enter_top(SiteFolder& folder, int argument);
  void enter(SiteFolder& folder);
  void hold_folders(SiteFolder& folder);
  bool walk_step();
  void add_file_job(SiteFolder& folder, const std::string& name);
  std::optional<FileFailure> refusal(const SiteFolder& folder, const TreeJob& job, const std::string& name);
  void check_current();
  bool make_output(SiteFolder& folder);
  void consume(Event& event);
  void consume_file(Event& event);
  void note_skipped(SiteFolder& folder);
  void tell_skipped(int argument, SiteFolder& folder);
  void convert_named(int argument, const std::string& path);
  void finish_folder(SiteFolder& folder);
  void folder_failure(std::string path, FileFailure failure);
  void fail(int argument, const char* path, const FileFailure& failure);
  void tell_progress(bool now);

  const Settings& settings_;
  FileProgress* progress_;
  SourceExtensions extensions_;
  ExtensionlessSources extensionless_;
  bool tell_skipped_;
  // With include links: the site's sources, listed before any page is
  // written, and the top each folder argument is among them.
  SiteFiles site_;
  std::vector<std::size_t> top_of_argument_;
  // The folders' listings of that first walk, by their sources' paths,
  // which the walk takes instead of listing them again; at most so many
  // entries are kept.
  std::unordered_map<std::string, std::vector<FolderEntry>> listings_;
  std::size_t listed_entries_ = 0;
  static constexpr std::size_t kMaxListedEntries = 1 << 18;
  // With cross-references (and an output folder): the site's sources for
  // the first pass, the names they define, and the uses the pages link.
  bool cross_references_ = false;
  std::vector<DefinitionSource> definition_sources_;
  SymbolTable symbols_;
  std::unique_ptr<SymbolUses> uses_;
  // What the run before recorded, the names that lead elsewhere since (the
  // 32-bit hashes, sorted), and the record of this run, written last.
  SiteRecord record_;
  FileStamp record_stamp_;  // its file's as it was read
  std::vector<std::uint32_t> changed_names_;
  std::unique_ptr<SiteRecordWriter> record_writer_;
  // The names whose symbol pages may show something else than the run
  // before wrote (by the table's numbers), the names the sources read
  // define, and the recorded pages this run has met.
  std::vector<char> names_changed_;
  std::vector<std::string> names_read_;
  std::unordered_set<const RecordedPage*> pages_met_;
  SiteSymbols* symbols_out_;
  Freshness freshness_;
  const Vocabulary& vocabulary_;
  PageConverter converter_;  // this thread's: named files, and every file without workers
  WrittenPages written_;
  bool utf8_;
  std::unique_ptr<WorkerPool> pool_;
  std::size_t window_;

  std::string output_root_;  // empty: pages beside the sources
  FileStamp output_stamp_;   // its identity, so that a walk never enters it
  bool output_known_ = false;
  // With cross-references, the identity of its folder of symbol pages
  // (which lies in the tree when the output folder is the tree's own).
  FileStamp symbol_stamp_;
  bool symbol_known_ = false;
  SiteFolder* top_ = nullptr;  // the output folder's own
  std::size_t folder_arguments_ = 0;
  std::deque<Argument> arguments_;
  // The folders not yet ended, and the output folder's own: each goes once
  // its index is written, so memory follows the tree's depth, not its size.
  std::unordered_map<SiteFolder*, std::unique_ptr<SiteFolder>> folders_;
  std::vector<SiteFolder*> stack_;  // the walk's open folders
  std::deque<Event> events_;
  std::size_t jobs_in_flight_ = 0;
  std::vector<TreeJob*> checks_;  // this step's jobs whose pages may be current
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

SiteFolder* TreeConversion::new_folder(SiteFolder* parent, std::string source_path, std::string output_path,
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
  folder->index.cross_references = settings_.cross_references && !output_root_.empty();
  folder->root = parent == nullptr ? folder.get() : parent->root;
  if (settings_.site_navigation) {
    folder->index.navigation = true;
    if (parent != nullptr) folder->names_place = site_names_folder(parent->names_place, folder->name);
  }
  name_site(*folder, parent == nullptr ? folder->source_path : parent->index.root_name);
  // A link's target is no index of this site: neither read nor written.
  folder->output_is_link = parent != nullptr && !output_root_.empty() && is_link(folder->output_path.c_str());
  const std::string index_path = join_path(folder->output_path, kIndexName);
  folder->index_is_link = is_link(index_path.c_str());
  if (!folder->index_is_link && !folder->output_is_link) read_previous_index(index_path, folder->previous);
  SiteFolder* made = folder.get();
  folders_.emplace(made, std::move(folder));
  return made;
}

// Gives the folder its pages' "{{index}}": a link to its index, or with site
// navigation the trail from its site's root, which a root takes from the
// name of `root_path` (its tree's folder, else the output folder).
void TreeConversion::name_site(SiteFolder& folder, const std::string& root_path) {
  if (!folder.index.navigation) {
    folder.index_value = index_link(folder.index.site_path, utf8_);
    return;
  }
  if (folder.parent == nullptr) {
    folder.index.root_name = site_root_name(root_path.empty() ? folder.output_path : root_path);
  } else {
    folder.index.root_name = root_path;
  }
  folder.index_value = breadcrumbs_link(folder.index.root_name, folder.index.site_path, utf8_);
}

// With site navigation every page shows its site's root by name: the names
// of this run's roots go into the fingerprint, so that pages made under
// another name are made again.
void TreeConversion::fingerprint_root_names() {
  if (!settings_.site_navigation) return;
  freshness_.fingerprint = fingerprint_with(freshness_.fingerprint, "site-navigation");
  for (const Argument& argument : arguments_) {
    if (!argument.folder) continue;
    const bool own_root = output_root_.empty() || folder_arguments_ == 1;
    freshness_.fingerprint =
        fingerprint_with(freshness_.fingerprint, site_root_name(own_root ? argument.path : output_root_));
  }
}

void TreeConversion::start(const std::vector<std::string>& paths) {
  for (const std::string& path : paths) {
    const bool folder = !names_standard_streams(path.c_str()) && is_folder(path.c_str());
    arguments_.push_back({path, folder, argument_count_++});
    folder_arguments_ += folder;
  }
  output_root_ = settings_.output_folder;
  fingerprint_root_names();
  if (output_root_.empty()) return;
  int error = 0;
  if (!make_folders(output_root_, error)) {
    // Nothing can be written: every argument fails with it.
    folder_failure(output_root_, failure_of(Culprit::kSource, error));
    arguments_.clear();
    return;
  }
  output_known_ = file_stamp(output_root_.c_str(), output_stamp_);
  if (settings_.cross_references) symbol_known_ = file_stamp(symbol_path().c_str(), symbol_stamp_);
  top_ = new_folder(nullptr, std::string(), output_root_, std::string());
  top_->output_made = true;
}

std::string TreeConversion::symbol_path(std::string_view name) const {
  const std::string folder = join_path(output_root_, std::string(kSymbolFolder));
  return name.empty() ? folder : join_path(folder, std::string(name));
}

WalkRules TreeConversion::walk_rules() const {
  WalkRules rules{extensions_, settings_.extension, output_known_ ? &output_stamp_ : nullptr,
                  &extensionless_};
  rules.symbol_folder = symbol_known_ ? &symbol_stamp_ : nullptr;
  return rules;
}

// A named file converts when its turn comes; a folder is entered. With an
// output folder, one folder named alone fills it; several each get a
// folder of their name in it.
void TreeConversion::start_argument(const Argument& argument) {
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
    enter_top(*new_folder(nullptr, argument.path, argument.path, std::string()), argument.index);
    return;
  }
  if (folder_arguments_ == 1) {
    top_->source_path = argument.path;
    name_site(*top_, argument.path);
    enter_top(*top_, argument.index);
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
  enter_top(*new_folder(top_, argument.path, join_path(output_root_, name), name), argument.index);
}

// A folder named on the command line: a top of the site.
void TreeConversion::enter_top(SiteFolder& folder, int argument) {
  if (static_cast<std::size_t>(argument) < top_of_argument_.size())
    folder.site_top = top_of_argument_[static_cast<std::size_t>(argument)];
  enter(folder);
}

// With include links, every page may link to any source of the site: the
// sources are listed first, by the walk's own rules (names only, nothing
// read), and the pages' fingerprint depends on them, so that a page is made
// again when a source appears or goes. The tops are placed as
// start_argument places them.
void TreeConversion::list_site() {
  top_of_argument_.assign(static_cast<std::size_t>(argument_count_), kNoSiteTop);
  std::unordered_set<std::string> names;
  for (const Argument& argument : arguments_) {
    if (!argument.folder) continue;
    std::string output_path = argument.path;
    std::string site_path = "/";
    int site = argument.index;  // pages beside their sources: each top a site of its own
    if (top_ != nullptr) {
      site = 0;
      output_path = output_root_;
      if (folder_arguments_ > 1) {
        std::string trimmed = argument.path;
        while (trimmed.size() > 1 && ends_with_separator(trimmed)) trimmed.pop_back();
        const std::string name(file_name_of(trimmed.c_str()));
        if (name.empty() || name == "." || name == ".." || !names.insert(name_key(name)).second) continue;
        output_path = join_path(output_root_, name);
        site_path = "/" + name + "/";
      }
    }
    const std::size_t top = site_.add_top(argument.path, site_path, site);
    top_of_argument_[static_cast<std::size_t>(argument.index)] = top;
    list_top_sources(top, argument.path, output_path, site_path);
  }
  for (const std::string& folder : include_folder_list(settings_.include_folders))
    site_.add_include_folder(folder);
  for (const std::string& folder : settings_.run_include_folders) site_.add_include_folder(folder);
  site_.finish();
  // Cross-references alone depend on the sources through their definitions
  // only (judge_links), not on which are there.
  if (settings_.include_links)
    freshness_.fingerprint = fingerprint_with_site(freshness_.fingerprint, site_.digest());
}

// Lists the sources below one top folder into the site's files; a folder
// that cannot be listed is left out here (the walk tells it).
void TreeConversion::list_top_sources(std::size_t top, const std::string& source_path,
                                      const std::string& output_path, const std::string& site_path) {
  const WalkRules rules = walk_rules();
  struct Place {
    std::string source_path, output_path, relative;
    bool beside;
  };
  std::vector<Place> places;
  places.push_back({source_path, output_path, std::string(),
                    output_path == source_path || same_file(output_path.c_str(), source_path.c_str())});
  while (!places.empty()) {
    const Place place = std::move(places.back());
    places.pop_back();
    SiteFolder folder;
    folder.source_path = place.source_path;
    folder.output_path = place.output_path;
    folder.beside = place.beside;
    int error = 0;
    std::vector<FolderEntry> entries;
    if (!list_folder_entries(place.source_path, entries, error) ||
        !list_folder_sources(folder, rules, error, &entries)) {
      continue;
    }
    // The walk takes the listing over, while memory allows.
    if (listed_entries_ + entries.size() <= kMaxListedEntries) {
      listed_entries_ += entries.size();
      listings_.emplace(place.source_path, std::move(entries));
    }
    site_.add_files(top, place.relative, folder.files);
    if (cross_references_)
      add_definition_sources(place.source_path, place.output_path, site_path.substr(1) + place.relative,
                             folder.files);
    for (auto name = folder.subfolders.rbegin(); name != folder.subfolders.rend(); ++name) {
      places.push_back({join_path(place.source_path, *name), join_path(place.output_path, *name),
                        place.relative + *name + "/", place.beside});
    }
  }
}

// The sources of one folder for the first pass; one whose page cannot be
// written (its path too long, or the folder's index) is no definition's
// page, so that no link leads to a page that is not there.
void TreeConversion::add_definition_sources(const std::string& source_folder,
                                            const std::string& output_folder, const std::string& site_folder,
                                            const std::vector<std::string>& names) {
  for (const std::string& name : names) {
    const std::string page_name = name + settings_.extension;
    const std::string source_path = join_path(source_folder, name);
    if (source_path.size() >= kPathCapacity || join_path(output_folder, page_name).size() >= kPathCapacity ||
        (page_name.size() == sizeof kIndexName - 1 && name_key(page_name) == kIndexName))
      continue;
    definition_sources_.push_back({source_path, site_folder + page_name});
  }
}

// The definitions of the site's sources, on every converting thread, make
// the symbol table; a source unchanged since the run before is not read
// again, its recorded definitions taken instead. A page depends on the
// table only through the names it looks up: the names whose links changed
// since that run are noted, and a page that looked one of them up is made
// again (judge_links).
void TreeConversion::find_definitions() {
  const std::uint64_t fingerprint = fingerprint_with(run_fingerprint(settings_), "cross-references");
  std::string bytes;
  if (read_site_records_file(symbol_path(kSiteRecordsName), bytes, &record_stamp_))
    record_.load(std::move(bytes), fingerprint);
  record_writer_ = std::make_unique<SiteRecordWriter>(fingerprint);
  find_site_definitions(definition_sources_, settings_, vocabulary_, converting_threads(settings_.jobs),
                        symbols_, &record_, record_writer_.get(), record_.loaded() ? &names_read_ : nullptr);
  std::vector<DefinitionSource>().swap(definition_sources_);
  symbols_.finish(settings_.extension);
  const LinkSignatures signatures = symbols_.link_signatures();
  if (record_.loaded()) changed_names_ = changed_names(record_.signatures(), signatures);
  record_writer_->end_sources();
  record_writer_->add_signatures(signatures);
  names_changed_.assign(symbols_.name_count(), 0);
  freshness_.fingerprint = fingerprint_with(freshness_.fingerprint, "cross-references");
}

// Whether the job's page, if current by its source, still links as it
// would now: the run before recorded it, and none of the names it looked
// up leads elsewhere since.
void TreeConversion::judge_links(TreeJob& job) {
  job.links_current = job.recorded != nullptr && !looked_up_any(job.recorded->looked_up, changed_names_);
}

// The names whose uses the job's page changes: those it uses now, if it
// was made, and those its record held; of a page made again whose record
// names only names still defined, those whose uses differ.
void TreeConversion::note_uses_changed(const TreeJob& job, bool made) {
  PageUses before;
  if (made && job.recorded != nullptr && SiteRecord::uses_of(*job.recorded, symbols_, before)) {
    mark_changed_uses(before, job.uses, names_changed_);
    return;
  }
  if (made) {
    for (const PageUses::Use& use : job.uses.uses) names_changed_[use.name] = 1;
  }
  if (job.recorded == nullptr) return;
  for (const std::string_view name : SiteRecord::names_of(job.recorded->uses)) {
    const std::uint32_t number = symbols_.find(name);
    if (number != SymbolTable::kNone) names_changed_[number] = 1;
  }
}

// The uses of the names `wanted` marks, from every page of this run's
// record, in the site's order. With a few names wanted, a page that looked
// none of them up is passed over without reading its uses.
void TreeConversion::gather_uses(const std::vector<char>& wanted) {
  uses_ = std::make_unique<SymbolUses>(symbols_);
  std::vector<std::uint32_t> hashes;
  for (std::uint32_t i = 0; i < wanted.size(); ++i) {
    if (wanted[i]) hashes.push_back(static_cast<std::uint32_t>(SymbolTable::name_hash(symbols_.name(i))));
  }
  const bool all = hashes.size() == wanted.size();
  std::sort(hashes.begin(), hashes.end());
  std::vector<RecordedUse> page;
  record_writer_->for_each_page(
      [&](std::string_view path, std::string_view uses, std::span<const std::uint32_t> looked_up) {
        if (!all && !looked_up_any(looked_up, hashes)) return;
        if (SiteRecord::wanted_uses(uses, symbols_, wanted, page)) uses_->add_page(path, page);
      });
}

// Whether the symbol pages of the run before stand as it wrote them, so
// that only those of the names whose definitions or uses changed are
// written: its record says they were all written with this style, and
// their records file is the one they were written with. The names of the
// pages changed are then completed with those of the sources read or gone
// and of the pages gone.
bool TreeConversion::symbol_pages_by_name(std::uint64_t style_digest) {
  if (!record_.loaded() || record_.symbol_style() != style_digest ||
      record_.symbol_records() == FileStamp() || symbols_out_ != nullptr)
    return false;
  FileStamp records;
  if (!file_stamp(symbol_path(kSymbolRecordsName).c_str(), records) || !(records == record_.symbol_records()))
    return false;
  auto mark = [this](std::string_view name) {
    const std::uint32_t number = symbols_.find(name);
    if (number != SymbolTable::kNone) names_changed_[number] = 1;
  };
  for (const std::string& name : names_read_) mark(name);
  for (const std::string_view name : record_.names_not_taken()) mark(name);
  for (const auto& [page_path, page] : record_.pages()) {
    if (pages_met_.count(&page) == 0) {
      for (const std::string_view name : SiteRecord::names_of(page.uses)) mark(name);
    }
  }
  for (std::uint32_t i = 0; i < symbols_.name_count(); ++i) {
    if (record_.use_count(SymbolTable::name_hash(symbols_.name(i))) == SiteRecord::kNoCount)
      names_changed_[i] = 1;
  }
  return true;
}

// The symbols of the site with the uses its pages linked, for the symbol
// pages: from this run's record, which holds the pages made in this run
// and those left as they were (which link as they did); a page that failed
// is in none. Written after every run, only the pages whose content
// changed; with the symbol pages of the run before standing, only the
// pages of the names whose definitions or uses changed are even made.
void TreeConversion::finish_symbols() {
  SymbolPagesStyle style;
  style.extension = settings_.extension;
  style.utf8 = utf8_;
  style.root_name = top_->index.root_name;
  style.navigation = settings_.site_navigation;
  style.argument = top_->argument;
  style.threads = converting_threads(settings_.jobs);
  const std::uint64_t style_digest = symbol_pages_style_digest(style);
  std::vector<Symbol> symbols;
  FileStamp symbol_records;
  const bool by_name = progress_ != nullptr && symbol_pages_by_name(style_digest);
  SymbolPagesUpdate update = SymbolPagesUpdate::kNeedsAll;
  if (by_name && changed_names_.empty() &&
      std::find(names_changed_.begin(), names_changed_.end(), 1) == names_changed_.end()) {
    // The same names, each defined and used as before: every symbol page
    // stands as the run before wrote it (checked by their records file's
    // stamp, as the pages are by theirs).
    std::vector<std::pair<std::uint64_t, std::uint32_t>> counts(symbols_.name_count());
    for (std::uint32_t i = 0; i < counts.size(); ++i) {
      const std::uint64_t hash = SymbolTable::name_hash(symbols_.name(i));
      counts[i] = {hash, record_.use_count(hash)};
    }
    write_site_record(style_digest, record_.symbol_records(), std::move(counts));
    return;
  }
  if (by_name) {
    // A page holds the names of its group: all of them are made with their
    // uses when one of them changed.
    std::vector<char> groups_changed(kSymbolGroups, 0);
    for (std::uint32_t i = 0; i < names_changed_.size(); ++i) {
      if (names_changed_[i]) groups_changed[symbol_group(symbols_.name(i))] = 1;
    }
    for (std::uint32_t i = 0; i < names_changed_.size(); ++i)
      names_changed_[i] = groups_changed[symbol_group(symbols_.name(i))];
    gather_uses(names_changed_);
    symbols = uses_->take_symbols();
    // A settled name's page is left alone: its uses need only be counted.
    for (std::uint32_t i = 0; i < symbols.size(); ++i) {
      if (!names_changed_[i])
        symbols[i].settled_uses = record_.use_count(SymbolTable::name_hash(symbols[i].name));
    }
    std::vector<char> settled(symbols.size());
    for (std::size_t i = 0; i < settled.size(); ++i) settled[i] = !names_changed_[i];
    update = update_symbol_pages(output_root_, symbols, &settled, style, *progress_);
  }
  if (update == SymbolPagesUpdate::kNeedsAll) {
    gather_uses(std::vector<char>(symbols_.name_count(), 1));
    symbols = uses_->take_symbols();
    update = SymbolPagesUpdate::kFailed;
    if (progress_ != nullptr && write_symbol_pages(output_root_, symbols, style, *progress_))
      update = SymbolPagesUpdate::kWritten;
    if (progress_ != nullptr && update == SymbolPagesUpdate::kFailed) {
      ++failed_;
      ++summary_.failed;
    }
  } else if (update == SymbolPagesUpdate::kFailed) {
    ++failed_;
    ++summary_.failed;
  }
  if (update == SymbolPagesUpdate::kWritten) {
    if (!file_stamp(symbol_path(kSymbolRecordsName).c_str(), symbol_records)) symbol_records = FileStamp();
  }
  std::vector<std::pair<std::uint64_t, std::uint32_t>> counts;
  counts.reserve(symbols.size());
  for (const Symbol& symbol : symbols)
    counts.emplace_back(SymbolTable::name_hash(symbol.name), static_cast<std::uint32_t>(symbol.use_count()));
  // The uses are views of the record's pages, which go with its writer:
  // the caller's copy is made first.
  if (symbols_out_ != nullptr) symbols_out_->keep(std::move(symbols));
  symbols.clear();
  uses_.reset();
  write_site_record(style_digest, symbol_records, std::move(counts));
}

// The record for the next run, written last: a run stopped before leaves
// the record of the run before, which still holds for every page it lists
// whose page is the one it recorded (the others are made again), and
// whose symbol pages' records file is the one it recorded (else they are
// all made again).
void TreeConversion::write_site_record(std::uint64_t style_digest, const FileStamp& symbol_records,
                                       std::vector<std::pair<std::uint64_t, std::uint32_t>> counts) {
  std::sort(counts.begin(), counts.end());
  std::size_t kept = 0;
  for (std::size_t i = 0; i < counts.size(); ++i) {
    if (kept > 0 && counts[kept - 1].first == counts[i].first) {
      counts[kept - 1].second = SiteRecord::kNoCount;  // names whose hashes collide: never settled
    } else {
      counts[kept++] = counts[i];
    }
  }
  counts.resize(kept);
  const std::string folder = symbol_path();
  if (is_link(folder.c_str())) return;
  int error = 0;
  std::optional<FileFailure> failure;
  const std::string path = join_path(folder, kSiteRecordsName);
  if (!make_folders(folder, error)) {
    failure = failure_of(Culprit::kPage, error, folder);
  } else {
    record_writer_->seal(style_digest, symbol_records, counts);
    // A record the same as the one read, whose file is as it was read, is
    // not even compared with the file again (it is megabytes).
    FileStamp stamp;
    if (!record_.loaded() || !same_bytes(record_writer_->pieces(), record_.bytes()) ||
        !file_stamp(path.c_str(), stamp) || !(stamp == record_stamp_))
      failure = write_symbol_file(path, record_writer_->pieces());
  }
  record_writer_.reset();
  if (!failure) return;
  ++failed_;
  ++summary_.failed;
  if (progress_ != nullptr) progress_->file_failed(top_->argument, path.c_str(), *failure);
}

void TreeConversion::folder_failure(std::string path, FileFailure failure) {
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
void TreeConversion::enter(SiteFolder& folder) {
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
  const WalkRules rules = walk_rules();
  int error = 0;
  const auto listed = listings_.find(folder.source_path);
  const bool listed_before = listed != listings_.end();
  const bool walked = list_folder_sources(folder, rules, error, listed_before ? &listed->second : nullptr);
  if (listed_before) listings_.erase(listed);
  if (!walked) {
    folder_failure(folder.source_path, failure_of(Culprit::kSource, error));
    return;
  }
  note_skipped(folder);
  hold_folders(folder);
}

// The folder's skipped files are counted now and, where asked, told when
// their turn comes, before its files.
void TreeConversion::note_skipped(SiteFolder& folder) {
  summary_.skipped += folder.skipped.size();
  if (!tell_skipped_ || progress_ == nullptr || folder.skipped.empty()) {
    std::vector<std::string>().swap(folder.skipped);
    return;
  }
  Event event;
  event.kind = Event::Kind::kSkipped;
  event.argument = argument_;
  event.folder = &folder;
  events_.push_back(std::move(event));
}

void TreeConversion::tell_skipped(int argument, SiteFolder& folder) {
  for (const std::string& name : folder.skipped) {
    progress_->file_skipped(argument, join_path(folder.source_path, name).c_str(), kSkippedReason);
  }
  std::vector<std::string>().swap(folder.skipped);
}

// Holds the folders where pages may be current, for their entries' stamps.
// A bounded number held, so that the file handles left for sources and
// pages never run out.
void TreeConversion::hold_folders(SiteFolder& folder) {
  if (!freshness_.rewrite_all && !folder.previous.records.empty() && !folder.files.empty() &&
      held_folders_ < kMaxHeldFolders && folder.sources.open(folder.source_path.c_str())) {
    ++held_folders_;
    if (folder.output_path != folder.source_path && folder.pages.open(folder.output_path.c_str()))
      ++held_folders_;
  }
}

bool TreeConversion::make_output(SiteFolder& folder) {
  if (folder.output_made) return true;
  int error = 0;
  if (!make_folders(folder.output_path, error)) {
    folder_failure(folder.output_path, failure_of(Culprit::kSource, error));
    return false;
  }
  folder.output_made = true;
  return true;
}

// Why the job's page is refused before anything is read, if it is.
std::optional<FileFailure> TreeConversion::refusal(const SiteFolder& folder, const TreeJob& job,
                                                   const std::string& name) {
  if (job.page_name == name && folder.beside) {
    FileFailure failure = failure_of(Culprit::kPage, 0, job.page_path);
    failure.reason = "the page would replace its source (no page extension)";
    return failure;
  }
  if (folder.beside && folder.links.count(name_key(job.page_name))) {
    // A link there could lead the page out of the tree (elsewhere the
    // page's writing refuses one).
    FileFailure failure = failure_of(Culprit::kPage, ELOOP, job.page_path);
    failure.reason = kPageNameIsALink;
    return failure;
  }
  if (job.page_name.size() == sizeof kIndexName - 1 && name_key(job.page_name) == kIndexName) {
    FileFailure failure = failure_of(Culprit::kPage, 0, job.page_path);
    failure.reason = "that name is the folder's index";
    return failure;
  }
  return std::nullopt;
}

void TreeConversion::add_file_job(SiteFolder& folder, const std::string& name) {
  if (!folder.output_made && !output_root_.empty() && !make_output(folder)) return;
  folder.output_made = true;
  auto job = std::make_unique<TreeJob>();
  job->sources = &folder.sources;
  job->pages = folder.output_path == folder.source_path ? &folder.sources : &folder.pages;
  job->source_path = join_path(folder.source_path, name);
  job->source_name = name;
  job->page_name = name + settings_.extension;
  job->page_path = join_path(folder.output_path, job->page_name);
  job->index_value = &folder.index_value;
  if (cross_references_) {
    job->symbols = &symbols_;
    job->site_page = folder.index.site_path.substr(1) + job->page_name;
    job->recorded = record_.page(job->site_page);
    if (job->recorded != nullptr) pages_met_.insert(job->recorded);
  }
  if (folder.site_top != kNoSiteTop && settings_.include_links) {
    job->site = &site_;
    job->site_top = folder.site_top;
    job->site_folder = &folder.site_folder;
  }
  const auto previous = folder.previous.records.find(url_of_name(job->page_name));
  if (previous != folder.previous.records.end()) {
    job->previous = &previous->second;
    job->page_exists = folder.outputs.count(name_key(job->page_name)) != 0;
  }
  const auto [taken, fresh] = folder.taken.emplace(name_key(job->page_name), job->source_path);
  if (!fresh) {
    job->failure = failure_of(Culprit::kPageTaken, 0, job->page_path);
    job->failure->other_source = taken->second;
  } else {
    job->failure = refusal(folder, *job, name);
  }
  if (job->failure) job->handling = TreeJob::Handling::kSettled;
  if (cross_references_ && !job->failure && freshness_.may_be_current(job->previous, job->page_exists))
    judge_links(*job);
  ++found_;
  if (pool_ && job->handling == TreeJob::Handling::kHere) {
    if (freshness_.may_be_current(job->previous, job->page_exists)) {
      checks_.push_back(job.get());
    } else {
      job->handling = TreeJob::Handling::kQueued;
      pool_->submit(job.get());
    }
  }
  Event event;
  event.kind = Event::Kind::kFile;
  event.argument = argument_;
  event.folder = &folder;
  event.job = std::move(job);
  ++jobs_in_flight_;
  events_.push_back(std::move(event));
}

// The step's pages that may still be current are checked on every thread:
// each worker gets a share as one chain (a hand-over per status call would
// cost more than the call), and the walking thread, which also lists the
// folders and reads their indexes, checks half a share meanwhile, handing on
// what changed. A few are all checked here.
void TreeConversion::check_current() {
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
    for (std::size_t i = from; i < to; ++i) checks_[i]->handling = TreeJob::Handling::kQueued;
    pool_->submit(std::span<TreeJob* const>(checks_).subspan(from, to - from));
  }
  for (std::size_t i = 0; i < own; ++i) {
    TreeJob& job = *checks_[i];
    if (settle_without_converting(job, freshness_)) {
      job.handling = TreeJob::Handling::kSettled;
    } else {
      job.handling = TreeJob::Handling::kQueued;
      pool_->submit(&job);
    }
  }
  checks_.clear();
}

// One step of the walk: the next sub-folder of the innermost open folder,
// the end of that folder, or the next argument. False when all is walked.
bool TreeConversion::walk_step() {
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
    SiteFolder& subfolder =
        *new_folder(&folder, join_path(folder.source_path, name), join_path(folder.output_path, name), name);
    if (folder.site_top != kNoSiteTop) {
      subfolder.site_top = folder.site_top;
      subfolder.site_folder = folder.site_folder + name + "/";
    }
    enter(subfolder);
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

void TreeConversion::fail(int argument, const char* path, const FileFailure& failure) {
  ++failed_;
  ++summary_.failed;
  if (progress_ != nullptr) progress_->file_failed(argument, path, failure);
}

void TreeConversion::convert_named(int argument, const std::string& path) {
  if (progress_ != nullptr) progress_->file_started(argument, argument_count_, path.c_str());
  std::uint64_t lines = 0;
  std::string page_path;
  // With include links, a file named into the output folder links too.
  std::optional<SitePageLinks> links;
  const std::string source_folder = folder_of(path.c_str());
  if (settings_.include_links && top_ != nullptr && !names_standard_streams(path.c_str()))
    links.emplace(site_, source_folder, settings_.extension, converter_.utf8_pages());
  PageLinks* page_links = links ? &*links : nullptr;
  // Its names link too, from the output folder itself; it is no target.
  std::optional<PageReferences> references;
  if (cross_references_ && !names_standard_streams(path.c_str())) {
    references.emplace(symbols_, std::string_view(), converter_.utf8_pages(), page_links, nullptr);
    page_links = &*references;
  }
  if (const auto failure =
          convert_named_file(path, converter_, written_, output_root_, &lines, &page_path, page_links)) {
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
  page.record = {freshness_.fingerprint, source, lines, page_size_of(page_path)};
  if (settings_.site_navigation) {
    append_site_name(top_->site_names, top_->names_place, page.source_name, page.page_name,
                     settings_.extension);
  }
  top_->index.pages.push_back(std::move(page));
}

void TreeConversion::consume_file(Event& event) {
  TreeJob& job = *event.job;
  if (job.handling == TreeJob::Handling::kQueued) {
    pool_->wait_for(job, converter_);
  } else if (job.handling == TreeJob::Handling::kHere) {
    carry_out(job, converter_, freshness_);
  }
  --jobs_in_flight_;
  ++done_;
  if (job.failure) {
    if (record_writer_) note_uses_changed(job, false);
    event.folder->complete = false;
    fail(event.argument, job.source_path.c_str(), *job.failure);
  } else {
    if (job.unchanged) {
      ++summary_.unchanged;
      if (record_writer_) record_writer_->add_recorded_page(*job.recorded);
    } else {
      ++summary_.converted;
      summary_.bytes += job.record.source.size;
      if (record_writer_) {
        note_uses_changed(job, true);
        record_writer_->add_page_entry(job.record_entry);
      }
    }
    if (settings_.site_navigation) {
      append_site_name(event.folder->root->site_names, event.folder->names_place, job.source_name,
                       job.page_name, settings_.extension);
    }
    event.folder->index.pages.push_back({std::move(job.source_name), std::move(job.page_name), job.record});
  }
  tell_progress(false);
}

void TreeConversion::consume(Event& event) {
  switch (event.kind) {
    case Event::Kind::kFile:
      consume_file(event);
      break;
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
    case Event::Kind::kSkipped:
      tell_skipped(event.argument, *event.folder);
      break;
  }
}

void TreeConversion::finish_folder(SiteFolder& folder) {
  if (const std::optional<FileFailure> failure = end_folder(folder)) {
    fail(folder.argument, culprit_path(folder), *failure);
  }
  if (settings_.site_navigation && folder.parent == nullptr) {
    if (const std::optional<FileFailure> failure = end_site(folder, settings_.extension)) {
      fail(folder.argument, culprit_path(folder), *failure);
    }
  }
  for (OpenFolder* held : {&folder.sources, &folder.pages}) {
    if (held->held()) {
      held->close();
      --held_folders_;
    }
  }
}

void TreeConversion::tell_progress(bool now) {
  if (progress_ == nullptr) return;
  const double time = monotonic_seconds();
  if (!now && time - last_told_ < 0.1) return;
  last_told_ = time;
  progress_->tree_progress(done_, found_);
}

int TreeConversion::convert(const std::vector<std::string>& paths) {
  start(paths);
  cross_references_ = settings_.cross_references && top_ != nullptr;
  if (settings_.include_links || cross_references_) list_site();
  if (cross_references_) find_definitions();
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
  if (cross_references_) finish_symbols();
  summary_.seconds = monotonic_seconds() - started_;
  if (progress_ != nullptr) {
    tell_progress(true);
    progress_->tree_finished(summary_);
  }
  return failed_;
}

}  // namespace

int convert_trees(const std::vector<std::string>& paths, const Settings& settings,
                  const Vocabulary& vocabulary, FileProgress* progress, const TreeOptions& options) {
  return TreeConversion(settings, vocabulary, progress, options).convert(paths);
}

}  // namespace prismet
